// The same change as edit_without_step.cpp, inside a step: it must compile.
#include "world/workspace.h"

void edit_in_step(zs::Workspace& ws);

void edit_in_step(zs::Workspace& ws) {
    zs::Transaction tx(ws, "Create Room 3001");
    tx.world().create_room(3001, 30);
    tx.commit();
}
