#include "world/mobile_fields.h"

#include "world/strfmt.h"

namespace zs {

namespace {

using Entry = PropEntry<MobilePrototype>;
using M = MobilePrototype;

// A number of the record, reached through `ref`.
template <class Ref>
Entry number(int id, std::string name, PropGroup group, FieldRange range, int line, int position,
             Ref ref) {
    Entry e;
    e.field = {id, std::move(name), PropKind::Number, group, range, false, line, position};
    e.get = [ref](const M& m) { return static_cast<long long>(ref(const_cast<M&>(m))); };
    e.set = [ref](M& m, long long v) { ref(m) = static_cast<std::int32_t>(v); };
    return e;
}

// The widths of numeric lines 2, 3 and 5, position by position (from 1).
FieldRange line2_range(int position) {
    return position == 7 || position == 10 ? kUint8Range : kInt32Range;
}
FieldRange line3_range(int position) {
    return position == 6 || position == 7 ? kInt16Range : kUint8Range;
}
FieldRange line5_range(int position) {
    return position <= 8 ? kInt16Range : kInt32Range;
}

Entry skills() {
    Entry e;
    e.field = {kMobSkills, "Skills", PropKind::List, PropGroup::Lists, kSkillNumberRange, false,
               0,          0};
    e.list_text = [](const M& m) {
        std::string out;
        for (const auto& s : m.skills) {
            if (!out.empty()) out += ' ';
            out += strfmt("%d:%d", s.skill, s.value);
        }
        return out;
    };
    e.list_store = [](M& m, std::string_view box) -> std::string {
        std::vector<MobileSkill> list;
        std::string_view rest = box;
        while (true) {
            std::size_t start = rest.find_first_not_of(" \t\r\n");
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            std::size_t end = rest.find_first_of(" \t\r\n");
            std::string_view pair = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
            std::size_t colon = pair.find(':');
            std::string why;
            if (colon == std::string_view::npos)
                return strfmt(
                    "\"%.*s\" is no skill: write the skill's number, \":\" and its value.",
                    static_cast<int>(pair.size()), pair.data());
            auto skill =
                read_number_box("A skill number", pair.substr(0, colon), kSkillNumberRange, why);
            if (!why.empty()) return why;
            auto value =
                read_number_box("A skill's value", pair.substr(colon + 1), kInt32Range, why);
            if (!why.empty()) return why;
            if (!skill || !value || *value == 0)
                return strfmt("\"%.*s\" is no skill: its value must be a number other than 0.",
                              static_cast<int>(pair.size()), pair.data());
            for (const auto& s : list)
                if (s.skill == *skill) return strfmt("Skill %lld is given twice.", *skill);
            list.push_back({static_cast<std::int16_t>(*skill), static_cast<std::int32_t>(*value)});
        }
        m.skills.clear();
        for (const auto& s : list)
            m.set_skill(s.skill, s.value);
        return {};
    };
    return e;
}

Entry number_set() {
    Entry e;
    e.field = {kMobNumberSet,
               "Number Set",
               PropKind::List,
               PropGroup::Lists,
               {0, kNumberSetSize - 1},
               false,
               0,
               0};
    e.list_text = [](const M& m) {
        std::vector<long long> members;
        for (int v = 0; v < kNumberSetSize; ++v)
            if (m.number_set.test(static_cast<std::size_t>(v))) members.push_back(v);
        return number_list_text(members);
    };
    e.list_store = [](M& m, std::string_view box) {
        std::string why;
        auto list =
            read_number_list("A member of the number set", box, {0, kNumberSetSize - 1}, why);
        if (!list) return why;
        m.number_set.reset();
        for (long long v : *list)
            m.number_set.set(static_cast<std::size_t>(v));
        return std::string();
    };
    return e;
}

std::vector<Entry> make_entries() {
    std::vector<Entry> v;
    const PropGroup main = PropGroup::Main;
    v.push_back(number(kMobLevel, "Level", main, kInt32Range, 1, 1,
                       [](M& m) -> std::int32_t& { return m.level; }));
    v.push_back(number(kMobThac0, "Thac0", main, kInt32Range, 1, 2,
                       [](M& m) -> std::int32_t& { return m.thac0; }));
    v.push_back(number(kMobArmor, "Armor", main, kInt16Range, 1, 3,
                       [](M& m) -> std::int32_t& { return m.armor; }));
    static const char* const kDice[] = {"Count", "Sides", "Bonus"};
    for (std::size_t i = 0; i < 3; ++i)
        v.push_back(number(kMobHitDice + static_cast<int>(i), strfmt("Hit Dice %s", kDice[i]), main,
                           kInt16Range, 1, 4,
                           [i](M& m) -> std::int32_t& { return m.hit_dice[i]; }));
    for (std::size_t i = 0; i < 3; ++i)
        v.push_back(number(kMobDamageDice + static_cast<int>(i), strfmt("Damage Dice %s", kDice[i]),
                           main, i < 2 ? kUint8Range : kInt32Range, 1, 5,
                           [i](M& m) -> std::int32_t& { return m.damage_dice[i]; }));
    v.push_back(number(kMobAlignment, "Alignment", main, kInt32Range, 0, 9,
                       [](M& m) -> std::int32_t& { return m.alignment; }));
    v.push_back(number(kMobSex, "Sex", main, kUint8Range, 3, 3,
                       [](M& m) -> std::int32_t& { return m.line3[2]; }));
    v.push_back(number(kMobClass, "Class", main, kUint8Range, 3, 4,
                       [](M& m) -> std::int32_t& { return m.line3[3]; }));
    v.push_back(number(kMobRace, "Race", main, kUint8Range, 3, 5,
                       [](M& m) -> std::int32_t& { return m.line3[4]; }));
    // The E-specs bound the abilities to 5 .. 100 when the file is read.
    static const char* const kAbilityNames[] = {"Str", "Int", "Wis", "Dex", "Con", "Cha"};
    static const int kLine4Position[] = {1, 4, 5, 3, 2, 6};
    for (std::size_t a = 0; a < 6; ++a)
        v.push_back(number(kMobAbility + static_cast<int>(a), kAbilityNames[a], main, {5, 100}, 4,
                           kLine4Position[a],
                           [a](M& m) -> std::int32_t& { return m.abilities[a]; }));
    v.push_back(number(kMobLanguage, "Language", main, kInt32Range, 2, 8,
                       [](M& m) -> std::int32_t& { return m.line2[7]; }));
    v.push_back(number(kMobSizeClass, "Size Class", main, kUint8Range, 2, 10,
                       [](M& m) -> std::int32_t& { return m.line2[9]; }));
    v.push_back(number(kMobAlertness, "Alertness", main, kInt32Range, 5, 10,
                       [](M& m) -> std::int32_t& { return m.line5[9]; }));
    v.push_back(number(kMobBareHandAttack, "Bare Hand Attack", main, {0, 99}, 0, 0,
                       [](M& m) -> std::int32_t& { return m.bare_hand_attack; }));
    for (std::size_t w = 0; w < 8; ++w) {
        Entry e;
        e.field = {kMobFlags + static_cast<int>(w),
                   strfmt("Flags %zu", w + 1),
                   PropKind::Flags,
                   PropGroup::Flags,
                   kFlagsRange,
                   false,
                   0,
                   static_cast<int>(w) + 1};
        e.get = [w](const M& m) { return static_cast<long long>(m.flag_words[w]); };
        e.set = [w](M& m, long long n) { m.flag_words[w] = static_cast<std::uint32_t>(n); };
        v.push_back(std::move(e));
    }
    v.push_back(skills());
    v.push_back(trigger_entry<M>(kMobTriggers, "A mobile"));
    v.push_back(number_set());

    // The other numbers of lines 2 to 5, by position.
    int id = kMobNumberSet + 1;
    auto other = [&](int line, int position, FieldRange range, auto ref) {
        v.push_back(number(id++, strfmt("Line %d Position %d", line, position),
                           PropGroup::OtherNumbers, range, line, position, ref));
    };
    for (int p = 1; p <= 10; ++p)
        if (p != 8 && p != 10)
            other(2, p, line2_range(p), [p](M& m) -> std::int32_t& { return m.line2[p - 1]; });
    for (int p = 1; p <= 11; ++p)
        if (p < 3 || p > 5)
            other(3, p, line3_range(p), [p](M& m) -> std::int32_t& { return m.line3[p - 1]; });
    for (int p = 7; p <= 10; ++p)
        other(4, p, kInt32Range, [p](M& m) -> std::int32_t& { return m.line4_ints[p - 7]; });
    for (int p = 1; p <= 9; ++p)
        other(5, p, line5_range(p), [p](M& m) -> std::int32_t& { return m.line5[p - 1]; });

    static const std::pair<const char*, std::string M::*> kTexts[] = {
        {"Text 5", &M::text5},   {"Text 6", &M::text6},      {"Text 7", &M::text7},
        {"Text 8", &M::text8},   {"Text 9", &M::text9},      {"Text 10", &M::text10},
        {"Text 11", &M::text11}, {"Greeting", &M::greeting}, {"Text 13", &M::text13}};
    for (const auto& [name, member] : kTexts)
        v.push_back(text_entry<M>(id++, name, member));
    return v;
}

// Field `f` of block `b`: its texts 1 to 4, then its numbers by block line
// (lines of 10, the seventh of 8).
Entry block_entry(int b, int f) {
    Entry e;
    auto at = static_cast<std::size_t>(b);
    int id = kMobBlocks + b * kMobBlockFields + f;
    if (f < 4) {
        auto t = static_cast<std::size_t>(f);
        e.field = {id,
                   strfmt("Block %d Text %d", b + 1, f + 1),
                   PropKind::Text,
                   PropGroup::Blocks,
                   {},
                   false,
                   0,
                   0};
        e.text = [at, t](M& m) { return &m.blocks[at].texts[t]; };
        return e;
    }
    auto n = static_cast<std::size_t>(f - 4);
    int line = static_cast<int>(n / 10) + 1;
    int position = static_cast<int>(n % 10) + 1;
    e.field = {id,
               strfmt("Block %d Line %d Position %d", b + 1, line, position),
               PropKind::Number,
               PropGroup::Blocks,
               kInt32Range,
               false,
               0,
               0};
    e.get = [at, n](const M& m) { return static_cast<long long>(m.blocks[at].numbers[n]); };
    e.set = [at, n](M& m, long long v) { m.blocks[at].numbers[n] = static_cast<std::int32_t>(v); };
    return e;
}

}  // namespace

const char* mobile_sex_name(int sex) {
    static const char* const kSexes[] = {"neutral", "male", "female"};
    return sex >= 0 && sex < 3 ? kSexes[sex] : nullptr;
}

const std::vector<PropEntry<MobilePrototype>>& mobile_entries() {
    static const std::vector<Entry> entries = make_entries();
    return entries;
}

std::optional<PropEntry<MobilePrototype>> mobile_entry(const MobilePrototype& m, int id) {
    const auto& all = mobile_entries();
    if (id >= 0 && id < static_cast<int>(all.size())) return all[static_cast<std::size_t>(id)];
    if (id < kMobBlocks) return std::nullopt;
    int b = (id - kMobBlocks) / kMobBlockFields;
    int f = (id - kMobBlocks) % kMobBlockFields;
    if (b >= static_cast<int>(m.blocks.size())) return std::nullopt;
    return block_entry(b, f);
}

std::vector<PropField> mobile_fields(const MobilePrototype& m) {
    std::vector<PropField> out;
    for (const auto& e : mobile_entries())
        out.push_back(e.field);
    for (int b = 0; b < static_cast<int>(m.blocks.size()); ++b)
        for (int f = 0; f < kMobBlockFields; ++f)
            out.push_back(block_entry(b, f).field);
    return out;
}

std::string mobile_hint(const MobilePrototype& m, int id) {
    // The dice as the file writes them, beside their last box.
    if (id == kMobHitDice + 2 || id == kMobDamageDice + 2) {
        const auto& d = id == kMobHitDice + 2 ? m.hit_dice : m.damage_dice;
        return strfmt("%dd%d+%d", d[0], d[1], d[2]);
    }
    if (id != kMobSex) return "";
    const char* name = mobile_sex_name(m.line3[2]);
    return name ? name : "";
}

std::string mobile_after_store(const MobilePrototype& before, MobilePrototype& after) {
    after.apply_size_class();
    // The file holds the number set only under flag f of the second word.
    constexpr std::uint32_t kNumberSetFlag = 1u << 5;
    const bool kept = after.flag_words[1] & kNumberSetFlag;
    const bool was_kept = before.flag_words[1] & kNumberSetFlag;
    if (!kept && after.number_set.any() && (was_kept || after.number_set != before.number_set))
        return strfmt("Mobile %d's number set is saved only while its Flags 2 has flag f set.",
                      after.vnum);
    return {};
}

}  // namespace zs
