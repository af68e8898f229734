// The text panes' formatter: one table of inputs and results over its rules,
// and formatting twice gives what formatting once gave, for the table and for
// every room text of the stock corpus. Typing: a table of edits and what is
// stored, and an edit of one line of any corpus text keeps every other line.
#include "world/format_text.h"

#include <gtest/gtest.h>

#include <functional>

#include "files/area_files.h"
#include "files/file_wld.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

struct FormatCase {
    const char* rule;
    std::string input;
    Indent indent;
    std::string expected;
};

// Nine words of nine letters, the eighth given: eight such words fill a
// 79-column line exactly.
std::string nine_words(std::string eighth) {
    std::string s;
    for (int i = 0; i < 9; ++i)
        s += (i == 7 ? eighth : std::string("abcdefghi")) + " ";
    return s;
}
const std::string kSevenWords =
    "Abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi";

const std::string kLongWord(100, 'x');

const FormatCase kCases[] = {
    {"empty text", "", Indent::paragraph, ""},
    {"plain", "hello world", Indent::none, "Hello world\r\n"},
    {"indentation", "hello world", Indent::paragraph, "   Hello world\r\n"},
    {"blanks and line breaks collapse", "a\r\nb\t c\f\vd  ", Indent::none, "A b c d\r\n"},
    {"sentence ends", "one. two!  three?four", Indent::none, "One.  Two!  Three?  Four\r\n"},
    {"run of sentence ends", "wait... what?!", Indent::none, "Wait...  What?!\r\n"},
    {"leading code before the indentation", "&Rred room", Indent::paragraph, "&R   Red room\r\n"},
    {"leading code without indentation", "&R red", Indent::none, "&RRed\r\n"},
    {"first word of codes alone indents two", " &R red", Indent::paragraph, "  &R Red\r\n"},
    {"opening codes join the first word", " &R &G red", Indent::none, "&R&GRed\r\n"},
    {"capital after codes", "hi. &gthere", Indent::none, "Hi.  &gThere\r\n"},
    {"no capital through a colour letter", "&rhello", Indent::none, "&rHello\r\n"},
    {"line code ends the line", "first&* second", Indent::paragraph, "   First&*\r\n   second\r\n"},
    {"line code then sentence end", "end&*. next", Indent::paragraph, "   End&*.\r\n   Next\r\n"},
    {"line code at the start is a word", "&*top line", Indent::none, "&*Top\r\nline\r\n"},
    {"a code is never split", "a&.b c", Indent::none, "A&.b c\r\n"},
    {"79 columns fit", nine_words("abcdefghi"), Indent::none,
     kSevenWords + " abcdefghi\r\nabcdefghi\r\n"},
    {"codes take no column", nine_words("abc&Rdefghi"), Indent::none,
     kSevenWords + " abc&Rdefghi\r\nabcdefghi\r\n"},
    {"&& takes one column", nine_words("abcdefgh&&"), Indent::none,
     kSevenWords + " abcdefgh&&\r\nabcdefghi\r\n"},
    {"80 columns wrap", nine_words("abcdefghij"), Indent::none,
     kSevenWords + "\r\nabcdefghij abcdefghi\r\n"},
    {"no sentence gap past column 76", std::string(76, 'a') + ". b", Indent::none,
     "A" + std::string(75, 'a') + ".\r\nB\r\n"},
    {"long word, no empty line", kLongWord, Indent::paragraph,
     "   X" + kLongWord.substr(1) + "\r\n"},
    {"trailing junk trimmed before the last word wraps", std::string(74, 'a') + " abc\\n",
     Indent::none, "A" + std::string(73, 'a') + " abc\r\n"},
    {"long word after a word", "short " + kLongWord, Indent::none,
     "Short\r\n" + kLongWord + "\r\n"},
    {"trailing escapes and backslashes", "hello \\n\\r\\\\", Indent::none, "Hello\r\n"},
    {"trailing control characters", "hello\x01\x7f", Indent::none, "Hello\r\n"},
    {"bytes above 127 are text", "caf\xe9", Indent::none, "Caf\xe9\r\n"},
    {"leftmost trailing code kept", "hello &R &n", Indent::none, "Hello&R\r\n"},
    {"code after a lone & keeps its blank", "hide & &n", Indent::none, "Hide & &n\r\n"},
    {"codes only", "&R&G", Indent::none, "&R&G\r\n"},
    {"codes only, indented", "&R &G", Indent::paragraph, "&R   &G\r\n"},
    {"blanks only", "  \r\n ", Indent::paragraph, "  \r\n"},
};

TEST(FormatText, FollowsEachRule) {
    for (const auto& c : kCases)
        EXPECT_EQ(format_text(c.input, c.indent), c.expected) << c.rule;
}

TEST(FormatText, CutsToTheCapacityAndStillEndsWithALineBreak) {
    EXPECT_EQ(format_text("hello world", Indent::none, 8), "Hello\r\n");
    const std::string big = format_text(std::string(20000, 'a') + " b", Indent::none);
    EXPECT_EQ(big.size(), kMaxTextLength);
    EXPECT_TRUE(big.ends_with("aa\r\n"));
}

