// Older mobile layouts: six earlier layouts of the game's own format, tbaMUD
// and stock CircleMUD, tried in a fixed order when the current reader fails
// and the builder agrees to convert.
#pragma once

#include <array>
#include <string_view>

#include "files/file_mob.h"

namespace zs {

// The older layouts, in the order they are tried.
extern const std::array<MobileLayout, 6> kLegacyMobileLayouts;

// The older layouts in order: the read of the first that fits, its `layout`
// the index of that layout, with what the conversion has to tell (string
// errors that `shown` did not meet get their box, the warning of lost
// skills, the warning of what was left out); when none fits, a failed read
// whose diagnostics are the error box.
ReadResult<MobilePrototype> read_older_mobiles(std::string_view bytes, std::string_view file_name,
                                               const std::vector<TextReader::StringError>& shown);

}  // namespace zs
