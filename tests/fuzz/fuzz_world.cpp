// Feeds arbitrary bytes to the world reader in every room layout and to the
// layout-file reader. Whatever the current reader accepts must save and load
// again into the same rooms, and save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "files/file_wld.h"
#include "files/fileold_wld.h"
#include "world/text.h"
#include "world/workspace.h"

namespace {

zs::Room as_saved(zs::Room r) {
    if (r.title.empty()) r.title = "Untitled";
    if (r.description.empty()) r.description = "Empty room.";
    if (r.extra_text.empty()) r.extra_text = "none";
    return r;
}

std::set<int> zones_of(const zs::Workspace& ws) {
    std::set<int> zones;
    for (int s = 0; s < ws.world().count(); ++s)
        zones.insert(ws.world().room(s).zone);
    return zones;
}

std::string all_zones_text(const zs::Workspace& ws) {
    std::string text;
    for (int zone : zones_of(ws))
        text += zs::world_file_text(ws, zone);
    return text;
}

void check_round_trip(const zs::Workspace& first) {
    zs::NullUi ui;
    zs::Workspace second(ui);
    for (int zone : zones_of(first)) {
        std::string text = zs::world_file_text(first, zone);
        zs::TextReader reader(text);
        if (!zs::parse_world(second, reader, zs::kCurrentWorldLayout, true)) std::abort();
    }
    if (second.world().count() != first.world().count()) std::abort();
    for (int s = 0; s < first.world().count(); ++s) {
        const zs::Room& r = first.world().room(s);
        const zs::Room* again = second.world().find_room_record(r.vnum);
        if (!again) std::abort();
        // Duplicate vnums come back in file order; compare only the first.
        if (first.world().find_room(r.vnum) == s && !as_saved(r).same_record(*again)) std::abort();
    }
    if (all_zones_text(second) != all_zones_text(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zs::NullUi ui;
    {
        zs::Workspace ws(ui);
        zs::TextReader reader(bytes);
        if (zs::parse_world(ws, reader, zs::kCurrentWorldLayout, true)) check_round_trip(ws);
        zs::apply_layout_text(ws, bytes);
    }
    for (const auto& layout : zs::kLegacyWorldLayouts) {
        zs::Workspace ws(ui);
        zs::TextReader reader(bytes);
        if (zs::parse_world(ws, reader, layout, false)) check_round_trip(ws);
    }
    return 0;
}
