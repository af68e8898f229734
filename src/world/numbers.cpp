#include "world/numbers.h"

#include <climits>

namespace zs {

namespace {

bool is_digit(const char* p, const char* end) {
    return p != end && *p >= '0' && *p <= '9';
}

}  // namespace

std::string_view strip_blanks(std::string_view text, std::string_view front,
                              std::string_view back) {
    const std::size_t first = text.find_first_not_of(front);
    if (first == std::string_view::npos) return {};
    text.remove_prefix(first);
    return text.substr(0, text.find_last_not_of(back) + 1);
}

bool take_number(std::string_view& input, long long& value) {
    const char* p = input.data();
    const char* end = p + input.size();
    // kScanBlanks, tested without a search: this runs for every number of
    // every area file.
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    // from_chars reads a '-' itself; either sign must have digits right
    // after it.
    const char* digits = p != end && (*p == '+' || *p == '-') ? p + 1 : p;
    if (!is_digit(digits, end)) return false;
    if (*p == '+') p = digits;
    long long v = 0;
    auto [stop, error] = std::from_chars(p, end, v);
    // LLONG_MIN's magnitude is one past the positive range.
    if (error != std::errc() || v == LLONG_MIN) return false;
    value = v;
    input.remove_prefix(static_cast<std::size_t>(stop - input.data()));
    return true;
}

long long read_leading(std::string_view text, long long limit, std::string_view blanks) {
    std::size_t i = text.find_first_not_of(blanks);
    if (i == std::string_view::npos) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    const char* first = text.data() + i;
    const char* end = text.data() + text.size();
    const char* last = first;
    while (is_digit(last, end))
        ++last;
    if (last == first) return 0;
    unsigned long long magnitude = 0;
    auto [stop, error] = std::from_chars(first, last, magnitude);
    (void)stop;
    const auto cap = static_cast<unsigned long long>(limit);
    if (error != std::errc() || magnitude > cap) magnitude = cap;
    const auto v = static_cast<long long>(magnitude);
    return negative ? -v : v;
}

}  // namespace zs
