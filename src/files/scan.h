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

// One signed decimal number with optional leading blanks; false when there is
// none or it leaves the 64-bit range.
bool parse_long(std::string_view& input, long long& value);

}  // namespace zs
