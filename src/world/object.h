// Object prototypes (the game's templates for items), the drink rule the
// game applies to them, and the object table. Every field of the record is
// carried from the file into memory and back out unchanged; the editor
// changes them through the named steps of prototype_edits.h and
// proto_fields.h.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "world/prototype_table.h"
#include "world/room.h"

namespace zs {

constexpr int kMaxObjectAffects = 6;

// Item types that the file rules, the labels and the checker know by number.
constexpr int kItemLight = 1;
constexpr int kItemWeapon = 5;
constexpr int kItemArmor = 9;
constexpr int kItemContainer = 15;
constexpr int kItemDrinkContainer = 17;
constexpr int kItemFountain = 23;

// The most a drink container or fountain may hold (value 1) for the weight
// the drink rule gives it, that amount plus 5, to fit in 32 bits.
constexpr std::int32_t kDrinkAmountMax = std::numeric_limits<std::int32_t>::max() - 5;

struct ObjectAffect {
    std::uint8_t location = 0;
    std::int32_t modifier = 0;  // 0: an empty slot
    bool operator==(const ObjectAffect&) const = default;
};

struct ObjectPrototype {
    Vnum vnum = 0;
    std::int32_t zone = -1;
    std::string keywords;
    std::string short_description;
    std::string long_description;
    std::string look_description;
    std::string text5, text6, text7, text8;
    std::int32_t type = 0;
    std::array<std::int32_t, 4> line1_longs{};
    std::uint32_t flag_word = 0;
    std::array<std::int32_t, 4> line1_ints{};
    std::array<std::int32_t, 6> values{};
    std::array<std::int32_t, 4> line2_ints{};
    std::array<std::int32_t, 6> line3{};
    std::int32_t weight = 0, cost = 0, rent = 0;
    std::array<std::int32_t, 5> line4_ints{};
    std::array<std::int32_t, 10> line5{}, line6{};
    std::array<std::int32_t, 8> line7{}, line8{};
    // Non-empty affects in slot order, at most kMaxObjectAffects.
    std::vector<ObjectAffect> affects;
    // Attached trigger vnums in slot order, at most kMaxTriggers.
    std::vector<std::int32_t> triggers;
    std::vector<ExtraDescription> extra_descriptions;  // file order

    bool operator==(const ObjectPrototype&) const = default;

    void add_trigger(std::int32_t trigger_vnum) {
        if (trigger_vnum != 0 && triggers.size() < kMaxTriggers) triggers.push_back(trigger_vnum);
    }
    bool holds_drink() const { return type == kItemDrinkContainer || type == kItemFountain; }
    // A drink container or fountain lighter than the amount it holds (value
    // 1) weighs that amount plus five; where that passes the largest 32-bit
    // weight (only a damaged file holds such an amount), it weighs the
    // largest.
    void apply_drink_rule() {
        if (!holds_drink() || weight >= values[1]) return;
        const std::int64_t heavier = std::int64_t{values[1]} + 5;
        weight = static_cast<std::int32_t>(
            std::min<std::int64_t>(heavier, std::numeric_limits<std::int32_t>::max()));
    }
};

ObjectPrototype make_new_object(Vnum vnum, int zone);

class ObjectTable : public PrototypeTable<ObjectPrototype> {
public:
    explicit ObjectTable(ChangeSink* sink = nullptr) : PrototypeTable(TableKind::Object, sink) {}

    int find_object(int vnum) const { return find(vnum); }
    const ObjectPrototype* current_object() const { return selected(); }
    bool reserve_object_zone(int zone) { return reserve_block(zone); }
    int create_object(Vnum vnum, int zone) { return insert_sorted(make_new_object(vnum, zone)); }
    void remove_object(int vnum) { remove(vnum); }
};

}  // namespace zs
