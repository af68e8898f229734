// The properties of objects and mobiles: every field of their records
// beside the four display texts, as the properties panes and `zonesmith-cli
// show` list them, and the named steps that store a field. A field has a
// name ("Weight", "Line 5 Position 3"), a kind, the range of numbers the
// file format can carry in it, and a label and hint that may depend on the
// record (an object's values are labelled by its type). The catalogues
// themselves are object_fields.h and mobile_fields.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/edits.h"
#include "world/zone_commands.h"

namespace zs {

enum class PropKind {
    Number,  // one whole number within its range
    Flags,   // a 32-bit flag word: letters a..z, A..F, or a decimal number
    Text,    // a tilde text
    List,    // several numbers in one box (triggers, skills, a number set)
};

// Where a pane shows a field.
enum class PropGroup { Main, Values, Flags, Affects, Lists, OtherNumbers, Texts, Blocks };

struct PropField {
    int id = 0;        // unique within the kind; the merge key's field
    std::string name;  // as the pane's label and `show` print it
    PropKind kind = PropKind::Number;
    PropGroup group = PropGroup::Main;
    // What the field holds: for a number the number, for a list each member
    // (for the skill list the skill numbers; a skill's value is any 32-bit
    // number but 0).
    FieldRange range{};
    bool vnum = false;  // the number names a record (a key, a trigger)
    // Where the file holds the number: the numeric line and the position on
    // it (both from 1). Line 0 with a position is a mobile's type line (its
    // flag words and alignment); both are 0 for fields of no numeric line.
    int line = 0;
    int position = 0;
};

// The fields of a record, in the order a pane and `show` list them: the
// kind's fixed fields, then those the record has a number of (a mobile's
// "@@" blocks). Empty when no record has the vnum.
std::vector<PropField> prop_fields(const Workspace& ws, TableKind kind, int vnum);
// One field by its id; none when the record or the field does not exist.
std::optional<PropField> prop_field(const Workspace& ws, TableKind kind, int vnum, int id);

// What the pane's label says: the name, or the name the record's type gives
// the field (an object's "Value 2" of a container is "Key Vnum").
std::string prop_label(const Workspace& ws, TableKind kind, int vnum, int id);
// The words beside the value: the type's name, an apply's name, a sex;
// empty when the value has none.
std::string prop_hint(const Workspace& ws, TableKind kind, int vnum, int id);
// The value as its box shows it (a number, flag letters, a list, a text
// as held); none when there is no such record or field.
std::optional<std::string> prop_box_text(const Workspace& ws, TableKind kind, int vnum, int id);

// The value of a Number or Flags field; none for other fields.
std::optional<long long> prop_number(const Workspace& ws, TableKind kind, int vnum, int id);
// The letter of a flag bit: "a".."z" for bits 0 to 25, "A".."F" for 26 to 31.
char prop_flag_letter(int bit);

// What a store did. Nothing was stored when `refusal` says why; a store of
// the value the field holds, or of an empty number box, makes no step and
// refuses nothing.
struct PropResult {
    bool stored = false;  // a step was made or typing merged into one
    std::string refusal;  // why the text cannot be stored, naming the range
    std::string warning;  // stored, but worth a look (a key no loaded zone holds)
    std::string note;     // what else the step changed (the drink rule's weight)
};

// Stores a box's text into the field as one step ("Edit Weight of Object
// 3022"; the field's label names it). Numbers must be whole and within the
// field's range: nothing is wrapped or cut. Pass prop_merge_key in the
// options so that typing in one box is one step.
PropResult store_prop_box(Workspace& ws, TableKind kind, int vnum, int id, std::string_view text,
                          EditOptions options = {});
// The same with a number (a check box's flag word, a spin box).
PropResult store_prop_number(Workspace& ws, TableKind kind, int vnum, int id, long long value,
                             EditOptions options = {});

// A flag box's check box: sets or clears one bit of a Flags field as a step
// ("Edit Flags of Object 3022"); nothing for other fields.
PropResult set_prop_flag(Workspace& ws, TableKind kind, int vnum, int id, int bit, bool on);

// The merge key of typing in the field's box, and the bit of a change's
// field mask the field's edits carry (several fields may share one; the
// four display texts keep bits 0 to 3 to themselves).
MergeKey prop_merge_key(TableKind kind, int vnum, int id);
FieldMask prop_field_bit(int id);

// Trigger lists, of objects and mobiles alike. "Add Trigger 5000 to Object
// 3022": a vnum from 1 to 32767, when the record has fewer than 100; a
// trigger whose zone is not loaded is added with a warning. "Remove Trigger
// 5000 from Object 3022" takes the trigger at `index` (from 0).
PropResult add_prop_trigger(Workspace& ws, TableKind kind, int vnum, long long trigger);
PropResult remove_prop_trigger(Workspace& ws, TableKind kind, int vnum, int index);

}  // namespace zs
