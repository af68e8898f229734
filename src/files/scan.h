// Field scanning for the numeric lines of area files, with the counting rules
// of C's sscanf: directives are matched in order and the result is the number
// of fields converted before the first mismatch. Unlike sscanf, a number that
// does not fit its field is a mismatch, never a silently wrapped value.
//
// Directives: %d %ld %lld %hd (a signed decimal number), %s (a word),
// %c (one character); blanks skip any blanks; other characters must match.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "world/numbers.h"

namespace zs {

struct ScanArg {
    enum Kind { Int32, Int16, Uint8, Word, Char } kind;
    void* target;
};

inline ScanArg scan_arg(std::int32_t* p) {
    return {ScanArg::Int32, p};
}
inline ScanArg scan_arg(std::int16_t* p) {
    return {ScanArg::Int16, p};
}
inline ScanArg scan_arg(std::uint8_t* p) {
    return {ScanArg::Uint8, p};
}
inline ScanArg scan_arg(std::string_view* p) {
    return {ScanArg::Word, p};
}
inline ScanArg scan_arg(char* p) {
    return {ScanArg::Char, p};
}

int scan_fields(std::string_view input, std::string_view format,
                std::initializer_list<ScanArg> args);

template <class... Targets>
int scan(std::string_view input, std::string_view format, Targets*... targets) {
    return scan_fields(input, format, {scan_arg(targets)...});
}

// Reads up to `n` blank-separated 32-bit numbers; returns how many were read.
int scan_numbers(std::string_view input, std::int32_t* out, int n);

inline bool is_scan_blank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');  // space, \t \n \v \f \r
}

// The next blank-separated word of the input, consumed; false when none.
inline bool next_word(std::string_view& input, std::string_view& word) {
    std::size_t i = 0;
    while (i < input.size() && is_scan_blank(input[i]))
        ++i;
    std::size_t start = i;
    while (i < input.size() && !is_scan_blank(input[i]))
        ++i;
    if (i == start) return false;
    word = input.substr(start, i - start);
    input.remove_prefix(i);
    return true;
}

}  // namespace zs
