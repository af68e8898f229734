#include "world/world_table.h"

#include <gtest/gtest.h>

#include <random>

#include "support/fake_ui.h"
#include "support/step.h"
#include "world/mobile.h"
#include "world/workspace.h"

namespace zs {
namespace {

Room room_with_exits(Vnum vnum, std::initializer_list<std::pair<int, Vnum>> exits) {
    Room r = make_new_room(vnum, zone_of(vnum));
    for (auto [dir, to] : exits) {
        Exit e;
        e.destination = to;
        r.exits[dir] = e;
    }
    return r;
}

std::vector<int> vnums_in_order(const WorldTable& t) {
    std::vector<int> v;
    for (int s = 0; s < t.count(); ++s)
        v.push_back(t.room(s).vnum);
    return v;
}

class WorldTableTest : public ::testing::Test {
protected:
    test::FakeUi ui;
    Workspace ws{ui};
    const WorldTable& world = ws.world();
    TableLoading<WorldTable> load = TableLoad(ws).world();
};

TEST_F(WorldTableTest, CreateRoomKeepsZoneOrderAndTheSelection) {
    load.reserve(31);
    load.append(make_new_room(3105, 31));
    load.append(make_new_room(3110, 31));
    load.reserve(32);
    load.append(make_new_room(3200, 32));
    world.select_slot(world.find_room(3200));

    test::Step(ws).world().create_room(3107, 31);  // after the nearest lower vnum of its zone
    EXPECT_EQ(vnums_in_order(world), (std::vector<int>{3105, 3107, 3110, 3200}));
    test::Step(ws).world().create_room(3101, 31);  // lower than every room of its zone: slot 0
    EXPECT_EQ(vnums_in_order(world), (std::vector<int>{3101, 3105, 3107, 3110, 3200}));
    ASSERT_NE(world.selected_room(), nullptr);
    EXPECT_EQ(world.selected_room()->vnum, 3200);
    EXPECT_EQ(world.find_room(3110), 3);
    EXPECT_EQ(world.room(1).title, "An unfinished room");
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 32));
}

TEST_F(WorldTableTest, LookupsOfNumbersBeyondSixteenBitsFindNothing) {
    load.append(make_new_room(100, 1));
    for (int v : {32768, -32769, 2147483647, -2147483647 - 1})
        EXPECT_EQ(world.find_room(v), -1) << v;
}

TEST_F(WorldTableTest, ReserveRefusesAZoneThatIsAlreadyThere) {
    EXPECT_TRUE(load.reserve(5));
    load.append(make_new_room(500, 5));
    EXPECT_FALSE(load.reserve(5));
    EXPECT_EQ(world.block_count(), 1);
    EXPECT_TRUE(world.has_zone(5));
    EXPECT_FALSE(world.has_zone(6));
}

TEST_F(WorldTableTest, DeletingTheSelectedRoomSelectsTheFirstLoadedExitTarget) {
    load.append(room_with_exits(100, {{kNorth, 999}, {kEast, 0}, {kSouth, 102}, {kUp, 101}}));
    load.append(room_with_exits(101, {{kDown, 100}}));
    load.append(room_with_exits(102, {{kNorth, 100}}));
    world.select_slot(0);
    // North leads nowhere loaded and east to 0; south (102) comes before up (101).
    test::Step(ws).world().delete_room(100);
    ASSERT_NE(world.selected_room(), nullptr);
    EXPECT_EQ(world.selected_room()->vnum, 102);
    EXPECT_FALSE(world.room(world.find_room(102)).exits[kNorth].has_value());
    EXPECT_FALSE(world.room(world.find_room(101)).exits[kDown].has_value());

    load.append(make_new_room(150, 1));
    world.select_slot(world.find_room(150));
    test::Step(ws).world().delete_room(150);  // no exits: nothing selected
    EXPECT_EQ(world.selected_room(), nullptr);
    EXPECT_EQ(world.find_room(150), -1);
}

