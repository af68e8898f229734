// The formatter of the text panes: rewraps a room, object or mobile text into
// lines of game text at most 79 columns wide (colour codes take no column),
// with two spaces after each sentence, a capital at each sentence start, an
// optional paragraph indentation, and a clean end of exactly one line break.
// Formatting a formatted text gives it back unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "world/text.h"

namespace zs {

enum class Indent { none, paragraph };

// The formatted text, at most `capacity` bytes long, line breaks CR LF. An
// empty text stays empty.
std::string format_text(std::string_view text, Indent indent,
                        std::size_t capacity = kMaxTextLength);

}  // namespace zs
