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

// One try: reserve the zone's block, read the file from its start.
bool try_layout(Workspace& ws, std::string_view data, const WorldLayout& layout,
                LoadAttempt<WorldTable>& attempt) {
    attempt.begin();
    TextReader reader(data);
    return parse_world(ws, reader, layout, false);
}

}  // namespace

bool legacy_world_chain(Workspace& ws, std::string_view data, LoadAttempt<WorldTable>& attempt) {
    for (std::size_t i = 0; i + 1 < kLegacyWorldLayouts.size(); ++i) {
        if (try_layout(ws, data, kLegacyWorldLayouts[i], attempt)) return true;
        attempt.roll_back();
    }
    if (!try_layout(ws, data, kLegacyWorldLayouts.back(), attempt)) {
        world_load_error(ws.ui());
        attempt.roll_back();
        return false;
    }
    if (!ws.ui().ask_yes_no(kStockQuestion)) {
        attempt.roll_back();
        return false;
    }
    return true;
}

}  // namespace zs
