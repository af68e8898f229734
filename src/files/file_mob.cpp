#include "files/file_mob.h"

#include <cstdlib>

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

using Flags = MobileLayout::Flags;

const MobileLayout kCurrentMobileLayout = {13, Flags::Quor, true, true, 7, true};

namespace {

// The number a word gives read as C's atoi does: optional sign and digits,
// anything else ends it; no digits gives 0. False when the number does not
// fit 32 bits.
bool atoi_word(std::string_view w, std::int32_t& out) {
    long long v = 0;
    std::string_view rest = w;
    if (!take_number(rest, v)) {
        // No number at all, or one past the 64-bit range.
        std::size_t i = w.find_first_not_of(" \t+-");
        out = 0;
        return i == std::string_view::npos || w[i] < '0' || w[i] > '9';
    }
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

std::string_view trim_right(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Builds the conversation tree from nodes in file order, placing each node by
// its tier against the node read before it: the same tier is a sibling, one
// deeper a branch, a shallower tier a sibling of the nearest ancestor of that
// tier. Damaged tiers lose nothing: a node more than one deeper becomes a
// branch of the node before it, and a node shallower than every ancestor goes
// to the top level. Trees are kept to kMaxConversationDepth levels.
class ConversationBuilder {
public:
    void add(Conversation node) {
        int index = static_cast<int>(nodes_.size());
        int tier = node.tier;
        int parent = -1;
        if (prev_ >= 0) {
            const Node& prev = nodes_[prev_];
            if (tier == prev.c.tier) {
                parent = prev.parent;
            } else if (tier > prev.c.tier) {
                parent = prev_;
            } else {
                int a = prev.parent;
                while (a >= 0 && nodes_[a].c.tier != tier)
                    a = nodes_[a].parent;
                parent = a >= 0 ? nodes_[a].parent : -1;
            }
        }
        // Deeper than any real conversation goes: kept one level up.
        if (parent >= 0 && nodes_[parent].depth + 1 >= kMaxConversationDepth)
            parent = nodes_[parent].parent;
        if (parent < 0)
            top_.push_back(index);
        else
            nodes_[parent].children.push_back(index);
        int depth = parent < 0 ? 0 : nodes_[parent].depth + 1;
        nodes_.push_back({std::move(node), parent, depth, {}});
        prev_ = index;
    }

    // The finished tree, top level in file order, tiers set to the depths.
    std::vector<Conversation> take() {
        std::vector<Conversation> out;
        for (int i : top_)
            out.push_back(build(i, 0));
        return out;
    }

private:
    struct Node {
        Conversation c;
        int parent;
        int depth;
        std::vector<int> children;
    };

    Conversation build(int i, int depth) {
        Conversation c = std::move(nodes_[i].c);
        c.tier = depth;
        c.branches.clear();
        for (int child : nodes_[i].children)
            c.branches.push_back(build(child, depth + 1));
        return c;
    }

    std::vector<Node> nodes_;
    std::vector<int> top_;
    int prev_ = -1;
};

class MobileParser {
public:
    MobileParser(ReadResult<MobilePrototype>& out, TextReader& in, const MobileLayout& layout,
                 bool report, int numbered_from)
        : out_(out),
          notes(out.notes),
          in_(in),
          layout_(layout),
          report_(report),
          numbered_from_(numbered_from) {}
    bool run();

private:
    ReadResult<MobilePrototype>& out_;
    // What the read left out, and the out-of-range vnum that failed it.
    ReadNotes& notes;

    int records() const { return out_.count(); }
    // The number messages give the mobile being read: its place in the table.
    int mob_number() const { return numbered_from_ + records(); }
    // A failure: the box's detail (may be empty); the parse stops.
    bool fail(std::string detail = {}, int line = 0) {
        if (report_)
            add_load_error(out_.diagnostics, file_kind(TableKind::Mobile), detail, records(), line);
        return false;
    }
    // A damaged block line: reported, but the parse goes on.
    void complain(std::string_view detail) {
        if (report_)
            add_load_error(out_.diagnostics, file_kind(TableKind::Mobile), detail, records());
    }
    bool next_line(std::string_view& line) { return in_.read_line(line) > 0; }
    // A silent try tells of no string error; the loader tells of those of the
    // try that wins.
    std::string text() {
        std::size_t before = in_.string_errors().size();
        std::string t = in_.read_tilde_text();
        if (report_ && in_.string_errors().size() > before)
            add_string_error(out_.diagnostics, in_.file_name(), in_.string_errors().back(),
                             records());
        return t;
    }

    bool read_record(std::string_view& line);
    bool read_sections(MobilePrototype& m, std::string_view& line);
    bool read_conversation(ConversationBuilder& tree);
    bool read_block(MobilePrototype& m);
    bool read_number_set(MobilePrototype& m);
    bool read_skills(MobilePrototype& m);
    bool read_type_line(MobilePrototype& m, std::string_view line, char& type);
    bool read_numeric_lines(MobilePrototype& m);
    bool read_especs(MobilePrototype& m);
    void read_triggers(MobilePrototype& m);

    TextReader& in_;
    const MobileLayout& layout_;
    bool report_;
    int numbered_from_;
};

bool MobileParser::run() {
    std::string_view line;
    if (!next_line(line)) return fail("Error Code 1");
    while (line[0] != '$')
        if (!read_record(line)) return false;
    return true;
}

bool MobileParser::read_record(std::string_view& line) {
    long long number;
    std::string_view rest = line.substr(1);
    if (line[0] != '#' || !take_number(rest, number)) return fail();
    if (!record_vnum_in_range(number)) {
        notes.range_error = record_vnum_error(number, in_.line_number());
        notes.range_error_line = in_.line_number();
        return fail(notes.range_error, notes.range_error_line);
    }
    in_.set_record("mobile", number);
    MobilePrototype m;
    m.vnum = static_cast<std::int32_t>(number);
    m.zone = zone_of(m.vnum);
    std::string* texts[] = {&m.keywords,
                            &m.short_description,
                            &m.long_description,
                            &m.description,
                            &m.text5,
                            &m.text6,
                            &m.text7,
                            &m.text8,
                            &m.text9,
                            &m.text10,
                            &m.text11,
                            &m.greeting,
                            &m.text13};
    for (int i = 0; i < layout_.texts; ++i)
        *texts[i] = text();
    std::string_view first = leading_word(m.short_description);
    for (std::string_view article : {"a", "an", "the"})
        if (first.size() == article.size() && compare_without_case(first, article) == 0)
            lowercase_first(m.short_description);

    if (!read_sections(m, line)) return false;
    char type;
    if (!read_type_line(m, line, type)) return false;
    if (!read_numeric_lines(m)) return false;
    if (type == 'E' && !read_especs(m)) return false;
    read_triggers(m);
    m.apply_size_class();
    out_.add(std::move(m));

    if (!next_line(line)) return fail("Error Code 1");
    return true;
}

// Tagged sections up to the type line, which is left in `line`.
bool MobileParser::read_sections(MobilePrototype& m, std::string_view& line) {
    ConversationBuilder tree;
    for (;;) {
        if (!next_line(line)) return fail("Error Code 1");
        if (!layout_.tagged_sections) break;
        std::string_view tag = trim_right(line);
        bool ok = true;
        if (tag == "@")
            ok = read_conversation(tree);
        else if (tag == "@@")
            ok = read_block(m);
        else if (tag == "@@@")
            ok = read_number_set(m);
        else if (tag == "Skills:")
            ok = read_skills(m);
        else
            break;
        if (!ok) return false;
    }
    m.conversations = tree.take();
    return true;
}

bool MobileParser::read_conversation(ConversationBuilder& tree) {
    Conversation c;
    c.keywords = text();
    c.response = text();
    std::string_view line;
    if (!next_line(line)) return fail("Error Code 2");
    std::int32_t n[7] = {-1, -1, -1, 0, 0, 0, 0};
    int got = scan_numbers(line, n, layout_.conversation_numbers);
    if (got != layout_.conversation_numbers) return fail("Error Code 3");
    c.quest_to_activate = n[0];
    c.quest_required = n[1];
    c.trigger_to_activate = n[2];
    c.tier = n[3];
    c.number5 = n[4];
    c.number6 = n[5];
    c.number7 = n[6];
    tree.add(std::move(c));
    return true;
}

bool MobileParser::read_block(MobilePrototype& m) {
    MobileBlock b;
    for (auto& t : b.texts) {
        t = text();
        strip_cr(t);
    }
    std::string_view line;
    // Lines 1 to 5: a missing or short line ends the parse.
    static const char* const kMissing[5] = {"Error Code 4", "Error Code 6", "Error Code 8",
                                            "Error Code 10", "Error Code 12"};
    static const char* const kShort[5] = {"Error Code 5", "Error Code 7", "Error Code 9",
                                          "Error Code 11", "Error Code 13"};
    for (int i = 0; i < 5; ++i) {
        if (!next_line(line)) return fail(kMissing[i]);
        if (scan_numbers(line, b.numbers.data() + 10 * i, 10) != 10) return fail(kShort[i]);
    }
    // Lines 6 and 7 are reported but do not stop the parse.
    if (!next_line(line))
        complain("Error Code 13a");
    else if (scan_numbers(line, b.numbers.data() + 50, 10) != 10)
        complain("Error Code 13b");
    if (!next_line(line))
        complain("Error Code 13c");
    else if (scan_numbers(line, b.numbers.data() + 60, 8) != 8)
        complain("Error Code 13d");
    m.blocks.push_back(std::move(b));
    return true;
}

bool MobileParser::read_number_set(MobilePrototype& m) {
    std::string_view line;
    if (!next_line(line)) return fail("Error Code 14");
    while (trim_right(line) != "~") {
        std::int32_t n[10];
        if (scan_numbers(line, n, 10) != 10) return fail("Error Code 15");
        for (std::int32_t v : n)
            if (v >= 0 && v < kNumberSetSize) m.number_set.set(static_cast<std::size_t>(v));
        if (!next_line(line)) return fail("Error Code 16");
    }
    return true;
}

// One line of ten "skill:value" pairs; false when it does not hold twenty numbers.
bool read_skill_pairs(std::string_view line, std::int32_t (&pair)[20]) {
    for (int i = 0; i < 20; i += 2) {
        long long skill, value;
        if (!take_number(line, skill) || line.empty() || line[0] != ':') return false;
        line.remove_prefix(1);
        if (!take_number(line, value)) return false;
        if (skill < INT32_MIN || skill > INT32_MAX || value < INT32_MIN || value > INT32_MAX)
            return false;
        pair[i] = static_cast<std::int32_t>(skill);
        pair[i + 1] = static_cast<std::int32_t>(value);
    }
    return true;
}

bool MobileParser::read_skills(MobilePrototype& m) {
    std::string_view line;
    if (!next_line(line)) return fail("Error Code 14.1");
    while (trim_right(line) != "~") {
        std::int32_t pair[20];
        if (!read_skill_pairs(line, pair)) return fail("Error Code 15.1");
        for (int i = 0; i < 20; i += 2)
            if (pair[i] >= 0 && pair[i] <= kMaxSkill) m.set_skill(pair[i], pair[i + 1]);
        if (!next_line(line)) return fail("Error Code 16.1");
    }
    return true;
}

bool MobileParser::read_type_line(MobilePrototype& m, std::string_view line, char& type) {
    std::string_view w[8];
    int got;
    int wanted;
    switch (layout_.flags) {
        case Flags::Quor:
        case Flags::TbaMud:
            wanted = 10;
            got = scan(line, "%s %s %s %s %s %s %s %s %d %c", &w[0], &w[1], &w[2], &w[3], &w[4],
                       &w[5], &w[6], &w[7], &m.alignment, &type);
            break;
        case Flags::Circle:
        default:
            wanted = 4;
            got = scan(line, "%s %s %d %c", &w[0], &w[1], &m.alignment, &type);
            break;
    }
    if (got != wanted) return fail("Error Code 17");
    if (layout_.flags == Flags::Quor) {
        // Plain numbers; flag letters give 0.
        for (int i = 0; i < 8; ++i) {
            std::int32_t v;
            if (!atoi_word(w[i], v)) return fail("Error Code 17");
            m.flag_words[i] = static_cast<std::uint32_t>(v);
        }
    } else if (layout_.flags == Flags::TbaMud) {
        // Four action words, then four affect words.
        for (int i = 0; i < 8; ++i) {
            if (!flag_word_fits(w[i])) return fail("Error Code 17");
            m.flag_words[i] = flags_from_word(w[i]);
        }
    } else {
        if (!flag_word_fits(w[0]) || !flag_word_fits(w[1])) return fail("Error Code 17");
        m.flag_words[0] = flags_from_word(w[0]);  // action flags
        m.flag_words[4] = flags_from_word(w[1]);  // affect flags
    }
    char as_read = type;
    if (type >= 'a' && type <= 'z') type = static_cast<char>(type - 'a' + 'A');
    if (type != 'E' && type != 'S')
        return fail(strfmt("Unsupported mob type '%c' in mob #%d.", as_read, mob_number()));
    return true;
}

bool MobileParser::read_numeric_lines(MobilePrototype& m) {
    std::string_view line;
    if (!next_line(line)) return fail();
    if (scan(line, " %d %d %d %dd%d+%d %dd%d+%d ", &m.level, &m.thac0, &m.armor, &m.hit_dice[0],
             &m.hit_dice[1], &m.hit_dice[2], &m.damage_dice[0], &m.damage_dice[1],
             &m.damage_dice[2]) != 9)
        return fail("Error Code 19");
    if (!layout_.five_lines) {
        // CircleMUD: "gold exp" and "position default-position sex".
        if (!next_line(line)) return fail("Error Code 20");
        if (scan_numbers(line, m.line2.data(), 2) != 2) return fail("Error Code 21");
        if (!next_line(line)) return fail("Error Code 22");
        if (scan_numbers(line, m.line3.data(), 3) != 3) return fail("Error Code 23");
        return true;
    }
    if (!next_line(line)) return fail("Error Code 20");
    if (scan_numbers(line, m.line2.data(), 10) != 10) return fail("Error Code 21");
    if (!next_line(line)) return fail("Error Code 22");
    if (scan_numbers(line, m.line3.data(), 11) != 11) return fail("Error Code 23");
    std::int32_t line4[10];
    if (!next_line(line)) return fail("Error Code 24");
    if (scan_numbers(line, line4, 10) != 10) return fail("Error Code 25");
    // The six ability numbers of the line give way to the E-specs.
    std::copy(line4 + 6, line4 + 10, m.line4_ints.begin());
    if (!next_line(line))
        return fail(strfmt("Format error in last line of mob #%d.", mob_number()));
    if (scan_numbers(line, m.line5.data(), 10) != 10) return fail("Error Code 26");
    return true;
}

bool MobileParser::read_especs(MobilePrototype& m) {
    std::string_view line;
    for (;;) {
        if (!next_line(line))
            return fail(strfmt("Unexpected end of file reached after mob #%d.", mob_number()));
        if (trim_right(line) == "E") return true;
        if (line[0] == '#') return fail(strfmt("Unterminated E section in mob #%d.", mob_number()));
        std::size_t colon = line.find(':');
        std::string_view keyword = line.substr(0, colon);
        std::int32_t value = 0;
        if (colon != std::string_view::npos && !atoi_word(line.substr(colon + 1), value)) value = 0;
        auto is = [&](std::string_view k) {
            return keyword.size() == k.size() && compare_without_case(keyword, k) == 0;
        };
        static constexpr std::pair<std::string_view, Ability> kAbilities[] = {
            {"Str", kStr}, {"Int", kInt}, {"Wis", kWis},
            {"Dex", kDex}, {"Con", kCon}, {"Cha", kCha}};
        bool known = false;
        if (is("BareHandAttack")) {
            m.bare_hand_attack = std::clamp(value, 0, 99);
            known = true;
        }
        for (const auto& [name, ability] : kAbilities) {
            if (is(name)) {
                m.abilities[ability] = std::clamp(value, 5, 100);
                known = true;
            }
        }
        if (known) continue;
        if (report_) {
            add_message(out_.diagnostics, "Warning: unrecognized espec keyword while loading mob.",
                        records());
            continue;
        }
        // Converting: CircleMUD's StrAdd and tbaMUD's saving throws have no
        // place in the game's mobiles. The old writer's lines of numbers were
        // never set; only one that holds something is worth naming.
        std::string_view field = trim_right(keyword);
        if (colon == std::string_view::npos) {
            std::string_view rest = field;
            long long n;
            bool zeros = true;
            while (zeros && take_number(rest, n))
                zeros = n == 0;
            if (zeros && rest.find_first_not_of(" \t") == std::string_view::npos) continue;
        }
        notes.dropped.add(strfmt("mobile %d", m.vnum), std::string(field));
    }
}

void MobileParser::read_triggers(MobilePrototype& m) {
    std::string_view line;
    while (in_.peek_non_blank() == 'T') {
        in_.read_line(line);
        std::string_view word;
        std::int32_t trigger;
        if (scan(line, "%s %d", &word, &trigger) == 2) m.add_trigger(trigger);
    }
}

// --- Writing -------------------------------------------------------------

class MobileWriter {
public:
    explicit MobileWriter(const MobileTable& mobiles) : mobiles_(mobiles) {}
    WriteResult text(const std::vector<int>& slots);

private:
    void mobile(const MobilePrototype& m);
    void conversations(const std::vector<Conversation>& nodes, int depth);
    void numbers(const std::int32_t* v, int n) {
        for (int i = 0; i < n; ++i) {
            if (i) w_.ch(' ');
            w_.num(v[i]);
        }
        w_.nl();
    }

    const MobileTable& mobiles_;
    AreaWriter w_;
    Diagnostics diagnostics_;
};

WriteResult MobileWriter::text(const std::vector<int>& slots) {
    for (int s : slots)
        mobile(mobiles_.record(s));
    w_.raw("$").nl();
    return {std::move(w_.bytes()), std::move(diagnostics_)};
}

void MobileWriter::conversations(const std::vector<Conversation>& nodes, int depth) {
    for (const auto& c : nodes) {
        if (c.keywords.empty() || c.response.empty()) {
            add_message(diagnostics_, "save_mobs: Corrupt conversation!");
        } else {
            w_.ch('@').nl().text(c.keywords).ch('~').nl();
            w_.text_no_cr(c.response, kMaxTextLength).ch('~').nl();
            std::int32_t n[7] = {
                c.quest_to_activate, c.quest_required, c.trigger_to_activate, depth, c.number5,
                c.number6,           c.number7};
            for (int i = 0; i < 7; ++i) {
                if (i) w_.ch(' ');
                w_.num(n[i]);
            }
            w_.ch('~').nl();
        }
        conversations(c.branches, depth + 1);
    }
}

void MobileWriter::mobile(const MobilePrototype& m) {
    w_.ch('#').num(m.vnum).nl();
    auto held = [this](const std::string& t) { w_.text(t).ch('~').nl(); };
    auto cut = [this](const std::string& t) { w_.text_no_cr(t, kMaxTextLength).ch('~').nl(); };
    held(m.keywords);
    held(m.short_description);
    cut(m.long_description);
    cut(m.description);
    for (const std::string* t : {&m.text5, &m.text6, &m.text7, &m.text8, &m.text9, &m.text10,
                                 &m.text11, &m.greeting, &m.text13})
        held(*t);

    conversations(m.conversations, 0);
    for (const auto& b : m.blocks) {
        w_.raw("@@").nl();
        for (const auto& t : b.texts)
            w_.text_no_cr(t, std::string::npos).ch('~').nl();
        for (int line = 0; line < 6; ++line)
            numbers(b.numbers.data() + 10 * line, 10);
        numbers(b.numbers.data() + 60, 8);
    }
    // The number set is the game's only when flag f of the second flag word is set.
    if (m.flag_words[1] & (1u << 5)) {
        w_.raw("@@@").nl();
        std::int32_t row[10];
        int filled = 0;
        for (int v = 0; v < kNumberSetSize; ++v) {
            if (!m.number_set.test(static_cast<std::size_t>(v))) continue;
            row[filled++] = v;
            if (filled == 10) {
                numbers(row, 10);
                filled = 0;
            }
        }
        if (filled > 0) {
            std::fill(row + filled, row + 10, -1);
            numbers(row, 10);
        }
        w_.ch('~').nl();
    }
    w_.raw("Skills:").nl();
    int in_row = 0;
    for (const auto& s : m.skills) {
        if (in_row) w_.ch(' ');
        w_.num(s.skill).ch(':').num(s.value);
        if (++in_row == 10) {
            w_.nl();
            in_row = 0;
        }
    }
    if (in_row > 0) {
        for (; in_row < 10; ++in_row)
            w_.raw(" -1:-1");
        w_.nl();
    }
    w_.ch('~').nl();

    for (int i = 0; i < 8; ++i) {
        w_.num(static_cast<std::int32_t>(m.flag_words[i]));
        w_.ch(' ');
    }
    w_.num(m.alignment).raw(" E").nl();
    w_.num(m.level).sp(m.thac0).sp(m.armor).ch(' ');
    w_.num(m.hit_dice[0]).ch('d').num(m.hit_dice[1]).ch('+').num(m.hit_dice[2]).ch(' ');
    w_.num(m.damage_dice[0]).ch('d').num(m.damage_dice[1]).ch('+').num(m.damage_dice[2]).nl();
    numbers(m.line2.data(), 10);
    numbers(m.line3.data(), 11);
    const auto& a = m.abilities;
    std::int32_t line4[10] = {a[kStr],         a[kCon],        a[kDex],         a[kInt],
                              a[kWis],         a[kCha],        m.line4_ints[0], m.line4_ints[1],
                              m.line4_ints[2], m.line4_ints[3]};
    numbers(line4, 10);
    numbers(m.line5.data(), 10);
    if (m.bare_hand_attack != 0) w_.raw("BareHandAttack: ").num(m.bare_hand_attack).nl();
    static constexpr std::pair<std::string_view, Ability> kEspecs[] = {
        {"Str", kStr}, {"Dex", kDex}, {"Int", kInt}, {"Wis", kWis}, {"Con", kCon}, {"Cha", kCha}};
    for (const auto& [name, ability] : kEspecs)
        if (a[ability] != 50) w_.raw(name).raw(": ").num(a[ability]).nl();
    w_.ch('E').nl();
    for (auto t : m.triggers)
        w_.raw("T ").num(t).nl();
}

}  // namespace

ReadResult<MobilePrototype> read_mobiles_layout(std::string_view bytes, std::string_view file_name,
                                                const MobileLayout& layout, bool report,
                                                int numbered_from,
                                                ReadSink<MobilePrototype>* sink) {
    ReadResult<MobilePrototype> result(sink);
    if (!sink) result.records.reserve(static_cast<std::size_t>(record_lines(bytes)));
    TextReader reader(bytes);
    reader.set_file_name(std::string(file_name));
    MobileParser parser(result, reader, layout, report, numbered_from);
    result.ok = parser.run();
    finish_read(result, reader, file_name, report);
    return result;
}

ReadResult<MobilePrototype> read_mobiles(std::string_view bytes, std::string_view file_name,
                                         int numbered_from, ReadSink<MobilePrototype>* sink) {
    return read_mobiles_layout(bytes, file_name, kCurrentMobileLayout, true, numbered_from, sink);
}

WriteResult write_mobiles(const MobileTable& mobiles, const std::vector<int>& slots) {
    return MobileWriter(mobiles).text(slots);
}

}  // namespace zs
