// The Exit Data dialog's core: what it shows for an exit, and what applying
// it and copying door data do to both rooms, with the refusals that change
// nothing.
#include "map/exit_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/area_files.h"
#include "files/file_wld.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "world/room_text.h"
#include "world/workspace.h"

namespace zs {
namespace {

class ExitDataTest : public ::testing::Test {
protected:
    // 3001 and 3002 stand unlinked; 3003 has a south exit to 3004.
    void SetUp() override {
        TableLoad(ws).world().reserve(30);
        for (int v : {3001, 3002, 3004})
            TableLoad(ws).world().append(test::room_with_exits(v, {}));
        TableLoad(ws).world().append(test::room_with_exits(3003, {{kSouth, 3004}}));
    }
    void set_exit(int vnum, int dir, const std::function<void(Exit&)>& fn) {
        TableLoad(ws).world().edit_loaded(ws.world().find_room(vnum), [&](Room& r) {
            if (!r.exits[dir]) r.exits[dir] = Exit{};
            fn(*r.exits[dir]);
        });
    }
    const Room& room(int vnum) { return *ws.world().find_room_record(vnum); }
    const Exit* exit_of(int vnum, int dir) {
        const auto& e = room(vnum).exits[dir];
        return e ? &*e : nullptr;
    }
    static ExitForm door_to(std::string target, DoorChoice door = DoorChoice::Door) {
        ExitForm f;
        f.exits_to = std::move(target);
        f.door = door;
        f.key_vnum = "3050";
        f.lock_quality = "5";
        f.door_strength = "7";
        f.keywords = "gate";
        f.size = 4;
        return f;
    }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ExitDataTest, ShowsEveryFieldAndAppliesThemBackUnchanged) {
    EXPECT_EQ(show_exit(ws, 3001, kNorth), ExitForm{});  // no exit: all clear
    set_exit(3001, kNorth, [](Exit& e) {
        e.destination = 3003;  // whose south exit leads to another room
        e.key = 3050;
        e.lock_quality = 5;
        e.door_strength = 7;
        e.door_keywords = "gate";
        e.door_description = "a gate";
        e.description = "A road.\r\n";
    });
    struct Case {
        std::uint16_t flags;
        int size;
        DoorChoice door;
        std::optional<int> shown_size;  // nothing: no size chosen
    };
    for (const Case& c :
         {Case{0, -1, DoorChoice::NotADoor, -1}, Case{kExitIsDoor, 0, DoorChoice::Door, 0},
          Case{kExitIsDoor | kExitPickproof, 8, DoorChoice::PickproofDoor, std::nullopt},
          Case{kExitIsDoor | kExitPickproof, -2, DoorChoice::PickproofDoor, std::nullopt}}) {
        set_exit(3001, kNorth, [&](Exit& e) {
            e.exit_flags = c.flags;
            e.exit_size = c.size;
        });
        ExitForm expected{"3003", c.door,   "3050",        "5",  "7",
                          "gate", "a gate", "A road.\r\n", true, c.shown_size};
        ExitForm shown = show_exit(ws, 3001, kNorth);
        EXPECT_EQ(shown, expected) << c.flags << " " << c.size;
        test::Tables before = test::tables_of(ws);
        ASSERT_TRUE(apply_exit(ws, 3001, kNorth, shown));
        EXPECT_TRUE(test::same_tables(test::tables_of(ws), before)) << c.flags << " " << c.size;
    }
    EXPECT_FALSE(ws.history().can_undo());  // steps that changed nothing are dropped
}

TEST_F(ExitDataTest, ANewTwoWayExitLinksBothRoomsInOneUndoableStep) {
    test::Tables before = test::tables_of(ws);
    ASSERT_TRUE(apply_exit(ws, 3001, kNorth, door_to("3002")));
    Exit expected;
    expected.exit_flags = kExitIsDoor;
    expected.key = 3050;
    expected.lock_quality = 5;
    expected.door_strength = 7;
    expected.door_keywords = "gate";
    expected.exit_size = 4;
    for (auto [vnum, dir, to] : {std::tuple{3001, kNorth, 3002}, {3002, kSouth, 3001}}) {
        expected.destination = static_cast<Vnum>(to);
        EXPECT_EQ(room(vnum).exits[dir], expected) << vnum;
    }
    EXPECT_EQ(ws.undo_text(), "Undo Edit North Exit of Room 3001");
    test::Tables after = test::tables_of(ws);
    ASSERT_TRUE(ws.undo());
    EXPECT_TRUE(test::same_tables(test::tables_of(ws), before));
    EXPECT_FALSE(ws.history().can_undo());
    ASSERT_TRUE(ws.redo());
    EXPECT_TRUE(test::same_tables(test::tables_of(ws), after));
}

TEST_F(ExitDataTest, AReturnExitThatIsThereAlreadyKeepsItsDoor) {
    set_exit(3002, kSouth, [](Exit& e) {
        e.destination = 3001;
        e.exit_flags = kExitIsDoor;
        e.key = 99;
        e.door_keywords = "hatch";
    });
    const Exit kept = *room(3002).exits[kSouth];
    ASSERT_TRUE(apply_exit(ws, 3001, kNorth, door_to("3002")));
    EXPECT_EQ(room(3001).exits[kNorth]->door_keywords, "gate");
    EXPECT_EQ(room(3002).exits[kSouth], kept);
}

TEST_F(ExitDataTest, RefusalsSayWhyAndChangeNothing) {
    set_exit(3001, kEast, [](Exit& e) { e.destination = 9000; });  // into an unloaded zone
    struct Case {
        int dir;
        std::function<void(ExitForm&)> change;
        std::string status;
    };
    const std::string tilde = room_text_refusal("~");
    for (const Case& c : {
             Case{kNorth, [](ExitForm& f) { f.exits_to = "3099"; },
                  "Error: Room 3099 does not exist!"},
             // A changed target must be loaded, even for an exit that exists.
             Case{kEast, [](ExitForm& f) { f.exits_to = "9001"; },
                  "Error: Room 9001 does not exist!"},
             // Room 0 is no room, and one-way exits may not lead to it either.
             Case{kNorth,
                  [](ExitForm& f) {
                      f.exits_to = "0";
                      f.one_way = true;
                  },
                  "Error: Room 0 does not exist!"},
             Case{kNorth, [](ExitForm& f) { f.exits_to = "abc"; },
                  "Error: Exits to \"abc\" is not a number; the north exit of room 3001 is "
                  "unchanged."},
             Case{kNorth, [](ExitForm& f) { f.exits_to = "3003"; },
                  "Error: Room 3003 already has a return exit."},
             Case{kNorth, [](ExitForm& f) { f.exits_to = "40000"; },
                  "Error: Exits to 40000 is not a vnum (-32768 to 32767); the north exit of room "
                  "3001 is unchanged."},
             Case{kNorth, [](ExitForm& f) { f.key_vnum = "-32769"; },
                  "Error: Key Vnum -32769 is not a vnum (-32768 to 32767); the north exit of room "
                  "3001 is unchanged."},
             Case{kNorth, [](ExitForm& f) { f.door_strength = "3000000000"; },
                  "Error: Door Strength 3000000000 is out of range (-2147483648 to 2147483647); "
                  "the north exit of room 3001 is unchanged."},
             Case{kNorth, [](ExitForm& f) { f.lock_quality = "-2147483649"; },
                  "Error: Lock Quality -2147483649 is out of range (-2147483648 to 2147483647); "
                  "the north exit of room 3001 is unchanged."},
             Case{kNorth, [](ExitForm& f) { f.lock_quality = "high"; },
                  "Error: Lock Quality \"high\" is not a number; the north exit of room 3001 is "
                  "unchanged."},
             Case{kNorth, [](ExitForm& f) { f.keywords = "gate~"; }, tilde},
             Case{kNorth, [](ExitForm& f) { f.description = std::string(kMaxTextLength + 1, 'a'); },
                  room_text_refusal(std::string(kMaxTextLength + 1, 'a'))},
         }) {
        ExitForm f = door_to("3002");
        c.change(f);
        test::Tables before = test::tables_of(ws);
        EXPECT_FALSE(apply_exit(ws, 3001, c.dir, f)) << c.status;
        EXPECT_EQ(ui.last_status(), c.status);
        EXPECT_TRUE(test::same_tables(test::tables_of(ws), before)) << c.status;
    }
    EXPECT_FALSE(ws.history().can_undo());
    // An empty "Exits to:" box applies nothing, and is no refusal.
    ui.clear();
    EXPECT_TRUE(apply_exit(ws, 3001, kNorth, door_to("")));
    EXPECT_EQ(exit_of(3001, kNorth), nullptr);
    EXPECT_TRUE(ui.statuses.empty());
}

TEST_F(ExitDataTest, OneWayAndUnloadedTargetsMakeOrKeepASingleExit) {
    set_exit(3001, kEast, [](Exit& e) {
        e.destination = 9000;
        e.door_keywords = "old";
    });
    // The kept target of an exit into an unloaded zone: the door fields apply.
    ASSERT_TRUE(apply_exit(ws, 3001, kEast, door_to("9000", DoorChoice::PickproofDoor)));
    EXPECT_EQ(exit_of(3001, kEast)->exit_flags, kExitIsDoor | kExitPickproof);
    EXPECT_EQ(exit_of(3001, kEast)->door_keywords, "gate");

    struct Case {
        int dir;
        std::string target;
        int back_vnum, back_dir;  // the exit that must stay as it was
    };
    for (const Case& c : {Case{kNorth, "3003", 3003, kSouth},  // its return exit goes elsewhere
                          Case{kWest, "9500", 3002, kEast},    // not loaded
                          Case{kUp, "3002", 3002, kDown}}) {   // one-way into a loaded room
        ExitForm f = door_to(c.target);
        f.one_way = true;
        std::optional<Exit> back = ws.world().find_room_record(c.back_vnum)->exits[c.back_dir];
        ASSERT_TRUE(apply_exit(ws, 3001, c.dir, f)) << c.target;
        ASSERT_NE(exit_of(3001, c.dir), nullptr);
        EXPECT_EQ(exit_of(3001, c.dir)->destination, std::stoi(c.target));
        EXPECT_EQ(ws.world().find_room_record(c.back_vnum)->exits[c.back_dir], back) << c.target;
    }
    // An existing exit led elsewhere gets no return exit.
    ASSERT_TRUE(apply_exit(ws, 3001, kWest, door_to("3002")));
    EXPECT_EQ(exit_of(3001, kWest)->destination, 3002);
    EXPECT_EQ(exit_of(3002, kEast), nullptr);
}

TEST_F(ExitDataTest, EmptyBoxesKeepTextsAndAnUnlistedSizeButClearNumbers) {
    set_exit(3001, kNorth, [](Exit& e) {
        e.destination = 3002;
        e.door_keywords = "gate";
        e.door_description = "a gate";
        e.description = "A road.\r\n";
        e.key = 3050;
        e.lock_quality = 5;
        e.exit_size = 9;  // no name in the size list
    });
    ExitForm f;
    f.exits_to = "3002";
    f.one_way = true;
    f.door_description = "an iron gate";
    ASSERT_TRUE(apply_exit(ws, 3001, kNorth, f));
    const Exit* e = exit_of(3001, kNorth);
    EXPECT_EQ(e->door_keywords, "gate");
    EXPECT_EQ(e->door_description, "an iron gate");
    EXPECT_EQ(e->description, "A road.\r\n");
    EXPECT_EQ(e->key, -1);
    EXPECT_EQ(e->lock_quality, 0);
    EXPECT_EQ(e->exit_flags, 0);
    EXPECT_EQ(e->exit_size, 9);
    f.size = -1;  // "none"
    ASSERT_TRUE(apply_exit(ws, 3001, kNorth, f));
    EXPECT_EQ(exit_of(3001, kNorth)->exit_size, -1);
}

TEST_F(ExitDataTest, APickproofDoorSurvivesSaveAndReload) {
    ASSERT_TRUE(apply_exit(ws, 3001, kNorth, door_to("3002", DoorChoice::PickproofDoor)));
    std::string file = zone_file_text(ws, TableKind::World, 30);
    ReadResult<Room> read = read_world(file, "30.wld");
    ASSERT_TRUE(read.ok);
    Workspace again{ui};
    TableLoad(again).world().reserve(30);
    for (Room& r : read.records)
        TableLoad(again).world().append(std::move(r));
    ExitForm shown = show_exit(again, 3001, kNorth);
    EXPECT_EQ(shown.door, DoorChoice::PickproofDoor);
    EXPECT_EQ(show_exit(again, 3002, kSouth).door, DoorChoice::PickproofDoor);
    // The map draws a door bar for every exit with the door bit.
    EXPECT_TRUE(again.world().find_room_record(3001)->exits[kNorth]->exit_flags & kExitIsDoor);
}

TEST_F(ExitDataTest, OneWayCannotBeTickedForAnExitWhoseTargetLeadsBack) {
    set_exit(3004, kSouth, [](Exit& e) { e.destination = 3001; });
    struct Case {
        std::string box;
        bool allowed;
    };
    for (const Case& c : {Case{"3004", false}, Case{"3003", true}, Case{"3002", true},
                          Case{"9000", true}, Case{"", true}})
        EXPECT_EQ(one_way_allowed(ws, 3001, kNorth, c.box), c.allowed) << c.box;
}

TEST_F(ExitDataTest, CopyDoorDataFollowsTheStoredTargetAndKeepsTextsOfEmptyBoxes) {
    set_exit(3001, kNorth, [](Exit& e) { e.destination = 3002; });
    ExitForm f = door_to("3004", DoorChoice::PickproofDoor);  // the box is not followed
    ASSERT_TRUE(copy_door_data(ws, 3001, kNorth, f));
    EXPECT_EQ(exit_of(3004, kSouth), nullptr);
    const Exit* back = exit_of(3002, kSouth);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->destination, 3001);
    EXPECT_EQ(back->exit_flags, kExitIsDoor | kExitPickproof);
    EXPECT_EQ(back->door_keywords, "gate");
    EXPECT_EQ(ws.undo_text(), "Undo Copy Door Data of North Exit of Room 3001");

