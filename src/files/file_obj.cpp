#include "files/file_obj.h"

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

class ObjectParser {
public:
    ObjectParser(ReadResult<ObjectPrototype>& out, TextReader& in, ObjectLayout layout, bool report)
        : out_(out), in_(in), layout_(layout), report_(report) {}
    bool run();

private:
    bool read_record(std::string_view& line);
    bool read_numbers(ObjectPrototype& o);
    bool read_current_numbers(ObjectPrototype& o);
    bool read_legacy_numbers(ObjectPrototype& o);
    bool next_line(std::string_view& line) { return in_.read_line(line) > 0; }
    // A silent try tells of no string error; the loader tells of those of the
    // try that wins.
    std::string text() {
        std::size_t before = in_.string_errors().size();
        std::string t = in_.read_tilde_text();
        if (report_ && in_.string_errors().size() > before)
            add_string_error(out_.diagnostics, in_.file_name(), in_.string_errors().back(),
                             out_.count());
        return t;
    }

    // Gets the records, what the read left out and the out-of-range vnum
    // that failed it.
    ReadResult<ObjectPrototype>& out_;
    TextReader& in_;
    ObjectLayout layout_;
    bool report_;
};

bool ObjectParser::run() {
    std::string_view line;
    if (!next_line(line)) return false;
    while (line[0] != '$')
        if (!read_record(line)) return false;
    return true;
}

// Reads one record from its "#vnum" line; leaves `line` at the line that ends
// it (the next "#" or the "$").
bool ObjectParser::read_record(std::string_view& line) {
    long long number;
    std::string_view rest = line.substr(1);
    if (line[0] != '#' || !take_number(rest, number)) return false;
    if (!record_vnum_in_range(number)) {
        out_.notes.range_error = record_vnum_error(number, in_.line_number());
        out_.notes.range_error_line = in_.line_number();
        return false;
    }
    in_.set_record("object", number);
    ObjectPrototype o;
    o.vnum = static_cast<Vnum>(number);
    o.zone = zone_of(o.vnum);
    o.keywords = text();
    o.short_description = text();
    o.long_description = text();
    o.look_description = text();
    if (layout_ == ObjectLayout::Current) {
        o.text5 = text();
        o.text6 = text();
        o.text7 = text();
        o.text8 = text();
        strip_cr(o.text6);
        strip_cr(o.text7);
        strip_cr(o.text8);
    }
    if (o.keywords.empty()) return false;
    if (!read_numbers(o)) return false;
    o.apply_drink_rule();

    int affect_sections = 0;
    for (;;) {
        if (!next_line(line)) return false;
        switch (line[0]) {
            case '#':
            case '$':
                out_.add(std::move(o));
                return true;
            case 'A': {
                if (affect_sections == kMaxObjectAffects) return false;
                ++affect_sections;
                std::int32_t location, modifier;
                if (!next_line(line) || scan(line, " %d %d ", &location, &modifier) != 2)
                    return false;
                if (modifier != 0)
                    o.affects.push_back({static_cast<std::uint8_t>(location & 0xFF), modifier});
                break;
            }
            case 'E': {
                ExtraDescription ed;
                ed.keyword = text();
                ed.description = text();
                o.extra_descriptions.push_back(std::move(ed));
                break;
            }
            case 'T': {
                std::string_view word;
                std::int32_t trigger;
                // A trigger line without a number is passed over.
                if (scan(line, "%s %d", &word, &trigger) == 2) o.add_trigger(trigger);
                break;
            }
            default:
                return false;
        }
    }
}

bool ObjectParser::read_numbers(ObjectPrototype& o) {
    return layout_ == ObjectLayout::Current ? read_current_numbers(o) : read_legacy_numbers(o);
}

bool ObjectParser::read_current_numbers(ObjectPrototype& o) {
    std::string_view line;
    std::string_view flags;
    auto& l = o.line1_longs;
    auto& n = o.line1_ints;
    if (!next_line(line)) return false;
    int got = scan(line, " %d %ld %ld %ld %ld %s %d %d %d %d", &o.type, &l[0], &l[1], &l[2], &l[3],
                   &flags, &n[0], &n[1], &n[2], &n[3]);
    if ((got != 10 && got != 6) || !flag_word_fits(flags)) return false;
    if (got == 6) n = {};
    o.flag_word = flags_from_word(flags);

    std::int32_t line2[10];
    if (!next_line(line) || scan_numbers(line, line2, 10) != 10) return false;
    std::copy(line2, line2 + 6, o.values.begin());
    std::copy(line2 + 6, line2 + 10, o.line2_ints.begin());
    if (!next_line(line) || scan_numbers(line, o.line3.data(), 6) != 6) return false;

    std::int32_t line4[8] = {};
    if (!next_line(line)) return false;
    got = scan_numbers(line, line4, 8);
    if (got != 8 && got != 3) return false;
    o.weight = line4[0];
    o.cost = line4[1];
    o.rent = line4[2];
    std::copy(line4 + 3, line4 + 8, o.line4_ints.begin());

    for (auto* numbers : {&o.line5, &o.line6})
        if (!next_line(line) || scan_numbers(line, numbers->data(), 10) != 10) return false;
    for (auto* numbers : {&o.line7, &o.line8})
        if (!next_line(line) || scan_numbers(line, numbers->data(), 8) != 8) return false;
    return true;
}

