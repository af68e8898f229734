// Map interaction: what clicks, keys and the wheel do to the world and the
// view, with the texts the builder sees.
#include "map/map_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "files/load_command.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/names.h"
#include "world/workspace.h"

namespace zs {
namespace {

using namespace map_geometry;

class RedrawLog : public WorkspaceObserver {
public:
    void workspace_changed(const Change&) override {}
    void redraw_requested(bool force) override { requests.push_back(force); }
    bool forced() const {
        return std::find(requests.begin(), requests.end(), true) != requests.end();
    }
    std::vector<bool> requests;
};

// One editor's worth of state. The view is scrolled so that client and world
// points differ; the selected room usually stands at (kSx, kSy).
constexpr int kSx = 200, kSy = 120;

struct MapScene {
    MapScene() {
        ws.add_observer(&redraws);
        map.view().scroll_x = 37;
        map.view().scroll_y = -13;
    }
    ~MapScene() { ws.remove_observer(&redraws); }

    const WorldTable& world() const { return ws.world(); }
    TableLoading<WorldTable> load() { return TableLoad(ws).world(); }

    void add(int vnum, std::initializer_list<std::pair<int, int>> exits = {}) {
        load().append(test::room_with_exits(vnum, exits));
    }
    void edit(int vnum, const std::function<void(Room&)>& fn) {
        load().edit_loaded(world().find_room(vnum), fn);
    }
    // Selects a room, puts it at (x, y) and redraws, leaving no messages.
    void select(int vnum, int x = kSx, int y = kSy) {
        int slot = world().find_room(vnum);
        ASSERT_GE(slot, 0);
        map.select_room(ws, slot);
        map.place_selected(world(), x, y);
        redraw();
        ui.clear();
        redraws.requests.clear();
    }
    // What the window does on a redraw request.
    void redraw() { map.lay_out(world()); }

    // Clicks at a world point.
    RightClickResult right_click(int wx, int wy, KeyMods mods = {}) {
        return map.right_button_down(ws, wx - map.view().scroll_x, wy - map.view().scroll_y, mods);
    }
    void left_click(int wx, int wy, bool shift = false) {
        map.left_button_down(ws, wx - map.view().scroll_x, wy - map.view().scroll_y, shift);
        map.left_button_up(ws);
    }

    const Room& room(int vnum) {
        const Room* r = world().find_room_record(vnum);
        if (!r) throw std::runtime_error("room " + std::to_string(vnum) + " is not loaded");
        return *r;
    }
    // Where the map has a room: the selected room at the anchor, others where
    // the last layout put them.
    RoomPlace place(int vnum) {
        room(vnum);
        return map.place_of(vnum);
    }
    // Where a room's exit leads; -1 for no exit.
    int exit_of(int vnum, int dir) {
        const auto& e = room(vnum).exits[dir];
        return e ? e->destination : -1;
    }
    int exit_count() {
        int n = 0;
        for (int s = 0; s < world().count(); ++s)
            for (const auto& e : world().room(s).exits)
                n += e ? 1 : 0;
        return n;
    }
    int selected_vnum() {
        const Room* r = world().selected_room();
        return r ? r->vnum : -1;
    }

    test::FakeUi ui;
    Workspace ws{ui};
    MapSession map{ws.options()};
    RedrawLog redraws;
};

class MapActionsTest : public ::testing::Test, public MapScene {};

// --- Right click: creating and linking rooms -------------------------------

TEST_F(MapActionsTest, RightClickOnAnEmptyMapCreatesRoom100) {
    EXPECT_EQ(right_click(500, 300), RightClickResult::Done);

    ASSERT_EQ(world().count(), 1);
    EXPECT_EQ(selected_vnum(), 100);
    EXPECT_EQ(room(100).zone, 1);
    EXPECT_EQ(world().block_count(), 1);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 1));
    EXPECT_EQ(ui.last_status(), "New room 100 created.");
    EXPECT_TRUE(redraws.forced());
    // Centred in the reference rectangle of the current view.
    EXPECT_EQ(place(100).x, 37 + 1 + 300);
    EXPECT_EQ(place(100).y, -13 + 1 + 150);
}

TEST_F(MapActionsTest, RightClickWithRoom100LoadedSelectsItInsteadOfMakingAnother) {
    add(100);
    add(101);
    world().select_slot(-1);

    right_click(500, 300);
    EXPECT_EQ(world().count(), 2);
    EXPECT_EQ(world().count_of(100), 1u);
    EXPECT_EQ(selected_vnum(), 100);
    EXPECT_FALSE(ws.modified().any());
    EXPECT_EQ(ui.last_status(), "Room 100 selected.");
}

