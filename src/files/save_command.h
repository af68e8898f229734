// The one save command of every area-file kind: one file of a kind per zone
// (written by the kind's writer, area_kind.h), every zone and kind of a save
// in one change of the area directory (area_change.h): the save's files all
// take their places and the files of zones the builder emptied go, or, when
// a file cannot be written, nothing on disk changes. Before a file is
// replaced that the zone's records were not loaded from, the builder is
// asked. A zone whose file was saved has its modified mark cleared and stands
// for that file from then on. This is the one way every save takes
// (save_zone_files); Save Current and the save of one zone go through it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/area_change.h"
#include "files/area_io.h"
#include "world/workspace.h"

namespace zs {

// The zones a save of a whole kind takes: every zone with records (given,
// in table order), then every changed zone that has no records left, so that
// deleting a zone's last record reaches the disk.
std::vector<int> zones_to_save(const Workspace& ws, TableKind kind, std::vector<int> with_records);
// The zones a save of every zone of the kind takes: those with records in
// the order their first record stands in the table, then the emptied ones.
std::vector<int> zones_to_save(const Workspace& ws, TableKind kind);

// The zones of one kind that a save takes.
struct KindZones {
    TableKind kind;
    std::vector<int> zones;
};

// What the builder's No to replacing a file does to the rest of a save: the
// editor saves the rest; the command-line tool, whose commands change files
// all or not at all, saves nothing.
enum class WhenKept { SaveTheRest, SaveNothing };

// Saves zones of any kinds as one change. The file of each zone that holds
// records of its kind is written (area_kind(kind).write_zone). A zone that
// holds none was emptied by the builder: when the workspace loaded it from
// (or saved it to) its file in the area directory, that file goes, with its
// side file, in the same change, unless the builder kept a file of the save;
// the zone then stands for no file. An empty zone with no such file gets none
// (a file of that name the zone was never loaded from stays). Either way the
// empty zone is no longer modified once the change is made. A file that
// cannot be written is shown, and nothing is saved; true when all was done.
// `group_ok`, when given, tells the same of each group.
bool save_zone_files(Workspace& ws, std::span<const KindZones> zones,
                     std::vector<bool>* group_ok = nullptr,
                     WhenKept when_kept = WhenKept::SaveTheRest);
inline bool save_zone_files(Workspace& ws, TableKind kind, std::vector<int> zones,
                            WhenKept when_kept = WhenKept::SaveTheRest) {
    KindZones one{kind, std::move(zones)};
    return save_zone_files(ws, std::span<const KindZones>(&one, 1), nullptr, when_kept);
}

// True when the zone stands for the file at `path`: the workspace loaded the
// zone's records of the kind from it, or saved them to it.
bool zone_stands_for(const Workspace& ws, TableKind kind, int zone,
                     const std::filesystem::path& path);

// True when the file may be replaced: nothing stands at its name, or it is
// the file the zone was loaded from or saved to, or the builder says Yes to
// replacing the records it holds.
bool may_replace_zone_file(Workspace& ws, TableKind kind, int zone, const std::string& file_name);

// A save failure's message: the kind's own headline, then the zone, the file
// and the cause.
std::string save_failure_text(std::string_view headline, int zone, const std::string& file_name,
                              const SaveError& error);

// Saves one zone of a kind (save_zone_files). A kind with no file for a
// zone without records (zedits) refuses with its box.
bool save_zone(Workspace& ws, TableKind kind, int zone);

// Save Current: the zone of the kind's current record, with the kind's
// status after it.
bool save_current(Workspace& ws, TableKind kind);

// The file text of a zone's records of the kind, as a save writes it; what
// the writer tells of is shown.
std::string zone_file_text(Workspace& ws, TableKind kind, int zone);

}  // namespace zs
