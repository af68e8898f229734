#include "world/workspace.h"

#include <iterator>

namespace zs {

namespace {

int id_of(const Room& r) {
    return r.vnum;
}
int id_of(const ObjectPrototype& o) {
    return o.vnum;
}
int id_of(const MobilePrototype& m) {
    return m.vnum;
}
int id_of(const Zedit& z) {
    return z.number;
}
int zone_of_record(const Zedit& z) {
    return z.number;
}
template <class Record>
int zone_of_record(const Record& r) {
    return r.zone;
}
}  // namespace

bool Workspace::has_zone(TableKind kind, int zone) const {
    switch (kind) {
        case TableKind::World:
            return world_.has_zone(zone);
        case TableKind::Zone:
            return zones_.find_zedit(zone) >= 0;
        case TableKind::Object:
            return objects_.has_zone(zone);
        case TableKind::Mobile:
            return mobiles_.has_zone(zone);
    }
    return false;
}

void Workspace::on_change(const Change& event) {
    Change change = event;
    // Zedits are known by their number; every other record by its vnum.
    auto zone_of_id = [&](int id) { return change.table == TableKind::Zone ? id : zone_of(id); };
    bool replayed = replaying_;
    bool selection = change.kind == ChangeKind::Selection;
    if (replayed) {
        change.origin = *applying_;
    } else if (!change.user_edit && !selection) {
        change.origin = ChangeOrigin::Load;
    } else if (depth_ > 0 && !applying_) {
        change.origin = ChangeOrigin::Edit;
        change.source = pending_options_.source;
        if (change.kind == ChangeKind::Edited) change.fields = pending_options_.fields;
    }
    if (change.user_edit && !replayed && (depth_ == 0 || applying_)) {
        // An edit outside any step (or made while a step is being undone or
        // redone) cannot be undone; its zone stays modified until saved.
        history_.mark_changed(change.table, zone_of_id(change.id));
        if (change.previous_id != Change::kNoPreviousId)
            history_.mark_changed(change.table, zone_of_id(change.previous_id));
    }
    if (!change.user_edit && change.kind == ChangeKind::Cleared) {
        for (int zone : zone_files_.zones(change.table))
            zone_files_.forget(change.table, zone);
        forget(change.table, std::nullopt);
    } else if (!change.user_edit &&
               (change.kind == ChangeKind::Removed || change.kind == ChangeKind::Added)) {
        // Loading and unloading: steps that touched the zone can no longer
        // be undone or redone.
        int zone = zone_of_id(change.id);
        forget(change.table, zone);
        // A zone with no records left no longer stands for its file. (Zones
        // the builder emptied keep theirs until a save removes it.)
        if (change.kind == ChangeKind::Removed && zone_files_.find(change.table, zone) &&
            !has_zone(change.table, zone))
            zone_files_.forget(change.table, zone);
    }
    replaying_ = false;  // what observers do in turn is their own
    notify([&](WorkspaceObserver* o) { o->workspace_changed(change); });
    replaying_ = replayed;
}

void Workspace::forget(TableKind kind, std::optional<int> zone) {
    if (applying_) {
        // The step being applied stays whole until it is done.
        forget_later_.push_back({kind, zone});
        return;
    }
    std::size_t steps = history_.step_count();
    if (zone)
        history_.forget_zone(kind, *zone);
    else
        history_.forget_kind(kind);
    if (steps != history_.step_count()) history_changed();
}

EditRecorder* Workspace::recorder() {
    return depth_ > 0 && !applying_ ? this : nullptr;
}

template <class Record>
void Workspace::record_images(TableKind table, const Record* before, const Record* after,
                              const RecordPlace& place) {
    // An edit that changed nothing is no part of the step.
    if (before && after && *before == *after) return;
    RecordImages<Record> images;
    std::size_t bytes = 0;
    if (before) {
        images.before = std::make_unique<const Record>(*before);
        bytes += footprint(*before);
        pending_.touched.push_back({table, zone_of_record(*before)});
    }
    if (after) {
        images.after = std::make_unique<const Record>(*after);
        bytes += footprint(*after);
        pending_.touched.push_back({table, zone_of_record(*after)});
    }
    pending_.bytes += bytes + sizeof(HistoryEntry);
    pending_.entries.push_back({table, place, std::move(images)});
}

void Workspace::record(TableKind table, const Room* before, const Room* after,
                       const RecordPlace& place) {
    record_images(table, before, after, place);
}
void Workspace::record(TableKind table, const ObjectPrototype* before, const ObjectPrototype* after,
                       const RecordPlace& place) {
    record_images(table, before, after, place);
}
void Workspace::record(TableKind table, const MobilePrototype* before, const MobilePrototype* after,
                       const RecordPlace& place) {
    record_images(table, before, after, place);
}
void Workspace::record(TableKind table, const Zedit* before, const Zedit* after,
                       const RecordPlace& place) {
    record_images(table, before, after, place);
}

void Workspace::begin_step(std::string name, const EditOptions& options) {
    if (depth_++ > 0) return;
    pending_ = HistoryStep{};
    pending_.name = std::move(name);
    pending_.merge = options.merge;
    pending_options_ = options;
}

void Workspace::end_step(bool commit, const Transaction::Mark& mark) {
    if (!commit) roll_back_to(mark);
    if (--depth_ > 0) return;
    HistoryStep step = std::move(pending_);
    pending_ = HistoryStep{};
    if (step.entries.empty()) return;
    std::sort(step.touched.begin(), step.touched.end());
    step.touched.erase(std::unique(step.touched.begin(), step.touched.end()), step.touched.end());
    step.bytes += step.name.capacity();
    history_.push(std::move(step));
    history_changed();
}

void Workspace::roll_back_to(const Transaction::Mark& mark) {
    HistoryStep undone;
    auto from = pending_.entries.begin() + static_cast<std::ptrdiff_t>(mark.entries);
    undone.entries.assign(std::make_move_iterator(from),
                          std::make_move_iterator(pending_.entries.end()));
    pending_.entries.erase(from, pending_.entries.end());
    pending_.touched.resize(mark.touched);
    pending_.bytes = mark.bytes;
    if (!mark.focused) pending_.focus.reset();
    if (undone.entries.empty()) return;
    applying_ = ChangeOrigin::Undo;
    apply(undone, false);
    finish_applying();
}

Transaction::Transaction(Workspace& ws, std::string name, EditOptions options) : ws_(ws) {
    ws_.begin_step(std::move(name), options);
    mark_ = {ws_.pending_.entries.size(), ws_.pending_.touched.size(), ws_.pending_.bytes,
             ws_.pending_.focus.has_value()};
}

Transaction::~Transaction() {
    ws_.end_step(committed_, mark_);
}

void Transaction::focus(TableKind table, int id) {
    // An operation made of others keeps its own focus: the first one set.
    if (!ws_.pending_.focus) ws_.pending_.focus = RecordRef{table, id};
}

void Transaction::rename(std::string name) {
    ws_.pending_.name = std::move(name);
}

void Workspace::apply(const HistoryStep& step, bool forward) {
    auto apply_entry = [&](const HistoryEntry& e) {
        std::visit(
            [&](const auto& images) {
                const auto* from = forward ? images.before.get() : images.after.get();
                const auto* to = forward ? images.after.get() : images.before.get();
                int from_nth = forward ? e.place.before_nth : e.place.after_nth;
                auto put = [&](auto& table) {
                    if (from) {
                        int slot = table.find_nth(id_of(*from), from_nth);
                        if (slot < 0) return;
                        if (to)
                            table.replace(slot, *to);
                        else
                            table.erase(slot, -1, true);
                    } else if (to) {
                        table.restore(e.place.after_id, e.place.after_id_nth, *to);
                    }
                };
                using Record = std::decay_t<decltype(*from)>;
                if constexpr (std::is_same_v<Record, Room>)
                    put(world_);
                else if constexpr (std::is_same_v<Record, ObjectPrototype>)
                    put(objects_);
                else if constexpr (std::is_same_v<Record, MobilePrototype>)
                    put(mobiles_);
                else
                    put(zones_);
            },
            e.images);
    };
    replaying_ = true;
    if (forward)
        for (const auto& e : step.entries)
            apply_entry(e);
    else
        for (auto it = step.entries.rbegin(); it != step.entries.rend(); ++it)
            apply_entry(*it);
    replaying_ = false;
}

void Workspace::select_after_step(const HistoryStep& step) {
    auto select_in = [](auto& table, int id) {
        int slot = table.find(id);
        if (slot >= 0) table.select_slot(slot);
        return slot >= 0;
    };
    auto select = [&](const RecordRef& ref) {
        switch (ref.table) {
            case TableKind::World:
                return select_in(world_, ref.id);
            case TableKind::Zone:
                return select_in(zones_, ref.id);
            case TableKind::Object:
                return select_in(objects_, ref.id);
            case TableKind::Mobile:
                return select_in(mobiles_, ref.id);
        }
        return false;
    };
    if (step.focus && select(*step.focus)) return;
    for (const auto& e : step.entries) {
        bool done = std::visit(
            [&](const auto& images) {
                for (const auto* image : {images.before.get(), images.after.get()})
                    if (image && select(RecordRef{e.table, id_of(*image)})) return true;
                return false;
            },
            e.images);
        if (done) return;
    }
}

bool Workspace::undo() {
    return step_through(false);
}

bool Workspace::redo() {
    return step_through(true);
}

bool Workspace::step_through(bool forward) {
    if (depth_ > 0 || applying_ || !(forward ? history_.can_redo() : history_.can_undo()))
        return false;
    const HistoryStep& step = forward ? *history_.redo_step() : *history_.undo_step();
    applying_ = forward ? ChangeOrigin::Redo : ChangeOrigin::Undo;
    apply(step, forward);
    if (forward)
        history_.moved_forward();
    else
        history_.moved_back();
    select_after_step(step);
    finish_applying();
    return true;
}

void Workspace::finish_applying() {
    applying_.reset();
    // Zones an observer loaded or unloaded meanwhile.
    auto later = std::move(forget_later_);
    forget_later_.clear();
    for (const auto& [kind, zone] : later)
        forget(kind, zone);
    history_changed();
}

std::string Workspace::undo_text() const {
    const HistoryStep* s = history_.undo_step();
    return s ? "Undo " + s->name : "Undo";
}

std::string Workspace::redo_text() const {
    const HistoryStep* s = history_.redo_step();
    return s ? "Redo " + s->name : "Redo";
}

void Workspace::clear_history() {
    history_.clear();
    history_changed();
}

void Workspace::set_history_limits(HistoryLimits limits) {
    history_.set_limits(limits);
    history_changed();
}

void Workspace::history_changed() {
    notify([](WorkspaceObserver* o) { o->history_changed(); });
}

}  // namespace zs
