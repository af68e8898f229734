#include "files/area_files.h"

#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "world/workspace.h"

namespace zs {

AreaFileKind area_file_kind(const std::string& path) {
    if (path.size() < 3) return AreaFileKind::Unknown;
    switch (path[path.size() - 3]) {
        case 'w':
            return AreaFileKind::World;
        case 'o':
            return AreaFileKind::Object;
        case 'm':
            return AreaFileKind::Mobile;
        case 'z':
            return AreaFileKind::Zone;
        default:
            return AreaFileKind::Unknown;
    }
}

bool load_area_file(Workspace& ws, const std::string& path) {
    switch (area_file_kind(path)) {
        case AreaFileKind::World:
            return load_world_file(ws, path);
        case AreaFileKind::Object:
            return load_objects(ws, path);
        case AreaFileKind::Mobile:
            return load_mobiles(ws, path);
        case AreaFileKind::Zone:
            return load_zone_file(ws, path);
        default:
            ws.ui().show_message("Zonesmith cannot load this kind of file: " + path);
            return false;
    }
}

bool save_everything(Workspace& ws) {
    bool ok = save_all_worlds(ws);
    ok = save_all_objects(ws) && ok;
    ok = save_all_mobiles(ws) && ok;
    ok = save_all_zedits(ws) && ok;
    return ok;
}

}  // namespace zs