// Right clicks on empty points around the selected box, relative to its
// top-left corner: the gaps one cell away in the four directions, their
// borders, the corners between them and the box itself.
TEST(MapRightClickTest, AnEmptyPointBesideTheSelectedBoxCreatesARoomThatWay) {
    struct Case {
        int dx, dy;
        int dir;  // -1: nothing happens
    };
    const Case cases[] = {
        {9, -5, kNorth}, {9, -1, kNorth}, {9, -19, kNorth}, {0, -5, kNorth}, {18, -5, kNorth},
        {9, -20, -1},    {9, -21, -1},    {19, -5, -1},     {-1, -5, -1},    {-5, -5, -1},
        {9, 19, kSouth}, {9, 37, kSouth}, {9, 18, -1},      {9, 38, -1},     {-1, 9, kWest},
        {-19, 9, kWest}, {-19, 0, kWest}, {-19, 18, kWest}, {-20, 9, -1},    {-19, 19, -1},
        {19, 9, kEast},  {37, 9, kEast},  {38, 9, -1},      {25, 25, -1},    {9, 9, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.dx << "," << c.dy);
        MapScene s;
        s.add(100);
        s.add(102);  // 101 is the lowest free vnum of zone 1
        s.select(100);

        s.right_click(kSx + c.dx, kSy + c.dy);
        if (c.dir < 0) {
            EXPECT_EQ(s.world().count(), 2);
            EXPECT_EQ(s.exit_count(), 0);
            EXPECT_EQ(s.selected_vnum(), 100);
            EXPECT_TRUE(s.ui.statuses.empty());
            continue;
        }
        ASSERT_EQ(s.world().count(), 3);
        EXPECT_EQ(s.exit_of(100, c.dir), 101);
        EXPECT_EQ(s.exit_of(101, reverse_direction(c.dir)), 100);
        EXPECT_EQ(s.exit_count(), 2);
        EXPECT_EQ(s.selected_vnum(), 101);
        EXPECT_EQ(s.room(101).zone, 1);
        EXPECT_EQ(s.ui.last_status(), "Room 101 created.");
        EXPECT_TRUE(s.redraws.forced());
        // The new room stands one cell from the old one, on the floor shown.
        int de = c.dir == kEast ? 1 : c.dir == kWest ? -1 : 0;
        int dn = c.dir == kNorth ? 1 : c.dir == kSouth ? -1 : 0;
        EXPECT_EQ(s.place(101).x, kSx + kCellStep * de);
        EXPECT_EQ(s.place(101).y, kSy - kCellStep * dn);
        EXPECT_EQ(s.map.view().floor_offset, 0);
    }
}

TEST_F(MapActionsTest, RightClickBelowTheSplitLineBelongsToTheColourPreview) {
    add(100);
    select(100, kSx, 300);
    map.view().split_line = 300;
    // The south gap is below the split line in client pixels.
    right_click(kSx + 9, 300 + 25);
    EXPECT_EQ(world().count(), 1);

    ws.switch_editor(EditorKind::Zone);  // the zone editor has no preview
    right_click(kSx + 9, 300 + 25);
    EXPECT_EQ(world().count(), 2);
    EXPECT_EQ(exit_of(100, kSouth), 101);
}

// Rooms laid out around 100: 101 north, 102 north-east, 103 east (reached
// round the corner, not linked to 100), 104 two cells east.
void build_corner(MapScene& s) {
    s.add(100);
    s.add(101, {{kEast, 102}});
    s.add(102, {{kSouth, 103}});
    s.add(103, {{kEast, 104}});
    s.add(104);
    s.edit(100, [](Room& r) {
        r.exits[kNorth] = Exit{};
        r.exits[kNorth]->destination = 101;
    });
    s.select(100);
    ASSERT_EQ(s.place(103).x, kSx + kCellStep);
    ASSERT_EQ(s.place(103).y, kSy);
    ASSERT_EQ(s.place(104).x, kSx + 2 * kCellStep);
}

TEST(MapRightClickTest, AnotherRoomOneCellAwayIsLinkedBothWays) {
    MapScene s;
    build_corner(s);
    s.right_click(kSx + kCellStep + 9, kSy + 9);
    EXPECT_EQ(s.exit_of(100, kEast), 103);
    EXPECT_EQ(s.exit_of(103, kWest), 100);
    EXPECT_EQ(s.world().count(), 5);
    EXPECT_EQ(s.selected_vnum(), 100);
    EXPECT_EQ(s.ui.last_status(), "Exit created east from 100 to 103.");
    EXPECT_TRUE(s.redraws.forced());
}

