#include "files/zone_batch.h"

#include <set>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

std::vector<int> zones_to_save(const Workspace& ws, TableKind kind, std::vector<int> with_records) {
    for (int zone : ws.modified().zones(kind))
        if (zone >= 0 && !ws.has_zone(kind, zone)) with_records.push_back(zone);
    return with_records;
}

std::vector<int> zones_to_save(const Workspace& ws, TableKind kind) {
    switch (kind) {
        case TableKind::World:
            return zones_to_save(ws, kind, zone_numbers(slots_by_zone(ws.world())));
        case TableKind::Object:
            return zones_to_save(ws, kind, zone_numbers(slots_by_zone(ws.objects())));
        case TableKind::Mobile:
            return zones_to_save(ws, kind, zone_numbers(slots_by_zone(ws.mobiles())));
        case TableKind::Zone:
            break;
    }
    // Each zone number once, in the order it first stands in the table.
    std::vector<int> numbers;
    std::set<int> seen;
    for (int s = 0; s < ws.zones().count(); ++s) {
        int number = ws.zones().zedit(s).number;
        if (number >= 0 && seen.insert(number).second) numbers.push_back(number);
    }
    return zones_to_save(ws, kind, std::move(numbers));
}

bool zone_stands_for(const Workspace& ws, TableKind kind, int zone,
                     const std::filesystem::path& path) {
    const std::filesystem::path* from = ws.zone_files().find(kind, zone);
    std::error_code ec;
    return from && std::filesystem::equivalent(*from, path, ec) && !ec;
}

namespace {

std::string zone_file_name(int zone, const char* extension) {
    return strfmt("%d.%s", zone, extension);
}

// Removes the files of a zone the builder emptied: the side file first, so
// that a failure leaves the area file, which still tells of the records.
bool remove_zone_files(Workspace& ws, const FileKind& kind, int zone) {
    std::vector<std::string> names;
    if (kind.side_extension) names.push_back(zone_file_name(zone, kind.side_extension));
    names.push_back(zone_file_name(zone, kind.extension));
    for (const std::string& name : names) {
        if (remove_file_if_present(ws.area_dir(), name)) continue;
        SaveError error{SaveError::Step::Remove, std::strerror(errno), name};
        ws.ui().show_message(save_failure_text(kind.save_error, zone, names.back(), error));
        return false;
    }
    ws.modified().clear(kind.table, zone);
    ws.zone_files().forget(kind.table, zone);
    return true;
}

}  // namespace

bool save_zone_files(Workspace& ws, std::span<const KindZones> groups,
                     std::vector<bool>* group_ok) {
    std::vector<bool> ok(groups.size(), true);
    struct Emptied {
        const FileKind* kind;
        int zone;
        std::size_t group;
    };
    std::vector<Emptied> emptied;  // the zones whose files go
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const KindZones& group = groups[g];
        const FileKind& kind = file_kind(group.kind);
        std::vector<int> with_records;
        for (int zone : group.zones) {
            if (ws.has_zone(group.kind, zone))
                with_records.push_back(zone);
            else if (zone_stands_for(ws, group.kind, zone,
                                     ws.area_dir() / zone_file_name(zone, kind.extension)))
                emptied.push_back({&kind, zone, g});
            else
                ws.modified().clear(group.kind, zone);  // no file, and none to make
        }
        if (!with_records.empty()) ok[g] = kind.write_zones(ws, with_records);
    }
    const bool written = std::find(ok.begin(), ok.end(), false) == ok.end();
    if (!written && !emptied.empty()) {
        // The records may have gone to files that were not written: the
        // files they left stay, and their zones stay modified.
        std::string kept;
        for (std::size_t i = 0; i < emptied.size(); ++i) {
            if (i > 0) kept += i + 1 < emptied.size() ? ", " : " and ";
            kept += zone_file_name(emptied[i].zone, emptied[i].kind->extension);
            ok[emptied[i].group] = false;
        }
        ws.ui().show_message(
            strfmt("Not every file was saved, so %s %s kept although %s now empty.", kept.c_str(),
                   emptied.size() == 1 ? "was" : "were",
                   emptied.size() == 1 ? "its zone is" : "their zones are"));
    } else {
        for (const Emptied& e : emptied)
            if (!remove_zone_files(ws, *e.kind, e.zone)) ok[e.group] = false;
    }
    if (group_ok) *group_ok = ok;
    return std::find(ok.begin(), ok.end(), false) == ok.end();
}

bool may_replace_zone_file(Workspace& ws, TableKind kind, int zone, const std::string& file_name,
                           int records_now) {
    namespace fs = std::filesystem;
    fs::path path = ws.area_dir() / file_name;
    std::error_code ec;
    // Nothing there, or a link to nothing: no records can be lost.
    if (!fs::exists(path, ec)) return true;
    if (zone_stands_for(ws, kind, zone, path)) return true;

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
