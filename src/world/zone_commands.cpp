#include "world/zone_commands.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>

#include "world/names.h"
#include "world/numbers.h"
#include "world/room_text.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs {

// T follows the file and the one-line display: arg1 is what the trigger is
// attached to, arg2 the trigger's vnum. V likewise: arg1 the attach type,
// arg2 the context, the texts the variable's name and value; its room
// (arg3) is set where the command is created.
const std::array<CommandKind, 9> kCommandKinds = {{
    {'M',
     "Load Mob",
     {"Load mob vnum:", "Max in MUD:", "",
      "Chance to not load:", "Max per room:", "Once per boot:", "", ""}},
    {'O',
     "Load Obj",
     {"Load obj vnum:", "Max in MUD:", "",
      "Chance to not load:", "Max per room:", "Once per boot:", "", ""}},
    {'E',
     "Equip Mob",
     {"Equip with obj:", "Max in MUD:", "Equip in position:", "Chance to not load:", "",
      "Once per boot:", "", ""}},
    {'P',
     "Put Obj in Obj",
     {"Put obj vnum:", "Max in MUD:", "Into obj vnum:", "Chance to not load:", "",
      "Once per boot:", "", ""}},
    // The file's G line has no place for "once per boot".
    {'G',
     "Give Obj to Mob",
     {"Give obj:", "Max in MUD:", "", "Chance to not load:", "", "", "", ""}},
    {'R', "Remove Obj", {"", "Remove obj vnum:", "", "", "", "", "", ""}},
    {'D', "Door Command", {"", "Door direction:", "Door state:", "", "", "", "", ""}},
    {'T', "Assign Trigger", {"Trig type:", "Attach trig vnum:", "", "", "", "", "", ""}},
    {'V', "Set Global Var", {"Type:", "Context:", "", "", "", "", "Global name:", "Global value:"}},
}};

const std::array<std::string_view, 33> kWearPositionNames = {
    "Used as light",
    "Worn on right finger",
    "Worn on left finger",
    "First worn around Neck",
    "Second worn around Neck",
    "Worn on body",
    "Worn on head",
    "Worn on legs",
    "Worn on feet",
    "Worn on hands",
    "Worn on arms",
    "Worn as shield",
    "Worn about body",
    "Worn around waist",
    "Worn around right wrist",
    "Worn around left wrist",
    "Wielded",
    "Held",
    "Worn on back",
    "Worn on shoulders",
    "Worn on face",
    "Worn in right ear",
    "Worn in left ear",
    "Worn around right ankle",
    "Worn around left ankle",
    "Worn over eyes",
    "Worn on belt",
    "Worn as quiver",
    "Worn as sheath",
    "Worn on right thumb",
    "Worn on left thumb",
    "Worn as badge",
    "Worn as insignia",
};

const std::array<std::string_view, 6> kDoorStateNames = {
    "open", "closed", "locked", "closed and hidden", "locked and hidden", "open and hidden"};

const CommandKind* command_kind(char letter) {
    for (const CommandKind& k : kCommandKinds)
        if (k.letter == letter) return &k;
    return nullptr;
}

bool field_enabled(char letter, int field) {
    const CommandKind* k = command_kind(letter);
    return k && field >= 0 && field < kCommandFields && !k->labels[field].empty();
}

std::string field_name(char letter, int field) {
    if (!field_enabled(letter, field)) return {};
    std::string_view label = command_kind(letter)->labels[static_cast<std::size_t>(field)];
    if (label.ends_with(':')) label.remove_suffix(1);
    return std::string(label);
}

int room_argument(char letter) {
    switch (letter) {
        case 'M':
        case 'O':
        case 'V':
            return 2;
        case 'D':
        case 'R':
            return 0;
        default:
            return -1;
    }
}

