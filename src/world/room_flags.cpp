#include "world/room_flags.h"

#include "world/edits.h"
#include "world/strfmt.h"

namespace zs {

bool set_room_flag_boxes(Workspace& ws, int vnum, std::uint32_t ticked, EditOptions options) {
    options.fields = field_bit(RoomField::Flags);
    return edit_room(
        ws, vnum, strfmt("Edit Flags of Room %d", vnum),
        [&](Room& r) {
            r.room_flags = (r.room_flags & ~kRoomFlagBoxBits) | (ticked & kRoomFlagBoxBits);
        },
        options);
}

}  // namespace zs