TEST(MapRightClickTest, AnotherRoomNotOneCellAwayIsLeftAlone) {
    MapScene s;
    build_corner(s);
    int exits = s.exit_count();
    s.right_click(kSx + 2 * kCellStep + 9, kSy + 9);          // 104, two cells east
    s.right_click(kSx + kCellStep + 9, kSy - kCellStep + 9);  // 102, diagonal
    EXPECT_EQ(s.exit_count(), exits);
    EXPECT_EQ(s.world().count(), 5);
    EXPECT_EQ(s.selected_vnum(), 100);
    EXPECT_TRUE(s.ui.statuses.empty());
}

TEST(MapRightClickTest, ExistingExitsOnEitherSideRefuseTheLink) {
    {
        SCOPED_TRACE("the neighbour already leads west");
        MapScene s;
        build_corner(s);
        s.edit(103, [](Room& r) {
            r.exits[kWest] = Exit{};
            r.exits[kWest]->destination = 999;
        });
        s.right_click(kSx + kCellStep + 9, kSy + 9);
        EXPECT_EQ(s.ui.last_status(), "Error: room 103 already has an exit to the west.");
        EXPECT_EQ(s.exit_of(100, kEast), -1);
        EXPECT_EQ(s.exit_of(103, kWest), 999);
        EXPECT_EQ(s.world().count(), 5);
    }
    {
        SCOPED_TRACE("both lead away: the selected room is named");
        MapScene s;
        build_corner(s);
        for (auto [vnum, dir] : {std::pair{100, kEast}, {103, kWest}}) {
            int d = dir;
            s.edit(vnum, [d](Room& r) {
                r.exits[d] = Exit{};
                r.exits[d]->destination = 999;
            });
        }
        s.right_click(kSx + kCellStep + 9, kSy + 9);
        EXPECT_EQ(s.ui.last_status(), "Error: room 100 already has an exit to the east.");
        EXPECT_EQ(s.exit_of(100, kEast), 999);
    }
}

TEST_F(MapActionsTest, ShiftOrCtrlRightClickOnTheSelectedRoomCreatesUpOrDown) {
    add(100);
    add(101);
    add(103);
    select(100);

    right_click(kSx + 9, kSy + 9, {.shift = true});
    EXPECT_EQ(world().count(), 4);
    EXPECT_EQ(exit_of(100, kUp), 102);
    EXPECT_EQ(exit_of(102, kDown), 100);
    EXPECT_EQ(selected_vnum(), 102);
    EXPECT_EQ(place(102).x, kSx);
    EXPECT_EQ(place(102).y, kSy);
    EXPECT_EQ(place(102).floor, 0);
    EXPECT_EQ(ui.last_status(), "Room 102 created.");

    // The new room already leads down to 100.
    redraw();
    right_click(kSx + 9, kSy + 9, {.ctrl = true});
    EXPECT_EQ(ui.last_status(), "Error: Room 102 already has exit down.");
    EXPECT_EQ(world().count(), 4);

    right_click(kSx + 9, kSy + 9, {.shift = true, .ctrl = true});  // Shift first
    EXPECT_EQ(exit_of(102, kUp), 104);
    EXPECT_EQ(selected_vnum(), 104);

    redraw();
    int before = world().count();
    right_click(kSx + 9, kSy + 9);  // no modifier: nothing
    EXPECT_EQ(world().count(), before);
}

