#include "generators/map_generator.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "generators/random.h"
#include "world/room.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

namespace {

constexpr int kReverse[kNumDirections] = {kSouth, kWest, kNorth, kEast, kDown, kUp};

// A "draw again until it fits" gives up after this many draws and takes the
// first that fits, so a run always ends. The walk's draws fit far more often
// than one in fifty, so a run practically never gets this far and a seed's
// map is the one the draws alone give.
constexpr int kMaxDraws = 1000;

// A cell as one hash key. The walk stays within 32768 steps of its start, so
// 21 bits per coordinate tell every cell it reaches apart.
std::uint64_t cell_key(int x, int y, int floor) {
    auto part = [](int v) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(v)) & 0x1FFFFF;
    };
    return part(x) << 42 | part(y) << 21 | part(floor);
}

bool has_free_horizontal(const PlannedRoom& r) {
    return std::any_of(r.exits.begin(), r.exits.begin() + 4, [](int e) { return e < 0; });
}

class Walk {
public:
    Walk(const MapRequest& request, Random& random) : request_(request), random_(random) {}

    std::optional<MapPlan> run(const MapProgress& report) {
        const int n = request_.rooms;
        const int base = request_.zone * 100;
        plan_.rooms.reserve(static_cast<std::size_t>(n));
        cells_.reserve(static_cast<std::size_t>(n) * 2);
        plan_.lowest_floor = plan_.highest_floor = kMapStart;
        add_room(base, kMapStart, kMapStart, kMapStart);
        int current = 0;
        int shown = -1;
        for (int i = 1; i < n;) {
            if (report.cancel && report.cancel->load(std::memory_order_relaxed))
                return std::nullopt;
            double done = static_cast<double>(i) / (n - 1);
            if (int percent = static_cast<int>(done * 100); percent != shown) {
                shown = percent;
                if (report.progress) report.progress(done);
            }
            int dir = choose_direction(plan_.rooms[current], request_.up_down);
            if (dir < 0) {
                current = restart_room();
                dir = choose_direction(plan_.rooms[current], false);
            }
            const PlannedRoom& from = plan_.rooms[current];
            int x = from.x, y = from.y, floor = from.floor;
            switch (dir) {
                case kNorth:
                    --y;
                    break;
                case kEast:
                    ++x;
                    break;
                case kSouth:
                    ++y;
                    break;
                case kWest:
                    --x;
                    break;
                case kUp:
                    plan_.highest_floor = std::max(plan_.highest_floor, ++floor);
                    break;
                default:
                    plan_.lowest_floor = std::min(plan_.lowest_floor, --floor);
                    break;
            }
            if (auto it = cells_.find(cell_key(x, y, floor)); it != cells_.end()) {
                // Only an exit more; the walk stays where it was.
                link(current, it->second, dir);
                continue;
            }
            int room = add_room(base + i, x, y, floor);
            link(current, room, dir);
            current = room;
            ++i;
        }
        return std::move(plan_);
    }

private:
    int add_room(int vnum, int x, int y, int floor) {
        int index = static_cast<int>(plan_.rooms.size());
        plan_.rooms.push_back({vnum, x, y, floor, {-1, -1, -1, -1, -1, -1}});
        cells_.emplace(cell_key(x, y, floor), index);
        return index;
    }

    void link(int from, int to, int dir) {
        plan_.rooms[from].exits[dir] = to;
        plan_.rooms[to].exits[kReverse[dir]] = from;
    }

    // A direction with no exit yet from `r`, or -1 when there is none.
    int choose_direction(const PlannedRoom& r, bool up_down) {
        std::array<bool, kNumDirections> blocked{false, false, false, false, !up_down, !up_down};
        if (up_down && request_.max_floors > 0 &&
            plan_.highest_floor - plan_.lowest_floor >= request_.max_floors - 1) {
            blocked[kUp] = r.floor >= plan_.highest_floor;
            blocked[kDown] = r.floor <= plan_.lowest_floor;
        }
        int first_free = -1;
        for (int d = 0; d < kNumDirections && first_free < 0; ++d)
            if (!blocked[d] && r.exits[d] < 0) first_free = d;
        if (first_free < 0) return -1;
        for (int draws = 0; draws < kMaxDraws; ++draws) {
            int d;
            if (!up_down || (blocked[kUp] && blocked[kDown])) {
                d = random_.between(0, 3);
            } else if (random_.between(1, 10) == 1) {
                d = random_.between(kUp, kDown);
                if (d == kUp && blocked[kUp])
                    d = kDown;
                else if (d == kDown && blocked[kDown])
                    d = kUp;
            } else {
                d = random_.between(0, 3);
            }
            if (r.exits[d] < 0) return d;
        }
        return first_free;
    }

    // A generated room with a free horizontal direction, drawn at random.
    // One always exists: the room farthest east has no exit east.
    int restart_room() {
        const int count = static_cast<int>(plan_.rooms.size());
        int index = 0;
        for (int draws = 0; draws < kMaxDraws; ++draws) {
            index = random_.between(0, count - 1);
            if (has_free_horizontal(plan_.rooms[index])) return index;
        }
        for (int k = 1; k <= count; ++k) {
            int next = (index + k) % count;
            if (has_free_horizontal(plan_.rooms[next])) return next;
        }
        return index;
    }

