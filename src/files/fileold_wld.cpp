#include "files/fileold_wld.h"

#include "world/text.h"
#include "world/workspace.h"

namespace zs {

// Layout A: three room texts (no side text); numeric lines as today.
// Layout B: three room texts; second room line "mine amount, reset, resource";
//           five-number exit line (no exit size).
// Layout C: as B, but the second room line has only mine amount and reset.
// Layout D: as C, and exits carry no door description.
// tbaMUD:   title and description; "zone f1 f2 f3 f4 sector" (four flag words,
//           the sector last); exits as in the stock layout.
// Stock CircleMUD: title and description; "zone flags sector"; exits with
//           description and keywords and "door kind, key, destination".
// tbaMUD is tried before the stock layout, which would take its second flag
// word for the sector.
const std::array<WorldLayout, 6> kLegacyWorldLayouts = {{
    {3, false, 1, 5, 3, 6, false},
    {3, false, 1, 3, 3, 5, false},
    {3, false, 1, 2, 3, 5, false},
    {3, false, 1, 2, 2, 5, false},
    {2, true, 4, 0, 2, 3, true},
    {2, true, 1, 0, 2, 3, true},
}};

namespace {

constexpr std::string_view kStockQuestion =
    "Hmmm.. this doesn't fit Quor's world format, but it seems to be\r\n"
    "a stock circle world file.  Would you like to load it up in the\r\n"
    "stock format and convert it to Quor's format?";

}  // namespace

bool legacy_world_chain(Workspace& ws, std::string_view data, const TextReader& current,
                        LoadAttempt<WorldTable>& attempt) {
    UiPort& ui = ws.ui();
    std::string range_error;  // the last failed try's out-of-range vnum, if any
    const std::size_t stock_from = kLegacyWorldLayouts.size() - 2;
    for (std::size_t i = 0; i < kLegacyWorldLayouts.size(); ++i) {
        // Each try reserves the zone's block and reads the file from its start.
        attempt.begin();
        TextReader reader(data);
        reader.set_file_name(current.file_name());
        ReadNotes notes;
        if (!parse_world(ws, reader, kLegacyWorldLayouts[i], false, &notes)) {
            if (!notes.range_error.empty()) range_error = notes.range_error;
            attempt.roll_back();
            continue;
        }
        // The game's own older layouts need no question of their own; the
        // CircleMUD family (tbaMUD, then stock) does.
        if (i >= stock_from && !ui.ask_yes_no(kStockQuestion)) {
            attempt.roll_back();
            return false;
        }
        report_string_errors(ui, reader, current);
        notes.dropped.show(ui, current.file_name());
        return true;
    }
    world_load_error(ui, range_error);
    return false;
}

}  // namespace zs
