#include "files/fileold_wld.h"

#include "files/file_kinds.h"

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

bool is_stock_world_layout(int layout) {
    return layout >= static_cast<int>(kLegacyWorldLayouts.size()) - 2;
}

ReadResult<Room> read_older_world(std::string_view bytes, std::string_view file_name,
                                  const std::vector<TextReader::StringError>& shown) {
    return read_first_fitting_layout<Room>(
        kLegacyWorldLayouts.size(), file_kind(TableKind::World), file_name, [&](std::size_t i) {
            ReadResult<Room> read =
                read_world_layout(bytes, file_name, kLegacyWorldLayouts[i], false);
            if (read.ok) add_string_errors(read.diagnostics, file_name, read.string_errors, shown);
            return read;
        });
}

}  // namespace zs
