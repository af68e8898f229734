#include "world/zone_table.h"

#include <optional>

namespace zs {

Zedit make_new_zedit(int number) {
    Zedit z;
    z.number = static_cast<std::int16_t>(number);
    z.name = "A New Zone";
    z.roleplay_name = "an unknown area";
    return z;
}

void ZoneTable::notify(ChangeKind kind, int number, bool user_edit) const {
    if (sink_) sink_->on_change({TableKind::Zone, kind, number, user_edit});
}

int ZoneTable::find_zedit(int number) const {
    for (int s = 0; s < count(); ++s)
        if (zedits_[s].number == number) return s;
    return -1;
}

void ZoneTable::select_slot(int slot) const {
    int next = (slot >= 0 && slot < count()) ? slot : -1;
    if (next == selected_) return;
    selected_ = next;
    notify(ChangeKind::Selection, next < 0 ? -1 : zedits_[next].number, false);
}

bool ZoneTable::reserve_zedit_block(int number) {
    if (find_zedit(number) >= 0) return false;
    ++blocks_;
    return true;
}

void ZoneTable::release_block() {
    if (blocks_ > 0) --blocks_;
}

void ZoneTable::append(Zedit zedit) {
    int number = zedit.number;
    zedits_.push_back(std::move(zedit));
    notify(ChangeKind::Added, number, false);
    select_slot(count() - 1);
}

int ZoneTable::create_zedit(int number) {
    insert_at(0, make_new_zedit(number));
    return 0;
}

void ZoneTable::insert_at(int slot, Zedit zedit) {
    int number = zedit.number;
    zedits_.insert(zedits_.begin() + slot, std::move(zedit));
    if (selected_ >= slot) ++selected_;
    if (EditRecorder* rec = recorder(true))
        rec->record(TableKind::Zone, nullptr, &zedits_[slot], place_at(slot));
    notify(ChangeKind::Added, number, true);
}

int ZoneTable::find_nth(int number, int nth) const {
    for (int s = 0; s < count(); ++s)
        if (zedits_[s].number == number && nth-- == 0) return s;
    return -1;
}

int ZoneTable::nth_of(int slot) const {
    int n = 0;
    for (int s = 0; s < slot; ++s)
        n += zedits_[s].number == zedits_[slot].number;
    return n;
}

RecordPlace ZoneTable::place_at(int slot) const {
    RecordPlace place;
    place.before_nth = place.after_nth = nth_of(slot);
    if (slot > 0) {
        place.after_id = zedits_[slot - 1].number;
        place.after_id_nth = nth_of(slot - 1);
    }
    return place;
}

int ZoneTable::restore(int after_id, int after_nth, Zedit zedit) {
    int slot = 0;
    if (after_id != kTableFront) {
        int before = find_nth(after_id, after_nth);
        slot = before >= 0 ? before + 1 : 0;
    }
    insert_at(slot, std::move(zedit));
    return slot;
}

void ZoneTable::delete_zedit(int number) {
    int slot = find_zedit(number);
    if (slot >= 0) delete_slot(slot, true);
}

void ZoneTable::delete_slot(int slot, bool user_edit) {
    if (slot < 0 || slot >= count()) return;
    int number = zedits_[slot].number;
    if (EditRecorder* rec = recorder(user_edit))
        rec->record(TableKind::Zone, &zedits_[slot], nullptr, place_at(slot));
    int select_after = selected_;
    if (selected_ == slot) {
        // Another zedit with the same number, else the first other one.
        select_after = -1;
        for (int s = 0; s < count(); ++s)
            if (s != slot && zedits_[s].number == number) {
                select_after = s;
                break;
            }
        if (select_after < 0)
            for (int s = 0; s < count(); ++s)
                if (s != slot) {
                    select_after = s;
                    break;
                }
    }
    zedits_.erase(zedits_.begin() + slot);
    if (select_after > slot) --select_after;
    selected_ = select_after;  // settled before anyone hears of the removal
    notify(ChangeKind::Removed, number, user_edit);
    notify(ChangeKind::Selection, selected_ < 0 ? -1 : zedits_[selected_].number, false);
}

bool ZoneTable::unload_zone(int number) {
    bool had = find_zedit(number) >= 0;
    for (int slot = find_zedit(number); slot >= 0; slot = find_zedit(number))
        delete_slot(slot, false);
    release_block();
    if (selected_ < 0 && !zedits_.empty()) select_slot(0);
    return had;
}

void ZoneTable::truncate(int keep, int /*selected_before*/) {
    for (int slot = count() - 1; slot >= std::max(keep, 0); --slot)
        delete_slot(slot, false);
}

void ZoneTable::clear() {
    zedits_.clear();
    blocks_ = 0;
    selected_ = -1;
    notify(ChangeKind::Cleared, -1, false);
    notify(ChangeKind::Selection, -1, false);
}

bool ZoneTable::insert_command(int slot, int position) {
    if (slot < 0 || slot >= count()) return false;
    const auto& cmds = zedits_[slot].commands;
    if (position < 0 || position > static_cast<int>(cmds.size())) return false;
    edit_zedit(slot, [position](Zedit& z) {
        Zcmd c;
        c.command = 'N';
        z.commands.insert(z.commands.begin() + position, c);
    });
    return true;
}

bool ZoneTable::remove_command(int slot, int position) {
    if (slot < 0 || slot >= count()) return false;
    const auto& cmds = zedits_[slot].commands;
    if (position < 0 || position >= static_cast<int>(cmds.size())) return false;
    edit_zedit(slot, [position](Zedit& z) { z.commands.erase(z.commands.begin() + position); });
    return true;
}

void ZoneTable::edit_zedit(int slot, const std::function<void(Zedit&)>& edit) {
    if (slot < 0 || slot >= count()) return;
    EditRecorder* rec = recorder(true);
    std::optional<Zedit> before;
    RecordPlace place;
    if (rec) {
        before = zedits_[slot];
        place.before_nth = nth_of(slot);
    }
    int number = zedits_[slot].number;
    edit(zedits_[slot]);
    if (rec) {
        place.after_nth = nth_of(slot);
        rec->record(TableKind::Zone, &*before, &zedits_[slot], place);
    }
    Change change{TableKind::Zone, ChangeKind::Edited, zedits_[slot].number, true};
    if (number != zedits_[slot].number) change.previous_id = number;
    if (sink_) sink_->on_change(change);
}

}  // namespace zs
