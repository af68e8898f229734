// World files (<zone>.wld) and their layout side files (<zone>.wld_zs): the
// reader, shared by the current and the older room layouts, the writer, and
// the load and save commands with their messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/diagnostic.h"
#include "world/room.h"
#include "world/world_table.h"

namespace zs {

class AreaChange;
struct Staging;
class Workspace;

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

// Loads one zone's world file, with the offer to convert an older layout.
// True when the file's rooms are in the table afterwards.
bool load_world_file(Workspace& ws, const std::string& path);
// The same with the file's bytes read already; `path` names the file.
bool load_world_bytes(Workspace& ws, const std::string& path, std::string_view bytes);

// The file text of the rooms in these slots, in the current layout.
std::string write_world(const WorldTable& world, const std::vector<int>& slots);
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

// The whole file text of a zone's rooms in the current layout.
std::string world_file_text(const Workspace& ws, int zone);
// Puts the world files of zones that hold rooms into a save's change, each
// with its layout file (or, when no room has a colour, its removal).
void stage_world_files(Workspace& ws, AreaChange& change, const std::vector<int>& zones,
                       Staging& out);
// Saves a zone's rooms as every save does (save_zone_files): written, or,
// when the builder emptied the zone, its files removed.
bool save_world_file(Workspace& ws, int zone);
bool save_current_world(Workspace& ws);

void read_layout_file(Workspace& ws, const std::string& path);
// Applies the "Col:" lines of a layout file's text to the loaded rooms.
void apply_layout_text(Workspace& ws, std::string_view text);
bool write_layout_file(Workspace& ws, int zone);

// Message texts that callers and tests compare against.
inline constexpr std::string_view kConversionSuccess =
    "Conversion successful.  Please save the zone immediately\r\n"
    "so that the file is in the correct format.";

}  // namespace zs
