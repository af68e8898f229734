#include "files/check_prototypes.h"

#include "world/object_fields.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

void check_prototype_fields(const Workspace& ws, const RecordOrigins& origins,
                            std::vector<Problem>& problems) {
    auto warn = [&](TableKind kind, int slot, int vnum, std::string message) {
        RecordOrigins::Place p = origins.place(kind, slot, vnum);
        problems.push_back({p.file, p.line, std::move(message), Severity::Warning, kind, vnum, -1});
    };
    const ObjectTable& objects = ws.objects();
    for (int s = 0; s < objects.count(); ++s) {
        const ObjectPrototype& o = objects.record(s);
        const int vnum = o.vnum;
        if (container_key_missing(o, objects))
            warn(TableKind::Object, s, vnum, container_key_warning(o));
        if (o.type == kItemWeapon && (o.values[1] == 0 || o.values[2] == 0))
            warn(TableKind::Object, s, vnum,
                 strfmt("object %d: the weapon has zero damage dice (%dd%d)", vnum, o.values[1],
                        o.values[2]));
    }
    const MobileTable& mobiles = ws.mobiles();
    for (int s = 0; s < mobiles.count(); ++s) {
        const MobilePrototype& m = mobiles.record(s);
        if (m.level == 0)
            warn(TableKind::Mobile, s, m.vnum, strfmt("mobile %d has level 0", m.vnum));
        if (m.hit_dice[0] == 0 || m.hit_dice[1] == 0)
            warn(TableKind::Mobile, s, m.vnum,
                 strfmt("mobile %d has zero hit dice (%dd%d+%d)", m.vnum, m.hit_dice[0],
                        m.hit_dice[1], m.hit_dice[2]));
    }
}

}  // namespace zs
