// The mobile's properties: the catalogue of every field of a mobile record
// beside its four display texts and its conversations (level, armour, dice,
// abilities, flags, skills, triggers, the number set, the other numbers of
// lines 2 to 5 by position, texts 5 to 13, the "@@" blocks), the sexes'
// names, and the named steps of the skill list.
#pragma once

#include <string>
#include <vector>

#include "world/mobile.h"
#include "world/prop_catalogue.h"

namespace zs {

// "neutral", "male", "female" for 0 to 2; null for any other number.
const char* mobile_sex_name(int sex);

// Ids of the fields other code names.
enum MobileFieldId : int {
    kMobLevel = 0,
    kMobThac0 = 1,
    kMobArmor = 2,
    kMobHitDice = 3,     // count, sides, bonus
    kMobDamageDice = 6,  // count, sides, bonus
    kMobAlignment = 9,
    kMobSex = 10,
    kMobClass = 11,
    kMobRace = 12,
    kMobAbility = 13,  // Str, Int, Wis, Dex, Con, Cha (the Ability order)
    kMobLanguage = 19,
    kMobSizeClass = 20,
    kMobAlertness = 21,
    kMobBareHandAttack = 22,
    kMobFlags = 23,  // .. kMobFlags + 7
    kMobSkills = 31,
    kMobTriggers = 32,
    kMobNumberSet = 33,
    // A block's fields: kMobBlocks + block * kMobBlockFields + field, its
    // four texts first, then its 68 numbers.
    kMobBlocks = 1000,
    kMobBlockFields = 72,
};

// The skill numbers a mobile may have (a skill's value is any 32-bit number
// but 0, which is no skill).
constexpr FieldRange kSkillNumberRange{0, kMaxSkill};

// The catalogue of the fixed fields, in the order panes and `show` list
// them; the record's blocks follow them (mobile_block_entry).
const std::vector<PropEntry<MobilePrototype>>& mobile_entries();
// The entry of an id, the blocks' included; none when the record has no
// such field.
std::optional<PropEntry<MobilePrototype>> mobile_entry(const MobilePrototype& m, int id);
// Every field of the record, blocks included.
std::vector<PropField> mobile_fields(const MobilePrototype& m);
std::string mobile_hint(const MobilePrototype& m, int id);
// After a store: the size class's height and weight worked out again;
// a note when the number set was changed while the file would not keep it.
std::string mobile_after_store(const MobilePrototype& before, MobilePrototype& after);

// The skill list. "Add Skill 12 to Mobile 3001" when the mobile lacks the
// skill, "Edit Skill 12 of Mobile 3001" when it has it (skill 0 to 1512,
// any 32-bit value but 0); "Remove Skill 12 from Mobile 3001".
PropResult set_mobile_skill(Workspace& ws, int vnum, long long skill, long long value);
PropResult remove_mobile_skill(Workspace& ws, int vnum, long long skill);

}  // namespace zs
