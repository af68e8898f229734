// A builder's change through the load token: a load offers only what a load
// does, so this must not compile (the change belongs in a step).
#include "world/workspace.h"

void edit_through_load(zs::Workspace& ws);

void edit_through_load(zs::Workspace& ws) {
    zs::TableLoad load(ws);
    load.world().create_room(3001, 30);
}
