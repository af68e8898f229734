// Removes an object prototype with no step open: like edit_without_step.cpp,
// this must not compile.
#include "world/workspace.h"

void remove_without_step(zs::Workspace& ws);

void remove_without_step(zs::Workspace& ws) {
    ws.objects().remove(3001);
}
