#include "world/format_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "world/colour_codes.h"

namespace zs {

namespace {

// A word may reach column 79; a longer line wraps before the word.
constexpr int kLastColumn = 79;
constexpr std::string_view kIndent = "   ";
constexpr std::string_view kLineBreak = "\r\n";

bool is_sentence_end(char c) {
    return c == '.' || c == '!' || c == '?';
}

// "&*" ends the line after the word that holds it.
bool is_line_code_at(std::string_view text, std::size_t i) {
    return is_colour_code_at(text, i) && text[i + 1] == '*';
}

// Bytes of a text as codes, "&&" pairs and single characters.
struct Token {
    std::size_t offset;
    std::size_t length;
    bool code;
};

Token token_at(std::string_view text, std::size_t i) {
    if (is_colour_code_at(text, i)) return {i, 2, true};
    const bool pair = text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&';
    return {i, pair ? 2u : 1u, false};
}

std::vector<Token> tokens_of(std::string_view text) {
    std::vector<Token> out;
    for (std::size_t i = 0; i < text.size(); i += out.back().length)
        out.push_back(token_at(text, i));
    return out;
}

int visible_length(std::string_view word) {
    int n = 0;
    for (const Token& t : tokens_of(word))
        n += !t.code;
    return n;
}

bool holds_line_code(std::string_view word) {
    for (const Token& t : tokens_of(word))
        if (t.code && word[t.offset + 1] == '*') return true;
    return false;
}

// Capitalises the first character after the word's leading codes.
void capitalise(std::string& word) {
    for (const Token& t : tokens_of(word)) {
        if (t.code) continue;
        char& c = word[t.offset];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return;
    }
}

// The indentation of a text that does not open with a code: two spaces when
// its first word is nothing but codes (the blank after them makes the third
// column), else three.
std::string_view indentation(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (is_text_blank(text[i])) {
            ++i;
        } else if (is_colour_code_at(text, i)) {
            if (i + 2 == text.size() || is_text_blank(text[i + 2])) return kIndent.substr(1);
            i += 2;
        } else {
            return kIndent;
        }
    }
    return kIndent.substr(1);
}

bool trimmed_away(char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == ' ' || c == '\\' || u < 32 || u == 127;
}

// The text without its trailing blanks, control characters, backslashes and
// "\n" or "\r" escapes; trailing codes go too, except the leftmost, which is
// put back after the last character kept. A text with nothing to keep stays
// as it is.
std::string trimmed(std::string_view text) {
    const std::vector<Token> tokens = tokens_of(text);
    std::size_t keep = tokens.size();
    std::optional<std::size_t> trailing_code;
    while (keep > 0) {
        const Token& t = tokens[keep - 1];
        const char c = text[t.offset];
        if (t.code) {
            trailing_code = t.offset;
            --keep;
        } else if (t.length == 1 && trimmed_away(c)) {
            --keep;
        } else if (t.length == 1 && (c == 'n' || c == 'r') && keep >= 2 &&
                   tokens[keep - 2].length == 1 && text[tokens[keep - 2].offset] == '\\') {
            keep -= 2;
        } else {
            break;
        }
    }
    if (keep == 0) return std::string(text);
    const Token& last = tokens[keep - 1];
    std::string out(text.substr(0, last.offset + last.length));
    if (trailing_code) {
        // A lone "&" and the code would read as "&&" and a letter.
        if (text[last.offset] == '&' && last.length == 1) out += ' ';
        out += text.substr(*trailing_code, 2);
    }
    return out;
}

// Where each word starts, after a leading code. A word runs up to a blank or
// a sentence end; a code inside it is never split.
std::size_t word_end(std::string_view text, std::size_t i) {
    while (i < text.size() && !is_text_blank(text[i]) && !is_sentence_end(text[i]))
        i += token_at(text, i).length;
    return i;
}
std::size_t sentence_end(std::string_view text, std::size_t i) {
    while (i < text.size() && is_sentence_end(text[i]))
        ++i;
    return i;
}

bool opens_with_code(std::string_view text) {
    return is_colour_code_at(text, 0) && !is_line_code_at(text, 0);
}

std::vector<std::size_t> word_starts(std::string_view text) {
    std::vector<std::size_t> out;
    std::size_t i = opens_with_code(text) ? 2 : 0;
    while (true) {
        while (i < text.size() && is_text_blank(text[i]))
            ++i;
        if (i == text.size()) return out;
        out.push_back(i);
        i = sentence_end(text, word_end(text, i));
    }
}

// The formatter without a limit on the length. The end of the text is
// trimmed first, so that the last word wraps as it will stand.
std::string format_whole(std::string_view input, bool indenting) {
    const std::string text = trimmed(input);
    std::string out;
    int line_length = indenting ? 3 : 0;
    // A leading code opens the output ahead of the indentation.
    if (opens_with_code(text)) {
        out = text.substr(0, 2);
        if (indenting) out += kIndent;
    } else if (indenting) {
        out = indentation(text);
    }

    bool line_has_word = false;
    int gap = 0;                 // blanks owed before the next word on this line
    bool sentence_start = true;  // the first word, or the first after a sentence end
    bool capital_owed = true;    // a word of codes alone passes the capital on
    bool out_has_word = false;   // a visible character has gone out
    auto new_line = [&](bool indent_it) {
        out += kLineBreak;
        if (indent_it) out += kIndent;
        line_length = indent_it ? 3 : 0;
        line_has_word = false;
        gap = 0;
    };

    for (std::size_t start : word_starts(text)) {
        const std::size_t core_end = word_end(text, start);
        const std::size_t end = sentence_end(text, core_end);
        const bool ends_sentence = end > core_end;
        std::string word = text.substr(start, end - start);
        const int visible = visible_length(word);

        // A word longer than a line stands alone on its line.
        if (line_has_word && line_length + visible + 1 > kLastColumn) new_line(false);
        if (capital_owed && visible > 0) {
            capitalise(word);
            capital_owed = false;
        }
        // Without indentation, codes that open the text join the first word,
        // as a leading code does.
        const bool joins_next = sentence_start && !indenting && visible == 0 && !out_has_word;
        if (sentence_start) {
            sentence_start = joins_next;
        } else if (line_has_word) {
            gap = 1;
            ++line_length;
        }
        out.append(static_cast<std::size_t>(gap), ' ');
        gap = 0;
        out += word;
        line_length += visible;
        line_has_word = !joins_next;
        out_has_word = out_has_word || visible > 0;

        if (holds_line_code(word)) new_line(indenting);
        if (ends_sentence) {
            sentence_start = capital_owed = true;
            if (line_has_word) {
                if (line_length + 3 < kLastColumn + 1) {
                    gap = 2;
                    line_length += 2;
                } else {
                    new_line(false);
                }
            }
        }
    }
    return trimmed(out) + std::string(kLineBreak);
}

}  // namespace

