#include "world/record_text.h"

#include <new>
#include <ostream>

namespace zs {

void Text::assign(std::string_view s) {
    // Made aside first: `s` may be this text's own bytes.
    unsigned char made[sizeof raw_] = {};
    std::size_t n = s.size();
    if (n > 0 && n <= kInlineMax) {
        made[0] = static_cast<unsigned char>(n * 2 + 1);
        std::memcpy(made + 1, s.data(), n);
    } else if (n > 0) {
        // operator new, not malloc: running out of memory follows the
        // program's allocation rule. Its blocks are aligned, so the marking
        // bit of a pointer to one is clear.
        char* b = static_cast<char*>(::operator new(sizeof n + n + 1));
        std::memcpy(b, &n, sizeof n);
        std::memcpy(b + sizeof n, s.data(), n);
        b[sizeof n + n] = '\0';
        std::memcpy(made, &b, sizeof b);
    }
    release();
    std::memcpy(raw_, made, sizeof raw_);
}

void Text::release() noexcept {
    if (!is_inline()) ::operator delete(block());
    std::memset(raw_, 0, sizeof raw_);
}

std::ostream& operator<<(std::ostream& out, const Text& text) {
    return out << text.view();
}

}  // namespace zs