TEST_F(MapActionsTest, AFullZoneCannotGrowAutomatically) {
    for (int v = 200; v <= 299; ++v)
        add(v);
    select(250);

    right_click(kSx + 9, kSy - 5);
    EXPECT_EQ(ui.last_status(), "Error: Zone 2 has run out of vnums.");
    map.create_room_in_direction(ws, kUp);
    EXPECT_EQ(ui.last_status(), "Error: Zone 2 has run out of vnums.");
    EXPECT_EQ(world().count(), 100);
    EXPECT_EQ(exit_count(), 0);
    EXPECT_EQ(selected_vnum(), 250);
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(MapActionsTest, LowestFreeVnumLooksOnlyInsideTheZone) {
    add(500);
    add(501);
    add(503);
    EXPECT_EQ(lowest_free_vnum(ws, 5, true), 502);
    EXPECT_EQ(lowest_free_vnum(ws, 6, true), 600);
    EXPECT_TRUE(ui.statuses.empty());

    // Vnum 0 is no room number: zone 0 starts at 1 only once 0 is taken.
    EXPECT_EQ(lowest_free_vnum(ws, 0, false), std::nullopt);
    EXPECT_TRUE(ui.statuses.empty());
    EXPECT_EQ(lowest_free_vnum(ws, 0, true), std::nullopt);
    EXPECT_EQ(ui.last_status(), "Error: Zone 0 does not exist.");
    add(0);
    EXPECT_EQ(lowest_free_vnum(ws, 0, true), 1);

    // The last zone ends at the largest 16-bit vnum.
    for (int v = 32700; v <= 32767; ++v)
        add(v);
    EXPECT_EQ(lowest_free_vnum(ws, 327, true), std::nullopt);
    EXPECT_EQ(ui.last_status(), "Error: Zone 327 has run out of vnums.");
    EXPECT_EQ(lowest_free_vnum(ws, 400, true), std::nullopt);
    EXPECT_EQ(ui.last_status(), "Error: Zone 400 does not exist.");
}

TEST_F(MapActionsTest, WithPromptForVnumTheDialogChoosesTheNewRoomsNumber) {
    ws.options().prompt_for_vnum = 1;
    load().reserve(1);
    add(100);
    add(101);
    select(100);

    EXPECT_EQ(right_click(kSx + 9, kSy - 5), RightClickResult::OpenCreateDialog);
    EXPECT_EQ(world().count(), 2);
    ASSERT_EQ(map.pending_direction(), kNorth);
    EXPECT_EQ(dialog_label(*map.pending_direction()), "Exit North to Vnum:");
    EXPECT_EQ(dialog_label(kDown), "Exit Down to Vnum:");
    EXPECT_EQ(map.dialog_default_vnum(ws), 102);
    EXPECT_TRUE(ui.statuses.empty());

    for (const char* bad : {"", "abc", "0", "-5", "32768", "40000"}) {
        map.create_room_from_dialog(ws, bad);
        EXPECT_EQ(ui.last_status(), "Error: Invalid vnum.") << '"' << bad << '"';
    }
    map.create_room_from_dialog(ws, "101");
    EXPECT_EQ(ui.last_status(), "Error: Room 101 already exists.");
    EXPECT_EQ(world().count(), 2);

    map.create_room_from_dialog(ws, "4510");
    ASSERT_EQ(world().count(), 3);
    EXPECT_EQ(room(4510).zone, 45);
    EXPECT_EQ(world().block_count(), 2);
    EXPECT_EQ(exit_of(100, kNorth), 4510);
    EXPECT_EQ(exit_of(4510, kSouth), 100);
    EXPECT_EQ(selected_vnum(), 4510);
    EXPECT_EQ(place(4510).x, kSx);
    EXPECT_EQ(place(4510).y, kSy - kCellStep);
    EXPECT_EQ(ui.last_status(), "Room 4510 created.");
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 45));

    // An exit already there is named before a vnum already taken.
    select(100);
    map.create_room_with_vnum(ws, 101, kNorth);
    EXPECT_EQ(ui.last_status(), "Error: Room 100 already has exit north.");
    EXPECT_EQ(world().count(), 3);
}

TEST_F(MapActionsTest, LinkRoomsNeedsBothRoomsAndReplacesExits) {
    add(100, {{kEast, 999}});
    add(101);
    ui.clear();
    EXPECT_FALSE(link_rooms(ws, 100, 555, kEast));
    EXPECT_FALSE(link_rooms(ws, 555, 100, kEast));
    EXPECT_EQ(ui.last_status(), "Error on exit creation: room does not exist.");
    EXPECT_EQ(exit_count(), 1);
    EXPECT_FALSE(ws.modified().any());

    EXPECT_TRUE(link_rooms(ws, 100, 101, kEast));
    EXPECT_EQ(exit_of(100, kEast), 101);
    EXPECT_EQ(exit_of(101, kWest), 100);
    EXPECT_EQ(ui.last_status(), "Exit created east from 100 to 101.");
    EXPECT_TRUE(redraws.forced());
}

// --- Selection, left button and panning ------------------------------------

