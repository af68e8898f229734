// The Room Flags dialog's edit in the core: which room flag bits have a check
// box, and the step that stores the ticked boxes. The other bits (named ones
// without a box and the unnamed high bits) are never touched by it.
#pragma once

#include <cstdint>

#include "world/workspace.h"

namespace zs {

// True for the flag bits the dialog offers a box for: 0 to 11, 13, 16 and
// 19 to 25.
constexpr bool room_flag_has_box(int bit) {
    return (bit >= 0 && bit <= 11) || bit == 13 || bit == 16 || (bit >= 19 && bit <= 25);
}

constexpr std::uint32_t room_flag_box_mask() {
    std::uint32_t mask = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (room_flag_has_box(bit)) mask |= std::uint32_t{1} << bit;
    return mask;
}

// The 21 bits that have a box, as one mask.
constexpr std::uint32_t kRoomFlagBoxBits = room_flag_box_mask();

// "Edit Flags of Room 3001": the boxed bits become those of `ticked` (bits
// of `ticked` without a box are ignored), every other bit stays. False when
// the room is not loaded.
bool set_room_flag_boxes(Workspace& ws, int vnum, std::uint32_t ticked, EditOptions options = {});

}  // namespace zs
