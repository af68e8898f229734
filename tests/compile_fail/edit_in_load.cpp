// What a load does, through the load token: reserving the zone's block,
// appending a record as a file gave it, colouring it from the layout file,
// unloading the zone again. It must compile.
#include "world/workspace.h"

void edit_in_load(zs::Workspace& ws);

void edit_in_load(zs::Workspace& ws) {
    zs::TableLoad load(ws);
    load.world().reserve(30);
    load.world().append(zs::make_new_room(3001, 30));
    load.world().edit_loaded(0, [](zs::Room& r) { r.room_colour = 3; });
    load.world().unload(30);
}