namespace {

// The short description and a blank, or nothing for a vnum with no prototype.
template <class Table>
std::string name_of(const Table& table, int vnum) {
    const auto* p = table.find_record(vnum);
    return p ? p->short_description + " " : std::string();
}

template <std::size_t N>
std::string table_name(const std::array<std::string_view, N>& names, int i, const char* what) {
    if (i < 0 || i >= static_cast<int>(N)) return strfmt("<unknown %s %d>", what, i);
    return std::string(names[static_cast<std::size_t>(i)]);
}

const char* attach_type(int type) {
    static const char* const kTypes[] = {"mobile", "object", "room"};
    return type >= 0 && type < 3 ? kTypes[type] : "????";
}

std::string raw_line(const Workspace& ws, const Zcmd& c, int n) {
    const char* then = c.if_flag ? " then " : "";
    const char* once = c.arg[5] ? " (once)" : "";
    const auto& a = c.arg;
    switch (c.command) {
        case 'M':
            return strfmt("%d - %sLoad mob %s[%d], Max : %d   Max per room : %d   %% %d%s", n, then,
                          name_of(ws.mobiles(), a[0]).c_str(), a[0], a[1], a[4], a[3], once);
        case 'O':
            return strfmt("%d - %sLoad obj %s[%d], Max : %d   Max per room : %d   %% %d%s", n, then,
                          name_of(ws.objects(), a[0]).c_str(), a[0], a[1], a[4], a[3], once);
        case 'E':
            return strfmt("%d - %sEquip with %s[%d], %s, Max : %d   %% %d%s", n, then,
                          name_of(ws.objects(), a[0]).c_str(), a[0],
                          table_name(kWearPositionNames, a[2], "position").c_str(), a[1], a[3],
                          once);
        case 'G':
            return strfmt("%d - %sGive it %s[%d], Max : %d   %% %d%s", n, then,
                          name_of(ws.objects(), a[0]).c_str(), a[0], a[1], a[3], once);
        case 'P':
            return strfmt("%d - %sPut %s[%d] in %s[%d], Max : %d   %% %d%s", n, then,
                          name_of(ws.objects(), a[0]).c_str(), a[0],
                          name_of(ws.objects(), a[2]).c_str(), a[2], a[1], a[3], once);
        case 'R':
            return strfmt("%d - %sRemove %s[%d] from room.", n, then,
                          name_of(ws.objects(), a[1]).c_str(), a[1]);
        case 'D':
            return strfmt("%d - %sSet door %s as %s.", n, then,
                          table_name(kDirectionWords, a[1], "direction").c_str(),
                          table_name(kDoorStateNames, a[2], "door state").c_str());
        case 'T':
            return strfmt("%d - %sAttach trigger [%d] to %s", n, then, a[1], attach_type(a[0]));
        case 'V':
            return strfmt("%d - %sAssign global %s:%d to %s = %s", n, then, c.sarg1.c_str(), a[1],
                          attach_type(a[0]), c.sarg2.c_str());
        default:
            return "<Unknown Command>";
    }
}

}  // namespace

std::string command_line(const Workspace& ws, const Zcmd& command, int index, bool colour_codes) {
    std::string line = raw_line(ws, command, index);
    return colour_codes ? line : without_colour_codes(line);
}

std::vector<ZcmdTreeItem> zcmd_tree(const Workspace& ws, const Zedit& z, bool show_all,
                                    std::optional<int> filter_room) {
    std::vector<ZcmdTreeItem> top;
    if (!show_all && !filter_room) return top;
    const bool colour = ws.options().color_codes_in_trees != 0;
    // The room the commands act in; none before the first command that
    // names one (room 0 is a room like any other).
    std::optional<int> current;
    ZcmdTreeItem* room_item = nullptr;  // where show-all mode puts lines
    for (int i = 0; i < static_cast<int>(z.commands.size()); ++i) {
        const Zcmd& c = z.commands[static_cast<std::size_t>(i)];
        int arg = room_argument(c.command);
        if (arg >= 0 && c.arg[static_cast<std::size_t>(arg)] != current) {
            current = c.arg[static_cast<std::size_t>(arg)];
            if (show_all) {
                top.push_back({strfmt("Room %d", *current), -1, *current, {}});
                room_item = &top.back();
            }
        }
        if (!show_all && current != filter_room) continue;
        ZcmdTreeItem line{command_line(ws, c, i, colour), i, 0, {}};
        if (room_item)
            room_item->children.push_back(std::move(line));
        else
            top.push_back(std::move(line));
    }
    return top;
}