std::string format_text(std::string_view text, Indent indent, std::size_t capacity) {
    if (text.empty()) return {};
    const bool indenting = indent == Indent::paragraph;
    std::string out = format_whole(text, indenting);
    if (out.size() <= capacity) return out;

    // Too long: the words that fit, found by halving. Only a first word
    // longer than the capacity is cut inside.
    const std::vector<std::size_t> starts = word_starts(text);
    std::size_t fits = 0, too_many = starts.size();
    std::string best;
    while (too_many - fits > 1) {
        const std::size_t mid = (fits + too_many) / 2;
        std::string attempt = format_whole(text.substr(0, starts[mid]), indenting);
        if (attempt.size() <= capacity) {
            fits = mid;
            best = std::move(attempt);
        } else {
            too_many = mid;
        }
    }
    if (fits > 0) return best;
    if (capacity < kLineBreak.size()) return std::string(kLineBreak.substr(0, capacity));
    out.resize(capacity - kLineBreak.size());
    return trimmed(out) + std::string(kLineBreak);
}

namespace {

// A line of a text: its bytes without the line end, and the end itself
// ("\r\n", "\n", or nothing for the last line).
struct Line {
    std::string_view body;
    std::string_view end;
};

std::vector<Line> lines_of(std::string_view text) {
    std::vector<Line> out;
    std::size_t start = 0;
    while (true) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) {
            out.push_back({text.substr(start), {}});
            return out;
        }
        std::size_t body_end = nl > start && text[nl - 1] == '\r' ? nl - 1 : nl;
        out.push_back(
            {text.substr(start, body_end - start), text.substr(body_end, nl + 1 - body_end)});
        start = nl + 1;
    }
}

