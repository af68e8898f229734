#include "files/area_files.h"

#include "files/file_wld.h"
#include "world/workspace.h"

namespace zs {

AreaFileKind area_file_kind(const std::string& path) {
    if (path.size() < 3) return AreaFileKind::Unknown;
    switch (path[path.size() - 3]) {
        case 'w': return AreaFileKind::World;
        case 'o': return AreaFileKind::Object;
        case 'm': return AreaFileKind::Mobile;
        case 'z': return AreaFileKind::Zone;
        default: return AreaFileKind::Unknown;
    }
}

bool load_area_file(Workspace& ws, const std::string& path) {
    switch (area_file_kind(path)) {
        case AreaFileKind::World: return load_world_file(ws, path);
        default:
            ws.ui().show_message("Zonesmith cannot load this kind of file: " + path);
            return false;
    }
}

bool save_everything(Workspace& ws) { return save_all_worlds(ws); }

}  // namespace zs
