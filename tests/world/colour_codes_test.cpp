// Colour codes as the previews draw them and as clicks paint them: the visible
// characters of a text with their bytes, colours and lines, finding the
// character at a grid place, and the left- and right-click edits.
#include "world/colour_codes.h"

#include <gtest/gtest.h>

namespace zs {
namespace {

// Each visible character as "c@offset:colour", a "|" for each line break
// before it, and a "+" after the offset of a two-byte "&&".
std::string drawn(std::string_view text) {
    std::string out;
    int line = 0;
    for (const Glyph& g : visible_glyphs(text)) {
        if (!out.empty()) out += ' ';
        for (; line < g.line; ++line)
            out += '|';
        out += g.ch;
        out +=
            '@' + std::to_string(g.byte_offset) + (g.byte_length == 2 ? "+" : "") + ':' + g.colour;
    }
    return out;
}

TEST(PreviewWalk, DrawsTheVisibleCharactersInTheirColours) {
    const struct {
        std::string text, expected;
    } cases[] = {
        {"", ""},
        {"ab", "a@0:n b@1:n"},
        {"&Rab&n", "a@2:R b@3:R"},
        {"x&&y", "x@0:n &@1+:n y@3:n"},
        {"&&R", "&@0+:n R@2:n"},  // a literal "&", then a letter
        {"&&&R!", "&@0+:n !@4:R"},
        {"end&", "e@0:n n@1:n d@2:n &@3:n"},
        {"& x", "&@0:n  @1:n x@2:n"},
        {"&zq&*r", "q@2:z r@5:*"},  // unknown codes still hide and colour
        {"a\r\nb", "a@0:n |b@3:n"},
        {"a\rb\nc", "a@0:n |b@2:n |c@4:n"},
        {"&\r\nx", "&@0:n |x@3:n"},
        {"&Ga\r\n\r\nb", "a@2:G ||b@7:G"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(drawn(c.text), c.expected) << c.text;
}

TEST(PreviewWalk, ColoursFollowTheCodeTable) {
    EXPECT_EQ(preview_colour(kNormalColour), (Rgb{192, 192, 192}));
    EXPECT_EQ(preview_colour('R'), (Rgb{255, 0, 0}));
    EXPECT_EQ(preview_colour('c'), (Rgb{0, 128, 128}));
    EXPECT_EQ(preview_colour('K'), (Rgb{128, 128, 128}));
    EXPECT_EQ(preview_colour('d'), (Rgb{0, 0, 0}));
    EXPECT_EQ(preview_colour('*'), (Rgb{0, 0, 0}));
}

TEST(PreviewWalk, FindsTheCharacterAtAGridPlace) {
    const std::string text = "a&Rb\r\n&&c\r\n";
    EXPECT_EQ(visible_index_at(text, 0, 1), 1u);
    EXPECT_EQ(visible_index_at(text, 1, 1), 3u);
    EXPECT_EQ(visible_index_at(text, 1, 2), std::nullopt);  // past the line
    EXPECT_EQ(visible_index_at(text, 2, 0), std::nullopt);  // past the text
    EXPECT_EQ(byte_offset_of_visible(text, 2), 6u);
    EXPECT_EQ(byte_offset_of_visible(text, 4), std::nullopt);
}

struct PaintCase {
    std::string text;
    std::size_t index;
    std::string code;
    std::optional<std::string> expected;
};

TEST(PreviewPaint, LeftClickPutsThePaintColourBeforeTheCharacter) {
    const PaintCase cases[] = {
        {"abc", 1, "&R", "a&Rbc"},
        {"a&gbc", 1, "&R", "a&Rbc"},       // the code right before is replaced
        {"a&g&bc", 1, "&R", "a&g&Rc"},     // only that one
        {"a&Rbc", 1, "&R", std::nullopt},  // already so
        {"abc", 3, "&R", std::nullopt},    // past the text
        {"abc", 1, "", std::nullopt},      // no paint colour chosen
        {"abc", 1, "&&", std::nullopt},
        {"x&&y", 1, "&R", "x&R&&y"},
        {"x&&y", 2, "&R", "x&&&Ry"},
        {"& x", 1, "&R", std::nullopt},  // would turn the lone "&" into "&&"
        {"a&gb\r\nc", 2, "&R", "a&gb\r\n&Rc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paint_colour(c.text, c.index, c.code), c.expected) << c.text << " " << c.index;
}

TEST(PreviewPaint, RightClickRemovesTheNearestCodeBefore) {
    const PaintCase cases[] = {
        {"a&gbc", 2, "", "abc"},       {"a&gb&Rc", 2, "", "a&gbc"},
        {"&Rabc", 0, "", "abc"},       {"a&g\r\nb", 1, "", "a\r\nb"},
        {"abc", 1, "", std::nullopt},  {"a&&Rb", 3, "", std::nullopt},  // "&&R" holds no code
        {"a&gb", 2, "", std::nullopt},                                  // past the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(remove_colour(c.text, c.index), c.expected) << c.text << " " << c.index;
}

}  // namespace
}  // namespace zs
