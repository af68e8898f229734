#include "world/world_table.h"

#include <algorithm>

namespace zs {

bool WorldTable::has_zone(int zone) const {
    // The vnums whose quotient by 100 is the zone (division truncates, so
    // zone 0 runs from -99 to 99).
    int lo = zone > 0 ? zone * 100 : zone * 100 - 99;
    int hi = zone < 0 ? zone * 100 : zone * 100 + 99;
    lo = std::max(lo, kVnumMin);
    hi = std::min(hi, kVnumMax);
    for (int v = lo; v <= hi; ++v)
        if (index_.first(v) >= 0) return true;
    return false;
}

void WorldTable::emit(ChangeKind kind, int vnum, bool user_edit) const {
    if (sink_) sink_->on_change({TableKind::World, kind, vnum, user_edit});
}

void WorldTable::select_slot(int slot) {
    int next = (slot >= 0 && slot < count()) ? slot : -1;
    if (next == selected_) return;
    selected_ = next;
    emit(ChangeKind::Selection, next < 0 ? -1 : rooms_[next]->vnum, false);
}

bool WorldTable::reserve_room_block(int zone) {
    if (has_zone(zone)) return false;
    ++blocks_;
    rooms_.reserve(static_cast<size_t>(blocks_) * 100 + 1);
    return true;
}

void WorldTable::release_room_block() {
    if (blocks_ > 0) --blocks_;
}

void WorldTable::append(Room room) {
    int slot = count();
    room.zone = static_cast<std::int16_t>(zone_of(room.vnum));
    index_.appended(room.vnum, slot);
    int vnum = room.vnum;
    rooms_.push_back(std::make_unique<Room>(std::move(room)));
    emit(ChangeKind::Added, vnum, false);
    if (selected_ < 0) select_slot(slot);
}

void WorldTable::truncate(int keep, int selected_before) {
    keep = std::clamp(keep, 0, count());
    for (int s = count() - 1; s >= keep; --s) {
        int vnum = rooms_[s]->vnum;
        index_.removed_last(vnum, s);
        rooms_.pop_back();
        emit(ChangeKind::Removed, vnum, false);
    }
    if (selected_ >= keep || selected_before != selected_)
        select_slot(selected_before < keep ? selected_before : -1);
}

int WorldTable::create_room(Vnum vnum, int zone) {
    auto record = std::make_unique<Room>(make_new_room(vnum, zone));
    // Walk down from the end until a room of this zone with a lower vnum is
    // met; the new room goes right after it, or to slot 0.
    int slot = count();
    while (slot > 0) {
        const Room& before = *rooms_[slot - 1];
        if (before.zone == zone && before.vnum < vnum) break;
        --slot;
    }
    rooms_.insert(rooms_.begin() + slot, std::move(record));
    index_.inserted(vnum, slot, count(), [this](int s) { return rooms_[s]->vnum; });
    if (selected_ >= slot) ++selected_;
    emit(ChangeKind::Added, vnum, true);
    return slot;
}

void WorldTable::create_exit(int slot, Vnum destination, int direction) {
    if (slot < 0 || slot >= count() || direction < 0 || direction >= kNumDirections) return;
    Exit e;
    e.destination = destination;
    rooms_[slot]->exits[direction] = std::move(e);
    emit(ChangeKind::Edited, rooms_[slot]->vnum, true);
}

void WorldTable::erase_slot(int slot) {
    int vnum = rooms_[slot]->vnum;
    rooms_.erase(rooms_.begin() + slot);
    index_.erased(vnum, slot, count(), [this](int s) { return rooms_[s]->vnum; });
    if (selected_ > slot) --selected_;
}

void WorldTable::delete_room(int vnum, bool remove_incoming) {
    int slot = find_room(vnum);
    if (slot < 0) return;
    if (remove_incoming) {
        for (auto& r : rooms_) {
            bool changed = false;
            for (auto& e : r->exits) {
                if (e && e->destination == vnum) {
                    e.reset();
                    changed = true;
                }
            }
            if (changed) emit(ChangeKind::Edited, r->vnum, true);
        }
    }
    // Deleting the selected room moves the selection to the first exit
    // target that is loaded, in direction order.
    int select_after = -2;  // -2: leave the selection as it is
    if (selected_ == slot) {
        select_after = -1;
        for (const auto& e : rooms_[slot]->exits) {
            if (!e || e->destination == 0) continue;
            int target = find_room(e->destination);
            if (target >= 0 && target != slot) {
                select_after = target;
                break;
            }
        }
        selected_ = -1;
    }
    erase_slot(slot);
    emit(ChangeKind::Removed, vnum, remove_incoming);
    if (select_after >= -1) {
        if (select_after > slot) --select_after;
        select_slot(select_after);
        if (select_after < 0) emit(ChangeKind::Selection, -1, false);
    }
}

void WorldTable::remove_zone(int zone, bool remove_incoming) {
    for (int s = 0; s < count();) {
        if (rooms_[s]->zone == zone)
            delete_room(rooms_[s]->vnum, remove_incoming);
        else
            ++s;
    }
    release_room_block();
    if (selected_ < 0 && !rooms_.empty()) select_slot(0);
}

void WorldTable::clear() {
    bool had_selection = selected_ >= 0;
    rooms_.clear();
    index_.clear();
    blocks_ = 0;
    selected_ = -1;
    if (had_selection) emit(ChangeKind::Selection, -1, false);
    emit(ChangeKind::Removed, -1, false);
}

void WorldTable::edit_room(int slot, const std::function<void(Room&)>& edit, bool user_edit) {
    if (slot < 0 || slot >= count()) return;
    Room& r = *rooms_[slot];
    Vnum before = r.vnum;
    edit(r);
    if (r.vnum != before) {
        // A new number: take the record out of the index and put it back.
        r.zone = static_cast<std::int16_t>(zone_of(r.vnum));
        index_.clear();
        for (int s = 0; s < count(); ++s) index_.appended(rooms_[s]->vnum, s);
    }
    emit(ChangeKind::Edited, r.vnum, user_edit);
}

}  // namespace zs
