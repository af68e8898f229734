#include "files/fileold_wld.h"

#include "world/text.h"
#include "world/workspace.h"

namespace zs {

// Layout A: three room texts (no side text); numeric lines as today.
// Layout B: three room texts; second room line "mine amount, reset, resource";
//           five-number exit line (no exit size).
// Layout C: as B, but the second room line has only mine amount and reset.
// Layout D: as C, and exits carry no door description.
// Stock CircleMUD: title and description; "zone flags sector"; exits with
//           description and keywords and "door kind, key, destination".
const std::array<WorldLayout, 5> kLegacyWorldLayouts = {{
    {3, false, 5, 3, 6, false},
    {3, false, 3, 3, 5, false},
    {3, false, 2, 3, 5, false},
    {3, false, 2, 2, 5, false},
    {2, true, 0, 2, 3, true},
}};

namespace {

constexpr std::string_view kStockQuestion =
    "Hmmm.. this doesn't fit Quor's world format, but it seems to be\r\n"
    "a stock circle world file.  Would you like to load it up in the\r\n"
    "stock format and convert it to Quor's format?";

// One attempt: reserve the zone's block, read the file from its start.
bool attempt(Workspace& ws, std::string_view data, int zone, const WorldLayout& layout,
             bool& reserved) {
    reserved = ws.world().reserve_room_block(zone);
    TextReader reader(data);
    return parse_world(ws, reader, layout, false);
}

void undo_attempt(Workspace& ws, int count_before, int selected_before, bool reserved) {
    ws.world().truncate(count_before, selected_before);
    if (reserved) ws.world().release_room_block();
}

}  // namespace

bool legacy_world_chain(Workspace& ws, std::string_view data, int zone, int count_before,
                        int selected_before) {
    bool reserved = false;
    for (std::size_t i = 0; i + 1 < kLegacyWorldLayouts.size(); ++i) {
        if (attempt(ws, data, zone, kLegacyWorldLayouts[i], reserved)) return true;
        undo_attempt(ws, count_before, selected_before, reserved);
    }
    if (!attempt(ws, data, zone, kLegacyWorldLayouts.back(), reserved)) {
        world_load_error(ws.ui());
        undo_attempt(ws, count_before, selected_before, reserved);
        return false;
    }
    if (!ws.ui().ask_yes_no(kStockQuestion)) {
        undo_attempt(ws, count_before, selected_before, reserved);
        return false;
    }
    return true;
}

}  // namespace zs
