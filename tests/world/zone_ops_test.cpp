// The zone-wide operations: Apply Attributes with both groups of boxes and
// the exit-size rule, renumbering (rooms only and the whole zone with every
// reference), Delete Zone, Unload Zone and New Room; every refusal leaves
// the tables and the history as they were.
#include "world/zone_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "files/area_files.h"
#include "map/map_session.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/strfmt.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;
using test::world_file;

Room room(int vnum, std::initializer_list<std::pair<int, int>> exits = {}) {
    Room r = make_new_room(static_cast<Vnum>(vnum), zone_of(vnum));
    r.title = strfmt("Room %d", vnum);
    for (auto [dir, to] : exits) {
        r.exits[dir].emplace();
        r.exits[dir]->destination = static_cast<Vnum>(to);
    }
    return r;
}

Zcmd command(char letter, std::array<std::int32_t, 6> args) {
    Zcmd c;
    c.command = letter;
    c.arg = args;
    return c;
}

// Everything the tables hold, in slot order, to compare whole states.
struct Snapshot {
    test::Tables tables;
    int room_blocks;
    std::size_t steps;
};

Snapshot snapshot(const Workspace& ws) {
    return {test::tables_of(ws), ws.world().block_count(), ws.history().step_count()};
}

::testing::AssertionResult same(const Snapshot& a, const Snapshot& b) {
    if (auto tables = test::same_tables(a.tables, b.tables); !tables) return tables;
    if (a.room_blocks != b.room_blocks) return ::testing::AssertionFailure() << "blocks differ";
    if (a.steps != b.steps) return ::testing::AssertionFailure() << "history differs";
    return ::testing::AssertionSuccess();
}

// Zone 30 (rooms, zedit, two objects, a mobile) beside zone 40 whose rooms,
// resets and objects refer into zone 30, and a room of zone 31.
class ZoneOpsTest : public ::testing::Test {
protected:
    // Undo gives back `before` (the history keeping its steps), redo the present.
    void undo_and_redo_are_exact(Snapshot before) {
        Snapshot after = snapshot(ws);
        ASSERT_TRUE(ws.undo());
        before.steps = after.steps;
        EXPECT_TRUE(same(snapshot(ws), before));
        ASSERT_TRUE(ws.redo());
        EXPECT_TRUE(same(snapshot(ws), after));
    }

    void SetUp() override {
        TableLoading<WorldTable> w = TableLoad(ws).world();
        for (int zone : {30, 40, 31})
            w.reserve(zone);
        w.append(room(3000, {{kEast, 3001}, {kNorth, 4001}}));
        w.append(room(3001, {{kWest, 3000}, {kEast, 3099}}));
        w.append(room(4000, {{kSouth, 3001}}));
        w.append(room(4001, {{kSouth, 3000}}));
        w.append(room(3100));
        w.edit_loaded(ws.world().find_room(3000), [](Room& r) { r.fly_up_room = 3001; });
        w.edit_loaded(ws.world().find_room(4000), [](Room& r) {
            r.exits[kSouth]->key = 3011;
            r.exits[kSouth]->exit_flags = kExitIsDoor;
            r.fall_room = 3000;
        });

        Zedit z30 = make_new_zedit(30);
        z30.top = 3099;
        z30.commands = {command('M', {3020, 1, 3000, 0, 0, 0}),
                        command('E', {3010, 1, 16, 0, 0, 0}),
                        command('O', {3011, 1, 3001, 0, 0, 0})};
        TableLoad(ws).zones().append(z30);
        Zedit z40 = make_new_zedit(40);
        z40.commands = {
            command('M', {3020, 1, 4000, 0, 0, 0}), command('O', {3010, 1, 4000, 0, 0, 0}),
            command('G', {3011, 1, 0, 0, 0, 0}),    command('P', {3011, 1, 3010, 0, 0, 0}),
            command('D', {3001, 2, 1, 0, 0, 0}),    command('R', {3000, 3011, 0, 0, 0, 0}),
            command('V', {2, 5, 3000, 0, 0, 0}),    command('T', {2, 3005, 0, 0, 0, 0})};
        TableLoad(ws).zones().append(z40);
        auto object = [&](int vnum, int type, int key) {
            ObjectPrototype o = make_new_object(static_cast<Vnum>(vnum), zone_of(vnum));
            o.type = type;
            o.values[2] = key;
            TableLoad(ws).objects().append(o);
        };
        object(3010, 15, 3011);  // a container locked by object 3011
        object(3011, 18, 3000);  // a key: its values name nothing
        object(4010, 15, 3011);
        TableLoad(ws).mobiles().append(make_new_mobile(3020, 30));
        ws.world().select_slot(0);
    }