    // An existing return exit keeps the texts of empty boxes.
    set_exit(3002, kSouth, [](Exit& e) { e.description = "The road back.\r\n"; });
    f.keywords.clear();
    f.door = DoorChoice::Door;
    f.key_vnum.clear();
    ASSERT_TRUE(copy_door_data(ws, 3001, kNorth, f));
    back = exit_of(3002, kSouth);
    EXPECT_EQ(back->door_keywords, "gate");
    EXPECT_EQ(back->description, "The road back.\r\n");
    EXPECT_EQ(back->exit_flags, kExitIsDoor);
    EXPECT_EQ(back->key, -1);

    struct Case {
        int dir;
        std::string status;
    };
    set_exit(3001, kEast, [](Exit& e) { e.destination = 3003; });
    set_exit(3003, kWest, [](Exit& e) { e.destination = 3004; });
    set_exit(3001, kUp, [](Exit& e) { e.destination = 9000; });
    for (const Case& c : {Case{kEast, "Exit data NOT copied; return exit goes elsewhere."},
                          Case{kUp, "Exit data NOT copied; room 9000 is not loaded."},
                          Case{kWest, "Exit data NOT copied; room 3001 has no west exit."}}) {
        test::Tables before = test::tables_of(ws);
        EXPECT_FALSE(copy_door_data(ws, 3001, c.dir, f));
        EXPECT_EQ(ui.last_status(), c.status);
        EXPECT_TRUE(test::same_tables(test::tables_of(ws), before)) << c.status;
    }
}

}  // namespace
}  // namespace zs
