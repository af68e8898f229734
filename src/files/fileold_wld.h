// Older world layouts: four earlier layouts of the game's own format and the
// stock CircleMUD layout, tried in a fixed order when the current reader
// fails and the builder agrees to convert.
#pragma once

#include <array>
#include <string_view>

#include "files/file_wld.h"

namespace zs {

// Layouts A, B, C, D, then tbaMUD and stock CircleMUD, in the order they are
// tried.
extern const std::array<WorldLayout, 6> kLegacyWorldLayouts;

// Tries every older layout on a file's bytes, in order, and gives the read of
// the first that fits, its `layout` the index of that layout. Its diagnostics
// are what the conversion has to tell: the string errors (with a box for
// each that `shown`, the current layout's read, did not meet) and one
// warning of what was left out. When none fits, the result failed and its
// diagnostics are the world-file error box.
ReadResult<Room> read_older_world(std::string_view bytes, std::string_view file_name,
                                  const std::vector<TextReader::StringError>& shown);

// True for the CircleMUD family's layouts (tbaMUD and stock), whose
// conversion the builder is asked about once more.
bool is_stock_world_layout(int layout);

}  // namespace zs
