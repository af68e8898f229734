// Saving one file of a kind per zone, all in one batch: "<zone>.new" written
// and flushed, then renamed to "<zone>.<extension>". Before a file is
// replaced that the zone's records were not loaded from, the builder is
// asked. A zone whose file was written has its modified mark cleared and
// stands for that file from then on; one that was not shows the kind's
// failure message with the file and the cause. Also the one way every save
// takes (save_zone_files): zones with records are written, and the files of
// zones the builder emptied are removed.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Saves zones of any kinds as one save. The file of each zone that holds
// records of its kind is written (file_kind(kind).write_zones). A zone that
// holds none was emptied by the builder: when the workspace loaded it from
// (or saved it to) its file in the area directory, that file goes, with its
// side file, once every file of the save was written; the zone then stands
// for no file. An empty zone with no such file gets none (a file of that
// name the zone was never loaded from stays). Either way the empty zone is
// no longer modified, unless its file could not go. Every file that could
// not be written or removed is shown; true when all was done. `group_ok`,
// when given, tells the same of each group.
bool save_zone_files(Workspace& ws, std::span<const KindZones> zones,
                     std::vector<bool>* group_ok = nullptr);
inline bool save_zone_files(Workspace& ws, TableKind kind, std::vector<int> zones) {
    KindZones one{kind, std::move(zones)};
    return save_zone_files(ws, std::span<const KindZones>(&one, 1));
}

// True when the zone stands for the file at `path`: the workspace loaded the
// zone's records of the kind from it, or saved them to it.
bool zone_stands_for(const Workspace& ws, TableKind kind, int zone,
                     const std::filesystem::path& path);

// True when the file may be replaced: nothing stands at its name, or it is
// the file the zone was loaded from or saved to, or the builder says Yes to
// replacing the records it holds.
bool may_replace_zone_file(Workspace& ws, TableKind kind, int zone, const std::string& file_name,
                           int records_now);

// A save failure's message: the kind's own headline, then the zone, the file
// and the cause.
std::string save_failure_text(std::string_view headline, int zone, const std::string& file_name,
                              const SaveError& error);

// `text_of(i)` gives the file text of zones[i]; `records_of(i)` how many
// records it holds. `failure_message(error)` is the headline for a file that
// could not be saved. True when every file was written.
template <class TextOf, class RecordsOf, class Headline>
bool save_zone_batch(Workspace& ws, TableKind kind, std::string_view extension,
                     const std::vector<int>& zones, TextOf text_of, RecordsOf records_of,
                     Headline failure_message) {
    SaveBatch batch(ws.area_dir());
    std::vector<int> tickets;
    std::vector<std::string> names;
    bool all_ok = true;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        std::string zone = std::to_string(zones[i]);
        names.push_back(zone + "." + std::string(extension));
        if (!may_replace_zone_file(ws, kind, zones[i], names.back(), records_of(i))) {
            tickets.push_back(-1);
            all_ok = false;
            continue;
        }
        tickets.push_back(batch.add(zone + ".new", names.back(), text_of(i)));
    }
    batch.commit();
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (tickets[i] < 0) continue;
        if (batch.saved(tickets[i])) {
            ws.modified().clear(kind, zones[i]);
            ws.zone_files().remember(kind, zones[i], ws.area_dir() / names[i]);
        } else {
            const SaveError& error = batch.error(tickets[i]);
            ws.ui().show_message(
                save_failure_text(failure_message(error), zones[i], names[i], error));
            all_ok = false;
        }
    }
    return all_ok;
}

// The zone numbers of a list of zones with their slots.
inline std::vector<int> zone_numbers(const ZoneSlots& zones) {
    std::vector<int> numbers;
    for (const auto& z : zones)
        numbers.push_back(z.first);
    return numbers;
}

}  // namespace zs
