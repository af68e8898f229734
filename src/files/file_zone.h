// Zone files (<zone>.zon): the reader of a zedit and its reset commands, the
// writer, and the load and save commands with their messages.
#pragma once

#include <string>
#include <string_view>

#include "files/load_notes.h"

namespace zs {

class Workspace;
class TextReader;
class UiPort;
struct Zedit;

// Reads one zedit from `reader` and appends it to the zone table, which then
// selects it. A format error shows the zone-file error box and leaves the
// table as it was.
bool parse_zone(Workspace& ws, TextReader& reader);

// Loads one zone file, with the offer to convert an older layout. True when
// the file's zedit is in the table afterwards.
bool load_zone_file(Workspace& ws, const std::string& path);

// The stock zone layouts (tbaMUD, then CircleMUD 3.x and 3.0), tried on the
// bytes of a file the current reader refused once the builder has agreed to
// convert it. True when the zedit is in the table afterwards; on failure the
// zone-file error box is shown and the table is as it was.
bool legacy_zone_chain(Workspace& ws, std::string_view data, std::string_view file_name, int zone);

enum class StockZoneLayout { TbaMud, Circle };
// Reads one zedit of a stock layout, silently; appends it only on success.
// `notes` gets the header fields a zedit has no place for, and the reason a
// zone number out of range failed the read.
bool parse_stock_zone(Workspace& ws, TextReader& reader, StockZoneLayout layout,
                      ReadNotes* notes = nullptr);

// The whole file text of a zedit. A command of a kind the file has no line
// for is left out and reported through `ui`.
std::string zone_file_text(const Zedit& z, UiPort& ui);

// Writes the zedit with this number to <zone>.zon in the area directory and
// clears its modified mark; false when there is no such zedit or the file
// could not be written (the old file then stays as it was).
bool save_zone_file(Workspace& ws, int zone);
bool save_current_zedit(Workspace& ws);
// True when every zedit was written.
bool save_all_zedits(Workspace& ws);

}  // namespace zs
