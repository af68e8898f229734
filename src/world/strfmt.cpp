#include "world/strfmt.h"

#include <cstdarg>
#include <cstdio>

namespace zs {

std::string strfmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}

std::string counted(int n, const char* noun) {
    return strfmt("%d %s%s", n, noun, n == 1 ? "" : "s");
}

}  // namespace zs
