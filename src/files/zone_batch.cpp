#include "files/zone_batch.h"

#include <algorithm>
#include <system_error>

#include "files/file_kinds.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

// The records a file of rooms, objects or mobiles holds: its "#vnum" lines.
int records_in_file(const std::filesystem::path& path) {
    std::optional<std::string> data = read_file_bytes(path);
    return data ? record_lines(*data) : 0;
}

std::string counted(TableKind kind, int n) {
    const FileKind& k = file_kind(kind);
    return strfmt("%d %s", n, n != 1 ? k.records_noun : k.record_noun);
}

}  // namespace

ZoneSlots zones_to_save(const Workspace& ws, TableKind kind, ZoneSlots with_records) {
    for (int zone : ws.modified().zones(kind))
        if (zone >= 0 && !ws.has_zone(kind, zone)) with_records.push_back({zone, {}});
    return with_records;
}

bool may_replace_zone_file(Workspace& ws, TableKind kind, int zone, const std::string& file_name,
                           int records_now) {
    namespace fs = std::filesystem;
    fs::path path = ws.area_dir() / file_name;
    std::error_code ec;
    // Nothing there, or a link to nothing: no records can be lost.
    if (!fs::exists(path, ec)) return true;
    if (const fs::path* from = ws.zone_files().find(kind, zone))
        if (fs::equivalent(*from, path, ec) && !ec) return true;

    std::string what = kind == TableKind::Zone ? std::string("reset commands")
                                               : counted(kind, records_in_file(path));
    std::string now = kind == TableKind::Zone ? std::string("the zone's reset commands")
                                              : "the " + counted(kind, records_now);
    std::string question = strfmt(
        "%s already holds %s, and zone %d was not loaded from it.\r\n"
        "Saving would replace them with %s loaded now.\r\n\r\nReplace %s?",
        file_name.c_str(), what.c_str(), zone, now.c_str(), file_name.c_str());
    if (ws.ui().ask_yes_no(question, "Warning")) return true;
    ws.ui().show_status(strfmt("Zone %d not saved; %s kept.", zone, file_name.c_str()));
    return false;
}

std::string save_failure_text(std::string_view headline, int zone, const std::string& file_name,
                              const SaveError& error) {
    // Indexed by SaveError::Step.
    static constexpr const char* kStepWords[] = {"could not save",   "could not create",
                                                 "could not write",  "could not write to disk",
                                                 "could not rename", "could not remove"};
    const char* step = kStepWords[static_cast<int>(error.step)];
    std::string what = error.file.empty() ? file_name : error.file;
    if (error.step == SaveError::Step::Rename) what += " to " + file_name;
    return strfmt("%.*s\r\nZone %d, %s: %s %s: %s", static_cast<int>(headline.size()),
                  headline.data(), zone, file_name.c_str(), step, what.c_str(),
                  error.reason.c_str());
}

}  // namespace zs