TEST_F(MapActionsTest, SelectingARoomShowsItsFloorAndItsZone) {
    load().append(make_new_room(100, 1));
    add(500, {{kDown, 100}});
    TableLoad(ws).zones().append(make_new_zedit(1));
    TableLoad(ws).zones().append(make_new_zedit(2));
    ASSERT_EQ(ws.zones().selected_zedit()->number, 2);
    select(500, 40, 60);  // draws 100 one floor down, at (40, 60)
    ASSERT_EQ(ws.zones().selected_zedit()->number, 2);
    map.view().floor_offset = 2;

    map.select_room(ws, 0);
    EXPECT_EQ(selected_vnum(), 100);
    EXPECT_EQ(ws.zones().selected_zedit()->number, 1);
    redraw();
    EXPECT_EQ(map.layout().places[0].floor, 0);
    EXPECT_EQ(place(100).x, 40);
    EXPECT_EQ(place(100).y, 60);
    EXPECT_EQ(map.view().floor_offset, 0);
    EXPECT_EQ(ui.last_status(), "Room 100 selected.");

    map.select_room(ws, 1);  // zone 5 has no zedit loaded: the zone editor stays
    EXPECT_EQ(ws.zones().selected_zedit()->number, 1);
}

TEST_F(MapActionsTest, LeftClickSelectsAndShiftClickAdvancesTheColour) {
    add(100, {{kEast, 101}});
    add(101, {{kWest, 100}});
    edit(101, [](Room& r) { r.room_colour = 32; });
    select(100);

    // The box's far edge, in client pixels.
    map.left_button_down(ws, kSx + kCellStep + 18 - 37, kSy + 13, false);
    EXPECT_EQ(selected_vnum(), 101);
    EXPECT_EQ(map.view().scroll_x, 37);  // the view does not move
    EXPECT_EQ(redraws.requests, (std::vector<bool>{true}));
    EXPECT_FALSE(ws.modified().any());
    map.left_button_up(ws);

    redraw();
    left_click(kSx + kCellStep + 9, kSy + 9, true);
    EXPECT_EQ(room(101).room_colour, 33);
    left_click(kSx + kCellStep + 9, kSy + 9, true);
    EXPECT_EQ(room(101).room_colour, 0);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 1));

    left_click(kSx - 50, kSy - 50);  // nothing there: the selection stays
    EXPECT_EQ(selected_vnum(), 101);
}

TEST_F(MapActionsTest, LeftClickBelowTheSplitLineIsIgnoredBesideThePreview) {
    add(100, {{kSouth, 101}});
    add(101, {{kNorth, 100}});
    select(100, kSx, 280);
    map.view().split_line = 300;
    ws.switch_editor(EditorKind::Object);

    int cy = 280 + kCellStep + 9 + 13;  // inside 101, below the line
    map.left_button_down(ws, kSx + 9 - 37, cy, false);
    EXPECT_EQ(selected_vnum(), 100);
    EXPECT_FALSE(map.dragging());

    ws.switch_editor(EditorKind::Zone);
    map.left_button_down(ws, kSx + 9 - 37, cy, false);
    EXPECT_EQ(selected_vnum(), 101);
    EXPECT_TRUE(map.dragging());
}

TEST_F(MapActionsTest, DraggingPansTheView) {
    map.left_button_down(ws, 50, 50, false);  // an empty map drags as well
    EXPECT_TRUE(map.dragging());
    map.mouse_move(ws, 60, 45);
    map.mouse_move(ws, 70, 47);
    EXPECT_EQ(map.view().scroll_x, 37 - 20);
    EXPECT_EQ(map.view().scroll_y, -13 + 3);
    EXPECT_EQ(redraws.requests, (std::vector<bool>{false, false}));

    map.left_button_up(ws);
    EXPECT_FALSE(map.dragging());
    EXPECT_EQ(redraws.requests.back(), true);
    map.mouse_move(ws, 200, 200);
    EXPECT_EQ(map.view().scroll_x, 37 - 20);
}

// --- Wheel and keys ----------------------------------------------------------

