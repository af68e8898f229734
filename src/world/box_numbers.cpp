#include "world/box_numbers.h"

#include "world/numbers.h"

namespace zs {

std::optional<long long> box_number(std::string_view text, bool* bad) {
    if (bad) *bad = false;
    text = strip_blanks(text, " \t\r\n");
    if (text.empty()) return std::nullopt;
    std::optional<long long> n = whole_number(text);
    if (!n && bad) *bad = true;
    return n;
}

long long leading_number(std::string_view text) {
    return read_leading(text, kLeadingNumberLimit);
}

}  // namespace zs
