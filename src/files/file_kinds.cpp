#include "files/file_kinds.h"

#include "files/area_io.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

namespace {

const FileKind kFileKinds[] = {
    {TableKind::World,
     EditorKind::Room,
     "wld",
     "wld_zs",
     "Quor world files (*.wld)",
     "*.wld",
     "LastR:",
     "Wld file not found.",
     "Zone %d is already loaded.",
     "There was an error loading the world file.",
     "",
     "Zone failed to load.  Would you like to attempt to load\r\n"
     "the zone in an older world format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "room",
     "rooms",
     "Error saving zone file.",
     "All zones saved to file.",
     "Error, not all zones saved.",
     load_world_bytes,
     save_current_world,
     stage_world_files,
     [](const Workspace& ws, int slot) { return static_cast<int>(ws.world().room(slot).vnum); },
     [](const Workspace& ws) { return ws.world().count(); }},
    {TableKind::Object,
     EditorKind::Object,
     "obj",
     nullptr,
     "Quor object files (*.obj)",
     "*.obj",
     "LastO:",
     "Obj file not found.",
     "Objs for zone %d already loaded.",
     "There was an error loading the obj file.",
     "Error loading obj file.",
     "Objs failed to load.  Would you like to attempt to load\r\n"
     "the objs in an older object format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "object",
     "objects",
     "Error saving object file.",
     "All objects saved to file.",
     "Error, not all objects saved.",
     load_object_bytes,
     save_current_objects,
     stage_object_files,
     [](const Workspace& ws, int slot) { return static_cast<int>(ws.objects().record(slot).vnum); },
     [](const Workspace& ws) { return ws.objects().count(); }},
    {TableKind::Mobile,
     EditorKind::Mobile,
     "mob",
     nullptr,
     "Quor mobile files (*.mob)",
     "*.mob",
     "LastM:",
     "Mob file not found.",
     "Mobs for zone %d already loaded.",
     "There was an error loading the mob file.",
     "Error loading mob file.",
     "Mobs failed to load.  Would you like to attempt to load\r\n"
     "the mobs in an older mobile format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     "Conversion successful.  Please save the mob file immediately\r\n"
     "so that the file is in the correct format.",
     "mobile",
     "mobiles",
     "Error saving mobile file.",
     "All mobiles saved to file.",
     "Error, not all mobiles saved.",
     load_mobile_bytes,
     save_current_mobiles,
     stage_mobile_files,
     [](const Workspace& ws, int slot) { return static_cast<int>(ws.mobiles().record(slot).vnum); },
     [](const Workspace& ws) { return ws.mobiles().count(); }},
    {TableKind::Zone,
     EditorKind::Zone,
     "zon",
     nullptr,
     "Quor zone files (*.zon)",
     "*.zon",
     "LastZ:",
     "Zone file not found.",
     "Zone %d already loaded.",
     "There was an error loading the zone file.",
     "Error loading zone file.",
     "Zedit failed to load.  Would you like to attempt to load\r\n"
     "the zedit in an older zone format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "zone",
     "zones",
     "Error saving zedit file.",
     "All zedits saved to file.",
     "Error, not all zedits saved.",
     load_zone_bytes,
     save_current_zedit,
     stage_zedit_files,
     [](const Workspace& ws, int slot) { return static_cast<int>(ws.zones().zedit(slot).number); },
     [](const Workspace& ws) { return ws.zones().count(); }},
};

}  // namespace

bool FileKind::load(Workspace& ws, const std::string& path) const {
    if (refuse_loaded_zone(ws, *this, zone_number_from_path(path))) return false;
    ReadFailure why;
    std::optional<std::string> data = read_file_bytes(path, &why);
    if (!data) {
        ws.ui().show_message(read_failure_text(why, path, not_found));
        return false;
    }
    return load_bytes(ws, path, *data);
}

bool refuse_loaded_zone(Workspace& ws, const FileKind& kind, int zone) {
    if (zone <= 0 || !ws.has_zone(kind.table, zone)) return false;
    ws.ui().show_message(strfmt(kind.already_loaded, zone));
    return true;
}

std::span<const FileKind> file_kinds() {
    return kFileKinds;
}

const FileKind& file_kind(TableKind table) {
    for (const auto& k : kFileKinds)
        if (k.table == table) return k;
    return kFileKinds[0];
}

const FileKind& file_kind(EditorKind editor) {
    for (const auto& k : kFileKinds)
        if (k.editor == editor) return k;
    return kFileKinds[0];
}

const FileKind* file_kind_of_path(std::string_view path) {
    if (path.size() < 3) return nullptr;
    for (const auto& k : kFileKinds)
        if (path[path.size() - 3] == k.extension[0]) return &k;
    return nullptr;
}

}  // namespace zs
