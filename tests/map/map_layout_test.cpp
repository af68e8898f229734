// The map layout: where the walk from the selected room puts each room, what
// a redraw lists, and which room a point hits.
#include "map/map_layout.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "support/fake_ui.h"
#include "support/step.h"
#include "support/tables.h"
#include "world/names.h"
#include "world/workspace.h"

namespace zs {
namespace {

using namespace map_geometry;

constexpr int kOriginX = 300, kOriginY = 200;

// Runs `fn` on a thread with a 256 KiB stack: a walk that recursed once per
// room would overflow it on a few thousand rooms.
bool run_on_small_stack(std::function<void()> fn) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    auto body = [](void* f) -> void* {
        (*static_cast<std::function<void()>*>(f))();
        return nullptr;
    };
    bool started = pthread_create(&thread, &attr, body, &fn) == 0;
    if (started) pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return started;
}

class MapLayoutTest : public ::testing::Test {
protected:
    void add(int vnum, std::initializer_list<std::pair<int, int>> exits = {}) {
        TableLoad(ws).world().append(test::room_with_exits(vnum, exits));
    }
    void add_room(Room r) { TableLoad(ws).world().append(std::move(r)); }

    // Selects a room and puts it at the origin, as a selection click leaves it.
    void select(int vnum, int x = kOriginX, int y = kOriginY) {
        int slot = world.find_room(vnum);
        ASSERT_GE(slot, 0);
        world.select_slot(slot);
        view.set_anchor(vnum, x, y);
    }
    // Lays out into the same layout each time, as the map session does.
    const std::vector<MapItem>& lay_out() {
        lay_out_map(world, view, layout);
        return layout.items;
    }

    const Room& room(int vnum) const { return world.room(world.find_room(vnum)); }
    const RoomPlace& place(int vnum) const {
        return layout.places.at(static_cast<std::size_t>(world.find_room(vnum)));
    }
    bool placed(int vnum) const {
        auto slot = static_cast<std::size_t>(world.find_room(vnum));
        return slot < layout.places.size() && layout.places[slot].placed();
    }
    // The grid cell of a room from the origin: cells east, cells north, floor.
    std::tuple<int, int, int> cell(int vnum) const {
        const RoomPlace& r = place(vnum);
        EXPECT_EQ((r.x - kOriginX) % kCellStep, 0) << vnum;
        EXPECT_EQ((kOriginY - r.y) % kCellStep, 0) << vnum;
        return {(r.x - kOriginX) / kCellStep, (kOriginY - r.y) / kCellStep, r.floor};
    }
    std::vector<int> listed_vnums(const std::vector<MapItem>& items) const {
        std::vector<int> v;
        for (const MapItem& i : items)
            v.push_back(world.room(i.slot).vnum);
        return v;
    }

