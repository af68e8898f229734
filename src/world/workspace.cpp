#include "world/workspace.h"

namespace zs {

void Workspace::on_change(const Change& change) {
    if (change.user_edit) {
        // Zedits are known by their number; every other record by its vnum.
        int zone = change.table == TableKind::Zone ? change.id : zone_of(change.id);
        modified_.mark(change.table, zone);
    }
    for (auto* o : observers_)
        o->workspace_changed(change);
}

}  // namespace zs
