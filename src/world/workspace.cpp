#include "world/workspace.h"

#include "world/record_entry.h"

namespace zs {

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
    const int kind = static_cast<int>(change.table);
    const std::optional<bool> applying = history_.applying();
    bool replayed = history_.replaying();
    bool selection = change.kind == ChangeKind::Selection;
    if (replayed) {
        change.origin = *applying ? ChangeOrigin::Redo : ChangeOrigin::Undo;
    } else if (!change.user_edit && !selection) {
        change.origin = ChangeOrigin::Load;
    } else if (history_.recording()) {
        change.origin = ChangeOrigin::Edit;
        change.source = pending_options_.source;
        if (change.kind == ChangeKind::Edited) change.fields = pending_options_.fields;
    }
    if (change.user_edit && !replayed && !history_.recording()) {
        // The builder's changes are reachable only through a step, so this
        // is an edit an observer made, in a step of its own, while a step
        // was being undone, redone or rolled back: the history records
        // nothing then, so the edit cannot be undone and its zone stays
        // modified until saved.
        history_.mark_changed(kind, zone_of_id(change.id));
        if (change.previous_id != Change::kNoPreviousId)
            history_.mark_changed(kind, zone_of_id(change.previous_id));
    }
    if (!change.user_edit && change.kind == ChangeKind::Cleared) {
        for (int zone : zone_files_.zones(change.table))
            zone_files_.forget(change.table, zone);
        history_.forget(kind, std::nullopt);
    } else if (!change.user_edit &&
               (change.kind == ChangeKind::Removed || change.kind == ChangeKind::Added)) {
        // Loading and unloading: steps that touched the zone can no longer
        // be undone or redone.
        int zone = zone_of_id(change.id);
        history_.forget(kind, zone);
        // A zone with no records left no longer stands for its file. (Zones
        // the builder emptied keep theirs until a save removes it.)
        if (change.kind == ChangeKind::Removed && zone_files_.find(change.table, zone) &&
            !has_zone(change.table, zone))
            zone_files_.forget(change.table, zone);
    }
    history_.set_replaying(false);  // what observers do in turn is their own
    notify([&](WorkspaceObserver* o) { o->workspace_changed(change); });
    history_.set_replaying(replayed);
}

EditRecorder* Workspace::recorder() {
    return history_.recording() ? this : nullptr;
}

template <class Table, class Record>
void Workspace::record_images(Table& table, TableKind kind, const Record* before,
                              const Record* after, const RecordPlace& place) {
    // An edit that changed nothing is no part of the step.
    if (before && after && *before == *after) return;
    history_.record(
        std::make_unique<RecordEntry<Table, Record>>(table, kind, before, after, place));
}

void Workspace::record(TableKind table, const Room* before, const Room* after,
                       const RecordPlace& place) {
    record_images(world_, table, before, after, place);
}
void Workspace::record(TableKind table, const ObjectPrototype* before, const ObjectPrototype* after,
                       const RecordPlace& place) {
    record_images(objects_, table, before, after, place);
}
void Workspace::record(TableKind table, const MobilePrototype* before, const MobilePrototype* after,
                       const RecordPlace& place) {
    record_images(mobiles_, table, before, after, place);
}
void Workspace::record(TableKind table, const Zedit* before, const Zedit* after,
                       const RecordPlace& place) {
    record_images(zones_, table, before, after, place);
}

Transaction::Transaction(Workspace& ws, std::string name, EditOptions options) : OpenTables(ws) {
    if (!ws_.history_.step_open()) ws_.pending_options_ = options;
    mark_ = ws_.history_.begin_step(std::move(name), options.merge);
}

Transaction::~Transaction() {
    ws_.history_.end_step(committed_, mark_);
    if (!ws_.history_.step_open()) ws_.notify([](WorkspaceObserver* o) { o->steps_closed(); });
}

void Transaction::focus(TableKind table, int id) {
    ws_.history_.focus(RecordKey{static_cast<int>(table), id});
}

void Transaction::rename(std::string name) {
    ws_.history_.rename(std::move(name));
}

bool Workspace::select_record(const RecordKey& record) {
    auto select_in = [](auto& table, int id) {
        int slot = table.find(id);
        if (slot >= 0) table.select_slot(slot);
        return slot >= 0;
    };
    switch (static_cast<TableKind>(record.kind)) {
        case TableKind::World:
            return select_in(world_, record.id);
        case TableKind::Zone:
            return select_in(zones_, record.id);
        case TableKind::Object:
            return select_in(objects_, record.id);
        case TableKind::Mobile:
            return select_in(mobiles_, record.id);
    }
    return false;
}

void Workspace::history_changed() {
    notify([](WorkspaceObserver* o) { o->history_changed(); });
}

}  // namespace zs
