#include "world/colour_codes.h"

namespace zs {

namespace {

// Walks the text once, in order: `on_glyph` for every visible character,
// `on_code` with the offset of every colour code.
template <typename OnGlyph, typename OnCode>
void walk(std::string_view text, OnGlyph on_glyph, OnCode on_code) {
    Glyph g;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            ++g.line;
            g.column = 0;
            continue;
        }
        if (is_colour_code_at(text, i)) {
            on_code(i);
            g.colour = text[i + 1];
            i += 2;
            continue;
        }
        g.byte_offset = i;
        g.byte_length = (c == '&' && i + 1 < text.size() && text[i + 1] == '&') ? 2 : 1;
        g.ch = c;
        on_glyph(g);
        ++g.column;
        i += g.byte_length;
    }
}

// The visible character `index`, the offset of the last code before it, and
// whether a lone "&" stands right before it.
struct Hit {
    Glyph glyph;
    std::optional<std::size_t> code_before;
    bool after_lone_ampersand = false;
};

std::optional<Hit> hit(std::string_view text, std::size_t index) {
    std::optional<Hit> found;
    std::optional<std::size_t> last_code;
    std::size_t lone_ampersand_end = std::string_view::npos;
    std::size_t n = 0;
    walk(
        text,
        [&](const Glyph& g) {
            if (n++ == index && !found)
                found = Hit{g, last_code, g.byte_offset == lone_ampersand_end};
            if (g.ch == '&' && g.byte_length == 1) lone_ampersand_end = g.byte_offset + 1;
        },
        [&](std::size_t offset) {
            if (!found) last_code = offset;
        });
    return found;
}

}  // namespace

Rgb preview_colour(char code_letter) {
    static constexpr struct {
        char letter;
        Rgb rgb;
    } kColours[] = {
        {'R', {255, 0, 0}},     {'r', {128, 0, 0}},     {'G', {0, 255, 0}},
        {'g', {0, 128, 0}},     {'B', {0, 0, 255}},     {'b', {0, 0, 128}},
        {'Y', {255, 255, 0}},   {'y', {128, 128, 0}},   {'C', {0, 255, 255}},
        {'c', {0, 128, 128}},   {'M', {255, 0, 255}},   {'m', {128, 0, 128}},
        {'W', {255, 255, 255}}, {'w', {192, 192, 192}}, {'D', {128, 128, 128}},
        {'K', {128, 128, 128}}, {'n', {192, 192, 192}},
    };
    for (const auto& c : kColours)
        if (c.letter == code_letter) return c.rgb;
    return {0, 0, 0};
}

std::vector<Glyph> visible_glyphs(std::string_view text) {
    std::vector<Glyph> out;
    walk(
        text, [&](const Glyph& g) { out.push_back(g); }, [](std::size_t) {});
    return out;
}

std::string visible_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    int line = 0;
    walk(
        text,
        [&](const Glyph& g) {
            if (g.line != line) {
                out += ' ';
                line = g.line;
            }
            out += g.ch;
        },
        [](std::size_t) {});
    return out;
}

std::optional<std::size_t> byte_offset_of_visible(std::string_view text, std::size_t index) {
    if (auto h = hit(text, index)) return h->glyph.byte_offset;
    return std::nullopt;
}

std::optional<std::size_t> visible_index_at(std::string_view text, int line, int column) {
    std::optional<std::size_t> found;
    std::size_t n = 0;
    walk(
        text,
        [&](const Glyph& g) {
            if (g.line == line && g.column == column) found = n;
            ++n;
        },
        [](std::size_t) {});
    return found;
}

std::optional<std::string> paint_colour(std::string_view text, std::size_t index,
                                        std::string_view code) {
    if (code.size() != 2 || !is_colour_code_at(code, 0)) return std::nullopt;
    auto h = hit(text, index);
    if (!h) return std::nullopt;
    std::size_t at = h->glyph.byte_offset;
    // After a lone "&" the code would read as "&&" and a letter.
    if (h->after_lone_ampersand) return std::nullopt;
    std::size_t replaced = 0;
    if (h->code_before && *h->code_before + 2 == at) {
        if (text.substr(at - 2, 2) == code) return std::nullopt;
        at -= 2;
        replaced = 2;
    }
    std::string out(text);
    out.replace(at, replaced, code);
    return out;
}

std::optional<std::string> remove_colour(std::string_view text, std::size_t index) {
    auto h = hit(text, index);
    if (!h || !h->code_before) return std::nullopt;
    std::string out(text);
    out.erase(*h->code_before, 2);
    return out;
}

std::optional<std::string> paint_preview_text(std::string_view text, int line, int column,
                                              bool right, std::string_view code) {
    auto index = visible_index_at(text, line, column);
    if (!index) return std::nullopt;
    return right ? remove_colour(text, *index) : paint_colour(text, *index, code);
}

}  // namespace zs
