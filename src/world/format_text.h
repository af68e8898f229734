// The text panes' two ways of storing what the builder typed. The formatter
// (Format, and a colour button's double click) rewraps a whole room, object or
// mobile text into lines of game text at most 79 columns wide (colour codes
// take no column), with two spaces after each sentence, a capital at each
// sentence start, an optional paragraph indentation, and a clean end of
// exactly one line break; formatting a formatted text gives it back
// unchanged. Typing keeps the builder's lines: only the lines the builder
// edited change, and only where they run past the game's columns.
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

// The text to store when the builder changed a box that was filled with
// `base` so that it now holds `typed` (line breaks CR LF, as the box gives
// them). Every line of `typed` that stands unchanged in `base` keeps its
// bytes there, line end included, however wide it is; each other line (one
// the builder typed or edited) wider than 79 visible columns is wrapped at
// its last blank that fits, and stays as typed otherwise, leading blanks and
// empty lines included. A text that ended with a line break (or was empty)
// ends with one again. A box holding `base` unchanged gives `base` back.
std::string wrap_edited_lines(std::string_view base, std::string_view typed);

}  // namespace zs
