// What one reset of a zone loads: its commands followed in order from an
// empty world (a fresh boot), with the if-flag dependencies, the max counts
// and the records each command needs, as rows the reset result dialog and
// the command-line tool list. Pure: it reads the workspace and changes
// nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "world/workspace.h"

namespace zs {

enum class ResetWhat { Mob, Obj, Give, Equip, Put, Door, Remove, Skip };

// Why a command loads nothing.
enum class SkipReason {
    None,
    Dependent,    // its if-flag is set and the command before it did not run
    MaxReached,   // as many as its max (in the world or per room) exist
    NeverLoads,   // its chance not to load is 100 or more
    NoMobile,     // a G or E with no mobile loaded before it
    NoContainer,  // a P whose container was not loaded
    NotLoaded,    // a room, mobile or object it names is not loaded
    NoExit,       // a D for a direction the room has no exit in
    BadValue,     // a wear position, direction or door state past its table
    Unknown,      // a letter the game does not know
};

struct ResetRow {
    int room = -1;  // where it happens; for a skip, the room the command acts in (-1: none)
    ResetWhat what = ResetWhat::Skip;
    int vnum = -1;    // the mobile or object; for a door, the direction
    int in = -1;      // the carrier or container vnum; for a door, the state
    int index = 0;    // the command's index in the zone's commands
    int parent = -1;  // the row of the carrier or container (give, equip, put)
    SkipReason why = SkipReason::None;
    std::string text;  // for a skip: the command's one-line display
    bool operator==(const ResetRow&) const = default;
};

// The rows of one reset of `zone`'s zedit, one per command acting on the
// world (T and V attach scripts and load nothing: they have no row), in
// command order. Empty when the zedit is not loaded.
std::vector<ResetRow> simulate_reset(const Workspace& ws, int zone);

// "mob", "obj", "give", "equip", "put", "door", "remove", "skip".
std::string_view reset_what_word(ResetWhat what);
// "its if-flag is set and the command before it did not run", ...
std::string_view skip_reason_text(SkipReason why);

// The command-line tool's line of a row: "room<TAB>what<TAB>vnum<TAB>in"
// ("-" for no carrier; a door shows its direction and state words), or
// "skip<TAB>" and the command's one-line display.
std::string reset_row_line(const ResetRow& row);

}  // namespace zs