namespace {

template <class Table>
void add_prototypes(std::vector<PrototypeTreeItem>& top, const Table& table,
                    PrototypeTreeItem::Kind header, PrototypeTreeItem::Kind kind,
                    std::optional<int> zone, bool colour) {
    const char* word = header == PrototypeTreeItem::Objects ? "Objs" : "Mobs";
    PrototypeTreeItem* current = nullptr;
    if (zone) {
        top.push_back({header, *zone, strfmt("%s %d", word, *zone), {}});
        current = &top.back();
    }
    for (int s = 0; s < table.count(); ++s) {
        const auto& p = table.record(s);
        if (zone ? p.zone != *zone : p.zone < 0) continue;
        if (!current || current->id != p.zone) {
            top.push_back({header, p.zone, strfmt("%s %d", word, p.zone), {}});
            current = &top.back();
        }
        std::string text = strfmt("%d - %s", p.vnum, p.short_description.c_str());
        current->children.push_back({kind, p.vnum, colour ? text : without_colour_codes(text), {}});
    }
    if (zone && current->children.empty())
        current->children.push_back({PrototypeTreeItem::Note,
                                     0,
                                     header == PrototypeTreeItem::Objects
                                         ? "No objects found in this zone"
                                         : "No mobiles found in this zone",
                                     {}});
}

}  // namespace

std::vector<PrototypeTreeItem> prototype_tree(const Workspace& ws, std::optional<int> zone,
                                              bool colour_codes) {
    std::vector<PrototypeTreeItem> top;
    add_prototypes(top, ws.objects(), PrototypeTreeItem::Objects, PrototypeTreeItem::Object, zone,
                   colour_codes);
    add_prototypes(top, ws.mobiles(), PrototypeTreeItem::Mobiles, PrototypeTreeItem::Mobile, zone,
                   colour_codes);
    if (top.empty()) top.push_back({PrototypeTreeItem::Note, 0, "No objects or mobiles found", {}});
    return top;
}

bool CommandSelection::settle(const Workspace& ws) {
    if (!ref_) return false;
    const Zedit* z = ws.zones().selected_zedit();
    if (!z || z->number != ref_->zone || ref_->index < 0 ||
        ref_->index >= static_cast<int>(z->commands.size())) {
        ref_.reset();
        return false;
    }
    return true;
}

const Zcmd* CommandSelection::command(const Workspace& ws) {
    if (!settle(ws)) return nullptr;
    return &ws.zones().selected_zedit()->commands[static_cast<std::size_t>(ref_->index)];
}

// --- Zone fields --------------------------------------------------------------

