// Older object layouts: tbaMUD and CircleMUD 3.x, tried in that order when
// the current reader fails and the builder agrees to convert.
#pragma once

#include <string_view>
#include <vector>

#include "files/file_obj.h"

namespace zs {

// The older layouts (tbaMUD, then CircleMUD 3.x) in order: the read of the
// first that fits, its `layout` the index of that layout, with what the
// conversion has to tell (string errors that `shown` did not meet get their
// box, then the warning of what was left out); when none fits, a failed read
// whose diagnostics are the error box.
ReadResult<ObjectPrototype> read_older_objects(std::string_view bytes, std::string_view file_name,
                                               const std::vector<TextReader::StringError>& shown);

}  // namespace zs
