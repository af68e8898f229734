// How the program reads decimal numbers from text, all on std::from_chars:
// a number taken from the front of a text (the area files' readers), a text
// that is one whole number (operands, file names, protocol fields), and a
// text's leading number as C's atoi reads it (typed fields).
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace zs {

// The blanks the area files' readers skip: space, \t \n \v \f \r.
inline constexpr std::string_view kScanBlanks = " \t\n\v\f\r";

// The text without the blanks of `front` before it and of `back` after it.
std::string_view strip_blanks(std::string_view text, std::string_view front, std::string_view back);
inline std::string_view strip_blanks(std::string_view text, std::string_view blanks) {
    return strip_blanks(text, blanks, blanks);
}

// Takes a decimal number from the front of `input`: blanks (kScanBlanks)
// first, an optional sign ('+' or '-'), then at least one digit; the input is
// left after the digits. False, with the input unchanged, when there is no
// number or its magnitude leaves long long's positive range.
bool take_number(std::string_view& input, long long& value);

// Which signs a whole number may carry.
enum class Sign { PlusOrMinus, MinusOnly };

// The text as one decimal number of type Int: an optional sign and digits,
// nothing before or after. Nothing for any other text or a number beyond
// Int's range.
template <class Int = long long>
std::optional<Int> whole_number(std::string_view text, Sign sign = Sign::PlusOrMinus) {
    const char* p = text.data();
    const char* end = p + text.size();
    if (p != end && *p == '+') {
        if (sign == Sign::MinusOnly) return std::nullopt;
        if (++p != end && *p == '-') return std::nullopt;
    }
    Int value{};
    auto [stop, error] = std::from_chars(p, end, value);
    if (error != std::errc() || stop != end || p == end) return std::nullopt;
    return value;
}

// The text's leading number as C's atoi reads it: `blanks` skipped, an
// optional sign, the digits that follow (anything after them ignored); 0
// without digits. The value saturates at -limit and limit.
long long read_leading(std::string_view text, long long limit, std::string_view blanks = " \t");

}  // namespace zs
