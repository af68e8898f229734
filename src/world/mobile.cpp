#include "world/mobile.h"

#include <algorithm>

namespace zs {

std::int32_t MobilePrototype::skill(int number) const {
    auto it = std::lower_bound(skills.begin(), skills.end(), number,
                               [](const MobileSkill& s, int n) { return s.skill < n; });
    return it != skills.end() && it->skill == number ? it->value : 0;
}

void MobilePrototype::set_skill(int number, std::int32_t value) {
    if (number < 0 || number > kMaxSkill) return;
    auto it = std::lower_bound(skills.begin(), skills.end(), number,
                               [](const MobileSkill& s, int n) { return s.skill < n; });
    bool present = it != skills.end() && it->skill == number;
    if (value == 0) {
        if (present) skills.erase(it);
    } else if (present) {
        it->value = value;
    } else {
        skills.insert(it, {static_cast<std::int16_t>(number), value});
    }
}

void MobilePrototype::apply_size_class() {
    static constexpr std::int32_t kSizes[8][2] = {
        {1, 1}, {1, 3}, {10, 10}, {40, 40}, {150, 160}, {400, 300}, {2000, 1000}, {10000, 10000}};
    std::int32_t size_class = line2[9];
    if (size_class >= 0 && size_class < 8) {
        size_height = kSizes[size_class][0];
        size_weight = kSizes[size_class][1];
    } else {
        size_height = 200;
        size_weight = 200;
    }
}

namespace {
int count_nodes(const std::vector<Conversation>& nodes) {
    int n = 0;
    for (const auto& c : nodes)
        n += 1 + count_nodes(c.branches);
    return n;
}
}  // namespace

int MobilePrototype::conversation_count() const {
    return count_nodes(conversations);
}

MobilePrototype make_new_mobile(int vnum, int zone) {
    MobilePrototype m;
    m.vnum = vnum;
    m.zone = zone;
    m.keywords = "mob unfinished";
    m.short_description = "the unfinished mob";
    m.long_description = "An unfinished mob stands here.\r\n";
    m.description = "It looks unfinished.\r\n";
    for (std::string* t : {&m.text5, &m.text6, &m.text7, &m.text8, &m.text9, &m.text10, &m.text11,
                           &m.greeting, &m.text13})
        *t = "none";
    m.line4_ints[0] = -1;
    m.line4_ints[1] = -1;
    m.apply_size_class();
    return m;
}

}  // namespace zs
