// The room pane's edits in the core: reading its number boxes, the materials
// a mine kind offers, the flag list and its guard against a damaged flag
// mask, and the named steps that store the pane's lists and boxes and delete
// an exit.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/edits.h"

namespace zs {

// A number box's text as a number: optional spaces and sign, then the
// leading digits; anything after them is ignored, and a box with no digits
// reads 0. A number past the range of int is clamped to it.
int box_int(std::string_view text);
// "Mine Amount" and "Mine Reset": below 0 gives 0.
int mine_number_from_box(std::string_view text);
// "U", "D" and "Fall": below 1 gives -1 (no room).
int fly_room_from_box(std::string_view text);
// "Hgt": below 1 gives 0.
int height_from_box(std::string_view text);

// A material the list offers: its row in the mine kind's full table (what a
// room stores) and its name.
struct OfferedMaterial {
    int index;
    std::string_view name;
};
// The materials offered for a mine kind, in table order: rows numbered above
// 0 (every gem). Empty for "none" and unknown kinds.
std::vector<OfferedMaterial> offered_materials(int mine_kind);

// The flag list box's text: the name of every set named flag, each followed
// by a space. Set bits without a name show nothing.
std::string room_flag_list(std::uint32_t flags);

// The flag guard: a mask with this many of bits 0 to 30 set is damaged.
constexpr int kFlagBugBits = 26;
constexpr std::uint32_t kGuardedFlags = 0x7fffffffu;
inline constexpr std::string_view kFlagBugMessage =
    "The room flag bug occurred; please note what you recently did.  All flags on this room "
    "are now removed.";
constexpr bool damaged_flags(std::uint32_t flags) {
    return std::popcount(flags & kGuardedFlags) >= kFlagBugBits;
}
// When the room has kFlagBugBits or more of bits 0 to 30 set, clears them
// ("Clear Flags of Room 3001") and says so in a message box. True when it
// cleared them. A mask the builder brought back by undoing that very step is
// left alone while the step waits to be redone.
bool guard_room_flags(Workspace& ws, int vnum, EditOptions options = {});

// Stores a value of one of the pane's lists or boxes into the room ("Edit
// Sector of Room 3001"). `field` is Sector, Climate, MineKind, MineMaterial,
// MineAmount, MineReset, FlyUp, FlyDown, Fall, Height or Nation; the value
// is stored as given (the box readers above apply the boxes' rules). A mine
// kind that changes, or is set to "none" (0), resets the material to 0. A
// value the room already holds makes no step; false then.
bool set_room_field(Workspace& ws, int vnum, RoomField field, int value, EditOptions options = {});

// A number box's text stored into its field through the box's rule. Pass a
// merge key in the options so that typing in one box is one step.
bool store_room_box(Workspace& ws, int vnum, RoomField field, std::string_view text,
                    EditOptions options = {});

// "Delete North Exit of Room 3001": removes the room's exit in `dir`, and
// the target's exit in the reverse direction when the target is loaded and
// that exit leads back here (a return exit leading elsewhere stays). False
// when the room or the exit does not exist.
bool delete_exit(Workspace& ws, int vnum, int dir, EditOptions options = {});

}  // namespace zs
