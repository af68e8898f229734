#include "files/scan.h"

#include <cstdint>

#include <limits>

namespace zs {

namespace {
bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void skip_blanks(std::string_view& s) {
    std::size_t i = 0;
    while (i < s.size() && blank(s[i]))
        ++i;
    s.remove_prefix(i);
}

bool store_number(const ScanArg& arg, long long v) {
    switch (arg.kind) {
        case ScanArg::Int32:
            if (v < std::numeric_limits<std::int32_t>::min() ||
                v > std::numeric_limits<std::int32_t>::max())
                return false;
            *static_cast<std::int32_t*>(arg.target) = static_cast<std::int32_t>(v);
            return true;
        case ScanArg::Int16:
            if (v < std::numeric_limits<std::int16_t>::min() ||
                v > std::numeric_limits<std::int16_t>::max())
                return false;
            *static_cast<std::int16_t*>(arg.target) = static_cast<std::int16_t>(v);
            return true;
        case ScanArg::Uint8:
            if (v < 0 || v > 255) return false;
            *static_cast<std::uint8_t*>(arg.target) = static_cast<std::uint8_t>(v);
            return true;
        default:
            return false;
    }
}
}  // namespace

int scan_fields(std::string_view in, std::string_view fmt, std::initializer_list<ScanArg> args) {
    const ScanArg* arg = args.begin();
    int converted = 0;
    std::size_t f = 0;
    while (f < fmt.size()) {
        char fc = fmt[f];
        if (blank(fc)) {
            skip_blanks(in);
            ++f;
            continue;
        }
        if (fc != '%') {
            if (in.empty() || in[0] != fc) return converted;
            in.remove_prefix(1);
            ++f;
            continue;
        }
        ++f;
        while (f < fmt.size() && (fmt[f] == 'l' || fmt[f] == 'h'))
            ++f;
        if (f >= fmt.size() || arg == args.end()) return converted;
        char conv = fmt[f++];
        if (conv == 'd') {
            long long v;
            if (!take_number(in, v) || !store_number(*arg, v)) return converted;
        } else if (conv == 's') {
            skip_blanks(in);
            std::size_t n = 0;
            while (n < in.size() && !blank(in[n]))
                ++n;
            if (n == 0 || arg->kind != ScanArg::Word) return converted;
            *static_cast<std::string_view*>(arg->target) = in.substr(0, n);
            in.remove_prefix(n);
        } else if (conv == 'c') {
            if (in.empty() || arg->kind != ScanArg::Char) return converted;
            *static_cast<char*>(arg->target) = in[0];
            in.remove_prefix(1);
        } else {
            return converted;
        }
        ++arg;
        ++converted;
    }
    return converted;
}

int scan_numbers(std::string_view in, std::int32_t* out, int n) {
    // The numeric lines of area files are mostly this: kept tight.
    const char* p = in.data();
    const char* end = p + in.size();
    for (int i = 0; i < n; ++i) {
        while (p < end && is_scan_blank(*p))
            ++p;
        if (p == end) return i;
        bool negative = false;
        if (*p == '-' || *p == '+') negative = *p++ == '-';
        const char* digits = p;
        std::int64_t v = 0;
        for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p)
            if (v <= 10000000000) v = v * 10 + (*p - '0');  // past that it is out of range anyway
        if (p == digits) return i;
        if (negative) v = -v;
        if (v < INT32_MIN || v > INT32_MAX) return i;
        out[i] = static_cast<std::int32_t>(v);
    }
    return n;
}

}  // namespace zs
