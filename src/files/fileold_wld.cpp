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

constexpr std::string_view kDroppedFlags =
    "Note: some rooms in this file have room flags beyond the first 32.\r\n"
    "The game's rooms cannot hold them; they were left out.";

constexpr std::string_view kStockQuestion =
    "Hmmm.. this doesn't fit Quor's world format, but it seems to be\r\n"
    "a stock circle world file.  Would you like to load it up in the\r\n"
    "stock format and convert it to Quor's format?";

// One try: reserve the zone's block, read the file from its start.
bool try_layout(Workspace& ws, std::string_view data, const WorldLayout& layout,
                LoadAttempt<WorldTable>& attempt, WorldReadNotes* notes = nullptr) {
    attempt.begin();
    TextReader reader(data);
    return parse_world(ws, reader, layout, false, notes);
}

}  // namespace

bool legacy_world_chain(Workspace& ws, std::string_view data, LoadAttempt<WorldTable>& attempt) {
    // The game's own older layouts first: they need no question of their own.
    std::size_t stock_from = kLegacyWorldLayouts.size() - 2;
    for (std::size_t i = 0; i < stock_from; ++i) {
        if (try_layout(ws, data, kLegacyWorldLayouts[i], attempt)) return true;
        attempt.roll_back();
    }
    // Then the CircleMUD family: tbaMUD, then stock.
    WorldReadNotes notes;
    bool read = false;
    for (std::size_t i = stock_from; i < kLegacyWorldLayouts.size() && !read; ++i) {
        read = try_layout(ws, data, kLegacyWorldLayouts[i], attempt, &notes);
        if (!read) attempt.roll_back();
    }
    if (!read) {
        world_load_error(ws.ui());
        return false;
    }
    if (!ws.ui().ask_yes_no(kStockQuestion)) {
        attempt.roll_back();
        return false;
    }
    if (notes.dropped_flag_bits) ws.ui().show_message(kDroppedFlags, "Warning");
    return true;
}

}  // namespace zs
