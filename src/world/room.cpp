#include "world/room.h"

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

void Room::add_trigger(std::int32_t trigger_vnum) {
    if (trigger_vnum == 0 || triggers.size() >= kMaxTriggers) return;
    triggers.push_back(trigger_vnum);
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