TEST_F(WorldTableTest, UnloadKeepsIncomingExitsAndDeleteRemovesThem) {
    for (int zone : {30, 31}) {
        load.reserve(zone);
        load.append(room_with_exits(static_cast<Vnum>(zone * 100), {{kEast, 3100}}));
        load.append(room_with_exits(static_cast<Vnum>(zone * 100 + 1), {{kWest, 3000}}));
    }
    load.unload(31);
    EXPECT_EQ(vnums_in_order(world), (std::vector<int>{3000, 3001}));
    EXPECT_TRUE(world.room(0).exits[kEast].has_value());
    EXPECT_EQ(world.block_count(), 1);
    EXPECT_FALSE(ws.modified().any());

    load.reserve(31);
    load.append(room_with_exits(3100, {}));
    test::Step(ws).world().delete_zone_rooms(31);
    EXPECT_FALSE(world.room(0).exits[kEast].has_value());
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 30));
    ASSERT_NE(world.selected_room(), nullptr);
}

TEST_F(WorldTableTest, AnEditCannotMoveAVnumOutOfSixteenBits) {
    MobileTable mobiles;
    TableLoading(mobiles).append(make_new_mobile(1200, 12));
    mobiles.edit(0, [](MobilePrototype& m) { m.vnum = 40000; });
    EXPECT_EQ(mobiles.record(0).vnum, 1200);
    mobiles.edit(0, [](MobilePrototype& m) { m.vnum = 1300; });
    EXPECT_EQ(mobiles.find_mobile(1300), 0);
    EXPECT_EQ(mobiles.record(0).zone, 13);
}

TEST_F(WorldTableTest, TruncateRestoresTheSelectionOfBeforeALoad) {
    load.append(make_new_room(100, 1));
    load.append(make_new_room(101, 1));
    world.select_slot(1);
    load.append(make_new_room(200, 2));
    load.truncate(2, 1);
    EXPECT_EQ(world.count(), 2);
    EXPECT_EQ(world.selected_slot(), 1);
    WorldTable empty_table;
    TableLoading(empty_table).append(make_new_room(5, 0));
    EXPECT_EQ(empty_table.selected_slot(), 0);  // first loaded room is selected
    TableLoading(empty_table).truncate(0, -1);
    EXPECT_EQ(empty_table.selected_room(), nullptr);
    EXPECT_EQ(empty_table.find_room(5), -1);
}

// The vnum index must agree with a plain scan through every kind of change,
// duplicates included.
TEST_F(WorldTableTest, FindRoomAgreesWithAScanThroughRandomEdits) {
    std::mt19937 rng(1234);
    auto scan = [&](int vnum) {
        for (int s = 0; s < world.count(); ++s)
            if (world.room(s).vnum == vnum) return s;
        return -1;
    };
    for (int step = 0; step < 3000; ++step) {
        int vnum = static_cast<int>(rng() % 600);
        switch (rng() % 6) {
            case 0:
            case 1:
                load.append(make_new_room(static_cast<Vnum>(vnum), zone_of(vnum)));
                break;
            case 2:
                test::Step(ws).world().create_room(static_cast<Vnum>(vnum), zone_of(vnum));
                break;
            case 3:
                test::Step(ws).world().delete_room(vnum);
                break;
            case 4:
                if (rng() % 8 == 0) load.unload(vnum / 100);
                break;
            case 5:
                if (world.count() > 0 && rng() % 8 == 0)
                    load.truncate(static_cast<int>(rng() % world.count()), -1);
                break;
        }
        for (int v = 0; v < 600; v += 7)
            ASSERT_EQ(world.find_room(v), scan(v)) << "step " << step;
        if (world.selected_slot() >= 0) {
            ASSERT_LT(world.selected_slot(), world.count());
        }
    }
}

}  // namespace
}  // namespace zs
