// The checker's findings in the properties of objects and mobiles: a
// container whose key no loaded zone holds, a weapon without damage dice, a
// mobile of level 0 or without hit dice. All are warnings: a builder may
// mean them, but the game makes little of such a record.
#pragma once

#include <vector>

#include "files/check.h"

namespace zs {

// Appends the findings of every loaded object and mobile to `problems`.
void check_prototype_fields(const Workspace& ws, const RecordOrigins& origins,
                            std::vector<Problem>& problems);

}  // namespace zs
