// Find: every loaded room, object, mobile and reset command that a typed
// text names. A number finds the records of that vnum and the commands that
// name it; any other text is looked for, case-insensitive and with colour
// codes and line breaks read as the game shows them, in titles, short
// descriptions, keywords and the other texts of the records and in the
// one-line display of each command. Pure: it reads the tables and changes
// nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "world/change.h"

namespace zs {

class Workspace;
struct Zcmd;
struct Zedit;

struct SearchHit {
    // World: a room; Object; Mobile; Zone: a reset command.
    TableKind table = TableKind::World;
    int vnum = 0;    // the record's vnum; for a command, its zone's number
    int index = -1;  // a command's index in its zone's commands
    int zone = 0;
    std::string name;   // title, short description, or the command's line
    std::string where;  // the field that matched, with the matching words
    bool operator==(const SearchHit&) const = default;
};

// The hits in the order rooms, objects, mobiles, commands; records by vnum,
// commands by zone and index; one hit per record or command, for the first
// of its fields that matches. No hit for a text of blanks only.
std::vector<SearchHit> find_in_world(const Workspace& ws, std::string_view query);

// The room command `index` of a zedit acts in: its own room, or for a
// command without one (E, G, P, T) the room of the last command before it
// that has one, as the ZCmds tree groups them; -1 when there is none.
int command_room(const Zedit& z, int index);

// What command `index` does, as its line in the ZCmds tree shows it
// without the number it begins with and without colour codes: "then Give
// it a long sword [3022], Max : 100   % 0".
std::string command_text(const Workspace& ws, const Zcmd& command, int index);

// "room", "obj", "mob", "reset": the kind of a hit as lists show it.
const char* hit_kind_word(TableKind table);

}  // namespace zs
