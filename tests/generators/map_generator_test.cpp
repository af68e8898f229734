// The map generator: the shape of what a seeded walk makes, the requests it
// refuses before anything changes, its independence of other loaded zones,
// and its run as one undoable step.
#include "generators/map_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <tuple>

#include "files/area_files.h"
#include "files/check.h"
#include "generators/random.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

constexpr int kDx[kNumDirections] = {0, 1, 0, -1, 0, 0};
constexpr int kDy[kNumDirections] = {-1, 0, 1, 0, 0, 0};
constexpr int kDf[kNumDirections] = {0, 0, 0, 0, 1, -1};
constexpr int kBack[kNumDirections] = {2, 3, 0, 1, 5, 4};

MapRequest request(int rooms, int zone, int max_floors = 0, bool up_down = false) {
    MapRequest r;
    r.rooms = rooms;
    r.zone = zone;
    r.max_floors = max_floors;
    r.up_down = up_down;
    return r;
}

// The rooms of a zone range as (vnum, direction, destination) triples.
std::set<std::tuple<int, int, int>> exits_of(const Workspace& ws, int first, int last) {
    std::set<std::tuple<int, int, int>> out;
    for (int s = 0; s < ws.world().count(); ++s) {
        const Room& r = ws.world().room(s);
        if (r.vnum < first || r.vnum > last) continue;
        for (int d = 0; d < kNumDirections; ++d)
            if (r.exits[d]) out.insert({r.vnum, d, r.exits[d]->destination});
    }
    return out;
}

TEST(MapGenerator, SeededMapsKeepTheirInvariants) {
    struct Case {
        MapRequest req;
        std::uint64_t seed;
    };
    for (const Case& c :
         {Case{request(1, 12), 3}, Case{request(250, 30), 1}, Case{request(600, 5, 0, true), 7},
          Case{request(400, 8, 1, true), 11}, Case{request(400, 8, 2, true), 13},
          Case{request(3000, 0, 3, true), 17}}) {
        SCOPED_TRACE(testing::Message() << c.req.rooms << " rooms, seed " << c.seed);
        Random random(c.seed);
        std::optional<MapPlan> plan = plan_map(c.req, random);
        ASSERT_TRUE(plan);
        const auto& rooms = plan->rooms;
        ASSERT_EQ(rooms.size(), static_cast<std::size_t>(c.req.rooms));
        std::set<std::tuple<int, int, int>> cells;
        int low = rooms[0].floor, high = rooms[0].floor;
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            const PlannedRoom& r = rooms[i];
            EXPECT_EQ(r.vnum, c.req.zone * 100 + static_cast<int>(i));
            EXPECT_TRUE(cells.insert({r.x, r.y, r.floor}).second) << "two rooms on a cell";
            low = std::min(low, r.floor);
            high = std::max(high, r.floor);
            for (int d = 0; d < kNumDirections; ++d) {
                if (r.exits[d] < 0) continue;
                const PlannedRoom& to = rooms[r.exits[d]];
                EXPECT_EQ(std::tie(to.x, to.y, to.floor),
                          std::make_tuple(r.x + kDx[d], r.y + kDy[d], r.floor + kDf[d]))
                    << r.vnum << " to " << to.vnum;
                EXPECT_EQ(to.exits[kBack[d]], static_cast<int>(i)) << "one-way exit";
            }
        }
        if (!c.req.up_down) {
            EXPECT_EQ(low, high);
        }
        if (c.req.max_floors > 0) {
            EXPECT_LE(high - low, c.req.max_floors - 1);
        }

        // The world gets the same rooms and exits from the same seed.
        test::FakeUi ui;
        Workspace ws(ui);
        Random again(c.seed);
        ASSERT_EQ(generate_map(ws, c.req, again), MapResult::Added);
        ASSERT_EQ(ws.world().count(), c.req.rooms);
        std::set<std::tuple<int, int, int>> planned;
        for (const PlannedRoom& r : rooms)
            for (int d = 0; d < kNumDirections; ++d)
                if (r.exits[d] >= 0) planned.insert({r.vnum, d, rooms[r.exits[d]].vnum});
        EXPECT_EQ(exits_of(ws, 0, kVnumMax), planned);
        for (int s = 0; s < ws.world().count(); ++s)
            EXPECT_EQ(ws.world().room(s).zone, zone_of(ws.world().room(s).vnum));
        EXPECT_TRUE(check_areas(ws, RecordOrigins{}).empty());
    }
}

TEST(MapGenerator, ASmallMapIsPinnedBySeed) {
    Random random(1700000000);
    std::optional<MapPlan> plan = plan_map(request(6, 1, 0, true), random);
    ASSERT_TRUE(plan);
    std::string got;
    for (const PlannedRoom& r : plan->rooms)
        got += std::to_string(r.vnum) + "@" + std::to_string(r.x - kMapStart) + "," +
               std::to_string(r.y - kMapStart) + "," + std::to_string(r.floor - kMapStart) + " ";
    EXPECT_EQ(got, "100@0,0,0 101@-1,0,0 102@-1,1,0 103@-1,2,0 104@-1,3,0 105@0,3,0 ");
}