bool is_line_blank(char c) {
    return c == ' ' || c == '\t';
}

// Appends the line, wrapped at blanks into pieces of at most kLastColumn
// visible columns where it is wider; a word wider than a line stands alone.
void append_wrapped(std::string& out, std::string_view line) {
    while (visible_length(line) > kLastColumn) {
        std::optional<std::size_t> fits, beyond;
        int column = 0;
        bool after_word = false;
        for (const Token& t : tokens_of(line)) {
            const bool blank = !t.code && is_line_blank(line[t.offset]);
            if (blank && after_word) {
                // The text before this blank would make a line of `column`.
                if (column <= kLastColumn) {
                    fits = t.offset;
                } else {
                    beyond = t.offset;
                    break;
                }
            }
            after_word = !blank;
            column += !t.code;
        }
        const std::optional<std::size_t> cut = fits ? fits : beyond;
        if (!cut) break;
        std::size_t rest = *cut;
        while (rest < line.size() && is_line_blank(line[rest]))
            ++rest;
        out += line.substr(0, *cut);
        if (rest == line.size()) return;  // only blanks were left over
        out += kLineBreak;
        line.remove_prefix(rest);
    }
    out += line;
}

// Which lines of `typed` stand unchanged in `base`: for each typed line, the
// index of its base line, or -1. The lines both texts open and close with
// match as they are; between them, a longest common run of lines, unless the
// two stretches are too long to compare (then none of them match).
std::vector<int> matched_lines(const std::vector<Line>& base, const std::vector<Line>& typed) {
    std::vector<int> match(typed.size(), -1);
    std::size_t head = 0;
    while (head < base.size() && head < typed.size() && base[head].body == typed[head].body) {
        match[head] = static_cast<int>(head);
        ++head;
    }
    std::size_t tail = 0;
    while (tail < base.size() - head && tail < typed.size() - head &&
           base[base.size() - 1 - tail].body == typed[typed.size() - 1 - tail].body) {
        match[typed.size() - 1 - tail] = static_cast<int>(base.size() - 1 - tail);
        ++tail;
    }
    const std::size_t n = base.size() - head - tail, m = typed.size() - head - tail;
    constexpr std::size_t kMostCells = std::size_t{1} << 22;
    if (n == 0 || m == 0 || (n + 1) * (m + 1) > kMostCells) return match;
    // lcs[i][j]: the longest common run of base lines from i and typed from j.
    std::vector<std::uint32_t> lcs((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return lcs[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = base[head + i].body == typed[head + j].body
                           ? at(i + 1, j + 1) + 1
                           : std::max(at(i + 1, j), at(i, j + 1));
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (base[head + i].body == typed[head + j].body) {
            match[head + j] = static_cast<int>(head + i);
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    return match;
}

bool ends_with_line_break(std::string_view text) {
    return !text.empty() && text.back() == '\n';
}

}  // namespace

std::string wrap_edited_lines(std::string_view base, std::string_view typed) {
    if (typed == base) return std::string(base);
    const std::vector<Line> old_lines = lines_of(base), new_lines = lines_of(typed);
    const std::vector<int> match = matched_lines(old_lines, new_lines);
    std::string out;
    out.reserve(typed.size() + typed.size() / 32);
    for (std::size_t j = 0; j < new_lines.size(); ++j) {
        const Line& line = new_lines[j];
        if (match[j] < 0) {
            append_wrapped(out, line.body);
            out += line.end;
            continue;
        }
        // An unchanged line keeps its bytes and its own line end; the last
        // line has none, and a line that was last gets the typed one.
        const Line& kept = old_lines[static_cast<std::size_t>(match[j])];
        out += kept.body;
        out += line.end.empty() ? line.end : kept.end.empty() ? line.end : kept.end;
    }
    if (!out.empty() && !ends_with_line_break(out) && (base.empty() || ends_with_line_break(base)))
        out += kLineBreak;
    return out;
}

}  // namespace zs
