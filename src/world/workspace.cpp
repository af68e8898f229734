#include "world/workspace.h"

namespace zs {

bool Workspace::has_zone(TableKind kind, int zone) const {
    switch (kind) {
        case TableKind::World:
            return world_.has_zone(zone);
        case TableKind::Zone:
            return zones_.find_zedit(zone) >= 0;
        case TableKind::Object:
            return objects_.has_zone(zone);
        case TableKind::Mobile:
            return mobiles_.has_zone(zone);
    }
    return false;
}

void Workspace::on_change(const Change& change) {
    // Zedits are known by their number; every other record by its vnum.
    auto zone_of_id = [&](int id) { return change.table == TableKind::Zone ? id : zone_of(id); };
    if (change.user_edit) {
        modified_.mark(change.table, zone_of_id(change.id));
        // A record given a number in another zone leaves its old zone changed too.
        if (change.previous_id != Change::kNoPreviousId)
            modified_.mark(change.table, zone_of_id(change.previous_id));
    } else if (change.kind == ChangeKind::Cleared) {
        for (int zone : zone_files_.zones(change.table))
            zone_files_.forget(change.table, zone);
    } else if (change.kind == ChangeKind::Removed) {
        // Unloading: a zone with no records left no longer stands for its
        // file. (Zones the builder emptied by deleting keep theirs.)
        int zone = zone_of_id(change.id);
        if (zone_files_.find(change.table, zone) && !has_zone(change.table, zone))
            zone_files_.forget(change.table, zone);
    }
    for (auto* o : observers_)
        o->workspace_changed(change);
}

}  // namespace zs
