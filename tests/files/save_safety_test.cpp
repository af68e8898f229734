// Saving never loses what is on disk behind the builder's back: files of
// zones that were not loaded, zones emptied by deletion, links at the save
// names, and failures that name their file and cause.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "map/map_session.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

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
    ws.world().create_room(3150, 31);
    ws.objects().create_object(3150, 31);
    ws.zones().create_zedit(31);

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
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_TRUE(dir.read("31.wld").starts_with("#3150\r\nAn unfinished room~"));
    ui.clear();
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(SaveSafetyTest, AZoneLoadedFromItsFileIsSavedWithoutAQuestion) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    ASSERT_TRUE(load("31.mob", "$\r\n"));
    ws.world().edit_room(0, [](Room& r) { r.title = "New"; });
    ws.mobiles().create_mobile(3100, 31);
    EXPECT_TRUE(save_everything(ws));
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(SaveSafetyTest, AZoneWhoseRecordsWereAllDeletedIsSavedEmpty) {
    ASSERT_TRUE(load("31.wld", rooms({3100, 3101})));
    dir.write("31.wld_zs", "Col: 3100 4\r\n");
    ws.world().delete_room(3100, true);
    ws.world().delete_room(3101, true);
    // A failed load of another zone, rolled back, changes nothing of that.
    std::string broken = rooms({3200});
    broken.insert(broken.size() - 4, "#3201\r\nbroken");
    ASSERT_FALSE(load("32.wld", broken));
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_TRUE(ui.questions.size() == 1);  // only the offer to convert 32.wld
    EXPECT_EQ(dir.read("31.wld"), "$~\r\n");
    EXPECT_FALSE(dir.exists("31.wld_zs"));
    EXPECT_FALSE(ws.modified().any());
    // Nothing comes back, and nothing is asked at the next save.
    Workspace again(ui);
    again.set_area_dir(dir.path());
    EXPECT_TRUE(load_world_file(again, dir.file("31.wld")));
    EXPECT_EQ(again.world().count(), 0);
}

TEST_F(SaveSafetyTest, ARecordGivenANumberInAnotherZoneMarksBothZones) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    ws.world().edit_room(0, [](Room& r) { r.vnum = 3250; });
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 32));
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_EQ(dir.read("31.wld"), "$~\r\n");
    EXPECT_EQ(dir.read("32.wld"), rooms({3250}));
}

TEST_F(SaveSafetyTest, UnloadingForgetsTheChangesOfWhatItUnloaded) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    ws.world().edit_room(0, [](Room& r) { r.title = "Changed"; });
    unload_all_worlds(ws);
    EXPECT_FALSE(ws.modified().any());
    ws.objects().create_object(3100, 31);
    unload_all(ws);
    EXPECT_FALSE(ws.modified().any());
    // The zone no longer stands for its file: a new room there asks first.
    ws.world().create_room(3105, 31);
    ui.clear();
    EXPECT_FALSE(save_all_worlds(ws));
    EXPECT_EQ(ui.questions.size(), 1u);
}

TEST_F(SaveSafetyTest, LinksAtTheSaveNamesAreNeverWrittenThrough) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    dir.write("notes.txt", "my notes");
    std::filesystem::create_symlink(dir.path() / "notes.txt", dir.path() / "31.new");
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_EQ(dir.read("notes.txt"), "my notes");
    EXPECT_EQ(dir.read("31.wld"), rooms({3100}));

    // An area file that is a link keeps its link: the file it names is replaced.
    ScratchDir shared;
    shared.write("32.wld", rooms({3200}));
    std::filesystem::create_symlink(shared.path() / "32.wld", dir.path() / "32.wld");
    ASSERT_TRUE(load_world_file(ws, dir.file("32.wld")));
    ws.world().edit_room(ws.world().find_room(3200), [](Room& r) { r.title = "Linked"; });
    EXPECT_TRUE(save_all_worlds(ws));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "32.wld"));
    EXPECT_NE(shared.read("32.wld").find("Linked~"), std::string::npos);
    EXPECT_FALSE(shared.exists("32.new"));
}

TEST_F(SaveSafetyTest, FailuresNameTheZoneTheFileAndTheCause) {
    ASSERT_TRUE(load("31.wld", rooms({3100})));
    ASSERT_TRUE(load("31.obj", "$~\r\n"));
    ws.world().edit_room(0, [](Room& r) { r.room_colour = 3; });
    ws.objects().create_object(3100, 31);
    std::filesystem::create_directory(dir.path() / "31.wld_zs.new");
    std::filesystem::create_directory(dir.path() / "31.new");
    std::filesystem::create_directory(dir.path() / "31.new" / "x");

    EXPECT_FALSE(save_all_objects(ws));
    std::filesystem::remove_all(dir.path() / "31.new");
    // The world file is written, its colour file is not: the zone stays marked.
    EXPECT_FALSE(save_all_worlds(ws));
    EXPECT_EQ(
        ui.message_texts(),
        (std::vector<std::string>{
            "Error saving object file.\r\nZone 31, 31.obj: could not create 31.new: Is a directory",
            "Error saving Zonesmith file.\r\nZone 31, 31.wld_zs: could not create 31.wld_zs.new: "
            "Is a directory"}));
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
