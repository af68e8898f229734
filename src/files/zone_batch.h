// Saving one file of a kind per zone, all in one batch: "<zone>.new" written
// and flushed, then renamed to "<zone>.<extension>". A zone whose file was
// written has its modified mark cleared; one that was not shows the kind's
// failure message, if it has one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/area_io.h"
#include "world/workspace.h"

namespace zs {

// `text_of(i)` gives the file text of zones[i]. True when every file was written.
template <class TextOf>
bool save_zone_batch(Workspace& ws, TableKind kind, std::string_view extension,
                     const std::vector<int>& zones, TextOf text_of,
                     std::string_view failure_message = {}) {
    SaveBatch batch(ws.area_dir());
    std::vector<int> tickets;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        std::string zone = std::to_string(zones[i]);
        tickets.push_back(
            batch.add(zone + ".new", zone + "." + std::string(extension), text_of(i)));
    }
    batch.commit();
    bool all_ok = true;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (batch.saved(tickets[i])) {
            ws.modified().clear(kind, zones[i]);
        } else {
            if (!failure_message.empty()) ws.ui().show_message(failure_message);
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
