// Saving never loses what is on disk behind the builder's back: files of
// zones that were not loaded, zones emptied by deletion, links at the save
// names, and failures that name their file and cause.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>

#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "map/map_session.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"
#include "world/zone_ops.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

std::string room(int vnum) {
    return '#' + std::to_string(vnum) + "\r\nA room~\r\nText.\r\n~\r\nnone~\r\n~\r\n" +
           std::to_string(vnum / 100) + " 0 0 0 0 -1 -1 -1 0 0\r\n0 0 0 -1 0\r\nS\r\n";
}
std::string rooms(std::initializer_list<int> vnums) {
    std::string s;
    for (int v : vnums)
        s += room(v);
    return s + "$~\r\n";
}

class SaveSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    bool load(const std::string& name, const std::string& bytes) {
        return load_area_file(ws, dir.write(name, bytes));
    }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

TEST_F(SaveSafetyTest, AFileOfAZoneThatWasNotLoadedIsReplacedOnlyAfterAYes) {
    const std::string kOld31 = rooms({3100, 3101, 3102});
    dir.write("31.wld", kOld31);
    dir.write("31.obj", "#3100\r\n$~\r\n");
    dir.write("31.zon", "#31\r\nZone~\r\nrp~\r\nnone~\r\n3199 10 2 0\r\nS\r\n$\r\n");
    ASSERT_TRUE(load("30.wld", rooms({3000})));
    test::Step(ws).world().create_room(3150, 31);
    test::Step(ws).objects().create_object(3150, 31);
    test::Step(ws).zones().create_zedit(31);

    ui.answer({false, false, false});
    EXPECT_FALSE(save_everything(ws));
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_EQ(ui.questions[0].text,
              "31.wld already holds 3 rooms, and zone 31 was not loaded from it.\r\n"
              "Saving would replace them with the 1 room loaded now.\r\n\r\n"
              "Replace 31.wld?");
    EXPECT_EQ(ui.questions[0].caption, "Warning");
    EXPECT_NE(ui.questions[1].text.find("31.obj already holds 1 object"), std::string::npos);
    EXPECT_NE(ui.questions[2].text.find("31.zon already holds reset commands, and zone 31"),
              std::string::npos);
    EXPECT_EQ(dir.read("31.wld"), kOld31);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 30));  // the other zone was saved

    // Yes replaces; the zone stands for its file from then on.
    ui.clear();
    ui.answer({true});
    EXPECT_TRUE(save_every_zone(ws, TableKind::World));
    EXPECT_TRUE(dir.read("31.wld").starts_with("#3150\r\nAn unfinished room~"));
    ui.clear();
    EXPECT_TRUE(save_every_zone(ws, TableKind::World));
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(SaveSafetyTest, AZoneLoadedFromItsFileIsSavedWithoutAQuestion) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    ASSERT_TRUE(load("31.mob", "$\r\n"));
    test::Step(ws).world().edit(0, [](Room& r) { r.title = "New"; });
    test::Step(ws).mobiles().create_mobile(3100, 31);
    EXPECT_TRUE(save_everything(ws));
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(SaveSafetyTest, ARecordGivenANumberInAnotherZoneMarksBothZones) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    test::Step(ws).world().edit(0, [](Room& r) { r.vnum = 3250; });
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 32));
    EXPECT_TRUE(save_every_zone(ws, TableKind::World));
    EXPECT_FALSE(dir.exists("31.wld"));
    EXPECT_EQ(dir.read("32.wld"), rooms({3250}));
}

