// World files (<zone>.wld) and their layout side files (<zone>.wld_zs): the
// reader, shared by the current and the older room layouts (fileold_wld.h),
// and the writers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/diagnostic.h"
#include "world/room.h"
#include "world/world_table.h"

namespace zs {

// How one room layout differs from the others. The current layout and the
// older ones share the skeleton of "#vnum" lines, tilde texts, "D" and "E"
// blocks, "S" and trigger lines, and differ only in what is listed here.
struct WorldLayout {
    int room_texts;        // title, description[, extra text[, side text]]
    bool stock_room_line;  // "zone flags sector" instead of the ten-field line
    int flag_words;        // flag words on a stock room line: 1, or tbaMUD's 4
    int line_b_fields;     // mine amount, reset[, resource[, room size, reserved]]; 0: no line
    int exit_texts;        // description, keywords[, door description]
    int exit_fields;       // door kind, key, destination[, lock quality, door strength[, size]]
    bool ends_at_99999;    // a "#99999" line ends the file as "$" does
};

extern const WorldLayout kCurrentWorldLayout;

// Reads the rooms of one layout from a file's bytes; `file_name` is what
// string errors name. With `report` (the current layout), the read tells of
// its string errors as it meets them, of a format error in the world-file
// error box, and on success lists its string errors as load problems.
// Without it the read is a silent try of an older layout being converted:
// an exit whose key or destination does not fit 16 bits, and room flags
// beyond the first 32, are left out and noted instead of failing the read.
ReadResult<Room> read_world_layout(std::string_view bytes, std::string_view file_name,
                                   const WorldLayout& layout, bool report,
                                   ReadSink<Room>* sink = nullptr);
// The current layout, reporting.
ReadResult<Room> read_world(std::string_view bytes, std::string_view file_name,
                            ReadSink<Room>* sink = nullptr);

// The file text of the rooms in these slots, in the current layout.
WriteResult write_world(const WorldTable& world, const std::vector<int>& slots);
// The layout file's text of those rooms: one "Col:" line per coloured room;
// empty when none has a colour.
std::string write_room_colours(const WorldTable& world, const std::vector<int>& slots);

// One "Col:" line of a layout file.
struct RoomColour {
    Vnum vnum;
    int colour;
};
// The colours a layout file's text gives; lines that are damaged, or give a
// colour the map has no bitmap for, are passed over.
std::vector<RoomColour> read_room_colours(std::string_view bytes);

// Message texts that callers and tests compare against.
inline constexpr std::string_view kConversionSuccess =
    "Conversion successful.  Please save the zone immediately\r\n"
    "so that the file is in the correct format.";

}  // namespace zs
