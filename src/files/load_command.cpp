#include "files/load_command.h"

#include "world/strfmt.h"

namespace zs {

bool load_area_file(Workspace& ws, const std::string& path) {
    const FileKind* kind = file_kind_of_path(path);
    if (!kind) {
        ws.ui().show_message("Zonesmith cannot load this kind of file: " + path);
        return false;
    }
    return load_file_of_kind(ws, area_kind(kind->table), path);
}

bool load_area_bytes(Workspace& ws, const std::string& path, std::string_view bytes) {
    const FileKind* kind = file_kind_of_path(path);
    if (!kind) {
        ws.ui().show_message("Zonesmith cannot load this kind of file: " + path);
        return false;
    }
    return load_bytes_of_kind(ws, area_kind(kind->table), path, bytes);
}

bool load_file_of_kind(Workspace& ws, const AreaKind& kind, const std::string& path) {
    if (refuse_loaded_zone(ws, kind.words(), zone_number_from_path(path))) return false;
    return load_file_of_unloaded_zone(ws, kind, path);
}

bool load_bytes_of_kind(Workspace& ws, const AreaKind& kind, const std::string& path,
                        std::string_view bytes) {
    if (refuse_loaded_zone(ws, kind.words(), zone_number_from_path(path))) return false;
    return kind.load_bytes(ws, path, bytes);
}

bool load_file_of_unloaded_zone(Workspace& ws, const AreaKind& kind, const std::string& path) {
    ReadFailure why;
    std::optional<std::string> data = read_file_bytes(path, &why);
    if (!data) {
        ws.ui().show_message(read_failure_text(why, path, kind.words().not_found));
        return false;
    }
    return kind.load_bytes(ws, path, *data);
}

bool refuse_loaded_zone(Workspace& ws, const FileKind& kind, int zone) {
    if (zone <= 0 || !ws.has_zone(kind.table, zone)) return false;
    ws.ui().show_message(strfmt(kind.already_loaded, zone));
    return true;
}

bool unload_zone_of_kind(Workspace& ws, TableKind table, int zone) {
    bool unloaded = area_kind(table).unload_zone(ws, zone);
    ws.modified().clear(table, zone);
    return unloaded;
}

}  // namespace zs