// A workspace on a scratch directory of its own, one per case, with zone 30
// of every kind (tests/data/zone30: rooms, a coloured one among them, an
// object, a mobile and reset commands) in it.
struct Zone30 {
    Zone30() {
        ws.set_area_dir(dir.path());
        for (const char* name : {"30.wld", "30.wld_zs", "30.obj", "30.mob", "30.zon"})
            dir.write(name, test::test_data_bytes(std::string("zone30/") + name));
    }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

// Which files of zones 30 to 35 are in the directory.
std::string present(const ScratchDir& dir) {
    std::string out;
    for (int zone = 30; zone <= 35; ++zone)
        for (const char* extension : {"wld", "wld_zs", "obj", "mob", "zon"})
            if (dir.exists(std::to_string(zone) + "." + extension))
                out += std::to_string(zone) + "." + extension + " ";
    return out;
}

TEST(EmptiedZoneSave, TheFilesOfAZoneTheBuilderEmptiedGoAndNoOtherFileIsMade) {
    const std::string k30 = "30.wld 30.wld_zs 30.obj 30.mob 30.zon ";
    const std::string k34 = "34.wld 34.wld_zs 34.obj 34.mob 34.zon ";
    auto renumber = [](Zone30& z) {
        ASSERT_TRUE(load_all(z.ws, 30));
        ASSERT_TRUE(renumber_zone(z.ws, 30, 34, true).done);
    };
    auto make_and_delete_3450 = [](Zone30& z) {
        test::Step(z.ws).world().create_room(3450, 34);
        test::Step(z.ws).world().delete_room(3450);
    };
    struct Case {
        const char* what;
        std::function<void(Zone30&)> edit;
        std::string files;  // what the directory holds after Save All
    };
    for (const Case& c : {
             Case{"renumbered", renumber, k34},
             Case{"renumbered, saved, undone",
                  [&](Zone30& z) {
                      renumber(z);
                      ASSERT_TRUE(save_all(z.ws));
                      ASSERT_TRUE(z.ws.undo());
                  },
                  k30},
             Case{"a generated map saved, then undone",
                  [](Zone30& z) {
                      MapRequest r;
                      r.rooms = 150;  // zones 34 and 35
                      r.zone = 34;
                      Random random(5);
                      ASSERT_EQ(generate_map(z.ws, r, random), MapResult::Added);
                      ASSERT_TRUE(save_all(z.ws));
                      ASSERT_TRUE(z.ws.undo());
                  },
                  k30},
             Case{"a room made and deleted", make_and_delete_3450, k30},
             Case{"a room made and deleted beside a file not loaded",
                  [&](Zone30& z) {
                      z.dir.write("34.wld", rooms({3400}));
                      make_and_delete_3450(z);
                  },
                  k30 + "34.wld "},
         }) {
        SCOPED_TRACE(c.what);
        Zone30 z;
        c.edit(z);
        EXPECT_TRUE(save_all(z.ws));
        EXPECT_EQ(present(z.dir), c.files);
        EXPECT_TRUE(z.ui.questions.empty());
        EXPECT_FALSE(z.ws.modified().any());
    }
}

TEST(EmptiedZoneSave, AFileNotWrittenOrNotRemovableSavesNothingAndAKeptFileKeepsTheOldZone) {
    const std::string k30 = "30.wld 30.wld_zs 30.obj 30.mob 30.zon ";
    struct Case {
        const char* what;
        std::function<void(Zone30&)> prepare;
        std::string message;
        std::string files;  // what the directory holds afterwards
    };
    for (const Case& c : {
             Case{"34.wld cannot be written",
                  [](Zone30& z) {
                      z.ws.set_file_step_hook(test::fail_step("create 34.wld", ENOSPC));
                  },
                  "Error saving zone file.\r\nZone 34, 34.wld: could not create 34.wld: No space "
                  "left on device\r\nNothing was saved; every file is as it was.",
                  k30},
             Case{"30.obj cannot be removed",
                  [](Zone30& z) {
                      std::filesystem::remove(z.dir.path() / "30.obj");
                      std::filesystem::create_directories(z.dir.path() / "30.obj" / "x");
                  },
                  "The save was not made: could not remove 30.obj: Is a directory.\r\nNothing "
                  "was saved; every file is as it was.",
                  k30},
             // The builder keeps a file of zone 34 that was not loaded: the
             // rest is saved, and every old file of zone 30 stays.
             Case{"34.wld kept", [](Zone30& z) { z.dir.write("34.wld", rooms({3400})); },
                  "Not every file was saved, so 30.wld, 30.obj, 30.mob and 30.zon were kept "
                  "although their zones are now empty.",
                  k30 + "34.wld 34.obj 34.mob 34.zon "},
         }) {
        SCOPED_TRACE(c.what);
        Zone30 z;
        ASSERT_TRUE(load_all(z.ws, 30));
        ASSERT_TRUE(renumber_zone(z.ws, 30, 34, true).done);
        c.prepare(z);
        EXPECT_FALSE(save_all(z.ws));
        EXPECT_EQ(z.ui.last_status(), "Error, not all data saved.");
        std::vector<std::string> shown = z.ui.message_texts();
        EXPECT_NE(std::find(shown.begin(), shown.end(), c.message), shown.end());
        EXPECT_EQ(present(z.dir), c.files);
        EXPECT_TRUE(z.ws.modified().is_set(TableKind::World, 30));
        EXPECT_TRUE(z.ws.modified().is_set(TableKind::Zone, 30));
    }
}

TEST_F(SaveSafetyTest, UnloadingForgetsTheChangesOfWhatItUnloaded) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    test::Step(ws).world().edit(0, [](Room& r) { r.title = "Changed"; });
    unload_all_worlds(ws);
    EXPECT_FALSE(ws.modified().any());
    test::Step(ws).objects().create_object(3100, 31);
    unload_all(ws);
    EXPECT_FALSE(ws.modified().any());
    // The zone no longer stands for its file: a new room there asks first.
    test::Step(ws).world().create_room(3105, 31);
    ui.clear();
    EXPECT_FALSE(save_every_zone(ws, TableKind::World));
    EXPECT_EQ(ui.questions.size(), 1u);
}

