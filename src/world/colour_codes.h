// Colour codes in game text, as the previews draw them and as clicks on a
// preview paint them: which bytes are codes, the visible characters of a text
// with the colour each is drawn in and its place on the preview's grid, and
// the painting of a code before a clicked character. The previews use the same
// walk for drawing and for hit-testing, so a click always lands on the
// character that was drawn there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zs {

// Blank bytes that the formatter breaks words at: space, CR, LF, tab, form
// feed and vertical tab.
constexpr bool is_text_blank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == '\v';
}

// A colour code is "&" and the character after it, where that character is
// neither "&" ("&&" is a literal ampersand) nor a blank. An "&" at the end of
// the text or before a blank is an ordinary character.
constexpr bool is_colour_code_at(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i] == '&' && text[i + 1] != '&' &&
           !is_text_blank(text[i + 1]);
}

// Colour of preview text. Text starts in the normal colour, the code "n".
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
constexpr char kNormalColour = 'n';
// The preview colour of a code's letter; unknown letters are black.
Rgb preview_colour(char code_letter);

// One visible character of a text.
struct Glyph {
    std::size_t byte_offset = 0;  // where its bytes start in the text
    std::size_t byte_length = 1;  // 2 for "&&", drawn as one "&"
    char ch = 0;                  // the character drawn
    char colour = kNormalColour;  // letter of the code in effect
    int line = 0;                 // CR LF (or a lone CR or LF) ends a line
    int column = 0;               // visible characters before it on its line
};

// The visible characters in order: codes are not drawn and take no column.
std::vector<Glyph> visible_glyphs(std::string_view text);

// What a reader sees of a text: its visible characters in order ("&&" as
// one "&", codes dropped), each line break as one blank. Find matches
// against it, so that a code inside a word does not hide the word.
std::string visible_text(std::string_view text);

// The byte offset of the visible character `index`; none past the last one.
std::optional<std::size_t> byte_offset_of_visible(std::string_view text, std::size_t index);
// The index of the visible character at (line, column); none when that line
// has no such column or the text no such line.
std::optional<std::size_t> visible_index_at(std::string_view text, int line, int column);

// A left click with the paint colour `code` ("&R") on visible character
// `index`: a code standing right before the character is replaced, otherwise
// the code is put before it. None when nothing changes: no such character,
// `code` is not a colour code (no paint colour chosen), or the same code is
// already there.
std::optional<std::string> paint_colour(std::string_view text, std::size_t index,
                                        std::string_view code);
// A right click on visible character `index`: the nearest code before it is
// removed. None when there is no such character or no code before it.
std::optional<std::string> remove_colour(std::string_view text, std::size_t index);
// A click on the preview of a text at (line, column): the right button
// removes the nearest code before the character there, the left paints
// `code` before it. None when nothing changes.
std::optional<std::string> paint_preview_text(std::string_view text, int line, int column,
                                              bool right, std::string_view code);

}  // namespace zs