    const Room& at(int vnum) { return ws.world().room(ws.world().find_room(vnum)); }

    FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ZoneOpsTest, ApplyAttributesFollowsTheBoxesAndTheExitSizeRule) {
    // Rooms of zone 30 before: 3000 (selected) and 3001; 3100 is another zone.
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3000), [](Room& r) {
        r.room_flags = 0x5;
        r.sector = 3;
        r.climate = 2;
        r.nation = 1;
        r.room_size = 4;
    });
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3001), [](Room& r) {
        r.room_flags = 0x40;
        r.nation = 0;
        r.exits[kWest]->exit_size = 6;
    });
    struct Case {
        const char* name;
        ApplyAttributesChoices choices;
        std::array<int, 3> exit_sizes_3000;  // north, east before
        std::uint32_t flags_3001;
        int nation_3001, size_3001;
        std::array<int, 2> exit_sizes_3001;  // west, east after
        const char* status;
    };
    ApplyAttributesChoices defaults;
    ApplyAttributesChoices keep_all{true, true, true, true, true, true, true, true, true, true};
    ApplyAttributesChoices sizes = defaults;
    sizes.room_size = sizes.exit_size = true;
    const Case cases[] = {
        {"defaults",
         defaults,
         {5, 5},
         0x5,
         1,
         -1,
         {6, -1},
         "Specified attributes copied to zone 30."},
        {"sizes agree",
         sizes,
         {5, 5},
         0x5,
         1,
         4,
         {5, 5},
         "Specified attributes copied to zone 30."},
        {"sizes differ",
         sizes,
         {5, 2},
         0x5,
         1,
         4,
         {6, -1},
         "Specified attributes copied to zone 30, but not Exit Size: the exits of room 3000 "
         "differ in size."},
        {"keep what is set",
         keep_all,
         {5, 5},
         0x40,
         0,
         4,
         {6, 5},
         "Specified attributes copied to zone 30."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableLoad(ws).world().edit_loaded(ws.world().find_room(3000), [&](Room& r) {
            r.exits[kNorth]->exit_size = c.exit_sizes_3000[0];
            r.exits[kEast]->exit_size = c.exit_sizes_3000[1];
        });
        Snapshot before = snapshot(ws);
        ASSERT_TRUE(apply_attributes(ws, c.choices));
        EXPECT_EQ(ui.last_status(), c.status);
        EXPECT_EQ(ws.undo_text(), "Undo Apply Attributes to Zone 30");
        const Room& r = at(3001);
        EXPECT_EQ(r.room_flags, c.flags_3001);
        EXPECT_EQ(r.sector, 3);
        EXPECT_EQ(r.climate, 2);
        EXPECT_EQ(r.nation, c.nation_3001);
        EXPECT_EQ(r.room_size, c.size_3001);
        EXPECT_EQ(r.exits[kWest]->exit_size, c.exit_sizes_3001[0]);
        EXPECT_EQ(r.exits[kEast]->exit_size, c.exit_sizes_3001[1]);
        EXPECT_EQ(at(3100).sector, 0);  // another zone
        ASSERT_TRUE(ws.undo());
        before.steps = ws.history().step_count();
        EXPECT_TRUE(same(snapshot(ws), before));
    }
}

TEST_F(ZoneOpsTest, ExitSizeFromARoomWithoutExitsIsZero) {
    ws.world().select_slot(ws.world().find_room(3100));
    TableLoad(ws).world().append(room(3150, {{kUp, 3100}}));
    ApplyAttributesChoices c;
    c.exit_size = true;
    ASSERT_TRUE(apply_attributes(ws, c));
    EXPECT_EQ(at(3150).exits[kUp]->exit_size, 0);
}

