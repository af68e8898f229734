#include "world/box_numbers.h"

#include <algorithm>
#include <charconv>

#include "world/numbers.h"

namespace zs {

std::optional<long long> box_number(std::string_view text, bool* bad) {
    if (bad) *bad = false;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    long long n = 0;
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size()) {
        if (bad) *bad = true;
        return std::nullopt;
    }
    return n;
}

long long leading_number(std::string_view text) {
    return read_leading(text, kLeadingNumberLimit);
}

}  // namespace zs
