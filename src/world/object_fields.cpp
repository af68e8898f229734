#include "world/object_fields.h"

#include <array>
#include <limits>

#include "world/room.h"
#include "world/strfmt.h"

namespace zs {

namespace {

using Entry = PropEntry<ObjectPrototype>;

constexpr std::array<const char*, 24> kTypeNames = {
    nullptr,    "light",           "scroll", "wand", "staff", "weapon", "fire weapon", "missile",
    "treasure", "armor",           "potion", "worn", "other", "trash",  "trap",        "container",
    "note",     "drink container", "key",    "food", "money", "pen",    "boat",        "fountain"};

constexpr std::array<const char*, 25> kApplyNames = {
    "NONE",        "STR",         "DEX",          "INT",           "WIS",
    "CON",         "CHA",         "CLASS",        "LEVEL",         "AGE",
    "CHAR_WEIGHT", "CHAR_HEIGHT", "MANA",         "HIT",           "MOVE",
    "GOLD",        "EXP",         "AC",           "HITROLL",       "DAMROLL",
    "SAVING_PARA", "SAVING_ROD",  "SAVING_PETRI", "SAVING_BREATH", "SAVING_SPELL"};

Entry number(int id, std::string name, PropGroup group, FieldRange range,
             std::int32_t ObjectPrototype::*member, int line, int position) {
    Entry e;
    e.field = {id, std::move(name), PropKind::Number, group, range, false, line, position};
    e.get = [member](const ObjectPrototype& o) { return static_cast<long long>(o.*member); };
    e.set = [member](ObjectPrototype& o, long long v) { o.*member = static_cast<std::int32_t>(v); };
    return e;
}

// Position `index` of one of the record's arrays of numbers.
template <std::size_t N>
Entry array_number(int id, std::string name, PropGroup group,
                   std::array<std::int32_t, N> ObjectPrototype::*member, std::size_t index,
                   int line, int position) {
    Entry e;
    e.field = {id, std::move(name), PropKind::Number, group, kInt32Range, false, line, position};
    e.get = [member, index](const ObjectPrototype& o) {
        return static_cast<long long>((o.*member)[index]);
    };
    e.set = [member, index](ObjectPrototype& o, long long v) {
        (o.*member)[index] = static_cast<std::int32_t>(v);
    };
    return e;
}

// Affect slot `slot`: its location (`modifier` false) or its modifier. A
// slot past the affects held is empty: location 0, modifier 0.
Entry affect(int id, int slot, bool modifier) {
    Entry e;
    e.field = {id,
               strfmt("Affect %d %s", slot + 1, modifier ? "Modifier" : "Location"),
               PropKind::Number,
               PropGroup::Affects,
               modifier ? kInt32Range : kUint8Range,
               false,
               0,
               0};
    auto at = static_cast<std::size_t>(slot);
    e.get = [at, modifier](const ObjectPrototype& o) -> long long {
        if (at >= o.affects.size()) return 0;
        return modifier ? o.affects[at].modifier : o.affects[at].location;
    };
    // Typing in a modifier box never removes or moves an affect: a 0 while
    // the affect is held is refused (removing is remove_object_affect's
    // step), and a modifier for an empty slot fills it only when it is the
    // first empty one, so that the slots stay where the pane shows them.
    e.store_number = [at, slot, modifier](ObjectPrototype& o, long long v,
                                          std::string&) -> std::string {
        if (at < o.affects.size()) {
            if (!modifier) {
                o.affects[at].location = static_cast<std::uint8_t>(v);
            } else if (v != 0) {
                o.affects[at].modifier = static_cast<std::int32_t>(v);
            } else {
                return strfmt(
                    "Affect %d Modifier cannot be 0 while the affect is held: remove the affect "
                    "to empty it.",
                    slot + 1);
            }
            return {};
        }
        if (v == 0) return {};
        if (!modifier) return strfmt("Affect %d is empty: give it a modifier first.", slot + 1);
        if (at > o.affects.size()) {
            const auto first = static_cast<int>(o.affects.size()) + 1;
            return strfmt(
                "Affect %d is empty and cannot come before Affect %d: give Affect %d a modifier "
                "first.",
                slot + 1, first, first);
        }
        o.affects.push_back({0, static_cast<std::int32_t>(v)});
        return {};
    };
    return e;
}

std::vector<Entry> make_entries() {
    using O = ObjectPrototype;
    std::vector<Entry> v;
    v.push_back(number(kObjType, "Type", PropGroup::Main, kInt32Range, &O::type, 1, 1));
    for (int i = 0; i < 6; ++i)
        v.push_back(array_number(kObjValue0 + i, strfmt("Value %d", i), PropGroup::Values,
                                 &O::values, static_cast<std::size_t>(i), 2, i + 1));
    {
        Entry e;
        e.field = {kObjFlags, "Flags", PropKind::Flags, PropGroup::Flags, kFlagsRange, false, 1, 6};
        e.get = [](const O& o) { return static_cast<long long>(o.flag_word); };
        e.set = [](O& o, long long n) { o.flag_word = static_cast<std::uint32_t>(n); };
        v.push_back(std::move(e));
    }
    v.push_back(number(kObjWeight, "Weight", PropGroup::Main, kInt32Range, &O::weight, 4, 1));
    v.push_back(number(kObjCost, "Cost", PropGroup::Main, kInt32Range, &O::cost, 4, 2));
    v.push_back(number(kObjRent, "Rent", PropGroup::Main, kInt32Range, &O::rent, 4, 3));
    for (int slot = 0; slot < kMaxObjectAffects; ++slot) {
        v.push_back(affect(kObjAffect0 + 2 * slot, slot, false));
        v.push_back(affect(kObjAffect0 + 2 * slot + 1, slot, true));
    }
    v.push_back(trigger_entry<O>(kObjTriggers, "An object"));

    // The other numbers, by file line and position.
    int id = kObjTriggers + 1;
    auto other = [&](auto member, int line, int first_position) {
        for (std::size_t i = 0; i < (O{}.*member).size(); ++i) {
            int position = first_position + static_cast<int>(i);
            v.push_back(array_number(id++, strfmt("Line %d Position %d", line, position),
                                     PropGroup::OtherNumbers, member, i, line, position));
        }
    };
    other(&O::line1_longs, 1, 2);
    other(&O::line1_ints, 1, 7);
    other(&O::line2_ints, 2, 7);
    other(&O::line3, 3, 1);
    other(&O::line4_ints, 4, 4);
    other(&O::line5, 5, 1);
    other(&O::line6, 6, 1);
    other(&O::line7, 7, 1);
    other(&O::line8, 8, 1);
    v.push_back(text_entry<O>(id++, "Text 5", &O::text5));
    v.push_back(text_entry<O>(id++, "Text 6", &O::text6));
    v.push_back(text_entry<O>(id++, "Text 7", &O::text7));
    v.push_back(text_entry<O>(id++, "Text 8", &O::text8));
    return v;
}

}  // namespace

const char* object_type_name(int type) {
    if (type < 1 || type >= static_cast<int>(kTypeNames.size())) return nullptr;
    return kTypeNames[static_cast<std::size_t>(type)];
}

std::string object_value_label(int type, int index) {
    static const char* const kContainer[] = {"Capacity", "Container Flags", "Key Vnum", "Corpse"};
    static const char* const kDrink[] = {"Capacity", "Amount Held", "Liquid", "Poisoned"};
    static const char* const kWeapon[] = {nullptr, "Dice Count", "Dice Sides", "Attack Type"};
    const char* label = nullptr;
    if (index >= 0 && index < 4) {
        auto i = static_cast<std::size_t>(index);
        switch (type) {
            case kItemContainer:
                label = kContainer[i];
                break;
            case kItemDrinkContainer:
            case kItemFountain:
                label = kDrink[i];
                break;
            case kItemWeapon:
                label = kWeapon[i];
                break;
            case kItemArmor:
                label = index == 0 ? "Armour Class" : nullptr;
                break;
            case kItemLight:
                label = index == 2 ? "Hours" : nullptr;
                break;
            default:
                break;
        }
    }
    return label ? std::string(label) : strfmt("Value %d", index);
}

const char* apply_name(int location) {
    if (location < 0 || location >= static_cast<int>(kApplyNames.size())) return nullptr;
    return kApplyNames[static_cast<std::size_t>(location)];
}

const std::vector<PropEntry<ObjectPrototype>>& object_entries() {
    static const std::vector<Entry> entries = make_entries();
    return entries;
}

const PropEntry<ObjectPrototype>* object_entry(int id) {
    const auto& all = object_entries();
    if (id < 0 || id >= static_cast<int>(all.size())) return nullptr;
    return &all[static_cast<std::size_t>(id)];
}

std::string object_label(const ObjectPrototype& o, int id) {
    if (id >= kObjValue0 && id < kObjValue0 + 6) return object_value_label(o.type, id - kObjValue0);
    const Entry* e = object_entry(id);
    return e ? e->field.name : std::string();
}

std::string object_hint(const ObjectPrototype& o, int id) {
    if (id == kObjType) {
        const char* name = object_type_name(o.type);
        return name ? name : "";
    }
    if (id >= kObjAffect0 && id < kObjAffect0 + 2 * kMaxObjectAffects &&
        (id - kObjAffect0) % 2 == 0) {
        auto slot = static_cast<std::size_t>((id - kObjAffect0) / 2);
        if (slot >= o.affects.size()) return "";
        const char* name = apply_name(o.affects[slot].location);
        return name ? name : "";
    }
    return "";
}

bool container_key_missing(const ObjectPrototype& o, const ObjectTable& objects) {
    const std::int32_t key = o.values[kObjKeyValue];
    return o.type == kItemContainer && key != 0 && key != -1 && objects.find_object(key) < 0;
}

std::string container_key_warning(const ObjectPrototype& o) {
    const std::int32_t key = o.values[kObjKeyValue];
    if (key < kRecordVnumMin || key > kVnumMax)
        return strfmt(
            "object %d: the container needs key %d, which is no vnum (vnums run from %d "
            "to %d)",
            static_cast<int>(o.vnum), key, kRecordVnumMin, kVnumMax);
    return strfmt("object %d: the container needs key %d, which no loaded zone holds",
                  static_cast<int>(o.vnum), o.values[kObjKeyValue]);
}

std::string object_store_refusal(const ObjectPrototype& before, const ObjectPrototype& after) {
    const std::int32_t amount = after.values[1];
    if (!after.holds_drink() || amount <= kDrinkAmountMax) return {};
    if (before.holds_drink() && before.values[1] == amount) return {};  // as the file gave it
    return strfmt(
        "%s of a %s must be a whole number from %d to %d; %d does not fit: the game weighs it "
        "that amount plus 5.",
        object_value_label(after.type, 1).c_str(), object_type_name(after.type),
        std::numeric_limits<std::int32_t>::min(), kDrinkAmountMax, amount);
}

std::string object_after_store(ObjectPrototype& o) {
    std::int32_t weight = o.weight;
    o.apply_drink_rule();
    if (o.weight == weight) return {};
    return strfmt(
        "The weight of Object %d is now %d: the game gives a %s lighter than what it "
        "holds (value 1) that amount plus 5.",
        static_cast<int>(o.vnum), o.weight, object_type_name(o.type));
}

}  // namespace zs