    test::FakeUi ui;
    Workspace ws{ui};
    const WorldTable& world = ws.world();
    MapView view;
    MapLayout layout;
};

TEST_F(MapLayoutTest, NothingIsLaidOutWithoutASelectedRoom) {
    add(100, {{kEast, 101}});
    add(101, {{kWest, 100}});
    select(100, 55, 66);
    world.select_slot(-1);

    EXPECT_TRUE(lay_out().empty());
    EXPECT_FALSE(placed(100));
    EXPECT_FALSE(placed(101));
    EXPECT_EQ(room_at_point(layout, world, view, 60, 70), -1);
}

TEST_F(MapLayoutTest, TraverseLimitZeroPlacesOnlyTheSelectedRoom) {
    add(100, {{kNorth, 101}, {kUp, 102}});
    add(101, {{kSouth, 100}});
    add(102, {{kDown, 100}});
    select(100);
    // Places left over from an earlier, wider layout must go.
    view.traverse_limit = -1;
    lay_out();
    ASSERT_TRUE(placed(101));

    view.traverse_limit = 0;
    std::vector<MapItem> items = lay_out();
    EXPECT_EQ(listed_vnums(items), (std::vector<int>{100}));
    EXPECT_FALSE(placed(101));
    EXPECT_FALSE(placed(102));
    EXPECT_EQ(cell(100), std::make_tuple(0, 0, 0));
}

// The limit counts the steps of the path taken, so a room whose cell is near
// is still left out when the only way to it leaves the limit first.
TEST_F(MapLayoutTest, ARoomReachedOnlyBeyondTheLimitIsNotPlaced) {
    add(100, {{kNorth, 101}});
    add(101, {{kNorth, 102}});
    add(102, {{kNorth, 103}});
    add(103, {{kEast, 104}});  // three steps north: beyond a limit of 2
    add(104, {{kSouth, 105}});
    add(105, {{kSouth, 106}});
    add(106, {});  // one north, one east of the origin: distance 2
    select(100);

    view.traverse_limit = -1;
    lay_out();
    ASSERT_EQ(cell(106), std::make_tuple(1, 1, 0));  // the detour really ends there

    view.traverse_limit = 2;
    lay_out();
    EXPECT_EQ(cell(102), std::make_tuple(0, 2, 0));
    for (int v : {103, 104, 105, 106})
        EXPECT_FALSE(placed(v)) << v;

    view.traverse_limit = 3;
    lay_out();
    EXPECT_EQ(cell(103), std::make_tuple(0, 3, 0));
    for (int v : {104, 105, 106})
        EXPECT_FALSE(placed(v)) << v;
}

// Directions are walked north, south, east, west, up, down, each to its end
// before the next; the first path to reach a room fixes its cell.
TEST_F(MapLayoutTest, TheFirstPathInDirectionOrderPlacesARoom) {
    add(100, {{kNorth, 101}, {kSouth, 103}, {kWest, 104}});
    add(101, {{kEast, 102}});
    add(102, {{kSouth, 103}});  // reaches 103 one cell east of the origin
    add(103, {});
    add(104, {{kNorth, 102}});  // a later path that would put 102 at (-1, 1)
    select(100);

    lay_out();
    EXPECT_EQ(cell(101), std::make_tuple(0, 1, 0));
    EXPECT_EQ(cell(102), std::make_tuple(1, 1, 0));
    // The direct south exit is shorter but comes after the north branch.
    EXPECT_EQ(cell(103), std::make_tuple(1, 0, 0));
    EXPECT_EQ(cell(104), std::make_tuple(-1, 0, 0));

    // A second redraw lays out the same way.
    lay_out();
    EXPECT_EQ(cell(102), std::make_tuple(1, 1, 0));
    EXPECT_EQ(cell(103), std::make_tuple(1, 0, 0));
}

TEST_F(MapLayoutTest, FlyRoomsStandInForMissingUpAndDownExits) {
    Room a = make_new_room(100, 1);
    a.fly_up_room = 101;
    a.fly_down_room = 102;
    add_room(a);
    add(101);
    add(102);
    Room b = make_new_room(200, 2);
    b.exits[kUp] = Exit{};
    b.exits[kUp]->destination = 201;
    b.fly_up_room = 202;
    add_room(b);
    add(201);
    add(202);

    select(100);
    lay_out();
    EXPECT_EQ(cell(101), std::make_tuple(0, 0, 1));
    EXPECT_EQ(cell(102), std::make_tuple(0, 0, -1));

    select(200);
    lay_out();
    EXPECT_EQ(cell(201), std::make_tuple(0, 0, 1));
    EXPECT_FALSE(placed(202));  // a real up exit wins over the fly room
    EXPECT_FALSE(placed(101));
}

TEST_F(MapLayoutTest, AVeryLongChainIsLaidOutWithoutRecursion) {
    constexpr int kFirst = 100, kCells = 10000;
    for (int v = kFirst; v <= kFirst + kCells; ++v)
        add(v, {{kEast, v + 1}, {kWest, v - 1}});
    select(kFirst);
    ASSERT_TRUE(run_on_small_stack([this] { lay_out(); }));
    EXPECT_EQ(cell(kFirst + kCells), std::make_tuple(kCells, 0, 0));
    EXPECT_EQ(cell(kFirst + kCells / 2), std::make_tuple(kCells / 2, 0, 0));
}

TEST_F(MapLayoutTest, LowerFloorsAreShiftedAndShadedUnderTheShownFloor) {
    add(100, {{kUp, 101}, {kDown, 102}});
    add(101, {{kDown, 100}});
    add(102, {{kUp, 100}, {kDown, 103}});
    add(103, {{kUp, 102}, {kDown, 104}});
    add(104, {{kUp, 103}});
    select(100, 300, 150);

    view.floor_offset = 1;  // the floor above the selected room is shown
    std::vector<MapItem> items = lay_out();
    EXPECT_EQ(layout.shown_floor, 1);
    // Lowest floor first, so that upper floors are drawn over it.
    ASSERT_EQ(listed_vnums(items), (std::vector<int>{104, 103, 102, 100, 101}));
    struct Expected {
        int shift, shade;
        bool shown;
    };
    const Expected expected[] = {
        {4 * kFloorShift, kShadeFurther, false},
        {3 * kFloorShift, kShadeFurther, false},
        {2 * kFloorShift, kShadeTwoDown, false},
        {1 * kFloorShift, kShadeOneDown, false},
        {0, 0, true},
    };
    ASSERT_EQ(kFloorShift, 7);
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].x, 300 + expected[i].shift);
        EXPECT_EQ(items[i].y, 150 + expected[i].shift);
        EXPECT_EQ(items[i].shade, expected[i].shade);
        EXPECT_EQ(layout.places[items[i].slot].shade, expected[i].shade);
        EXPECT_EQ(items[i].shown_floor, expected[i].shown);
    }

    // Floors above the shown one are not drawn at all.
    view.floor_offset = -1;
    items = lay_out();
    EXPECT_EQ(listed_vnums(items), (std::vector<int>{104, 103, 102}));
    EXPECT_EQ(items.back().x, 300);
    EXPECT_EQ(items.back().shade, 0);
}

