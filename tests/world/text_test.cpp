#include "world/text.h"

#include <gtest/gtest.h>

namespace zs {
namespace {

std::vector<std::string> meaningful_lines(std::string_view data) {
    TextReader r(data);
    std::vector<std::string> out;
    std::string_view line;
    while (r.read_line(line) > 0)
        out.emplace_back(line);
    return out;
}

TEST(LineReader, SkipsBlankAndCommentLinesAndCountsPhysicalLines) {
    TextReader r("* comment\r\n\r\n   \nfirst\r\nsecond\n");
    std::string_view line;
    EXPECT_EQ(r.read_line(line), 4);
    EXPECT_EQ(line, "first");
    EXPECT_EQ(r.line_number(), 4);
    EXPECT_EQ(r.read_line(line), 1);
    EXPECT_EQ(line, "second");
    EXPECT_EQ(r.read_line(line), 0);
}

TEST(LineReader, KeepsALastLineWithoutLineEndAndLongLinesWhole) {
    EXPECT_EQ(meaningful_lines("a\r\nlast"), (std::vector<std::string>{"a", "last"}));
    std::string long_line(300, 'x');
    EXPECT_EQ(meaningful_lines(long_line + "\r\nnext\r\n"),
              (std::vector<std::string>{long_line, "next"}));
}

TEST(LineReader, PeekSkipsBlanksAndLineEndsWithoutConsuming) {
    TextReader r("S\r\n  \r\n  T 5\r\n");
    std::string_view line;
    r.read_line(line);
    EXPECT_EQ(r.peek_non_blank(), 'T');
    EXPECT_EQ(r.read_line(line), 1);
    EXPECT_EQ(line, "T 5");
    EXPECT_EQ(r.peek_non_blank(), -1);
}

struct TildeCase {
    std::string input;
    std::string expected;
};

TEST(TildeText, ReadsTextsTheWayFilesHoldThem) {
    const TildeCase cases[] = {
        {"~\r\nnext\r\n", ""},                  // "~" alone: absent
        {"Hello~ trailing junk\r\n", "Hello"},  // rest of the line dropped
        {"line one\r\nline two~\r\n", "line one\r\nline two"},
        {"line one\r\nline two\r\n~\r\n", "line one\r\nline two\r\n"},
        {"bare lf\nends~\n", "bare lf\r\nends"},
        {"last line without end~", "last line without end"},
    };
    for (const auto& c : cases) {
        TextReader r(c.input);
        EXPECT_EQ(r.read_tilde_text(), c.expected) << c.input;
        EXPECT_TRUE(r.string_errors().empty()) << c.input;
    }
}

TEST(TildeText, LengthLimitIsExactAndAnOverlongTextIsSkippedToItsEnd) {
    std::string exact(kMaxTextLength, 'a');
    std::string exact_file = exact + "~\r\n";
    TextReader ok(exact_file);
    EXPECT_EQ(ok.read_tilde_text(), exact);
    EXPECT_TRUE(ok.string_errors().empty());

    // One more character, spread over lines: a string error, an absent text,
    // and the reader stands right after the text's closing "~".
    std::string too_long = std::string(8000, 'b') + "\r\n" + std::string(8000, 'c') + "\r\n" +
                           std::string(400, 'd') + "\r\nmore~\r\nafter~\r\n";
    TextReader r(too_long);
    EXPECT_EQ(r.read_tilde_text(), "");
    ASSERT_EQ(r.string_errors().size(), 1u);
    EXPECT_EQ(r.string_error_detail(r.string_errors()[0]),
              "line 1: the text is 16410 characters long; the game keeps 16383.");
    EXPECT_EQ(r.read_tilde_text(), "after");
}

TEST(TildeText, EndOfFileInsideATextIsAStringError) {
    TextReader r("ok~\r\nno tilde here\r\n");
    r.set_file_name("12.wld");
    r.set_record("room", 1200);
    EXPECT_EQ(r.read_tilde_text(), "ok");
    EXPECT_EQ(r.read_tilde_text(), "");
    ASSERT_EQ(r.string_errors().size(), 1u);
    EXPECT_EQ(r.string_error_detail(r.string_errors()[0]),
              "12.wld, line 2: room 1200: "
              "the text has no closing \"~\" before the end of the file.");
    EXPECT_EQ(r.read_tilde_text(), "");
    EXPECT_EQ(r.string_errors().size(), 2u);
}

TEST(RecordText, KeepsAnyBytesWhateverTheirLength) {
    // Short texts are held in place, longer ones in an allocation: both sides
    // of the boundary, bytes that look like markers, and a zero inside.
    for (std::size_t n : {0, 1, 5, 6, 7, 8, 300}) {
        std::string bytes;
        for (std::size_t i = 0; i < n; ++i)
            bytes.push_back(static_cast<char>(i % 3 == 0 ? '\x01' : i % 3 == 1 ? '\xFF' : '\0'));
        Text t(bytes);
        EXPECT_EQ(t, bytes) << n;
        EXPECT_EQ(t.empty(), n == 0);
        EXPECT_EQ(t.c_str()[n], '\0') << n;
        Text copy = t;
        Text moved = std::move(t);
        EXPECT_TRUE(t.empty());  // NOLINT(bugprone-use-after-move): a moved-from text is empty
        EXPECT_EQ(moved, bytes) << n;
        EXPECT_EQ(copy, moved) << n;
        // Assigned a part of itself.
        copy = copy.view().substr(n / 2);
        EXPECT_EQ(copy, bytes.substr(n / 2)) << n;
        copy = moved;
        copy.clear();
        EXPECT_EQ(copy, "");
        EXPECT_EQ(moved, bytes) << n;
    }
}

TEST(Flags, WordsAndNumbers) {
    EXPECT_EQ(flags_from_word("0"), 0u);
    EXPECT_EQ(flags_from_word("12"), 12u);
    EXPECT_EQ(flags_from_word("a1"), 1u);
    EXPECT_EQ(flags_from_word(""), 0u);
    EXPECT_EQ(flags_from_word("abd"), 11u);
    EXPECT_EQ(flags_from_word("F"), 1u << 31);
    EXPECT_EQ(flags_from_word("G"), 1u);  // G..Z wrap to bits 0..19
    EXPECT_EQ(flags_from_word("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(flags_from_word("99999999999999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(word_from_flags(0), "0");
    EXPECT_EQ(word_from_flags(5), "ac");
    EXPECT_EQ(word_from_flags(1u << 31), "F");
    for (std::uint32_t bits : {1u, 0x80000001u, 0xDEADBEEFu, 0xFFFFFFFFu})
        EXPECT_EQ(flags_from_word(word_from_flags(bits)), bits);
}

TEST(TextEdits, CaseChangesSkipColourCodes) {
    std::string s = "&r&bthe hall";
    capitalise_first(s);
    EXPECT_EQ(s, "&r&bThe hall");
    lowercase_first(s);
    EXPECT_EQ(s, "&r&bthe hall");
    std::string t = "a\r\nb\nc";
    flatten_lines(t);
    EXPECT_EQ(t, "a b c");
    EXPECT_EQ(compare_without_case("The", "the"), 0);
    EXPECT_LT(compare_without_case("abc", "abd"), 0);
    EXPECT_EQ(compare_without_case("", "x"), 0);
    EXPECT_EQ(leading_word("the unfinished"), "the");
}

}  // namespace
}  // namespace zs
