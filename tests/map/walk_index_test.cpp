// The map's walk index: where the walk goes from each room, and a layout
// kept across redraws that follows every kind of change of the world.
#include "map/walk_index.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "files/file_wld.h"
#include "files/load_command.h"
#include "map/map_layout.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/edits.h"
#include "world/workspace.h"

namespace zs {
namespace {

WalkLinks links(std::uint8_t mask, std::array<Vnum, kNumDirections> to) {
    return {mask, to};
}

TEST(WalkIndex, ExitsAndFlyRoomsGiveTheWalksLinks) {
    auto read = read_world(test::test_data_bytes("walk_rooms.wld"), "40.wld");
    ASSERT_TRUE(read.ok);
    struct Case {
        int vnum;
        WalkLinks expected;
        const char* why;
    };
    const Case cases[] = {
        {4000, links(0b010011, {4001, 0, 0, 0, 4002, 0}), "exits, one to nowhere; fly up"},
        {4001, links(0b010000, {0, 0, 0, 0, 4003, 0}), "an up exit beats the fly room"},
        {4002, links(0, {}), "fly rooms of 0 and below lead nowhere"},
        {4003, links(0b100000, {0, 0, 0, 0, 0, -1}), "a down exit to -1 beats the fly room"},
        {4004, links(0b101000, {0, 0, 0, 4000, 0, 4001}), "west, and down by flying"},
    };
    ASSERT_EQ(read.records.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(read.records[i].vnum, cases[i].vnum);
        EXPECT_EQ(walk_links(read.records[i]), cases[i].expected) << cases[i].why;
    }
}

// A layout reused across redraws, as the map session keeps its own, places
// the rooms of the world as it is now after each kind of change.
TEST(WalkIndex, AReusedLayoutFollowsChangesOfTheWorld) {
    struct Case {
        const char* change;
        std::function<void(Workspace&)> apply;
        std::vector<int> reached;  // from 4000, in vnum order
    };
    auto exit_to = [](int dest) {
        Exit e;
        e.destination = static_cast<Vnum>(dest);
        return e;
    };
    const Case cases[] = {
        {"nothing", [](Workspace&) {}, {4000, 4001, 4002, 4003}},
        {"an exit removed",
         [](Workspace& ws) {
             edit_room(ws, 4000, "Exit", [](Room& r) { r.exits[kNorth].reset(); });
         },
         {4000, 4002}},
        {"a fly room changed",
         [](Workspace& ws) { edit_room(ws, 4000, "Fly", [](Room& r) { r.fly_up_room = 4004; }); },
         {4000, 4001, 4003, 4004}},
        {"an exit added",
         [&](Workspace& ws) {
             edit_room(ws, 4002, "Exit", [&](Room& r) { r.exits[kSouth] = exit_to(4004); });
         },
         {4000, 4001, 4002, 4003, 4004}},
        {"a room deleted before the others",
         [](Workspace& ws) { delete_room(ws, 4001); },
         {4000, 4002}},
    };
    for (const Case& c : cases) {
        test::FakeUi ui;
        Workspace ws(ui);
        ASSERT_TRUE(load_area_bytes(ws, "40.wld", test::test_data_bytes("walk_rooms.wld")));
        ws.world().select_slot(ws.world().find_room(4000));
        MapView view;
        view.split_line = 100000;
        centre_selected_room(ws.world(), view);
        MapLayout layout;
        lay_out_map(ws.world(), view, layout);
        c.apply(ws);
        ws.world().select_slot(ws.world().find_room(4000));
        lay_out_map(ws.world(), view, layout);
        std::vector<int> reached;
        for (int s = 0; s < ws.world().count(); ++s)
            if (layout.places[static_cast<std::size_t>(s)].reached)
                reached.push_back(ws.world().room(s).vnum);
        EXPECT_EQ(reached, c.reached) << c.change;
    }
}

}  // namespace
}  // namespace zs
