// Mobile prototypes (the game's templates for non-player characters), their
// conversation trees and "@@" blocks, and the mobile table. Every field is
// carried from the file into memory and back out; the editor changes them
// through the named steps of prototype_edits.h, conversations.h and
// proto_fields.h.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "world/prototype_table.h"
#include "world/room.h"

namespace zs {

constexpr int kMaxSkill = 1512;      // skill numbers 0..1512
constexpr int kNumberSetSize = 991;  // members 0..990
// Conversation trees are at most this deep; a deeper node read from a file is
// kept at the deepest level.
constexpr int kMaxConversationDepth = 64;

// One node of a conversation tree: a reply to keywords, with its branches.
struct Conversation {
    std::string keywords;
    std::string response;
    std::int32_t quest_to_activate = -1;
    std::int32_t quest_required = -1;
    std::int32_t trigger_to_activate = -1;
    std::int32_t tier = 0;  // depth in the tree, 0 at the top
    std::int32_t number5 = 0, number6 = 0, number7 = 0;
    std::vector<Conversation> branches;
    bool operator==(const Conversation&) const = default;
};

// An "@@" section: four texts and 68 numbers (lines of 10 x 6 and 8).
struct MobileBlock {
    std::array<std::string, 4> texts;
    std::array<std::int32_t, 68> numbers{};
    bool operator==(const MobileBlock&) const = default;
};

struct MobileSkill {
    std::int16_t skill;
    std::int32_t value;  // never 0: a skill of value 0 is not set
    bool operator==(const MobileSkill&) const = default;
};

// Ability positions, in the order the record holds them.
enum Ability { kStr = 0, kInt, kWis, kDex, kCon, kCha };

struct MobilePrototype {
    std::int32_t vnum = 0;
    std::int32_t zone = -1;
    std::string keywords, short_description, long_description, description;
    std::string text5, text6, text7, text8, text9, text10, text11;
    std::string greeting;
    std::string text13;
    std::vector<Conversation> conversations;  // top level, file order
    std::vector<MobileBlock> blocks;          // file order
    std::bitset<kNumberSetSize> number_set;
    std::vector<MobileSkill> skills;  // sorted by skill number
    std::array<std::uint32_t, 8> flag_words{};
    std::int32_t alignment = 0;
    // Numeric line 1. Fields the game keeps narrower than 32 bits are held at
    // 32 bits so that no number of a file changes through a load and a save.
    std::int32_t level = 0, thac0 = 0, armor = 0;
    std::array<std::int32_t, 3> hit_dice{};     // count, sides, bonus
    std::array<std::int32_t, 3> damage_dice{};  // count, sides, bonus
    std::array<std::int32_t, 10> line2{};       // [7] language, [9] size class
    std::array<std::int32_t, 11> line3{};       // [2] sex, [3] class, [4] race
    std::array<std::int32_t, 6> abilities{50, 50, 50, 50, 50, 50};
    std::array<std::int32_t, 4> line4_ints{};
    std::array<std::int32_t, 10> line5{};  // [9] alertness
    std::int32_t bare_hand_attack = 0;
    std::int32_t size_height = 0, size_weight = 0;  // worked out from the size class
    std::vector<std::int32_t> triggers;

    bool operator==(const MobilePrototype&) const = default;

    std::int32_t skill(int number) const;
    void set_skill(int number, std::int32_t value);
    void add_trigger(std::int32_t trigger_vnum) {
        if (trigger_vnum != 0 && triggers.size() < kMaxTriggers) triggers.push_back(trigger_vnum);
    }
    // Sets size_height and size_weight from the size class (line2[9]).
    void apply_size_class();
    int conversation_count() const;
};

MobilePrototype make_new_mobile(int vnum, int zone);

class MobileTable : public PrototypeTable<MobilePrototype> {
public:
    explicit MobileTable(ChangeSink* sink = nullptr) : PrototypeTable(TableKind::Mobile, sink) {}

    int find_mobile(int vnum) const { return find(vnum); }
    const MobilePrototype* current_mobile() const { return selected(); }
    bool reserve_mobile_zone(int zone) { return reserve_block(zone); }
    int create_mobile(Vnum vnum, int zone) { return insert_sorted(make_new_mobile(vnum, zone)); }
};

}  // namespace zs