    const MapRequest& request_;
    Random& random_;
    MapPlan plan_;
    std::unordered_map<std::uint64_t, int> cells_;
};

}  // namespace

std::optional<std::string> map_request_problem(const MapRequest& r) {
    if (r.rooms <= 0) return strfmt("Number of Rooms is %d; at least 1 room is needed.", r.rooms);
    if (r.zone < 0) return strfmt("Starting Zone is %d; zone numbers start at 0.", r.zone);
    long long first = static_cast<long long>(r.zone) * 100;
    long long last = first + r.rooms - 1;
    if (last > kVnumMax) {
        if (first > kVnumMax)
            return strfmt("Zone %d starts at vnum %lld, past the last vnum, %d.", r.zone, first,
                          kVnumMax);
        return strfmt("%d rooms from zone %d need vnums %lld to %lld, past the last vnum, %d.",
                      r.rooms, r.zone, first, last, kVnumMax);
    }
    if (r.max_floors < 0)
        return strfmt("Max Floors is %d; it must be 0 (no limit) or more.", r.max_floors);
    if (r.title.size() > kMapTitleMax)
        return strfmt("Room Title has %zu characters; at most %zu are allowed.", r.title.size(),
                      kMapTitleMax);
    return std::nullopt;
}

std::vector<int> map_zones(const MapRequest& request) {
    std::vector<int> zones;
    if (request.rooms <= 0) return zones;
    for (int z = request.zone; z <= request.zone + (request.rooms - 1) / 100; ++z)
        zones.push_back(z);
    return zones;
}

std::optional<std::string> map_world_problem(const Workspace& ws, const MapRequest& request) {
    if (auto problem = map_request_problem(request)) return problem;
    const AreaFileAccess* files = ws.area_files();
    for (int zone : map_zones(request)) {
        const std::filesystem::path* file = ws.zone_files().find(TableKind::World, zone);
        if (ws.world().has_zone(zone)) {
            std::size_t rooms = slots_of_zone(ws.world(), zone).size();
            std::string said = strfmt("Zone already exists! Zone %d holds %zu room%s", zone, rooms,
                                      rooms == 1 ? "" : "s");
            if (file) said += ", loaded from " + file->filename().string();
            return said + ".";
        }
        // Rooms in a world file that is not loaded are rooms of the zone too:
        // saving the new ones would replace them.
        if (!file && files && files->zone_file_exists(TableKind::World, zone))
            return strfmt(
                "Zone already exists! Zone %d is not loaded, but its world file %d.wld is in the "
                "area directory.",
                zone, zone);
    }
    return std::nullopt;
}

std::optional<MapPlan> plan_map(const MapRequest& request, Random& random,
                                const MapProgress& report) {
    if (map_request_problem(request)) return std::nullopt;
    return Walk(request, random).run(report);
}

bool add_planned_map(Workspace& ws, const MapRequest& request, const MapPlan& plan) {
    std::optional<std::string> problem = map_world_problem(ws, request);
    if (!problem && plan.rooms.size() != static_cast<std::size_t>(request.rooms))
        problem = strfmt("The map planned has %zu rooms, not the %d asked for; nothing was added.",
                         plan.rooms.size(), request.rooms);
    if (problem) {
        ws.ui().show_message(*problem, {});
        return false;
    }
    const WorldTable& world = ws.world();
    const int first = request.zone * 100;
    {
        Transaction tx(ws,
                       strfmt("Generate Map of %d Rooms at Zone %d", request.rooms, request.zone));
        tx.focus(TableKind::World, first);
        // Every zone was found empty above; now their blocks are reserved.
        for (int zone : map_zones(request))
            tx.world().reserve_room_block(zone);
        for (const PlannedRoom& p : plan.rooms) {
            Room room = make_new_room(static_cast<Vnum>(p.vnum), zone_of(p.vnum));
            for (int d = 0; d < kNumDirections; ++d) {
                if (p.exits[d] < 0) continue;
                Exit exit;
                exit.destination = static_cast<Vnum>(plan.rooms[p.exits[d]].vnum);
                room.exits[d] = std::move(exit);
            }
            if (!request.title.empty()) room.title = request.title;
            // After the loaded rooms, in vnum order: no record moves.
            tx.world().append_new_room(std::move(room));
        }
        tx.commit();
    }
    world.select_slot(world.find_room(first));
    ws.ui().show_status(strfmt("Generated %d rooms, vnums %d to %d.", request.rooms, first,
                               first + request.rooms - 1));
    ws.request_redraw(true);
    return true;
}

MapResult generate_map(Workspace& ws, const MapRequest& request, Random& random,
                       const MapProgress& report) {
    if (auto problem = map_world_problem(ws, request)) {
        ws.ui().show_message(*problem, {});
        return MapResult::Refused;
    }
    std::optional<MapPlan> plan = plan_map(request, random, report);
    if (!plan) {
        ws.ui().show_status("Map generation cancelled; no room was added.");
        return MapResult::Cancelled;
    }
    return add_planned_map(ws, request, *plan) ? MapResult::Added : MapResult::Refused;
}

}  // namespace zs
