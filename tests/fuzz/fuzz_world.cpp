// Feeds arbitrary bytes to the world reader in every room layout and to the
// layout-file reader. Whatever the current reader accepts must save and load
// again into the same rooms, and save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "files/file_wld.h"
#include "files/fileold_wld.h"

namespace {

zs::Room as_saved(zs::Room r) {
    if (r.title.empty()) r.title = "Untitled";
    if (r.description.empty()) r.description = "Empty room.";
    if (r.extra_text.empty()) r.extra_text = "none";
    return r;
}

std::set<int> zones_of(const zs::WorldTable& world) {
    std::set<int> zones;
    for (int s = 0; s < world.count(); ++s)
        zones.insert(world.room(s).zone);
    return zones;
}

std::string all_zones_text(const zs::WorldTable& world) {
    std::string text;
    for (int zone : zones_of(world))
        text += zs::write_world(world, zs::slots_of_zone(world, zone)).bytes;
    return text;
}

void adopt(zs::WorldTable& table, std::vector<zs::Room>& rooms) {
    for (auto& r : rooms)
        zs::TableLoading(table).append(std::move(r));
}

void check_round_trip(const zs::WorldTable& first) {
    zs::WorldTable second;
    for (int zone : zones_of(first)) {
        std::string text = zs::write_world(first, zs::slots_of_zone(first, zone)).bytes;
        auto read = zs::read_world(text, "");
        if (!read.ok) std::abort();
        adopt(second, read.records);
    }
    if (second.count() != first.count()) std::abort();
    for (int s = 0; s < first.count(); ++s) {
        const zs::Room& r = first.room(s);
        const zs::Room* again = second.find_room_record(r.vnum);
        if (!again) std::abort();
        // Duplicate vnums come back in file order; compare only the first.
        if (first.find_room(r.vnum) == s && !(as_saved(r) == *again)) std::abort();
    }
    if (all_zones_text(second) != all_zones_text(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read = zs::read_world(bytes, "");
    if (read.ok) {
        zs::WorldTable world;
        adopt(world, read.records);
        check_round_trip(world);
    }
    // The colour file's reader takes only what the map can show.
    for (const auto& c : zs::read_room_colours(bytes))
        if (c.colour < 0 || c.colour >= zs::kRoomColours) std::abort();
    for (const auto& layout : zs::kLegacyWorldLayouts) {
        auto older = zs::read_world_layout(bytes, "", layout, false);
        if (!older.ok) continue;
        zs::WorldTable world;
        adopt(world, older.records);
        check_round_trip(world);
    }
    return 0;
}
