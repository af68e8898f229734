#include "files/reference_places.h"

#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

std::string reference_place_text(const Workspace& ws, const RecordOrigins& origins,
                                 const Reference& ref) {
    RecordOrigins::Place p;
    switch (ref.table) {
        case TableKind::World:
            p = origins.place(TableKind::World, ws.world().find_room(ref.vnum), ref.vnum);
            break;
        case TableKind::Object:
            p = origins.place(TableKind::Object, ws.objects().find_object(ref.vnum), ref.vnum);
            break;
        case TableKind::Mobile:
            p = origins.place(TableKind::Mobile, ws.mobiles().find_mobile(ref.vnum), ref.vnum);
            break;
        case TableKind::Zone:
            p = origins.place(TableKind::Zone, ws.zones().find_zedit(ref.vnum), ref.vnum);
            p.line = ref.line;
            break;
    }
    Problem shown{p.file, p.line, ref.text};
    return shown.text();
}

}  // namespace zs
