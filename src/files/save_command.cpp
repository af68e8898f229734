#include "files/save_command.h"

#include <set>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "files/area_kind.h"
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
    return zones_to_save(ws, kind, area_kind(kind).zones_with_records(ws));
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

constexpr std::string_view kNothingSaved = "\r\nNothing was saved; every file is as it was.";

}  // namespace

namespace {

// The files of one kind that a save put into its change.
struct Staging {
    std::vector<std::pair<int, std::string>> files;  // each zone, with its file's name
    std::string failure;  // the message for a file that could not be written
};

// Puts the files of these zones, each of which holds records of the kind,
// into the change, each with its side file (written, or removed when it
// would be empty). Stops at the first file that cannot be written.
void stage_zones(Workspace& ws, const AreaKind& kind, AreaChange& change,
                 const std::vector<int>& zones, Staging& out) {
    const FileKind& words = kind.words();
    for (int zone : zones) {
        std::string name = zone_file_name(zone, words.extension);
        AreaKind::ZoneTexts written = kind.write_zone(ws, zone);
        show_diagnostics(ws.ui(), written.file.diagnostics);
        SaveError error;
        if (!change.write(name, written.file.bytes, &error)) {
            const char* headline = error.step == SaveError::Step::Create && words.create_error
                                       ? words.create_error
                                       : words.save_error;
            out.failure = save_failure_text(headline, zone, name, error);
            return;
        }
        if (words.side_extension) {
            std::string side_name = zone_file_name(zone, words.side_extension);
            if (written.side.empty()) {
                change.remove(side_name);
            } else if (!change.write(side_name, written.side, &error)) {
                out.failure = save_failure_text(words.side_save_error, zone, side_name, error);
                return;
            }
        }
        out.files.push_back({zone, name});
    }
}

}  // namespace

bool save_zone_files(Workspace& ws, std::span<const KindZones> groups, std::vector<bool>* group_ok,
                     WhenKept when_kept) {
    std::vector<bool> ok(groups.size(), true);
    auto done = [&](bool all) {
        if (!all) std::fill(ok.begin(), ok.end(), false);
        if (group_ok) *group_ok = ok;
        return std::find(ok.begin(), ok.end(), false) == ok.end();
    };
    struct Emptied {
        const FileKind* kind;
        int zone;
        std::size_t group;
    };
    std::vector<Emptied> emptied;  // the zones whose files go
    // First every question: whether a file the zone was not loaded from may
    // be replaced. The change holds up no other while the builder answers.
    std::vector<std::vector<int>> writing(groups.size());
    bool kept = false;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const KindZones& group = groups[g];
        const FileKind& kind = file_kind(group.kind);
        for (int zone : group.zones) {
            if (ws.has_zone(group.kind, zone)) {
                if (may_replace_zone_file(ws, group.kind, zone,
                                          zone_file_name(zone, kind.extension))) {
                    writing[g].push_back(zone);
                } else {
                    ok[g] = false;
                    kept = true;
                }
            } else if (zone_stands_for(ws, group.kind, zone,
                                       ws.area_dir() / zone_file_name(zone, kind.extension))) {
                emptied.push_back({&kind, zone, g});
            } else {
                ws.modified().clear(group.kind, zone);  // no file, and none to make
            }
        }
    }
    if (kept && when_kept == WhenKept::SaveNothing) {
        ws.ui().show_status("Nothing was saved; every file is as it was.");
        return done(false);
    }
    std::vector<Staging> staged(groups.size());
    AreaChange change(ws.area_dir(), ws.file_step_hook());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (writing[g].empty()) continue;
        stage_zones(ws, area_kind(groups[g].kind), change, writing[g], staged[g]);
        if (!staged[g].failure.empty()) {
            ws.ui().show_message(staged[g].failure + std::string(kNothingSaved));
            return done(false);
        }
    }
    if (kept && !emptied.empty()) {
        // The records may have gone to files that are not written: the
        // files they left stay, and their zones stay modified.
        std::string names;
        for (std::size_t i = 0; i < emptied.size(); ++i) {
            if (i > 0) names += i + 1 < emptied.size() ? ", " : " and ";
            names += zone_file_name(emptied[i].zone, emptied[i].kind->extension);
            ok[emptied[i].group] = false;
        }
        ws.ui().show_message(
            strfmt("Not every file was saved, so %s %s kept although %s now empty.", names.c_str(),
                   emptied.size() == 1 ? "was" : "were",
                   emptied.size() == 1 ? "its zone is" : "their zones are"));
        emptied.clear();
    }
    for (const Emptied& e : emptied) {
        // The side file first: it only makes sense beside its area file.
        if (e.kind->side_extension) change.remove(zone_file_name(e.zone, e.kind->side_extension));
        change.remove(zone_file_name(e.zone, e.kind->extension));
    }

    ChangeResult result = change.commit();
    if (!result.earlier.empty()) ws.ui().show_status(result.earlier);
    if (!result.made) {
        ws.ui().show_message("The save was not made: " + save_error_text(result.error) + "." +
                             std::string(kNothingSaved));
        return done(false);
    }
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (const auto& [zone, name] : staged[g].files) {
            ws.modified().clear(groups[g].kind, zone);
            ws.zone_files().remember(groups[g].kind, zone, ws.area_dir() / name);
        }
    for (const Emptied& e : emptied) {
        ws.modified().clear(e.kind->table, e.zone);
        ws.zone_files().forget(e.kind->table, e.zone);
    }
    if (!result.finished) {
        ws.ui().show_message("The save was made, but " + save_error_text(result.error) +
                             ".\r\nZonesmith finishes it when the area directory is next opened.");
        return done(false);
    }
    return done(true);
}

bool may_replace_zone_file(Workspace& ws, TableKind kind, int zone, const std::string& file_name) {
    namespace fs = std::filesystem;
    fs::path path = ws.area_dir() / file_name;
    std::error_code ec;
    // Nothing there, or a link to nothing: no records can be lost.
    if (!fs::exists(path, ec)) return true;
    if (zone_stands_for(ws, kind, zone, path)) return true;

    std::string what = kind == TableKind::Zone ? std::string("reset commands")
                                               : counted(kind, records_in_file(path));
    std::string now = kind == TableKind::Zone
                          ? std::string("the zone's reset commands")
                          : "the " + counted(kind, area_kind(kind).records_in_zone(ws, zone));
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
    return strfmt("%.*s\r\nZone %d, %s: %s", static_cast<int>(headline.size()), headline.data(),
                  zone, file_name.c_str(), save_error_text(error).c_str());
}

bool save_zone(Workspace& ws, TableKind kind, int zone) {
    const FileKind& words = file_kind(kind);
    if (words.no_zone_to_save && !ws.has_zone(kind, zone)) {
        ws.ui().show_message(words.no_zone_to_save);
        return false;
    }
    return save_zone_files(ws, kind, {zone});
}

bool save_current(Workspace& ws, TableKind kind) {
    const AreaKind& k = area_kind(kind);
    const FileKind& words = k.words();
    std::optional<int> zone = k.current_zone(ws);
    if (!zone) {
        ws.ui().show_status(words.nothing_selected);
        return false;
    }
    bool ok = save_zone(ws, kind, *zone);
    ws.ui().show_status(ok ? strfmt(words.current_saved, *zone)
                           : std::string(words.current_not_saved));
    return ok;
}

std::string zone_file_text(Workspace& ws, TableKind kind, int zone) {
    AreaKind::ZoneTexts written = area_kind(kind).write_zone(ws, zone);
    show_diagnostics(ws.ui(), written.file.diagnostics);
    return std::move(written.file.bytes);
}

}  // namespace zs