TEST(MapGenerator, RefusesBadRequestsBeforeAnythingChanges) {
    struct Case {
        MapRequest req;
        std::string message;
    };
    MapRequest long_title = request(5, 12);
    long_title.title = std::string(256, 'x');
    for (const Case& c :
         {Case{request(0, 12), "Number of Rooms is 0; at least 1 room is needed."},
          Case{request(-4, 12), "Number of Rooms is -4; at least 1 room is needed."},
          Case{request(5, -1), "Starting Zone is -1; zone numbers start at 0."},
          Case{request(100, 327),
               "100 rooms from zone 327 need vnums 32700 to 32799, past the last vnum, 32767."},
          Case{request(1, 400), "Zone 400 starts at vnum 40000, past the last vnum, 32767."},
          Case{request(5, 12, -1, true), "Max Floors is -1; it must be 0 (no limit) or more."},
          Case{long_title, "Room Title has 256 characters; at most 255 are allowed."},
          // Zone 32 already has a room: not even zone 30's block is taken.
          Case{request(250, 30), "Zone already exists! Zone 32 holds 1 room."}}) {
        test::FakeUi ui;
        Workspace ws(ui);
        TableLoad(ws).world().append(test::room_with_exits(3250, {}));
        int blocks = ws.world().block_count();
        Random random(1);
        EXPECT_EQ(generate_map(ws, c.req, random), MapResult::Refused);
        EXPECT_EQ(ui.message_texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ws.world().count(), 1);
        EXPECT_EQ(ws.world().block_count(), blocks);
        EXPECT_EQ(ws.undo_text(), "Undo");
    }
}

TEST(MapGenerator, RefusesAZoneWhoseWorldFileIsNotLoaded) {
    test::FakeUi ui;
    Workspace ws(ui);
    test::ScratchDir dir;
    ws.set_area_dir(dir.path());
    attach_area_files(ws);  // as the window does
    dir.write("30.wld", test::test_data_bytes("zone30/30.wld"));
    Random random(1);
    EXPECT_EQ(generate_map(ws, request(150, 29), random), MapResult::Refused);
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Zone already exists! Zone 30 is not loaded, but its world "
                                       "file 30.wld is in the area directory."});
    // Loaded, and its rooms deleted by the builder: the file is the zone's own.
    ASSERT_TRUE(load_area_file(ws, dir.file("30.wld")));
    test::Step(ws).world().delete_zone_rooms(30);
    EXPECT_EQ(generate_map(ws, request(150, 29), random), MapResult::Added);
}

TEST(MapGenerator, OtherLoadedZonesDoNotChangeWhatASeedMakes) {
    test::FakeUi ui;
    Workspace empty(ui);
    Random first(99);
    ASSERT_EQ(generate_map(empty, request(300, 40, 0, true), first), MapResult::Added);

    Workspace busy(ui);
    for (int v = 4300; v < 4320; ++v)
        TableLoad(busy).world().append(test::room_with_exits(v, {{kEast, v + 1}, {kUp, 4000}}));
    busy.world().select_slot(5);
    Random second(99);
    ASSERT_EQ(generate_map(busy, request(300, 40, 0, true), second), MapResult::Added);
    EXPECT_EQ(exits_of(busy, 4000, 4299), exits_of(empty, 4000, 4299));
    EXPECT_EQ(busy.world().count(), 320);
}

TEST(MapGenerator, OneRunIsOneStepThatUndoTakesBack) {
    test::FakeUi ui;
    Workspace ws(ui);
    MapRequest req = request(150, 20);
    req.title = "A maze";
    Random random(5);
    ASSERT_EQ(generate_map(ws, req, random), MapResult::Added);
    EXPECT_EQ(ws.undo_text(), "Undo Generate Map of 150 Rooms at Zone 20");
    EXPECT_EQ(std::string(ws.world().room(0).title.view()), "A maze");
    EXPECT_EQ(ws.world().selected_room()->vnum, 2000);
    test::Tables made = test::tables_of(ws);
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_FALSE(ws.modified().any());
    ASSERT_TRUE(ws.redo());
    EXPECT_TRUE(test::same_tables(test::tables_of(ws), made));
}

TEST(MapGenerator, CancelStopsTheWalkAndProgressReachesTheEnd) {
    std::atomic<bool> cancel{false};
    std::vector<double> seen;
    MapProgress report{[&](double f) {
                           seen.push_back(f);
                           if (f >= 0.5) cancel = true;
                       },
                       &cancel};
    test::FakeUi ui;
    Workspace ws(ui);
    Random random(2);
    EXPECT_EQ(generate_map(ws, request(1000, 10), random, report), MapResult::Cancelled);
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(ws.undo_text(), "Undo");

    seen.clear();
    cancel = false;
    report.progress = [&](double f) { seen.push_back(f); };
    ASSERT_EQ(generate_map(ws, request(1000, 10), random, report), MapResult::Added);
    EXPECT_EQ(seen.size(), 101u);  // once per whole percentage
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
}

}  // namespace
}  // namespace zs
