// Where the references to a room, object or mobile stand in the area files,
// as the command-line tool prints them: "30.zon:45: zone 30 command 12:
// ...", the form the checker's findings have. A command stands on the line
// it was read from; an exit, key or fly room on its room's "#vnum" line; a
// container key on its object's.
#pragma once

#include <string>

#include "files/check.h"
#include "world/references.h"

namespace zs {

// "file:line: text" ("file: text" when the line is not known).
std::string reference_place_text(const Workspace& ws, const RecordOrigins& origins,
                                 const Reference& ref);

}  // namespace zs
