// The zone reset editor's core: what each command letter means to the editor
// (its caption, the labels of its eight fields and which of them may be
// edited, the numbers each field and header number may hold), the one-line
// display of a command and the ZCmds tree built from a zone's commands, the
// selected command kept as zone and index, where a new command goes so that
// no command is parted from those that depend on it, and the named, undoable
// steps that rename a zone, edit its header numbers and its commands'
// fields, insert, delete and copy commands, and create a zedit.
// A command is always found by its zone and its index in the zone's command
// array; file line numbers only say where a command was read from.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/edits.h"

namespace zs {

// The eight fields of a command as the editor shows them: arg1 .. arg6, then
// the two texts.
constexpr int kCommandFields = 8;
constexpr int kFirstTextField = 6;

// A command letter the editor knows: the caption of its button in Create New
// Zcmd and the label of each field; a field with an empty label is disabled.
struct CommandKind {
    char letter;
    std::string_view caption;
    std::array<std::string_view, kCommandFields> labels;
};

// The nine kinds in the order of Create New Zcmd's buttons.
extern const std::array<CommandKind, 9> kCommandKinds;
// Null for a letter the editor does not know (its fields are all disabled).
const CommandKind* command_kind(char letter);
bool field_enabled(char letter, int field);
// A field's label as messages name it, without its colon: "Max in MUD".
std::string field_name(char letter, int field);
// The argument (0 .. 5) that holds the room the command acts in, or -1 for a
// command that follows the room of the command before it.
int room_argument(char letter);

// The equipment positions, by position number, that E commands name (shared
// by the editors of objects and mobiles).
extern const std::array<std::string_view, 33> kWearPositionNames;
// The door states of D commands.
extern const std::array<std::string_view, 6> kDoorStateNames;

// The line that shows command `index` of a zedit: its number, what it does
// and, for an object or mobile that is loaded, that prototype's short
// description. Without `colour_codes` every "&" goes with the character
// after it. An index out of a name table shows a placeholder that names the
// value ("<unknown position 40>").
std::string command_line(const Workspace& ws, const Zcmd& command, int index, bool colour_codes);

// A line of the ZCmds tree: a command (`index` into the zone's commands) or,
// in show-all mode, a room with the lines of the commands acting in it.
struct ZcmdTreeItem {
    std::string text;
    int index = -1;  // -1 for a room item
    int room = 0;    // of a room item
    std::vector<ZcmdTreeItem> children;
    bool operator==(const ZcmdTreeItem&) const = default;
};

// The ZCmds tree of a zedit. With `show_all`, every command, under an item
// "Room %d" for each run of commands acting in one room (commands before
// the first room stand at the top level); otherwise the commands acting in
// `filter_room` (none: nothing), each at the top level. A command without a
// room of its own (E, G, P, T and unknown letters) goes with the room of
// the command before it.
std::vector<ZcmdTreeItem> zcmd_tree(const Workspace& ws, const Zedit& z, bool show_all,
                                    std::optional<int> filter_room);

// The zone selection pane's tree of object and mobile prototypes: for one
// zone, "Objs 30" and "Mobs 30" with its prototypes in table order (or a note
// that there are none); for all zones (no `zone`), an "Objs %d" item for each
// run of objects of one zone, then the mobiles likewise, or the single note
// "No objects or mobiles found". Prototypes show as "%d - %s" (vnum, short
// description), without colour codes unless `colour_codes`.
struct PrototypeTreeItem {
    enum Kind { Objects, Mobiles, Object, Mobile, Note };
    Kind kind = Note;
    int id = 0;  // the zone of an Objects or Mobiles item, the vnum of a prototype
    std::string text;
    std::vector<PrototypeTreeItem> children;
    bool operator==(const PrototypeTreeItem&) const = default;
};
std::vector<PrototypeTreeItem> prototype_tree(const Workspace& ws, std::optional<int> zone,
                                              bool colour_codes);

// The selected command: the zone's number and the command's index. It names
// no command once its zone is not the selected zedit or the index lies past
// the zone's commands; `settle` then clears it.
struct CommandRef {
    int zone = -1;
    int index = -1;
    bool operator==(const CommandRef&) const = default;
};

class CommandSelection {
public:
    const std::optional<CommandRef>& ref() const { return ref_; }
    void select(CommandRef ref) { ref_ = ref; }
    void clear() { ref_.reset(); }
    // Clears the selection when it names no command of the selected zedit;
    // true when it still names one.
    bool settle(const Workspace& ws);
    // The selected command, settled first; null when none.
    const Zcmd* command(const Workspace& ws);

private:
    std::optional<CommandRef> ref_;
};

// What the field edits name in their merge keys, beside the commands' fields.
enum class ZoneField { Name, RoleplayName, Lifespan, ResetMode, Top };

// The numbers a field may be given, both ends included.
struct FieldRange {
    long long low = 0;
    long long high = 0;
    bool holds(long long n) const { return n >= low && n <= high; }
};

// The longest zone name or RP name the game reads back. The game reads a
// zone file 255 characters at a time, line end included, and the name is
// written with "~" and CR LF after it: a longer name is split in two lines.
constexpr std::size_t kMaxZoneTextLength = 252;

// What a zone's header number may be: Top a vnum of the zone's own hundred
// (zone 327 ends at 32767), Reset Mode 0 to 2 (never, when empty, always),
// Lifespan not negative.
FieldRange zone_number_range(int zone, ZoneField field);

// What number field `field` (0 .. 5) of a command with this letter may be:
// vnums 0 to 32767, a chance not to load 0 to 100, once per boot 0 or 1, a
// wear position, direction, door state or attach type within its table, a
// max not negative; nothing for a field the letter does not enable.
std::optional<FieldRange> command_field_range(char letter, int field);
// Whether that field holds a vnum: one outside the range is a number the
// game's 16-bit vnums cannot carry, not merely one it makes odd use of.
bool command_field_is_vnum(char letter, int field);

// Why a typed text or number cannot be stored in a zone's field or a
// command's field, as the status says it; empty when it can. The store
// functions below refuse with this text. `index` -1 is the new command of
// Create New Zcmd.
std::string zone_field_refusal(int zone, ZoneField field, std::string_view typed);
std::string command_field_refusal(int zone, int index, char letter, int field,
                                  std::string_view typed);
// True when a refused number is only unfinished: digits that more digits
// typed after them make a number the field holds ("30" on the way to Top
// 3099). The pane keeps such a box as typed and stores nothing yet.
bool zone_number_unfinished(int zone, ZoneField field, std::string_view typed);

// "Edit Name of Zone 30", "Edit RP Name of Zone 30": the typed text replaces
// the name (an empty text leaves the zone with no name). A "~", a line
// break or a leading "*" (a comment line in the file) is refused with a
// status text. False when nothing was stored.
bool store_zone_text(Workspace& ws, int zone, ZoneField field, std::string_view typed,
                     EditOptions options = {});
// "Edit Lifespan of Zone 30" (and Reset Mode, Top): the typed number. An
// empty box stores nothing; a text that is not a whole number, or a number
// outside the field's range, is refused with a status text.
bool store_zone_number(Workspace& ws, int zone, ZoneField field, std::string_view typed,
                       EditOptions options = {});

// "Edit Command 4 of Zone 30": a typed field of a command. A number field
// stores the text's leading integer (0 when it has none; a number outside
// the field's range is refused); a text field stores the text, which must
// be one word without "~" (the file reads one word). A field the command's
// letter does not enable stores nothing. Refusals show a status text.
bool store_command_field(Workspace& ws, int zone, int index, int field, std::string_view typed,
                         EditOptions options = {});
// "Edit Command 4 of Zone 30": the Dependant box.
bool store_command_dependent(Workspace& ws, int zone, int index, bool dependent,
                             EditOptions options = {});

// A new command of the letter as Create New Zcmd first shows it: every
// number 0 but the max in the world, 1 where the letter has one (a max of 0
// never loads).
Zcmd new_command(char letter);

// Why a command cannot be added to the zone as it is (a letter the editor
// does not know, a number outside its field's range, V texts that are not
// one word each); empty when it can.
std::string command_refusal(int zone, const Zcmd& command);

// Where a command added while command `selected` is selected goes: after
// it and after every command that depends on it, so that no command is
// parted from one it depends on. A command depends on the one before it
// when its if-flag is set; a G or E on the last M before it; a P on the
// last command before it that loads an object of its container's vnum; a T
// or V attached to a mobile on the last M, one attached to an object on the
// last command that loads an object. With no command selected (-1): the
// end.
int insertion_point(const Zedit& z, int selected);
// Where Copy puts the copy of command `index`: at its insertion point, unless
// a command on the way there changes what the copy would depend on (an M for
// a G, E or a T or V attached to a mobile; a load of the container for a P;
// a load of any object for a T or V attached to an object): then right after
// the original, which it shares its mobile or container with.
int copy_point(const Zedit& z, int index);

// "Add Load Mob to Zone 30": inserts `command` at `position` (-1 or past the
// end: at the end), its line 0, and every value its letter has no field for
// 0 (or empty). A letter that acts in a room (M, O, D, R, V) takes the map's
// `selected_room` as its room when that room is one of the zone's own; with
// no room of the zone it is refused, naming the zone: the game disables a
// command without a room, and the room is no field to give it one later.
// Refused with a status text, too, when the command cannot be added. The
// new index, or -1.
int add_command(Workspace& ws, int zone, int position, Zcmd command,
                std::optional<int> selected_room);
// "Delete Command 4 of Zone 30".
bool delete_command(Workspace& ws, int zone, int index);
// "Copy Command 4 of Zone 30": a copy (line 0) where a new command would go
// with the command selected (its dependants stay with it); its index, or
// -1.
int copy_command(Workspace& ws, int zone, int index);

// A new zedit starts with top zone * 100 + 99 and the lifespan and reset
// mode a new stock zone has (30 minutes; reset when no player is in it).
constexpr int kNewZoneLifespan = 30;
constexpr int kNewZoneResetMode = 2;

// New Zedit's OK with the box's text: "New Zedit 30" creates the zedit and
// selects it ("New zedit for zone 30 created."). An empty box does nothing;
// a text that is not a zone number, or a zone that has a zedit already, is
// refused with a status text. The zone number created, or nothing.
std::optional<int> new_zedit_from_box(Workspace& ws, std::string_view box);

}  // namespace zs
