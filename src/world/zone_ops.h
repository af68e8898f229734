// The operations on a whole zone: applying the selected room's attributes to
// every room of its zone, renumbering a zone (its rooms alone, or its rooms,
// zedit, objects and mobiles with every reference to them in every loaded
// zone), and deleting a zone's rooms. Each is one named, undoable step; each
// checks everything it needs before it changes anything, and reports only
// through the UiPort.
#pragma once

#include <optional>
#include <string_view>

#include "world/box_numbers.h"
#include "world/workspace.h"

namespace zs {

// Zone numbers run from 0 to 327: zone 327 holds vnums 32700 to 32767, the
// last ones a 16-bit vnum reaches.
constexpr int kHighestZone = 327;
constexpr bool zone_number_valid(long long zone) {
    return zone >= 0 && zone <= kHighestZone;
}

// The boxes of the Apply Attributes dialog. The first group says what is
// copied, the second which values already set are left alone. The start
// values are the dialog's on opening.
struct ApplyAttributesChoices {
    bool room_flags = true;
    bool climate = true;
    bool sector = true;
    bool nation = true;
    bool room_size = false;
    bool exit_size = false;
    // "Do not copy over previously set values:"
    bool keep_room_flags = false;
    bool keep_nation = false;
    bool keep_room_size = false;
    bool keep_exit_size = false;
};

// "Apply Attributes to Zone 30": the selected room's attributes to every room
// of its zone (itself included). False when no room is selected. When the
// selected room's exits differ in size, no exit size is copied and the status
// says so.
bool apply_attributes(Workspace& ws, const ApplyAttributesChoices& choices);

// What a renumbering did.
struct RenumberResult {
    bool done = false;  // false: refused, nothing changed
    int rooms = 0, objects = 0, mobiles = 0, zedits = 0;
    int references = 0;  // vnums rewritten in exits, keys, resets and object values
};

// "Renumber Zone 30 to 200". Rooms only (`whole_zone` false): the zone's rooms
// move, with their exits, fly and fall rooms; other zones' exits into the zone
// stay as they are. With `whole_zone`, the zone's rooms, zedit, objects and
// mobiles move, and every reference to them in every loaded zone follows:
// exit targets and keys, fly and fall rooms, the room, object and mobile
// arguments of reset commands, and container keys. Refused with a message box
// (nothing changes) when a number is not a zone, the new zone has records
// already, the old one has none, a record it would move shares its vnum with
// another loaded record (the box names the first few), or a vnum would pass
// 32767.
RenumberResult renumber_zone(Workspace& ws, int old_zone, int new_zone, bool whole_zone);
// Re-Number in the dialog: the two boxes' texts.
RenumberResult renumber_zone_from_boxes(Workspace& ws, std::string_view old_box,
                                        std::string_view new_box, bool whole_zone);

// The Delete Zone dialog's OK: the warning, then on Yes "Delete Zone 30", which
// removes the zone's rooms with every exit that leads into them. False when
// nothing was deleted (an empty box asks nothing).
inline constexpr std::string_view kDeleteZoneWarning =
    "If you loaded this zone by mistake and need to\r\n"
    "remove it, then use the Unload Zone option instead.\r\n"
    "Using this Delete Zone option will permanently delete\r\n"
    "all exits going TO this zone from other zones as well,\r\n"
    "are you SURE you want to do this?";
bool delete_zone(Workspace& ws, std::string_view box);

}  // namespace zs
