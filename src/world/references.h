// References: what in the loaded tables refers to one room, object or
// mobile. For a room: the exits that lead to it (one-way ones marked), the
// rooms whose fly up, fly down or fall room it is, and the reset commands
// that act in it; for an object: the reset commands that load, give, equip,
// put or remove it (with the carrier or container) or put something into
// it, the doors it is the key of and the containers it locks; for a
// mobile: the commands that load it. With the count line that sums them up
// ("Object 3022: loaded by 2 commands in 1 zone, max 5"). Pure: it reads
// the tables and changes nothing.
#pragma once

#include <string>
#include <vector>

#include "world/change.h"

namespace zs {

class Workspace;

struct Reference {
    // What refers: a room (World), an object (Object) or a reset command
    // (Zone).
    TableKind table = TableKind::World;
    int vnum = 0;    // the room's or object's vnum; for a command, its zone's number
    int index = -1;  // a command's index in its zone's commands
    int line = 0;    // a command's line in the file it was read from; 0: none
    int room = -1;   // the room to show for it; -1: none
    // "room 3000: exit north leads here", "zone 30 command 12: Load obj ...".
    std::string text;
    int zone() const { return table == TableKind::Zone ? vnum : vnum / 100; }
    bool operator==(const Reference&) const = default;
};

// The references to the record of `kind` (World, Object or Mobile) with
// the vnum, whether or not that record is loaded: rooms by vnum first, then
// commands by zone and index, then objects by vnum.
std::vector<Reference> find_references(const Workspace& ws, TableKind kind, int vnum);

// The count line: "Object 3022: loaded by 2 commands in 1 zone, max 5",
// "Mobile 3001: loaded by 1 command in 1 zone, max 1", "Room 3001: reached
// by 4 exits from 1 zone, 2 commands act in it". The max is the largest "Max
// in MUD" of the commands that load the object or mobile: no more of it
// exist in the game at once. `found` is what find_references gave for it.
std::string reference_count_line(const Workspace& ws, TableKind kind, int vnum,
                                 const std::vector<Reference>& found);

}  // namespace zs
