#include "synthetic.h"

#include <unistd.h>

#include "files/file_wld.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs::bench {

namespace {

constexpr int kZones = 327;
constexpr int kRoomsPerZone = 100;

Room synthetic_room(int vnum) {
    Room r = make_new_room(static_cast<Vnum>(vnum), zone_of(vnum));
    r.title = strfmt("A winding passage numbered %d", vnum);
    r.description.clear();
    for (int line = 0; line < 5; ++line)
        r.description += strfmt(
            "Line %d of room %d: damp stone walls close in around you here,\r\n", line, vnum);
    r.room_flags = static_cast<std::uint32_t>(vnum * 2654435761u) & 0x3FFFFu;
    r.sector = vnum % 10;
    // A grid of 181 x 181 over all vnums, exits both ways where a neighbour exists.
    const int side = 181;
    int x = vnum % side, y = vnum / side;
    auto link = [&](int dir, int nx, int ny) {
        int target = ny * side + nx;
        if (nx < 0 || ny < 0 || nx >= side || target >= kZones * kRoomsPerZone) target = vnum;
        Exit e;
        e.destination = static_cast<Vnum>(target);
        e.description = "You see more of the passage.\r\n";
        r.exits[dir] = e;
    };
    link(kNorth, x, y - 1);
    link(kEast, x + 1, y);
    link(kSouth, x, y + 1);
    link(kWest, x - 1, y);
    r.extra_descriptions.push_back({"walls stone", "The stone is slick with moisture.\r\n"});
    r.extra_descriptions.push_back({"floor", "Puddles gather in the worn floor.\r\n"});
    return r;
}

SyntheticWorld build() {
    SyntheticWorld w;
    w.dir =
        std::filesystem::temp_directory_path() / ("zonesmith-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(w.dir);
    std::filesystem::create_directories(w.dir);
    NullUi ui;
    Workspace ws(ui);
    ws.set_area_dir(w.dir);
    for (int zone = 0; zone < kZones; ++zone) {
        ws.world().reserve_room_block(zone);
        for (int i = 0; i < kRoomsPerZone; ++i)
            ws.world().append(synthetic_room(zone * 100 + i));
        save_world_file(ws, zone);
        std::string path = (w.dir / strfmt("%d.wld", zone)).string();
        w.world_bytes += std::filesystem::file_size(path);
        w.world_files.push_back(path);
    }
    return w;
}

}  // namespace

const SyntheticWorld& synthetic_world() {
    static const SyntheticWorld world = build();
    return world;
}

}  // namespace zs::bench
