// Text utilities shared by every area-file reader and writer and by the
// editors: the line reader, tilde texts, flag words, and small in-place text
// edits. Area texts are bytes; nothing here re-encodes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/record_text.h"

namespace zs {

// Longest text a tilde text may hold, line breaks included.
constexpr std::size_t kMaxTextLength = 16383;

// What keeps a text from being a tilde text of the area files, by the rule
// the reader applies: a "~" ends a text, and a text takes at most `limit`
// bytes, each line end counted as the CR LF the file gives it. Room,
// object and mobile texts and the conversations all refuse by it.
enum class TildeTextFault { None, Tilde, TooLong };
TildeTextFault tilde_text_fault(std::string_view text, std::size_t limit = kMaxTextLength);

// The text without a UTF-8 byte-order mark at its start.
inline std::string_view without_bom(std::string_view data) {
    if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);
    return data;
}

// Reads an area file held in memory, line by line. CR LF and a bare LF both end
// a line; a last line without a line end is still a line. Lines may be of any
// length. A UTF-8 byte-order mark at the start is passed over.
class TextReader {
public:
    explicit TextReader(std::string_view data) : data_(without_bom(data)) {}
    // The reader keeps a view: it must not outlive its text.
    explicit TextReader(std::string&&) = delete;
    explicit TextReader(const char* text) : data_(without_bom(text)) {}

    // Physical lines consumed so far; the line last returned has this number.
    int line_number() const { return line_; }

    // The next physical line without its line end; false at the end.
    bool raw_line(std::string_view& line);

    // The next meaningful line: empty lines, lines of blanks and lines that
    // begin with "*" are skipped. Returns the physical lines consumed, 0 at the
    // end of the file.
    int read_line(std::string_view& line);

    // Reads a text ended by "~" (the rest of the "~" line is dropped). Lines
    // are joined with CR LF. Returns the empty string for an absent text.
    // Running into the end of the file, or a text longer than kMaxTextLength,
    // gives an absent text and adds a string error to string_errors(); an
    // over-long text is skipped up to its closing "~" so that the record stays
    // aligned. The error names the text's first line and the record being read.
    std::string read_tilde_text();
    // The same, as a record's text.
    Text read_text();

    // What string errors name: the file ("12.wld") and the record now being
    // read (kind and vnum: "room", 1200).
    void set_file_name(std::string name) { file_name_ = std::move(name); }
    const std::string& file_name() const { return file_name_; }
    void set_record(const char* kind, long long vnum) {
        record_kind_ = kind;
        record_vnum_ = vnum;
    }
    struct StringError {
        int line;             // the text's first line
        std::string message;  // the record and what was wrong
    };
    const std::vector<StringError>& string_errors() const { return string_errors_; }
    // A string error as the builder is told of it: "12.wld, line 40: room
    // 1200: ...".
    std::string string_error_detail(const StringError& e) const {
        return string_error_detail(file_name_, e);
    }
    static std::string string_error_detail(std::string_view file_name, const StringError& e);

    // The next character that is not a blank or line end, without consuming
    // it; -1 at the end of the file.
    int peek_non_blank();

private:
    void string_error_at(int line, std::size_t length, bool ended);
    // Finds the next tilde text and moves past it: its bytes as the file has
    // them, and how many of its line ends lack the CR. False (after noting the
    // string error) for a text cut off by the end of the file or too long.
    bool take_tilde_text(std::string_view& raw, std::size_t& bare_lf);

    std::string_view data_;
    std::size_t pos_ = 0;
    int line_ = 0;
    std::string file_name_;
    const char* record_kind_ = nullptr;
    long long record_vnum_ = 0;
    std::vector<StringError> string_errors_;
};

// Flag words: "a".."z" are bits 0..25 and "A".."F" bits 26..31 ("G".."Z" wrap
// to bits 0..19); a word of digits only is a decimal number.
std::uint32_t flags_from_word(std::string_view word);
// False for a word of digits whose number does not fit 32 bits.
bool flag_word_fits(std::string_view word);
std::string word_from_flags(std::uint32_t bits);
void append_flag_word(std::string& out, std::uint32_t bits);

// The leading run of letters of a text.
std::string_view leading_word(std::string_view text);

void strip_cr(std::string& text);
// Removes every CR and turns every LF into one blank.
void flatten_lines(std::string& text);
// Case-blind comparison: the difference of the first differing characters
// after folding A-Z to a-z; 0 when equal or when either is empty.
int compare_without_case(std::string_view a, std::string_view b);
// Changes the case of the first character that is not part of a leading
// colour code ("&" and one character, skipped in pairs).
void capitalise_first(std::string& text);
void lowercase_first(std::string& text);

}  // namespace zs