TEST_F(MapActionsTest, TheWheelChangesFloorsOrColoursOnlyOnWholeNotches) {
    add(100);
    select(100);

    for (int delta : {0, 1, 119, 121, 240, -1, -119, -121, -240}) {
        map.wheel(ws, delta, false);
        map.wheel(ws, delta, true);
    }
    EXPECT_EQ(map.view().floor_offset, 0);
    EXPECT_EQ(room(100).room_colour, 0);
    EXPECT_TRUE(redraws.requests.empty());
    EXPECT_FALSE(ws.modified().any());

    map.wheel(ws, 120, false);
    EXPECT_EQ(map.view().floor_offset, 1);
    map.wheel(ws, -120, false);
    map.wheel(ws, -120, false);
    EXPECT_EQ(map.view().floor_offset, -1);
    EXPECT_EQ(redraws.requests, (std::vector<bool>{true, true, true}));

    map.wheel(ws, -120, true);  // 0 wraps down to 33
    EXPECT_EQ(room(100).room_colour, 33);
    map.wheel(ws, 120, true);
    EXPECT_EQ(room(100).room_colour, 0);
    map.wheel(ws, 120, true);
    EXPECT_EQ(room(100).room_colour, 1);
    EXPECT_EQ(map.view().floor_offset, -1);
}

TEST_F(MapActionsTest, ZoomingKeepsTheRoomUnderThePointerWhereItWas) {
    // 100 and 101 side by side; the pointer rests on 101, (u, v) into its
    // box. After the zoom the same room is under the pointer, the pointer as
    // far into its box as the zoom makes that distance, and 100 one cell of
    // the new size west of it.
    add(100, {{kEast, 101}});
    add(101, {{kWest, 100}});
    struct Case {
        int steps, zoom, u, v;
    };
    for (Case c : {Case{1, 5, 9, 9}, Case{3, 8, 0, 17}, Case{-1, 3, 4, 12}, Case{-5, 2, 17, 0},
                   Case{20, 16, 12, 3}}) {
        SCOPED_TRACE(c.steps);
        map.view().zoom = kZoomDefault;
        select(100);
        const int px = kSx + kCellStep + c.u - map.view().scroll_x;
        const int py = kSy + c.v - map.view().scroll_y;
        map.zoom_by(ws, c.steps, px, py);
        EXPECT_EQ(map.view().zoom, c.zoom);
        EXPECT_TRUE(redraws.forced());
        redraw();
        const MapScale scale{c.zoom};
        EXPECT_EQ(map.room_under(world(), px, py), world().find_room(101));
        RoomPlace at = place(101);
        EXPECT_EQ(px + map.view().scroll_x - at.x, (c.u * scale.cell() * 2 + kCellStep) / 40);
        EXPECT_EQ(py + map.view().scroll_y - at.y, (c.v * scale.cell() * 2 + kCellStep) / 40);
        EXPECT_EQ(place(100).x, at.x - scale.cell());
        EXPECT_EQ(place(100).y, at.y);
    }
}

TEST_F(MapActionsTest, KeyboardZoomKeepsTheSelectedRoomAndTheDefaultGivesBackTheGrid) {
    add(100, {{kEast, 101}});
    add(101, {{kWest, 100}});
    select(100);
    const auto [cx, cy] = map.selected_centre(world());
    EXPECT_EQ(std::pair(cx, cy), std::pair(kSx + 9 - 37, kSy + 9 + 13));
    map.zoom_by(ws, 3, cx, cy);  // to twice the size
    redraw();
    EXPECT_EQ(map.view().zoom, 8);
    EXPECT_EQ(map.selected_centre(world()), std::pair(cx, cy));
    EXPECT_EQ(place(101).x, place(100).x + 40);
    // Clicks find the rooms in their doubled boxes.
    left_click(place(101).x + 35, place(101).y + 35);
    EXPECT_EQ(selected_vnum(), 101);
    left_click(place(100).x, place(100).y);
    EXPECT_EQ(selected_vnum(), 100);

    map.zoom_at(ws, kZoomDefault, cx, cy);
    redraw();
    EXPECT_EQ(std::pair(place(100).x, place(100).y), std::pair(kSx, kSy));
    EXPECT_EQ(place(101).x, kSx + kCellStep);
}

TEST_F(MapActionsTest, HoveringARoomNamesItsVnumTitleAndZone) {
    for (const char* file : {"hover/88.wld", "hover/88.zon", "hover/89.wld"})
        ASSERT_TRUE(load_area_file(ws, test::test_data(file).string())) << file;
    for (const test::TableRow& row : test::table_rows("hover/cases.tsv")) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(room_hover_text(ws, world().find_room(std::stoi(row.col[0]))),
                  row.col[1] + "\n" + row.col[2]);
    }
    EXPECT_EQ(room_hover_text(ws, -1), "");
}

