#include "world/text.h"

#include <cstring>

#include "world/strfmt.h"

namespace zs {

TildeTextFault tilde_text_fault(std::string_view text, std::size_t limit) {
    if (text.find('~') != std::string_view::npos) return TildeTextFault::Tilde;
    std::size_t size = text.size();
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1))
        size += at == 0 || text[at - 1] != '\r';
    return size > limit ? TildeTextFault::TooLong : TildeTextFault::None;
}

namespace {
bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

bool TextReader::raw_line(std::string_view& line) {
    if (pos_ >= data_.size()) return false;
    const char* start = data_.data() + pos_;
    std::size_t left = data_.size() - pos_;
    const void* nl = std::memchr(start, '\n', left);
    std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : left;
    pos_ += nl ? len + 1 : len;
    if (nl && len > 0 && start[len - 1] == '\r') --len;
    line = std::string_view(start, len);
    ++line_;
    return true;
}

int TextReader::read_line(std::string_view& line) {
    int consumed = 0;
    std::string_view l;
    while (raw_line(l)) {
        ++consumed;
        if (!l.empty() && l[0] == '*') continue;
        bool blank = true;
        for (char c : l)
            if (!is_blank(c)) {
                blank = false;
                break;
            }
        if (blank) continue;
        line = l;
        return consumed;
    }
    return 0;
}

bool TextReader::take_tilde_text(std::string_view& raw, std::size_t& bare_lf) {
    // The text runs to the first "~"; the rest of that line is dropped. Line
    // ends inside it become CR LF.
    const int first_line = line_ + 1;
    const char* begin = data_.data() + pos_;
    const char* end = data_.data() + data_.size();
    const char* tilde = pos_ < data_.size()
                            ? static_cast<const char*>(
                                  std::memchr(begin, '~', static_cast<std::size_t>(end - begin)))
                            : nullptr;
    const char* stop = end;  // where reading stops: after the "~" line, or the end
    if (tilde) {
        const char* nl = static_cast<const char*>(
            std::memchr(tilde, '\n', static_cast<std::size_t>(end - tilde)));
        stop = nl ? nl + 1 : end;
    }
    const char* text_end = tilde ? tilde : end;
    int lines = 0;
    for (const char* p = text_end; p < stop; ++p)
        lines += *p == '\n';
    // Count the line ends inside the text, and those without their CR, so that
    // the text can be made in one allocation of its exact size.
    std::size_t bare = 0;
    for (const char* p = begin; p < text_end;) {
        const char* nl =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(text_end - p)));
        if (!nl) break;
        ++lines;
        if (nl == begin || nl[-1] != '\r') ++bare;
        p = nl + 1;
    }
    pos_ = static_cast<std::size_t>(stop - data_.data());
    line_ += lines;
    if (!tilde || static_cast<std::size_t>(text_end - begin) + bare > kMaxTextLength) {
        // Cut off by the end of the file, or too long: the box, and no text.
        // An over-long text has been skipped up to its closing "~".
        string_error_at(first_line, static_cast<std::size_t>(text_end - begin) + bare, !tilde);
        return false;
    }
    raw = std::string_view(begin, static_cast<std::size_t>(text_end - begin));
    bare_lf = bare;
    return true;
}

namespace {
// The text with each of its `bare_lf` line ends that lack the CR made CR LF.
std::string with_crlf(std::string_view raw, std::size_t bare_lf) {
    std::string text;
    text.reserve(raw.size() + bare_lf);
    const char* p = raw.data();
    const char* end = p + raw.size();
    while (p < end) {
        const char* nl =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!nl) {
            text.append(p, end);
            break;
        }
        text.append(p, (nl > p && nl[-1] == '\r') ? nl - 1 : nl);
        text.append("\r\n", 2);
        p = nl + 1;
    }
    return text;
}
}  // namespace

std::string TextReader::read_tilde_text() {
    std::string_view raw;
    std::size_t bare_lf;
    if (!take_tilde_text(raw, bare_lf)) return {};
    return bare_lf > 0 ? with_crlf(raw, bare_lf) : std::string(raw);
}