// CircleMUD 3.x: "type extra wear" / "v0 v1 v2 v3" / "weight cost rent".
// tbaMUD: "type e1 e2 e3 e4 w1 w2 w3 w4 p1 p2 p3 p4" / "v0 v1 v2 v3" /
// "weight cost rent level timer" (level and timer may be missing).
// Extra flags go to the first numeric line's four long fields, wear flags to
// the flag word, tbaMUD's permanent affect words to its four int fields, level
// and timer to the first two fields after rent. tbaMUD's second to fourth wear
// words have no place; the game has fewer than 32 wear flags.
bool ObjectParser::read_legacy_numbers(ObjectPrototype& o) {
    std::string_view line;
    std::string_view w[12];
    if (!next_line(line)) return false;
    if (layout_ == ObjectLayout::TbaMud) {
        if (scan(line, "%d %s %s %s %s %s %s %s %s %s %s %s %s", &o.type, &w[0], &w[1], &w[2],
                 &w[3], &w[4], &w[5], &w[6], &w[7], &w[8], &w[9], &w[10], &w[11]) != 13)
            return false;
        for (int i = 0; i < 4; ++i)
            o.line1_longs[i] = static_cast<std::int32_t>(flags_from_word(w[i]));
        o.flag_word = flags_from_word(w[4]);
        if (flags_from_word(w[5]) | flags_from_word(w[6]) | flags_from_word(w[7]))
            out_.notes.dropped.add(strfmt("object %d", o.vnum), "wear flags beyond the first 32");
        for (int i = 0; i < 4; ++i)
            o.line1_ints[i] = static_cast<std::int32_t>(flags_from_word(w[8 + i]));
    } else {
        if (scan(line, "%d %s %s", &o.type, &w[0], &w[1]) != 3 || !flag_word_fits(w[0]) ||
            !flag_word_fits(w[1]))
            return false;
        o.line1_longs[0] = static_cast<std::int32_t>(flags_from_word(w[0]));
        o.flag_word = flags_from_word(w[1]);
    }
    if (!next_line(line) || scan_numbers(line, o.values.data(), 4) != 4) return false;
    std::int32_t last[5] = {};
    if (!next_line(line)) return false;
    int got = scan_numbers(line, last, 5);
    if (got < 3) return false;
    o.weight = last[0];
    o.cost = last[1];
    o.rent = last[2];
    if (layout_ == ObjectLayout::TbaMud) {
        o.line4_ints[0] = last[3];
        o.line4_ints[1] = last[4];
    }
    return true;
}

}  // namespace

ReadResult<ObjectPrototype> read_objects_layout(std::string_view bytes, std::string_view file_name,
                                                ObjectLayout layout, bool report,
                                                ReadSink<ObjectPrototype>* sink) {
    ReadResult<ObjectPrototype> result(sink);
    if (!sink) result.records.reserve(static_cast<std::size_t>(record_lines(bytes)));
    TextReader reader(bytes);
    reader.set_file_name(std::string(file_name));
    ObjectParser parser(result, reader, layout, report);
    result.ok = parser.run();
    if (report && !result.ok)
        add_load_error(result.diagnostics, file_kind(TableKind::Object), result.notes);
    finish_read(result, reader, file_name, report);
    return result;
}

ReadResult<ObjectPrototype> read_objects(std::string_view bytes, std::string_view file_name,
                                         ReadSink<ObjectPrototype>* sink) {
    return read_objects_layout(bytes, file_name, ObjectLayout::Current, true, sink);
}

WriteResult write_objects(const ObjectTable& objects, const std::vector<int>& slots) {
    AreaWriter w;
    auto named = [&w](const std::string& t) {
        if (t.empty())
            w.raw("undefined");
        else
            w.text(t);
        w.ch('~').nl();
    };
    auto plain = [&w](const std::string& t) { w.text_no_cr(t, kMaxTextLength).ch('~').nl(); };
    auto numbers = [&w](const auto& values) {
        bool first = true;
        for (auto v : values) {
            if (!first) w.ch(' ');
            w.num(v);
            first = false;
        }
        w.nl();
    };
    for (int s : slots) {
        const ObjectPrototype& o = objects.record(s);
        w.ch('#').num(o.vnum).nl();
        named(o.keywords);
        named(o.short_description);
        named(o.long_description);
        for (const std::string* t : {&o.look_description, &o.text5, &o.text6, &o.text7, &o.text8})
            plain(*t);
        // The flag word goes out unsigned: a leading "-" would read back as no flags.
        w.num(o.type);
        for (auto v : o.line1_longs)
            w.sp(v);
        w.sp(o.flag_word);
        for (auto v : o.line1_ints)
            w.sp(v);
        w.nl();
        w.num(o.values[0]);
        for (int i = 1; i < 6; ++i)
            w.sp(o.values[i]);
        for (auto v : o.line2_ints)
            w.sp(v);
        w.nl();
        numbers(o.line3);
        w.num(o.weight).sp(o.cost).sp(o.rent);
        for (auto v : o.line4_ints)
            w.sp(v);
        w.nl();
        numbers(o.line5);
        numbers(o.line6);
        numbers(o.line7);
        numbers(o.line8);
        for (auto t : o.triggers)
            w.raw("T ").num(t).nl();
        for (const auto& ed : o.extra_descriptions) {
            // The description goes out without its CRs: one of CRs alone would
            // come back empty, so it is left out like an empty one.
            if (ed.keyword.empty() || ed.description.find_first_not_of('\r') == std::string::npos)
                continue;
            w.ch('E').nl().text(ed.keyword).ch('~').nl();
            plain(ed.description);
        }
        for (const auto& a : o.affects)
            if (a.modifier != 0) w.ch('A').nl().num(a.location).sp(a.modifier).nl();
    }
    w.raw("$~").nl();
    return {std::move(w.bytes()), {}};
}

}  // namespace zs