TEST_F(MapActionsTest, ArrowKeysFollowExitsAndShiftPaintsTheTrail) {
    add(100, {{kEast, 101}});
    add(101, {{kEast, 102}, {kWest, 100}});
    add(102, {{kNorth, 103}, {kWest, 101}});
    add(103, {{kSouth, 102}, {kEast, 999}, {kUp, 104}});
    add(104, {{kDown, 103}});
    edit(100, [](Room& r) { r.room_colour = 7; });
    edit(103, [](Room& r) { r.room_colour = 3; });
    select(100);
    map.view().floor_offset = 2;

    map.move_by_key(ws, MapKey::Right, true);
    EXPECT_EQ(map.view().floor_offset, 0);
    map.move_by_key(ws, MapKey::Right, true);
    EXPECT_EQ(selected_vnum(), 102);
    EXPECT_EQ(room(101).room_colour, 7);
    EXPECT_EQ(room(102).room_colour, 7);
    EXPECT_EQ(ui.last_status(), "Room 102 selected.");
    EXPECT_TRUE(redraws.forced());

    map.move_by_key(ws, MapKey::Up, false);  // without Shift nothing is painted
    EXPECT_EQ(selected_vnum(), 103);
    EXPECT_EQ(room(103).room_colour, 3);

    ui.clear();
    redraws.requests.clear();
    map.move_by_key(ws, MapKey::Up, true);     // no exit
    map.move_by_key(ws, MapKey::Right, true);  // exit to a room not loaded
    EXPECT_EQ(selected_vnum(), 103);
    EXPECT_TRUE(ui.statuses.empty());
    EXPECT_TRUE(redraws.requests.empty());

    map.move_by_key(ws, MapKey::Home, false);
    EXPECT_EQ(selected_vnum(), 104);
    map.move_by_key(ws, MapKey::End, false);
    EXPECT_EQ(selected_vnum(), 103);
    EXPECT_EQ(room(100).room_colour, 7);
}

TEST_F(MapActionsTest, ASelectionThatWouldLeaveTheViewIsCentred) {
    // The view shows world x 37..936 and y -13..336 (900 wide, split at 350).
    const int centre_x = 37 + 301, centre_y = -13 + 151;
    add(100, {{kEast, 101}});
    add(101, {{kWest, 100}, {kEast, 102}});
    add(102, {{kWest, 101}});
    const int last_x = 37 + 900 - kBoxSize - 1;  // the rightmost box wholly in view
    select(100, last_x - kCellStep);
    map.move_by_key(ws, MapKey::Right, false);
    EXPECT_EQ(place(101).x, last_x);            // in view: it stays
    map.move_by_key(ws, MapKey::Right, false);  // 102's box would cross the edge
    EXPECT_EQ(std::pair(place(102).x, place(102).y), std::pair(centre_x, centre_y));

    // With a traverse limit of 0 the neighbour is never placed.
    map.view().traverse_limit = 0;
    select(100);
    map.move_by_key(ws, MapKey::Right, false);
    EXPECT_EQ(selected_vnum(), 101);
    EXPECT_EQ(std::pair(place(101).x, place(101).y), std::pair(centre_x, centre_y));
    ASSERT_EQ(map.lay_out(world()).items.size(), 1u);
}

TEST(MapKeyTest, WalkingKeysMapToTheSixDirections) {
    EXPECT_EQ(key_direction(MapKey::Up), kNorth);
    EXPECT_EQ(key_direction(MapKey::Right), kEast);
    EXPECT_EQ(key_direction(MapKey::Down), kSouth);
    EXPECT_EQ(key_direction(MapKey::Left), kWest);
    EXPECT_EQ(key_direction(MapKey::Home), kUp);
    EXPECT_EQ(key_direction(MapKey::End), kDown);
}

// --- The attribute clipboard -------------------------------------------------

TEST_F(MapActionsTest, PastingWithNothingCopiedChangesNothing) {
    add(100);
    select(100);
    Room before = room(100);
    map.paste(ws);
    EXPECT_TRUE(room(100) == before);
    EXPECT_FALSE(ws.modified().any());
    EXPECT_EQ(ui.last_status(), "Sector, climate, flags pasted to 100.");
}