Text TextReader::read_text() {
    std::string_view raw;
    std::size_t bare_lf;
    if (!take_tilde_text(raw, bare_lf)) return {};
    return bare_lf > 0 ? Text(with_crlf(raw, bare_lf)) : Text(raw);
}

void TextReader::string_error_at(int line, std::size_t length, bool ended) {
    std::string message;
    if (record_kind_) message = strfmt("%s %lld: ", record_kind_, record_vnum_);
    if (ended)
        message += "the text has no closing \"~\" before the end of the file";
    else
        message +=
            strfmt("the text is %zu characters long; the game keeps %zu", length, kMaxTextLength);
    string_errors_.push_back({line, std::move(message)});
}

std::string TextReader::string_error_detail(std::string_view file_name, const StringError& e) {
    if (file_name.empty()) return strfmt("line %d: %s.", e.line, e.message.c_str());
    return strfmt("%.*s, line %d: %s.", static_cast<int>(file_name.size()), file_name.data(),
                  e.line, e.message.c_str());
}

int TextReader::peek_non_blank() {
    while (pos_ < data_.size()) {
        char c = data_[pos_];
        if (!is_blank(c)) return static_cast<unsigned char>(c);
        if (c == '\n') ++line_;
        ++pos_;
    }
    return -1;
}

std::uint32_t flags_from_word(std::string_view word) {
    if (word.empty()) return 0;
    bool digits = true;
    for (char c : word)
        if (c < '0' || c > '9') {
            digits = false;
            break;
        }
    if (digits) {
        std::uint64_t v = 0;
        for (char c : word) {
            v = v * 10 + static_cast<unsigned>(c - '0');
            if (v > 0xFFFFFFFFull) return 0xFFFFFFFFu;
        }
        return static_cast<std::uint32_t>(v);
    }
    std::uint32_t bits = 0;
    for (char c : word) {
        if (c >= 'a' && c <= 'z')
            bits |= 1u << (c - 'a');
        else if (c >= 'A' && c <= 'Z')
            bits |= 1u << ((c - 'A' + 26) % 32);
    }
    return bits;
}

bool flag_word_fits(std::string_view word) {
    std::uint64_t v = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return true;  // letters always fit
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > 0xFFFFFFFFull) return false;
    }
    return true;
}

void append_flag_word(std::string& out, std::uint32_t bits) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEF";
    if (bits == 0) {
        out.push_back('0');
        return;
    }
    for (int i = 0; i < 32; ++i)
        if (bits & (1u << i)) out.push_back(kAlphabet[i]);
}

std::string word_from_flags(std::uint32_t bits) {
    std::string s;
    append_flag_word(s, bits);
    return s;
}

std::string_view leading_word(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() &&
           ((text[n] >= 'a' && text[n] <= 'z') || (text[n] >= 'A' && text[n] <= 'Z')))
        ++n;
    return text.substr(0, n);
}

void strip_cr(std::string& text) {
    std::erase(text, '\r');
}

void flatten_lines(std::string& text) {
    strip_cr(text);
    for (char& c : text)
        if (c == '\n') c = ' ';
}

int compare_without_case(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return 0;
    auto fold = [](char c) {
        return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : static_cast<unsigned char>(c);
    };
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int d = fold(a[i]) - fold(b[i]);
        if (d != 0) return d;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -fold(b[n]) : fold(a[n]);
}

namespace {
// Index of the first character that is not part of a leading colour code.
std::size_t first_plain_char(const std::string& text) {
    std::size_t i = 0;
    while (i + 1 < text.size() && text[i] == '&')
        i += 2;
    return i;
}
}  // namespace

void capitalise_first(std::string& text) {
    std::size_t i = first_plain_char(text);
    if (i < text.size() && text[i] >= 'a' && text[i] <= 'z')
        text[i] = static_cast<char>(text[i] - 'a' + 'A');
}

void lowercase_first(std::string& text) {
    std::size_t i = first_plain_char(text);
    if (i < text.size() && text[i] >= 'A' && text[i] <= 'Z')
        text[i] = static_cast<char>(text[i] - 'A' + 'a');
}

}  // namespace zs
