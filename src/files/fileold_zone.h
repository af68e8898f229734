// Older zone layouts: the stock zone files of tbaMUD and of CircleMUD 3.x and
// 3.0, tried in that order when the current reader fails and the builder
// agrees to convert.
#pragma once

#include <string_view>

#include "files/file_zone.h"

namespace zs {

enum class StockZoneLayout { TbaMud, Circle };
// Reads one zedit of a stock layout, silently; its notes get the header
// fields a zedit has no place for, and the reason a zone number out of range
// failed the read.
ReadResult<Zedit> read_stock_zone(std::string_view bytes, StockZoneLayout layout);

// The stock zone layouts (tbaMUD, then CircleMUD 3.x and 3.0) in order: the
// read of the first that fits, with the warning of what it left out; when
// none fits, a failed read whose diagnostics are the zone-file error box.
ReadResult<Zedit> read_older_zone(std::string_view bytes, std::string_view file_name);

}  // namespace zs