TEST_F(MapActionsTest, TitleColourPasteWrapsTheTitleInColourCodes) {
    const std::pair<const char*, const char*> cases[] = {
        {"A hall", "&rA hall&n"},
        {"&gA hall&n", "&rA hall&n"},
        {"&gA hall", "&rA hall&n"},
        {"&gA hall&", "&rA hall&&n"},
        {"x", "&rx&n"},
    };
    add(100);
    edit(100, [](Room& r) { r.title = "&rRed room&n"; });
    int v = 101;
    for (auto [title, expected] : cases) {
        const char* t = title;
        add(v);
        edit(v, [t](Room& r) { r.title = t; });
        ++v;
    }
    select(100);
    map.copy_title_colour(ws);
    EXPECT_EQ(ui.last_status(), "Room title color copied from 100.");

    v = 101;
    for (auto [title, expected] : cases) {
        select(v);
        map.paste(ws);
        EXPECT_EQ(room(v).title, expected) << title;
        EXPECT_EQ(ui.last_status(), "Room title color pasted to " + std::to_string(v) + ".");
        ++v;
    }

    // Without a leading code the colour copied is white; no title takes none.
    add(200);
    add(201);
    edit(200, [](Room& r) { r.title = "Plain"; });
    edit(201, [](Room& r) { r.title.clear(); });
    select(200);
    map.copy_title_colour(ws);
    select(101);
    map.paste(ws);
    EXPECT_EQ(room(101).title, "&wA hall&n");
    select(201);
    map.paste(ws);
    EXPECT_EQ(room(201).title, "");
    EXPECT_TRUE(ui.statuses.empty());
}

// A paste takes the title colour before the room colour before the rest, so
// each copy must drop what an earlier copy left.
TEST_F(MapActionsTest, EachCopyReplacesWhatTheClipboardHeld) {
    for (int v : {100, 101, 102, 103})
        add(v);
    edit(100, [](Room& r) {
        r.sector = 4;
        r.climate = 2;
        r.room_flags = 0x15;
        r.room_colour = 9;
        r.title = "&bBlue&n";
    });
    const std::string plain = "An unfinished room";
    select(100);
    map.copy_title_colour(ws);
    map.copy_sector_climate_flags(ws);
    EXPECT_EQ(ui.last_status(), "Sector, climate, flags copied from 100.");
    select(101);
    map.paste(ws);
    EXPECT_EQ(room(101).sector, 4);
    EXPECT_EQ(room(101).climate, 2);
    EXPECT_EQ(room(101).room_flags, 0x15u);
    EXPECT_EQ(room(101).room_colour, 0);
    EXPECT_EQ(room(101).title, plain);
    EXPECT_EQ(ui.last_status(), "Sector, climate, flags pasted to 101.");

    select(100);
    map.copy_title_colour(ws);
    map.copy_room_colour(ws);
    EXPECT_EQ(ui.last_status(), "Room color copied from 100.");
    select(102);
    map.paste(ws);
    EXPECT_EQ(room(102).room_colour, 9);
    EXPECT_EQ(room(102).title, plain);
    EXPECT_EQ(room(102).sector, 0);
    EXPECT_EQ(ui.last_status(), "Room color pasted to 102.");
    EXPECT_TRUE(redraws.forced());

    select(100);
    map.copy_room_colour(ws);
    map.copy_sector_climate_flags(ws);
    select(103);
    map.paste(ws);
    EXPECT_EQ(room(103).sector, 4);
    EXPECT_EQ(room(103).room_colour, 0);

    select(100);
    map.copy_title_colour(ws);
    select(102);
    map.paste(ws);
    EXPECT_EQ(room(102).title, "&b" + plain + "&n");
    EXPECT_EQ(room(102).room_colour, 9);
    EXPECT_EQ(room(102).sector, 0);

    // Colour 0 is a colour like any other.
    select(103);
    map.copy_room_colour(ws);
    select(102);
    map.paste(ws);
    EXPECT_EQ(room(102).room_colour, 0);
}

TEST_F(MapActionsTest, TheClipboardNeedsASelectedRoom) {
    add(100);
    select(100);
    map.copy_room_colour(ws);
    world().select_slot(-1);
    ui.clear();
    map.copy_sector_climate_flags(ws);
    map.copy_title_colour(ws);
    map.paste(ws);
    EXPECT_TRUE(ui.statuses.empty());
    EXPECT_FALSE(ws.modified().any());
}

TEST(MapDialogTest, TheVnumBoxReadsLeadingDigits) {
    EXPECT_EQ(dialog_vnum(""), 0);
    EXPECT_EQ(dialog_vnum("abc"), 0);
    EXPECT_EQ(dialog_vnum("4510"), 4510);
    EXPECT_EQ(dialog_vnum(" 12ab"), 12);
    EXPECT_EQ(dialog_vnum("-7"), -7);
    EXPECT_GT(dialog_vnum("99999999999999"), kVnumMax);
}

}  // namespace
}  // namespace zs
