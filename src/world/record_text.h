// Text: how rooms and exits hold their texts. A loaded world is mostly these
// texts and the records around them, so a text is kept small: a pointer wide,
// holding a short text itself and a longer one in a single allocation of
// exactly its bytes; an absent (empty) text takes no allocation. Texts are
// bytes, never re-encoded.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zs {

class Text {
public:
    Text() noexcept = default;
    Text(std::string_view s) { assign(s); }
    Text(const char* s) : Text(std::string_view(s)) {}
    Text(const std::string& s) : Text(std::string_view(s)) {}
    Text(const Text& other) : Text(other.view()) {}
    Text(Text&& other) noexcept { take(other); }
    ~Text() { release(); }

    Text& operator=(const Text& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    Text& operator=(Text&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    Text& operator=(std::string_view s) {
        assign(s);
        return *this;
    }
    Text& operator=(const char* s) { return *this = std::string_view(s); }
    Text& operator=(const std::string& s) { return *this = std::string_view(s); }

    bool empty() const noexcept { return !is_inline() && block() == nullptr; }
    std::size_t size() const noexcept {
        if (is_inline()) return static_cast<std::size_t>(raw_[0] >> 1);
        std::size_t n = 0;
        if (char* b = block()) std::memcpy(&n, b, sizeof n);
        return n;
    }
    // Zero-terminated, "" when empty.
    const char* c_str() const noexcept {
        if (is_inline()) return reinterpret_cast<const char*>(raw_ + 1);
        char* b = block();
        return b ? b + sizeof(std::size_t) : "";
    }
    const char* data() const noexcept { return c_str(); }
    char operator[](std::size_t i) const noexcept { return c_str()[i]; }
    std::string_view view() const noexcept { return {c_str(), size()}; }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }
    void clear() noexcept { release(); }

    friend bool operator==(const Text& a, const Text& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const Text& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const Text& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const Text& a, const std::string& b) noexcept { return a.view() == b; }

private:
    // Either a pointer to the allocation (the size, then the bytes and a
    // zero; null when empty), or, marked by the lowest bit of the first byte
    // (which an aligned pointer leaves clear on little-endian machines), the
    // text itself: the first byte is size * 2 + 1, the bytes and a zero follow.
    static constexpr std::size_t kInlineMax =
        std::endian::native == std::endian::little ? sizeof(char*) - 2 : 0;

    bool is_inline() const noexcept { return kInlineMax > 0 && (raw_[0] & 1) != 0; }
    char* block() const noexcept {
        char* b;
        std::memcpy(&b, raw_, sizeof b);
        return b;
    }
    void take(Text& other) noexcept {
        std::memcpy(raw_, other.raw_, sizeof raw_);
        std::memset(other.raw_, 0, sizeof other.raw_);
    }
    void assign(std::string_view s);
    void release() noexcept;

    alignas(char*) unsigned char raw_[sizeof(char*)] = {};
};

std::ostream& operator<<(std::ostream& out, const Text& text);

}  // namespace zs
