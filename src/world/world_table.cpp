#include "world/world_table.h"

namespace zs {

void WorldTable::create_exit(int slot, Vnum destination, int direction) {
    if (direction < 0 || direction >= kNumDirections) return;
    edit(slot, [&](Room& r) {
        Exit e;
        e.destination = destination;
        r.exits[direction] = std::move(e);
    });
}

void WorldTable::remove_room(int vnum, bool by_builder) {
    int slot = find_room(vnum);
    if (slot < 0) return;
    if (by_builder) {
        for (int s = 0; s < count(); ++s) {
            const Room& r = room(s);
            bool leads_here = false;
            for (const auto& e : r.exits)
                leads_here |= e && e->destination == vnum;
            if (!leads_here) continue;
            edit(s, [vnum](Room& room_to_edit) {
                for (auto& e : room_to_edit.exits)
                    if (e && e->destination == vnum) e.reset();
            });
        }
    }
    // The selected room hands the selection to its first exit target that is
    // loaded, in direction order.
    int successor = -1;
    if (selected_slot() == slot) {
        for (const auto& e : room(slot).exits) {
            if (!e || e->destination == 0) continue;
            int target = find_room(e->destination);
            if (target >= 0 && target != slot) {
                successor = target;
                break;
            }
        }
    }
    erase_slot(slot, successor, by_builder);
}

bool WorldTable::remove_zone(int zone, bool by_builder) {
    bool removed = false;
    for (int s = 0; s < count();) {
        if (room(s).zone == zone) {
            remove_room(room(s).vnum, by_builder);
            removed = true;
        } else {
            ++s;
        }
    }
    // The block goes back only with rooms: a zone that had none never held one.
    if (removed) release_block();
    if (selected_slot() < 0 && !empty()) select_slot(0);
    return removed;
}

}  // namespace zs