void expect_idempotent(std::string_view text, const std::string& where) {
    for (Indent indent : {Indent::none, Indent::paragraph}) {
        const std::string once = format_text(text, indent);
        EXPECT_EQ(format_text(once, indent), once) << where;
    }
}

TEST(FormatText, FormattingTwiceChangesNothing) {
    for (const auto& c : kCases)
        expect_idempotent(c.input, c.rule);
    for (std::string_view odd :
         {" &*hello world", "&R", "a&.b", "x &R\r\nhello", "&&&R!. &", " &R &G x",
          " &R xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"})
        expect_idempotent(odd, std::string(odd));
}

// Calls `fn` with every room description and extra description of the
// stock corpus and where it stands; the number of rooms.
int for_each_corpus_room_text(
    const std::function<void(const std::string& text, const std::string& where)>& fn) {
    int rooms = 0;
    for (const auto& path : test::corpus_files("wld")) {
        test::FakeUi ui;
        ui.always_yes();
        Workspace ws(ui);
        EXPECT_TRUE(load_area_file(ws, path.string())) << path;
        for (int s = 0; s < ws.world().count(); ++s, ++rooms) {
            const Room& r = ws.world().room(s);
            const std::string where = path.filename().string() + " room " + std::to_string(r.vnum);
            fn(r.description.str(), where);
            for (const auto& e : r.extra_descriptions)
                fn(e.description, where + " extra");
        }
    }
    return rooms;
}

TEST(FormatText, FormattingTwiceChangesNoRoomTextOfTheCorpus) {
    ZS_REQUIRE_CORPUS();
    EXPECT_GT(for_each_corpus_room_text(expect_idempotent), 1000);
}

struct WrapCase {
    const char* rule;
    std::string base, typed, expected;
};

const std::string kWide = nine_words("abcdefghij");  // 89 columns and a blank
const WrapCase kWrapCases[] = {
    {"an untouched box gives the bytes back, bare line feeds included", "a\nb \n", "a\r\nb \r\n",
     "a\nb \n"},
    {"an appended sentence keeps both paragraphs", "   One.\r\n   Two.\r\n",
     "   One.  More.\r\n   Two.\r\n", "   One.  More.\r\n   Two.\r\n"},
    {"an edited line wider than 79 columns wraps at its last blank that fits", "x\r\n", kWide,
     "a" + kSevenWords.substr(1) + "\r\nabcdefghij abcdefghi \r\n"},
    {"a wide line the builder did not edit stays", kWide + "\r\nb\r\n", kWide + "\r\nbc\r\n",
     kWide + "\r\nbc\r\n"},
    {"a wide line stays when lines are added above it", kWide + "\r\n", "new\r\n" + kWide + "\r\n",
     "new\r\n" + kWide + "\r\n"},
    {"typed line breaks, indentation and empty lines stay", "ab\r\n", "a\r\n\r\n  b\r\n",
     "a\r\n\r\n  b\r\n"},
    {"a typed last line gets the line break the text ended with", "a\r\n", "a\r\nb", "a\r\nb\r\n"},
    {"a first text gets a line break", "", "x", "x\r\n"},
    {"a text without a final line break gets none", "a", "ab", "ab"},
    {"an emptied box stores nothing", "a\r\n", "", ""},
    {"a word wider than a line stands alone", "", "short " + kLongWord + " end",
     "short\r\n" + kLongWord + "\r\nend\r\n"},
    {"codes take no column when wrapping", "", "&R" + nine_words("abc&Gdefghi").substr(0, 79),
     "&R" + nine_words("abc&Gdefghi").substr(0, 79) + "\r\n"},
    {"blanks at the cut go, leading blanks stay", "", "  " + std::string(78, 'a') + "   b",
     "  " + std::string(78, 'a') + "\r\nb\r\n"},
};

TEST(WrapEditedLines, KeepsWhatTheBuilderDidNotEdit) {
    for (const auto& c : kWrapCases)
        EXPECT_EQ(wrap_edited_lines(c.base, c.typed), c.expected) << c.rule;
}

// The box's text for a stored text: its lines with CR LF ends.
std::string as_box_gives(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\r') continue;
        if (ch == '\n') out += '\r';
        out += ch;
    }
    return out;
}

TEST(WrapEditedLines, AnEditOfOneLineOfACorpusTextKeepsEveryOtherLine) {
    ZS_REQUIRE_CORPUS();
    int texts = 0;
    auto check = [&](const std::string& base, const std::string& where) {
        const std::string box = as_box_gives(base);
        // The builder appends a sentence to the text's first line.
        const std::size_t end_of_first = box.find("\r\n");
        if (end_of_first == std::string::npos || box.find('\r') != end_of_first) return;
        const std::string typed =
            box.substr(0, end_of_first) + " Enjoy!" + box.substr(end_of_first);
        const std::string stored = wrap_edited_lines(base, typed);
        const std::size_t rest = base.find('\n') + 1;
        EXPECT_TRUE(stored.ends_with(base.substr(rest))) << where;
        EXPECT_NE(stored.find("Enjoy!"), std::string::npos) << where;
        EXPECT_EQ(wrap_edited_lines(base, box), base) << where;  // typed, then taken back
        ++texts;
    };
    for_each_corpus_room_text(check);
    EXPECT_GT(texts, 1000);
}

}  // namespace
}  // namespace zs
