// How the editor reads numbers typed into its boxes: strictly, the whole box
// one number, or as the game's tools read one, its leading digits.
#pragma once

#include <optional>
#include <string_view>

namespace zs {

// The number typed in a dialog's box (blanks around it allowed): nothing for
// an empty box, and `bad` set for a text that is not a whole number.
std::optional<long long> box_number(std::string_view text, bool* bad = nullptr);

// A box read as atoi reads it: leading blanks, a sign and the digits that
// follow; anything after them is ignored and text without digits reads 0.
// The value saturates at kLeadingNumberLimit either way, far outside every
// field's range, so that a range check still sees a huge number.
constexpr long long kLeadingNumberLimit = 1'000'000'000'000LL;
long long leading_number(std::string_view text);

}  // namespace zs
