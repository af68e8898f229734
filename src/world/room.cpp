#include "world/room.h"

#include <tuple>

namespace zs {

std::uint16_t exit_flags_from_door_kind(int door_kind) {
    switch (door_kind) {
        case 1:
            return kExitIsDoor;
        case 2:
            return kExitIsDoor | kExitPickproof;
        default:
            return 0;
    }
}

int door_kind_from_exit_flags(std::uint16_t flags) {
    if (!(flags & kExitIsDoor)) return 0;
    return (flags & kExitPickproof) ? 2 : 1;
}

bool Room::same_record(const Room& o) const {
    auto fields = [](const Room& r) {
        return std::tie(r.vnum, r.zone, r.sector, r.title, r.description, r.side_text,
                        r.extra_descriptions, r.exits, r.room_flags, r.climate, r.extra_text,
                        r.mine_kind, r.mine_resource, r.mine_amount, r.mine_reset, r.fly_up_room,
                        r.fly_down_room, r.fall_room, r.height, r.nation, r.room_size,
                        r.reserved_value, r.triggers, r.room_colour);
    };
    return fields(*this) == fields(o);
}

void Room::add_trigger(std::int32_t trigger_vnum) {
    if (trigger_vnum == 0 || triggers.size() >= kMaxTriggers) return;
    triggers.push_back(trigger_vnum);
}

void Room::refresh_walk() {
    walk_mask = 0;
    for (int d = 0; d < kNumDirections; ++d) {
        int to = -1;
        if (exits[d])
            to = exits[d]->destination;
        else if (d == kUp && fly_up_room > 0 && vnum_in_range(fly_up_room))
            to = fly_up_room;
        else if (d == kDown && fly_down_room > 0 && vnum_in_range(fly_down_room))
            to = fly_down_room;
        if (exits[d] || to > 0) {
            walk_mask = static_cast<std::uint8_t>(walk_mask | (1u << d));
            walk_to[d] = static_cast<Vnum>(to);
        }
    }
}

Room make_new_room(Vnum vnum, int zone) {
    Room r;
    r.vnum = vnum;
    r.zone = static_cast<std::int16_t>(zone);
    r.title = "An unfinished room";
    r.description = "You are in an unfinished room.\r\n";
    r.extra_text = "none";
    return r;
}

}  // namespace zs
