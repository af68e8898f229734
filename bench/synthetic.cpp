#include "synthetic.h"

#include <unistd.h>

#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs::bench {

namespace {

constexpr int kZones = 327;
constexpr int kRoomsPerZone = 100;

Room synthetic_room(int vnum) {
    Room r = make_new_room(static_cast<Vnum>(vnum), zone_of(vnum));
    r.title = strfmt("A winding passage numbered %d", vnum);
    std::string description;
    for (int line = 0; line < 5; ++line)
        description += strfmt("Line %d of room %d: damp stone walls close in around you here,\r\n",
                              line, vnum);
    r.description = description;
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

ObjectPrototype synthetic_object(int vnum) {
    ObjectPrototype o = make_new_object(static_cast<Vnum>(vnum), zone_of(vnum));
    o.keywords = strfmt("sword blade steel%d", vnum);
    o.short_description = strfmt("a steel blade number %d", vnum);
    o.look_description =
        "The blade is long and straight, with a leather-wrapped grip.\r\n"
        "Someone has scratched a number into the crossguard.\r\n";
    o.type = 5;
    o.values = {0, 2, 6, 3, 0, 0};
    o.weight = 8;
    o.cost = 600;
    o.extra_descriptions.push_back({"grip leather", "The leather is worn smooth.\r\n"});
    o.extra_descriptions.push_back({"crossguard number", strfmt("It reads %d.\r\n", vnum)});
    o.affects.push_back({18, 2});
    o.affects.push_back({19, 1});
    return o;
}

MobilePrototype synthetic_mobile(int vnum) {
    MobilePrototype m = make_new_mobile(vnum, zone_of(vnum));
    m.keywords = strfmt("guard soldier g%d", vnum);
    m.short_description = strfmt("a town guard %d", vnum);
    m.long_description = "A town guard stands here, watching the street.\r\n";
    m.description = "The guard wears a dented helm and a faded tabard.\r\n";
    m.level = 10 + vnum % 20;
    m.hit_dice = {2, 8, 20};
    m.damage_dice = {1, 6, 3};
    for (int s = 0; s < 20; ++s)
        m.set_skill(s * 37 + vnum % 7, 40 + s);
    if (vnum % 3 == 0) {
        Conversation job{"job work", "I keep the peace in this town.", -1, -1, -1, 0, 0, 0, 0, {}};
        job.branches.push_back({"peace", "Somebody has to.", -1, -1, -1, 1, 0, 0, 0, {}});
        m.conversations.push_back(job);
        m.conversations.push_back({"hello", "Move along.", -1, -1, -1, 0, 0, 0, 0, {}});
    }
    return m;
}

Zedit synthetic_zedit(int zone) {
    Zedit z = make_new_zedit(zone);
    z.name = strfmt("Synthetic zone %d", zone);
    z.top = static_cast<std::int16_t>(zone * 100 + 99);
    z.lifespan = 30;
    z.reset_mode = 2;
    const char letters[] = "MOGEPD";
    for (int i = 0; i < 60; ++i) {
        Zcmd c;
        c.command = letters[i % 6];
        c.if_flag = i % 6 == 0 ? 0 : 1;
        c.arg = {zone * 100 + i % 30, 1, zone * 100 + i % 100, i % 6 == 5 ? 1 : 0, 0, 0};
        if (c.command == 'D') c.arg = {zone * 100 + i % 100, i % 4, 1, 0, 0, 0};
        z.commands.push_back(c);
    }
    return z;
}

void add_file(FileSet& set, const std::filesystem::path& path) {
    set.bytes += std::filesystem::file_size(path);
    set.paths.push_back(path.string());
}

}  // namespace

SyntheticWorld write_synthetic_world(const std::filesystem::path& dir) {
    SyntheticWorld w;
    w.dir = dir;
    NullUi ui;
    Workspace ws(ui);
    ws.set_area_dir(w.dir);
    TableLoad load(ws);  // the records as their files would give them
    for (int zone = 0; zone < kZones; ++zone) {
        load.world().reserve(zone);
        for (int i = 0; i < kRoomsPerZone; ++i)
            load.world().append(synthetic_room(zone * 100 + i));
        load.objects().reserve(zone);
        for (int i = 0; i < 50; ++i)
            load.objects().append(synthetic_object(zone * 100 + i));
        load.mobiles().reserve(zone);
        for (int i = 0; i < 30; ++i)
            load.mobiles().append(synthetic_mobile(zone * 100 + i));
        load.zones().append(synthetic_zedit(zone));
    }
    save_everything(ws);
    for (int zone = 0; zone < kZones; ++zone) {
        add_file(w.world, w.dir / strfmt("%d.wld", zone));
        add_file(w.objects, w.dir / strfmt("%d.obj", zone));
        add_file(w.mobiles, w.dir / strfmt("%d.mob", zone));
        add_file(w.zones, w.dir / strfmt("%d.zon", zone));
    }
    return w;
}

const SyntheticWorld& synthetic_world() {
    static const SyntheticWorld world = [] {
        auto dir = std::filesystem::temp_directory_path() /
                   ("zonesmith-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return write_synthetic_world(dir);
    }();
    return world;
}

}  // namespace zs::bench
