// Changes a workspace's rooms with no step open: the workspace hands its
// tables out only to be read, so this must not compile.
#include "world/workspace.h"

void edit_without_step(zs::Workspace& ws);

void edit_without_step(zs::Workspace& ws) {
    ws.world().create_room(3001, 30);
}