namespace {

const char* zone_field_name(ZoneField field) {
    switch (field) {
        case ZoneField::Name:
            return "Name";
        case ZoneField::RoleplayName:
            return "RP Name";
        case ZoneField::Lifespan:
            return "Lifespan";
        case ZoneField::ResetMode:
            return "Reset Mode";
        case ZoneField::Top:
            return "Top";
    }
    return "";
}

// The leading integer of a typed text (0 when it has none), as the command
// fields read it; nothing for a number beyond 32 bits.
std::optional<std::int32_t> leading_integer(std::string_view text) {
    const long long n = read_leading(text, kLeadingNumberLimit, kScanBlanks);
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

bool is_word(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c == '~' || std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

FieldRange zone_number_range(int zone, ZoneField field) {
    constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
    switch (field) {
        case ZoneField::Top:
            return {zone * 100LL, std::min(zone * 100LL + 99, static_cast<long long>(kVnumMax))};
        case ZoneField::ResetMode:
            return {0, 2};
        case ZoneField::Lifespan:
        case ZoneField::Name:
        case ZoneField::RoleplayName:
            break;
    }
    return {0, kInt32Max};
}

std::string zone_field_refusal(int zone, ZoneField field, std::string_view typed) {
    if (field == ZoneField::Name || field == ZoneField::RoleplayName) {
        const char* what = field == ZoneField::Name ? "name" : "RP name";
        if (typed.find('~') != std::string_view::npos)
            return strfmt("Zone %d's %s cannot hold \"~\"; it ends texts in the zone file.", zone,
                          what);
        if (typed.find_first_of("\r\n") != std::string_view::npos)
            return strfmt("Zone %d's %s must be one line.", zone, what);
        if (typed.starts_with('*'))
            return strfmt(
                "Zone %d's %s cannot begin with \"*\"; the zone file reads that line "
                "as a comment.",
                zone, what);
        if (typed.size() > kMaxZoneTextLength)
            return strfmt(
                "Zone %d's %s can be at most %zu characters long; the game cannot read a "
                "longer one back.",
                zone, what, kMaxZoneTextLength);
        return {};
    }
    bool bad = false;
    std::optional<long long> n = box_number(typed, &bad);
    const FieldRange range = zone_number_range(zone, field);
    if ((!n && !bad) || (n && range.holds(*n))) return {};
    return strfmt("Zone %d's %s must be a whole number from %lld to %lld.", zone,
                  zone_field_name(field), range.low, range.high);
}

bool zone_number_unfinished(int zone, ZoneField field, std::string_view typed) {
    if (field == ZoneField::Name || field == ZoneField::RoleplayName) return false;
    std::optional<long long> n = box_number(typed);
    const FieldRange range = zone_number_range(zone, field);
    // Digits after a 0 or a sign are no more digits of a number in range.
    // Nor do digits make a number past the range any smaller.
    if (!n || *n <= 0 || *n > range.high || range.holds(*n) ||
        typed.find_first_of("+-") != std::string_view::npos)
        return false;
    // The numbers that more digits make of it: n0 .. n9, n00 .. n99, ...
    for (long long low = *n * 10, span = 10; low <= range.high; low *= 10, span *= 10)
        if (low + span - 1 >= range.low) return true;
    return false;
}

bool store_zone_text(Workspace& ws, int zone, ZoneField field, std::string_view typed,
                     EditOptions options) {
    if (field != ZoneField::Name && field != ZoneField::RoleplayName) return false;
    const int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return false;
    if (std::string why = zone_field_refusal(zone, field, typed); !why.empty()) {
        ws.ui().show_status(why);
        return false;
    }
    const Zedit& z = ws.zones().zedit(slot);
    const std::string& now = field == ZoneField::Name ? z.name : z.roleplay_name;
    if (now == typed) return false;
    std::string text(typed);
    return edit_zedit(
        ws, zone, strfmt("Edit %s of Zone %d", zone_field_name(field), zone),
        [&](Zedit& e) { (field == ZoneField::Name ? e.name : e.roleplay_name) = text; }, options);
}

bool store_zone_number(Workspace& ws, int zone, ZoneField field, std::string_view typed,
                       EditOptions options) {
    if (field == ZoneField::Name || field == ZoneField::RoleplayName) return false;
    const int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return false;
    if (std::string why = zone_field_refusal(zone, field, typed); !why.empty()) {
        ws.ui().show_status(why);
        return false;
    }
    std::optional<long long> n = box_number(typed);
    if (!n) return false;  // an empty box
    const Zedit& z = ws.zones().zedit(slot);
    long long now = field == ZoneField::Top        ? z.top
                    : field == ZoneField::Lifespan ? z.lifespan
                                                   : z.reset_mode;
    if (now == *n) return false;
    const long long value = *n;
    return edit_zedit(
        ws, zone, strfmt("Edit %s of Zone %d", zone_field_name(field), zone),
        [&](Zedit& e) {
            if (field == ZoneField::Top)
                e.top = static_cast<std::int16_t>(value);
            else if (field == ZoneField::Lifespan)
                e.lifespan = static_cast<std::int32_t>(value);
            else
                e.reset_mode = static_cast<std::int32_t>(value);
        },
        options);
}

// --- Command fields -----------------------------------------------------------

namespace {

const Zcmd* find_command(const Workspace& ws, int zone, int index) {
    int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return nullptr;
    const auto& cmds = ws.zones().zedit(slot).commands;
    if (index < 0 || index >= static_cast<int>(cmds.size())) return nullptr;
    return &cmds[static_cast<std::size_t>(index)];
}

}  // namespace

namespace {

// How the status names a command: "Zone 30, command 4", or the new one of
// Create New Zcmd, "Zone 30, the new Load Mob".
std::string command_name(int zone, int index, char letter) {
    if (index >= 0) return strfmt("Zone %d, command %d", zone, index);
    const CommandKind* kind = command_kind(letter);
    std::string_view caption = kind ? kind->caption : std::string_view("command");
    return strfmt("Zone %d, the new %.*s", zone, static_cast<int>(caption.size()), caption.data());
}

std::string range_refusal(int zone, int index, char letter, int field) {
    FieldRange range = *command_field_range(letter, field);
    return strfmt("%s: \"%s\" must be a number from %lld to %lld.",
                  command_name(zone, index, letter).c_str(), field_name(letter, field).c_str(),
                  range.low, range.high);
}

}  // namespace

std::optional<FieldRange> command_field_range(char letter, int field) {
    if (!field_enabled(letter, field) || field >= kFirstTextField) return std::nullopt;
    constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();
    constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
    if (command_field_is_vnum(letter, field)) return FieldRange{0, kVnumMax};
    switch (letter) {
        case 'E':
            if (field == 2)
                return FieldRange{0, static_cast<long long>(kWearPositionNames.size()) - 1};
            break;
        case 'D':
            if (field == 1) return FieldRange{0, kNumDirections - 1};
            return FieldRange{0, static_cast<long long>(kDoorStateNames.size()) - 1};
        case 'T':
        case 'V':
            // The attach type; V's context is any number.
            if (field == 0) return FieldRange{0, 2};
            return FieldRange{kInt32Min, kInt32Max};
        default:
            break;
    }
    switch (field) {
        case 3:  // the chance not to load, in percent
            return FieldRange{0, 100};
        case 5:  // once per boot
            return FieldRange{0, 1};
        default:  // the max in the world and per room (0: no limit per room)
            return FieldRange{0, kInt32Max};
    }
}

bool command_field_is_vnum(char letter, int field) {
    switch (letter) {
        case 'M':
        case 'O':
        case 'E':
        case 'G':
            return field == 0;
        case 'P':
            return field == 0 || field == 2;
        case 'R':
        case 'T':
            return field == 1;
        default:
            return false;
    }
}

std::string command_field_refusal(int zone, int index, char letter, int field,
                                  std::string_view typed) {
    if (field >= kFirstTextField) {
        if (is_word(typed)) return {};
        return strfmt("%s: the %s must be one word, without blanks or \"~\".",
                      command_name(zone, index, letter).c_str(),
                      field == kFirstTextField ? "global name" : "global value");
    }
    std::optional<FieldRange> range = command_field_range(letter, field);
    if (!range) return {};
    std::optional<std::int32_t> n = leading_integer(typed);
    if (n && range->holds(*n)) return {};
    return range_refusal(zone, index, letter, field);
}

bool store_command_field(Workspace& ws, int zone, int index, int field, std::string_view typed,
                         EditOptions options) {
    const Zcmd* c = find_command(ws, zone, index);
    if (!c || !field_enabled(c->command, field)) return false;
    if (std::string why = command_field_refusal(zone, index, c->command, field, typed);
        !why.empty()) {
        ws.ui().show_status(why);
        return false;
    }
    std::string name = strfmt("Edit Command %d of Zone %d", index, zone);
    if (field >= kFirstTextField) {
        const std::string& now = field == kFirstTextField ? c->sarg1 : c->sarg2;
        if (now == typed) return false;
        std::string text(typed);
        return edit_zedit(
            ws, zone, std::move(name),
            [&](Zedit& z) {
                Zcmd& e = z.commands[static_cast<std::size_t>(index)];
                (field == kFirstTextField ? e.sarg1 : e.sarg2) = text;
            },
            options);
    }
    const std::int32_t value = *leading_integer(typed);
    if (c->arg[static_cast<std::size_t>(field)] == value) return false;
    return edit_zedit(
        ws, zone, std::move(name),
        [&](Zedit& z) {
            z.commands[static_cast<std::size_t>(index)].arg[static_cast<std::size_t>(field)] =
                value;
        },
        options);
}

bool store_command_dependent(Workspace& ws, int zone, int index, bool dependent,
                             EditOptions options) {
    const Zcmd* c = find_command(ws, zone, index);
    if (!c || !command_kind(c->command) || (c->if_flag != 0) == dependent) return false;
    return edit_zedit(
        ws, zone, strfmt("Edit Command %d of Zone %d", index, zone),
        [&](Zedit& z) { z.commands[static_cast<std::size_t>(index)].if_flag = dependent ? 1 : 0; },
        options);
}

Zcmd new_command(char letter) {
    Zcmd c;
    c.command = letter;
    // The letters that load something have their max in the world in arg2.
    if (letter != '\0' && std::string_view("MOEGP").find(letter) != std::string_view::npos)
        c.arg[1] = 1;
    return c;
}

std::string command_refusal(int zone, const Zcmd& command) {
    if (!command_kind(command.command))
        return "Choose the kind of the new command first; no command was added.";
    for (int f = 0; f < kFirstTextField; ++f)
        if (std::optional<FieldRange> range = command_field_range(command.command, f);
            range && !range->holds(command.arg[static_cast<std::size_t>(f)])) {
            std::string why = range_refusal(zone, -1, command.command, f);
            why.pop_back();  // the full stop
            return why + "; no command was added.";
        }
    if (command.command == 'V' && (!is_word(command.sarg1) || !is_word(command.sarg2)))
        return "A Set Global Var command needs a name and a value, each one word without blanks "
               "or \"~\"; no command was added.";
    return {};
}

namespace {

// The earliest command that command `b` depends on, or `b` itself when it
// depends on none (see insertion_point). `last_mobile` is the last M before
// it, `last_object` the last command before it that loads an object, and
// `last_of` the last such command by the object's vnum; -1 for none.
int earliest_dependency(const std::vector<Zcmd>& cmds, int b, int last_mobile, int last_object,
                        const std::map<int, int>& last_of) {
    const Zcmd& c = cmds[static_cast<std::size_t>(b)];
    int earliest = b;
    auto on = [&earliest](int a) {
        if (a >= 0) earliest = std::min(earliest, a);
    };
    if (c.if_flag) on(b - 1);
    switch (c.command) {
        case 'G':
        case 'E':
            on(last_mobile);
            break;
        case 'P':
            if (auto it = last_of.find(c.arg[2]); it != last_of.end()) on(it->second);
            break;
        case 'T':
        case 'V':
            if (c.arg[0] == 0) on(last_mobile);
            if (c.arg[0] == 1) on(last_object);
            break;
        default:
            break;
    }
    return earliest;
}

}  // namespace

int insertion_point(const Zedit& z, int selected) {
    const auto& cmds = z.commands;
    const int n = static_cast<int>(cmds.size());
    if (selected < 0 || selected >= n) return n;
    // A place p parts nothing when no command at p or after depends on one
    // before p: the earliest dependency of the commands from p on is not
    // before p.
    std::vector<int> earliest(static_cast<std::size_t>(n));
    int last_mobile = -1, last_object = -1;
    std::map<int, int> last_of;  // object vnum -> the last command that loads it
    for (int b = 0; b < n; ++b) {
        earliest[static_cast<std::size_t>(b)] =
            earliest_dependency(cmds, b, last_mobile, last_object, last_of);
        const Zcmd& c = cmds[static_cast<std::size_t>(b)];
        if (c.command == 'M') last_mobile = b;
        if (c.command == 'O' || c.command == 'G' || c.command == 'E' || c.command == 'P') {
            last_object = b;
            last_of[c.arg[0]] = b;
        }
    }
    int place = n;
    int from_here_on = n;  // the earliest dependency of the commands from `p` on
    for (int p = n - 1; p > selected; --p) {
        from_here_on = std::min(from_here_on, earliest[static_cast<std::size_t>(p)]);
        if (from_here_on >= p) place = p;
    }
    return place;
}

int copy_point(const Zedit& z, int index) {
    const int place = insertion_point(z, index);
    if (index < 0 || index >= static_cast<int>(z.commands.size())) return place;
    const Zcmd& copied = z.commands[static_cast<std::size_t>(index)];
    auto loads_object = [](const Zcmd& c) {
        return c.command == 'O' || c.command == 'G' || c.command == 'E' || c.command == 'P';
    };
    auto changes_context = [&](const Zcmd& c) {
        switch (copied.command) {
            case 'G':
            case 'E':
                return c.command == 'M';
            case 'P':
                return loads_object(c) && c.arg[0] == copied.arg[2];
            case 'T':
            case 'V':
                return (copied.arg[0] == 0 && c.command == 'M') ||
                       (copied.arg[0] == 1 && loads_object(c));
            default:
                return false;
        }
    };
    for (int i = index + 1; i < place; ++i)
        if (changes_context(z.commands[static_cast<std::size_t>(i)])) return index + 1;
    return place;
}

int add_command(Workspace& ws, int zone, int position, Zcmd command,
                std::optional<int> selected_room) {
    const int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return -1;
    std::string why = command_refusal(zone, command);
    const CommandKind* kind = command_kind(command.command);
    const int arg = room_argument(command.command);
    // Only a room of the zone's own: a command of zone 30 acts in zone 30.
    std::optional<int> room;
    if (selected_room && zone_of(*selected_room) == zone) room = selected_room;
    if (why.empty() && arg >= 0 && !room) {
        const int caption = static_cast<int>(kind->caption.size());
        if (selected_room)
            why = strfmt(
                "Zone %d: a new \"%.*s\" acts in a room of zone %d, and the map's selected room "
                "%d is in zone %d; select a room of zone %d. No command was added.",
                zone, caption, kind->caption.data(), zone, *selected_room, zone_of(*selected_room),
                zone);
        else
            why = strfmt(
                "Zone %d: a new \"%.*s\" acts in a room of zone %d; select one on the map "
                "first. No command was added.",
                zone, caption, kind->caption.data(), zone);
    }
    if (!why.empty()) {
        ws.ui().show_status(why);
        return -1;
    }
    const int size = static_cast<int>(ws.zones().zedit(slot).commands.size());
    if (position < 0 || position > size) position = size;
    // Only what the letter's fields and room hold: the rest would not come
    // back from the file.
    command.line = 0;
    for (int f = 0; f < kFirstTextField; ++f)
        if (f != arg && !field_enabled(command.command, f))
            command.arg[static_cast<std::size_t>(f)] = 0;
    if (command.command != 'V') {
        command.sarg1.clear();
        command.sarg2.clear();
    }
    if (arg >= 0) command.arg[static_cast<std::size_t>(arg)] = *room;
    edit_zedit(ws, zone,
               strfmt("Add %.*s to Zone %d", static_cast<int>(kind->caption.size()),
                      kind->caption.data(), zone),
               [&](Zedit& z) { z.commands.insert(z.commands.begin() + position, command); });
    return position;
}

bool delete_command(Workspace& ws, int zone, int index) {
    if (!find_command(ws, zone, index)) return false;
    return edit_zedit(ws, zone, strfmt("Delete Command %d of Zone %d", index, zone),
                      [&](Zedit& z) { z.commands.erase(z.commands.begin() + index); });
}

int copy_command(Workspace& ws, int zone, int index) {
    const Zcmd* c = find_command(ws, zone, index);
    if (!c) return -1;
    Zcmd copy = *c;
    copy.line = 0;
    const int place = copy_point(ws.zones().zedit(ws.zones().find_zedit(zone)), index);
    edit_zedit(ws, zone, strfmt("Copy Command %d of Zone %d", index, zone),
               [&](Zedit& z) { z.commands.insert(z.commands.begin() + place, copy); });
    return place;
}

std::optional<int> new_zedit_from_box(Workspace& ws, std::string_view box) {
    bool bad = false;
    std::optional<long long> n = box_number(box, &bad);
    if (!n && !bad) return std::nullopt;
    if (!n || !zone_number_valid(*n)) {
        ws.ui().show_status(
            strfmt("New Zedit: \"%.*s\" is not a zone number (0 to %d); no zedit "
                   "created.",
                   static_cast<int>(box.size()), box.data(), kHighestZone));
        return std::nullopt;
    }
    const int zone = static_cast<int>(*n);
    const ZoneTable& zones = ws.zones();
    if (zones.find_zedit(zone) >= 0) {
        ws.ui().show_status(strfmt("Error: zedit for zone %d already exists.", zone));
        return std::nullopt;
    }
    {
        Transaction tx(ws, strfmt("New Zedit %d", zone));
        tx.focus(TableKind::Zone, zone);
        tx.zones().reserve_zedit_block(zone);
        int slot = tx.zones().create_zedit(zone);
        tx.zones().edit_zedit(slot, [zone](Zedit& z) {
            z.top = static_cast<std::int16_t>(
                std::min(zone * 100 + 99, kVnumMax));  // zone 327 ends at 32767
            z.lifespan = kNewZoneLifespan;
            z.reset_mode = kNewZoneResetMode;
        });
        tx.commit();
    }
    zones.select_slot(zones.find_zedit(zone));
    ws.ui().show_status(strfmt("New zedit for zone %d created.", zone));
    ws.request_redraw(true);
    return zone;
}

}  // namespace zs