TEST_F(SaveSafetyTest, AnAreaFileThatIsALinkKeepsItsLink) {
    // The file the link names is replaced, with no file left beside it.
    ScratchDir shared;
    shared.write("32.wld", rooms({3200}));
    std::filesystem::create_symlink(shared.path() / "32.wld", dir.path() / "32.wld");
    ASSERT_TRUE(load_area_file(ws, dir.file("32.wld")));
    test::Step(ws).world().edit(ws.world().find_room(3200), [](Room& r) { r.title = "Linked"; });
    EXPECT_TRUE(save_every_zone(ws, TableKind::World));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "32.wld"));
    EXPECT_NE(shared.read("32.wld").find("Linked~"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared.path()), {}), 1);
}

TEST_F(SaveSafetyTest, FailuresNameTheZoneTheFileAndTheCause) {
    const std::string kOld = rooms({3100});
    ASSERT_TRUE(load("31.wld", kOld));
    ASSERT_TRUE(load("31.obj", "$~\r\n"));
    test::Step(ws).world().edit(0, [](Room& r) { r.room_colour = 3; });
    test::Step(ws).objects().create_object(3100, 31);

    ws.set_file_step_hook(test::fail_step("create 31.obj", EISDIR));
    EXPECT_FALSE(save_every_zone(ws, TableKind::Object));
    // The colour file cannot be written: the world file stays as it was too.
    ws.set_file_step_hook(test::fail_step("create 31.wld_zs", ENOSPC));
    EXPECT_FALSE(save_every_zone(ws, TableKind::World));
    EXPECT_EQ(ui.message_texts(),
              (std::vector<std::string>{
                  "Error saving object file.\r\nZone 31, 31.obj: could not create 31.obj: Is a "
                  "directory\r\nNothing was saved; every file is as it was.",
                  "Error saving Zonesmith file.\r\nZone 31, 31.wld_zs: could not create "
                  "31.wld_zs: No space left on device\r\nNothing was saved; every file is as it "
                  "was."}));
    EXPECT_EQ(dir.read("31.wld"), kOld);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
    EXPECT_TRUE(ws.modified().is_set(TableKind::Object, 31));
}

TEST_F(SaveSafetyTest, ARoomForAZoneNotLoadedLoadsItsWorldFileFirst) {
    attach_area_files(ws);
    const std::string kOld31 = rooms({3100, 3150});
    dir.write("31.wld", kOld31);
    ASSERT_TRUE(load("30.wld", rooms({3065})));
    MapSession session(ws.options());
    session.select_room(ws, ws.world().find_room(3065));

    // No: nothing is made, nothing loaded.
    ui.answer({false});
    session.create_room_with_vnum(ws, 3151, kEast);
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ws.world().count(), 1);
    EXPECT_EQ(ui.last_status(), "No room created; zone 31 is not loaded.");

    // Yes: the zone is loaded, then the room is made beside it.
    ui.answer({true});
    session.create_room_with_vnum(ws, 3151, kEast);
    EXPECT_EQ(ws.world().count(), 4);
    EXPECT_GE(ws.world().find_room(3151), 0);
    // A vnum the file held is refused once the zone is loaded.
    ui.clear();
    session.create_room_with_vnum(ws, 3150, kNorth);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.last_status(), "Error: Room 3150 already exists.");

    // The file of an empty map's first room (zone 1) is offered the same way.
    Workspace empty(ui);
    empty.set_area_dir(dir.path());
    attach_area_files(empty);
    dir.write("1.wld", rooms({100, 101}));
    MapSession fresh(empty.options());
    ui.answer({true});
    fresh.right_button_down(empty, 100, 100, {});
    EXPECT_EQ(empty.world().count(), 2);
    EXPECT_EQ(empty.world().selected_room()->vnum, 100);
}

}  // namespace
}  // namespace zs