TEST_F(MapLayoutTest, ARoomReachingBelowTheSplitLineIsNotListed) {
    add(100, {{kSouth, 101}});
    add(101, {{kNorth, 100}});
    view.split_line = 350;
    view.scroll_y = 40;
    // The box's bottom edge on the split line is still drawn.
    select(100, 300, 350 + 40 - kBoxSize);
    EXPECT_EQ(listed_vnums(lay_out()), (std::vector<int>{100}));

    select(100, 300, 350 + 40 - kBoxSize + 1);
    EXPECT_TRUE(lay_out().empty());
    EXPECT_TRUE(placed(101));  // laid out all the same, just not listed
}

TEST_F(MapLayoutTest, RoomAtPointHoldsBothBoxEdgesOnTheShownFloor) {
    add(100, {{kUp, 101}});
    add(101, {{kDown, 100}});
    select(100, 100, 100);
    lay_out();
    const int slot = world.find_room(100);

    for (auto [x, y] : {std::pair{100, 100}, {118, 118}, {100, 118}, {118, 100}, {109, 109}})
        EXPECT_EQ(room_at_point(layout, world, view, x, y), slot) << x << "," << y;
    for (auto [x, y] : {std::pair{99, 100}, {119, 100}, {100, 99}, {100, 119}})
        EXPECT_EQ(room_at_point(layout, world, view, x, y), -1) << x << "," << y;

    // 101 sits on the same cell one floor up: hit only when that floor shows.
    view.floor_offset = 1;
    EXPECT_EQ(room_at_point(layout, world, view, 109, 109), world.find_room(101));
}

TEST_F(MapLayoutTest, RoomAtPointHitsTheRoomDrawnOnTopOfASharedCell) {
    // 101 lies north of 100, and so does 104 by the path east, north, west:
    // both share a cell, and 104, later in the table, is drawn over 101.
    add(100, {{kNorth, 101}, {kEast, 102}});
    add(101);
    add(102, {{kNorth, 103}});
    add(103, {{kWest, 104}});
    add(104);
    select(100, 100, 100);
    lay_out();
    ASSERT_EQ(std::pair(place(104).x, place(104).y), std::pair(100, 80));
    ASSERT_EQ(std::pair(place(101).x, place(101).y), std::pair(100, 80));
    EXPECT_EQ(room_at_point(layout, world, view, 109, 89), world.find_room(104));

    // Until the next layout a room deleted meanwhile lets the point through
    // to the room under it, found by vnum in the table as it is now.
    test::Step(ws).world().delete_room(101);
    EXPECT_EQ(room_at_point(layout, world, view, 109, 89), world.find_room(104));
    test::Step(ws).world().delete_room(104);
    EXPECT_EQ(room_at_point(layout, world, view, 109, 89), -1);
}

TEST_F(MapLayoutTest, TheSelectedRoomIsDrawnAfterTheRoomsOfItsCell) {
    // 101 and 104 share a cell (see above). With 101 selected, 104 is drawn
    // before it and a point in the cell hits 101; the rooms of other cells
    // keep their table order.
    add(100, {{kNorth, 101}, {kEast, 102}});
    add(101, {{kSouth, 100}});
    add(102, {{kNorth, 103}});
    add(103, {{kWest, 104}});
    add(104);
    select(101, 100, 80);
    lay_out();
    EXPECT_EQ(listed_vnums(layout.items), (std::vector<int>{100, 104, 101, 102, 103}));
    std::vector<bool> under;
    for (const MapItem& i : layout.items)
        under.push_back(i.under_selected);
    EXPECT_EQ(under, (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(room_at_point(layout, world, view, 109, 89), world.find_room(101));

    // Selected, 100 is alone in its cell: nothing moves.
    select(100, 100, 100);
    lay_out();
    EXPECT_EQ(listed_vnums(layout.items), (std::vector<int>{100, 101, 102, 103, 104}));
    EXPECT_EQ(room_at_point(layout, world, view, 109, 89), world.find_room(104));
}

TEST(MapZoom, StepsGoThroughTheListAndStopAtItsEnds) {
    struct Case {
        int zoom, steps, expected;
    };
    for (Case c : {Case{4, 1, 5}, Case{4, -1, 3}, Case{4, 3, 8}, Case{4, 0, 4}, Case{16, 1, 16},
                   Case{2, -1, 2}, Case{4, 99, 16}, Case{4, -99, 2}, Case{7, 1, 8}, Case{7, -1, 6},
                   Case{40, -1, 16}, Case{1, 1, 2}}) {
        EXPECT_EQ(next_zoom(c.zoom, c.steps), c.expected) << c.zoom << " " << c.steps;
    }
}

}  // namespace
}  // namespace zs
