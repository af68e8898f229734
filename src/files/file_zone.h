// Zone files (<zone>.zon): the reader of a zedit and its reset commands, the
// writer, and the load and save commands with their messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/diagnostic.h"
#include "world/zedit.h"

namespace zs {

class AreaChange;
struct Staging;
class Workspace;
class UiPort;

// Reads the one zedit of a file's bytes. A format error fails the read with
// the zone-file error box and status; a failed read has no zedit.
ReadResult<Zedit> read_zone(std::string_view bytes, std::string_view file_name);

// Loads one zone file, with the offer to convert an older layout. True when
// the file's zedit is in the table afterwards.
bool load_zone_file(Workspace& ws, const std::string& path);
// The same with the file's bytes read already; `path` names the file.
bool load_zone_bytes(Workspace& ws, const std::string& path, std::string_view bytes);

enum class StockZoneLayout { TbaMud, Circle };
// Reads one zedit of a stock layout, silently; its notes get the header
// fields a zedit has no place for, and the reason a zone number out of range
// failed the read.
ReadResult<Zedit> read_stock_zone(std::string_view bytes, StockZoneLayout layout);

// The stock zone layouts (tbaMUD, then CircleMUD 3.x and 3.0) in order: the
// read of the first that fits, with the warning of what it left out; when
// none fits, a failed read whose diagnostics are the zone-file error box.
ReadResult<Zedit> read_older_zone(std::string_view bytes, std::string_view file_name);

// The whole file text of a zedit. A command of a kind the file has no line
// for is left out and told of.
WriteResult write_zone(const Zedit& z);
// The same, showing what it told of through `ui`.
std::string zone_file_text(const Zedit& z, UiPort& ui);

// Puts the files of the zedits with these numbers into a save's change.
void stage_zedit_files(Workspace& ws, AreaChange& change, const std::vector<int>& numbers,
                       Staging& out);
// Writes the zedit with this number to <zone>.zon in the area directory and
// clears its modified mark; false when there is no such zedit or the file
// could not be written (the old file then stays as it was).
bool save_zone_file(Workspace& ws, int zone);
bool save_current_zedit(Workspace& ws);

}  // namespace zs
