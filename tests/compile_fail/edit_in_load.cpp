// The same table reached through a load, as a loader adds what a file gave:
// it must compile.
#include "world/workspace.h"

void edit_in_load(zs::Workspace& ws);

void edit_in_load(zs::Workspace& ws) {
    zs::TableLoad load(ws);
    load.world().append(zs::make_new_room(3001, 30));
}