TEST_F(ZoneOpsTest, RefusalsChangeNothing) {
    TableLoad(ws).world().reserve(42);
    TableLoad(ws).world().append(room(4200));
    TableLoad(ws).objects().append(make_new_object(4300, 43));
    MapSession session(ws.options());
    struct Case {
        const char* name;
        std::function<void()> run;
        std::string said;  // the message box or the status
    };
    auto renumber = [&](const char* old_box, const char* new_box, bool whole) {
        return
            [=, this] { EXPECT_FALSE(renumber_zone_from_boxes(ws, old_box, new_box, whole).done); };
    };
    const Case cases[] = {
        {"renumber, empty box", renumber("30", " ", false),
         "That zone does not seem to have been loaded."},
        {"renumber, not a number", renumber("30", "3x", true),
         "Error: Invalid zone number \"3x\"; zones run from 0 to 327."},
        {"renumber, beyond 327", renumber("30", "328", true),
         "Error: Invalid zone number \"328\"; zones run from 0 to 327."},
        {"renumber, below 0", renumber("-1", "50", false),
         "Error: Invalid zone number \"-1\"; zones run from 0 to 327."},
        {"renumber onto rooms", renumber("30", "42", false), "Zone to renumber to already exists!"},
        {"renumber onto objects", renumber("30", "43", true),
         "Zone to renumber to already exists!"},
        {"renumber onto itself", renumber("30", "30", true), "Zone to renumber to already exists!"},
        {"renumber what is not loaded", renumber("50", "51", true),
         "That zone does not seem to have been loaded."},
        {"renumber past 32767", renumber("30", "327", true),
         "Error: vnum 3099 would become 32799, above the highest vnum 32767; zone 30 was not "
         "renumbered."},
        {"delete, not a number", [&] { EXPECT_FALSE(delete_zone(ws, "x")); },
         "Error: Invalid zone number \"x\"; zones run from 0 to 327."},
        {"delete, answered No", [&] { EXPECT_FALSE(delete_zone(ws, "30")); }, ""},
        {"delete, no rooms",
         [&] {
             ui.answer({true});
             EXPECT_FALSE(delete_zone(ws, "50"));
         },
         "Zone 50 does not exist."},
        {"unload, no rooms", [&] { EXPECT_FALSE(unload_zone(ws, "50")); },
         "Zone 50 does not exist."},
        {"unload, beyond 327", [&] { EXPECT_FALSE(unload_zone(ws, "400")); },
         "Error: Invalid zone number \"400\"; zones run from 0 to 327."},
        {"new room 0", [&] { EXPECT_FALSE(session.create_room_by_number(ws, "0")); },
         "Error: Invalid vnum 0; room vnums run from 1 to 32767."},
        {"new room abc", [&] { EXPECT_FALSE(session.create_room_by_number(ws, "abc")); },
         "Error: Invalid vnum \"abc\": not a number; room vnums run from 1 to 32767."},
        {"new room 32768", [&] { EXPECT_FALSE(session.create_room_by_number(ws, "32768")); },
         "Error: Invalid vnum 32768; room vnums run from 1 to 32767."},
        {"new room that exists", [&] { EXPECT_FALSE(session.create_room_by_number(ws, "3001")); },
         "Error: room 3001 already exists."},
        // The box's number: blanks before it, line ends after it, no '+'.
        {"new room +3002", [&] { EXPECT_FALSE(session.create_room_by_number(ws, "+3002")); },
         "Error: Invalid vnum \"+3002\": not a number; room vnums run from 1 to 32767."},
        {"new room that exists, with blanks",
         [&] { EXPECT_FALSE(session.create_room_by_number(ws, " \t3001\r\n")); },
         "Error: room 3001 already exists."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        Snapshot before = snapshot(ws);
        c.run();
        EXPECT_TRUE(same(snapshot(ws), before));
        std::string said = !ui.messages.empty() ? ui.messages.back().text : ui.last_status();
        EXPECT_EQ(said, c.said);
    }
}

TEST_F(ZoneOpsTest, RenumberingRefusesWhileARecordItMovesHasACopy) {
    // Each case on a fresh copy of the fixture's tables.
    struct Fresh : ZoneOpsTest {
        void TestBody() override {}
        using ZoneOpsTest::SetUp;
        using ZoneOpsTest::ui;
        using ZoneOpsTest::ws;
    };
    const std::string kTail =
        ". Renumbered, zone 34 would hold every copy; unload the copies first (Check Area names "
        "the files they came from).";
    struct Case {
        const char* name;
        std::function<void(Workspace&)> copy;  // loads the copies
        bool whole_zone;
        std::string said;  // "" when the zone is renumbered
    };
    const Case cases[] = {
        {"six rooms twice",
         [](Workspace& w) {
             for (int copy = 0; copy < 2; ++copy)
                 for (int v = 3050; v <= 3055; ++v)
                     TableLoad(w).world().append(room(v));
         },
         false,
         "Error: zone 30 was not renumbered: the loaded zones hold more than one record with each "
         "of these vnums: room 3050, room 3051, room 3052, room 3053, room 3054 and 1 more" +
             kTail},
        {"the zedit, an object and a mobile",
         [](Workspace& w) {
             TableLoad(w).zones().append(make_new_zedit(30));
             TableLoad(w).objects().append(make_new_object(3011, 30));
             TableLoad(w).mobiles().append(make_new_mobile(3020, 30));
         },
         true,
         "Error: zone 30 was not renumbered: the loaded zones hold more than one record with each "
         "of these vnums: zedit 30, object 3011 and mobile 3020" +
             kTail},
        // Rooms alone move: the objects' copies stay where they are.
        {"an object, rooms only",
         [](Workspace& w) { TableLoad(w).objects().append(make_new_object(3011, 30)); }, false, ""},
        {"a room of another zone", [](Workspace& w) { TableLoad(w).world().append(room(4000)); },
         true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh f;
        f.SetUp();
        c.copy(f.ws);
        Snapshot before = snapshot(f.ws);
        f.ui.clear();
        RenumberResult r = renumber_zone(f.ws, 30, 34, c.whole_zone);
        EXPECT_EQ(r.done, c.said.empty());
        if (c.said.empty()) continue;
        EXPECT_TRUE(same(snapshot(f.ws), before));
        ASSERT_EQ(f.ui.messages.size(), 1u);
        EXPECT_EQ(f.ui.messages[0].text, c.said);
    }
}

TEST_F(ZoneOpsTest, RenumberingRoomsMovesThemWithTheirExitsAndUndoesExactly) {
    Snapshot before = snapshot(ws);
    RenumberResult r = renumber_zone_from_boxes(ws, "30", "32", false);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(ui.messages.back(),
              (test::Shown{"All rooms and exits in zone 30 renumbered to zone 32.", "Success"}));
    EXPECT_EQ(ws.undo_text(), "Undo Renumber Zone 30 to 32");
    EXPECT_FALSE(ws.world().has_zone(30));
    EXPECT_EQ(at(3201).exits[kEast]->destination, 3299);
    EXPECT_EQ(at(3200).exits[kNorth]->destination, 4001);  // another zone's room
    EXPECT_EQ(at(3200).fly_up_room, 3201);
    EXPECT_EQ(at(4000).exits[kSouth]->destination, 3001);  // rooms only: left alone
    EXPECT_EQ(ws.zones().find_zedit(32), -1);
    undo_and_redo_are_exact(before);
}

TEST_F(ZoneOpsTest, RenumberingTheWholeZoneRewritesEveryReference) {
    Snapshot before = snapshot(ws);
    RenumberResult r = renumber_zone(ws, 30, 200, true);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.rooms, 2);
    EXPECT_EQ(r.zedits, 1);
    EXPECT_EQ(r.objects, 2);
    EXPECT_EQ(r.mobiles, 1);
    auto cmd = [&](int zone, int n, int arg) {
        return ws.zones().zedit(ws.zones().find_zedit(zone)).commands[n].arg[arg];
    };
    auto obj = [&](int vnum) { return ws.objects().record(ws.objects().find(vnum)); };
    struct Ref {
        const char* what;
        int now, expected;
    };
    const Ref refs[] = {
        {"exit inside the zone", at(20000).exits[kEast]->destination, 20001},
        {"exit out of the zone", at(20000).exits[kNorth]->destination, 4001},
        {"exit beyond the loaded rooms", at(20001).exits[kEast]->destination, 20099},
        {"fly room", at(20000).fly_up_room, 20001},
        {"another zone's exit", at(4000).exits[kSouth]->destination, 20001},
        {"another zone's key", at(4000).exits[kSouth]->key, 20011},
        {"another zone's fall room", at(4000).fall_room, 20000},
        {"zedit top", ws.zones().zedit(ws.zones().find_zedit(200)).top, 20099},
        {"M mobile", cmd(200, 0, 0), 20020},
        {"M room", cmd(200, 0, 2), 20000},
        {"E object", cmd(200, 1, 0), 20010},
        {"E wear position", cmd(200, 1, 2), 16},
        {"O object", cmd(200, 2, 0), 20011},
        {"O room", cmd(200, 2, 2), 20001},
        {"other zone's M mobile", cmd(40, 0, 0), 20020},
        {"other zone's M room", cmd(40, 0, 2), 4000},
        {"O object", cmd(40, 1, 0), 20010},
        {"G object", cmd(40, 2, 0), 20011},
        {"P object", cmd(40, 3, 0), 20011},
        {"P container", cmd(40, 3, 2), 20010},
        {"D room", cmd(40, 4, 0), 20001},
        {"D direction", cmd(40, 4, 1), 2},
        {"R room", cmd(40, 5, 0), 20000},
        {"R object", cmd(40, 5, 1), 20011},
        {"V room", cmd(40, 6, 2), 20000},
        {"T trigger vnum (not a record of the zone)", cmd(40, 7, 1), 3005},
        {"container key", obj(20010).values[2], 20011},
        {"another zone's container key", obj(4010).values[2], 20011},
        {"a key's values", obj(20011).values[2], 3000},
    };
    for (const Ref& ref : refs)
        EXPECT_EQ(ref.now, ref.expected) << ref.what;
    // Zone 30's rooms: 3 exits and a fly room; zone 40's rooms: 2 exits, a key
    // and a fall room; commands: 5 of zone 30, 9 of zone 40; 2 container keys.
    EXPECT_EQ(r.references, 4 + 4 + 5 + 9 + 2);
    EXPECT_EQ(ui.messages.back().text,
              "Zone 30 renumbered to zone 200: 2 rooms, 1 zedit, 2 objects and 1 mobile moved; "
              "24 references rewritten.");
    EXPECT_FALSE(ws.has_zone(TableKind::Object, 30));
    undo_and_redo_are_exact(before);
}

TEST_F(ZoneOpsTest, DeleteZoneRemovesIncomingExitsAndUnloadKeepsThem) {
    int blocks = ws.world().block_count();
    ui.answer({true});
    ASSERT_TRUE(delete_zone(ws, "30"));
    EXPECT_EQ(ui.questions.back(), (test::Shown{std::string(kDeleteZoneWarning), "Warning"}));
    EXPECT_EQ(ui.last_status(), "Zone 30 deleted.");
    EXPECT_EQ(ws.undo_text(), "Undo Delete Zone 30");
    EXPECT_FALSE(at(4000).exits[kSouth]);
    EXPECT_EQ(ws.world().block_count(), blocks - 1);
    ASSERT_NE(ws.world().selected_room(), nullptr);
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(at(4000).exits[kSouth]->destination, 3001);

    ASSERT_TRUE(unload_zone(ws, "30"));
    EXPECT_EQ(ui.last_status(), "Zone 30 unloaded.");
    EXPECT_EQ(at(4000).exits[kSouth]->destination, 3001);
    EXPECT_FALSE(ws.world().has_zone(30));
    EXPECT_FALSE(ws.history().can_undo());  // steps of an unloaded zone are gone
}

TEST_F(ZoneOpsTest, NewRoomIsMadeSelectedAndUndoable) {
    MapSession session(ws.options());
    EXPECT_FALSE(session.create_room_by_number(ws, ""));
    EXPECT_TRUE(ui.statuses.empty());
    ASSERT_TRUE(session.create_room_by_number(ws, "5012"));
    EXPECT_EQ(ui.last_status(), "New room 5012 created.");
    ASSERT_NE(ws.world().selected_room(), nullptr);
    EXPECT_EQ(ws.world().selected_room()->vnum, 5012);
    EXPECT_TRUE(std::none_of(at(5012).exits.begin(), at(5012).exits.end(),
                             [](const auto& e) { return e.has_value(); }));
    EXPECT_EQ(ws.undo_text(), "Undo Create Room 5012");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.world().find_room(5012), -1);
}

TEST(ZoneOpsFiles, DeletedZoneStaysDeletedAfterSaveAll) {
    ScratchDir dir;
    dir.write("30.wld", world_file({{3000, {{kEast, 3100}}}}));
    dir.write("31.wld", world_file({{3100, {{kWest, 3000}}}}));
    FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(dir.path());
    ASSERT_TRUE(load_area_file(ws, dir.file("30.wld")));
    ASSERT_TRUE(load_area_file(ws, dir.file("31.wld")));
    ui.answer({true});
    ASSERT_TRUE(delete_zone(ws, "30"));
    ASSERT_TRUE(save_all(ws));
    EXPECT_FALSE(dir.exists("30.wld"));

    FakeUi ui2;
    Workspace again(ui2);
    again.set_area_dir(dir.path());
    ASSERT_TRUE(load_area_file(again, dir.file("31.wld")));
    EXPECT_EQ(again.world().count(), 1);
    EXPECT_FALSE(again.world().room(0).exits[kWest]);
}

}  // namespace
}  // namespace zs
