#include "files/area_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "files/file_wld.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;

std::string room_file(int vnum) {
    // '#' as a char: GCC 12 at -O3 warns falsely (-Wrestrict) on "#" + a temporary string.
    return crlf('#' + std::to_string(vnum) + "\nA room~\n~\nnone~\n~\n" +
                std::to_string(vnum / 100) + " 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$~\n");
}

class AreaCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

TEST_F(AreaCommandsTest, SettingsListTheZonesAndReloadThemInOrder) {
    dir.write("30.wld", room_file(3000));
    dir.write("31.wld", room_file(3100));
    load_area_file(ws, dir.file("30.wld"));
    load_area_file(ws, dir.file("31.wld"));
    test::Step(ws).world().create_room(3001, 30);           // rooms of zones 30, 30, 31 ...
    TableLoad(ws).world().append(make_new_room(3050, 30));  // ... and 30 again at the end
    TableLoad(ws).zones().append(make_new_zedit(30));
    ws.options().prompt_for_vnum = 1;
    ws.options().last_zone = 30;
    EXPECT_EQ(settings_text(ws),
              crlf("Prompt: 1\nExits: -1\nTreeC: 0\nZoneL: 30\nShowZ: 0\nAutoL: 0\n"
                   "LastR: 30\nLastR: 31\nLastR: 30\nLastZ: 30\n"));
    write_settings(ws);

    FakeUi ui2;
    Workspace fresh(ui2);
    fresh.set_area_dir(dir.path());
    read_settings(fresh);
    EXPECT_EQ(fresh.options().prompt_for_vnum, 1);
    EXPECT_EQ(fresh.options().last_zone, 30);
    reload_last_files(fresh);
    EXPECT_EQ(fresh.world().count(), 2);
    // The second 30 is refused by the loader; 30.zon does not exist.
    EXPECT_EQ(ui2.message_texts(),
              (std::vector<std::string>{"Zone 30 is already loaded.", "Zone file not found."}));
}

// Generate Descriptions' rows: kept after the zones, a long path whole; Save
// Options and the dialog's own write keep each other's lines.
TEST_F(AreaCommandsTest, VocabularyRowsComeBackFromTheSettingsFile) {
    const std::string long_path =
        "/home/anna/areas/vocabulary files/" + std::string(150, 'v') + " forest.txt";
    auto& rows = ws.options().vocabulary_rows;
    rows[0] = {long_path, "&g"};
    rows[3] = {"cave.txt", ""};
    rows[13] = {"", "&y"};
    rows[5] = {"two\nlines.txt", "&r"};  // cannot stand on one line: not kept
    EXPECT_TRUE(settings_text(ws).ends_with(
        crlf("DescF: 0 " + long_path + "\nDescC: 0 &g\nDescF: 3 cave.txt\nDescC: 13 &y\n")));
    write_settings(ws);
    Workspace fresh(ui);
    fresh.set_area_dir(dir.path());
    read_settings(fresh);
    EXPECT_TRUE(ui.messages.empty()) << ui.message_texts()[0];
    auto expected = rows;
    expected[5] = {};
    EXPECT_EQ(fresh.options().vocabulary_rows, expected);

    // The rows alone are rewritten: the other lines stay byte for byte.
    dir.write(kSettingsFileName, "Prompt: 1\r\nDescF: 0 old.txt\r\nLastR: 30\r\nDescC: 2 &b");
    fresh.options().vocabulary_rows = {};
    fresh.options().vocabulary_rows[1] = {"new.txt", "&c"};
    write_vocabulary_rows(fresh);
    EXPECT_EQ(dir.read(kSettingsFileName),
              "Prompt: 1\r\nLastR: 30\r\nDescF: 1 new.txt\r\nDescC: 1 &c\r\n");
    // With no settings file, one of the rows alone.
    std::filesystem::remove(dir.path() / kSettingsFileName);
    write_vocabulary_rows(fresh);
    EXPECT_EQ(dir.read(kSettingsFileName), "DescF: 1 new.txt\r\nDescC: 1 &c\r\n");
}

TEST_F(AreaCommandsTest, DamagedSettingsNeverStopStartUp) {
    // A 51-character line stops the reading there; what was read stays.
    dir.write(kSettingsFileName, "Prompt: 1\r\n" + std::string(51, 'x') + "\r\nTreeC: 1\r\n");
    read_settings(ws);
    EXPECT_EQ(ws.options().prompt_for_vnum, 1);
    EXPECT_EQ(ws.options().color_codes_in_trees, 0);
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{
                  "There was an error loading the settings file.  The data format is incorrect."});

    // Values out of range keep their start values; the rest is read.
    ui.clear();
    ws.options() = Options{};
    dir.write(kSettingsFileName, "Prompt: 7\nExits: -5\nTreeC: 1\nZoneL: 400\nShowZ: 1\nAutoL: 1");
    read_settings(ws);
    Options expected;
    expected.color_codes_in_trees = 1;
    expected.show_all_zones = 1;
    expected.auto_load = 1;  // the last line has no line end and still counts
    EXPECT_EQ(ws.options(), expected);
    EXPECT_TRUE(ui.messages.empty());

    // Binary junk and a settings "file" that is a directory.
    dir.write(kSettingsFileName, std::string("\0\xff\x01Prompt", 9));
    read_settings(ws);
    std::filesystem::remove(dir.path() / kSettingsFileName);
    std::filesystem::create_directory(dir.path() / kSettingsFileName);
    ws.options() = Options{};
    start_up(ws, "");
    EXPECT_EQ(ws.options(), Options{});
}

TEST_F(AreaCommandsTest, LoadAllSaysInOneBoxWhatBecameOfEachFile) {
    EXPECT_FALSE(load_all(ws, 44));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Load Full Zone 44:\r\n44.wld: not found.\r\n"
                                       "44.obj: not found.\r\n44.mob: not found.\r\n"
                                       "44.zon: not found."});

    // Loaded twice: the second time nothing is loaded again, in one box.
    dir.write("44.wld",
              "#4400\r\nA~\r\nB~\r\nC~\r\nD~\r\n44 0 0 0 0 0 0 0 0 0\r\n"
              "0 0 0 0 0\r\nS\r\n$~\r\n");
    dir.write("44.zon", "#44\r\nZone~\r\nrp~\r\nnone~\r\n4499 10 2 0\r\nS\r\n$\r\n");
    ui.clear();
    EXPECT_FALSE(load_all(ws, 44));
    EXPECT_EQ(ui.messages.size(), 1u);
    ui.clear();
    EXPECT_FALSE(load_all(ws, 44));
    EXPECT_EQ(
        ui.message_texts(),
        std::vector<std::string>{"Load Full Zone 44:\r\n44.wld: already loaded; kept as it is.\r\n"
                                 "44.obj: not found.\r\n44.mob: not found.\r\n"
                                 "44.zon: already loaded; kept as it is."});
    EXPECT_EQ(ws.world().count(), 1);
}

TEST_F(AreaCommandsTest, CommandLineFileChoosesTheLoaderAndTheEditor) {
    std::string zon = dir.write("31.zon", crlf("#31\nZone~\nrp~\nnone~\n3199 10 2 0\nS\n$\n"));
    open_command_line_file(ws, "\"" + zon + "\"");
    EXPECT_EQ(ws.zones().find_zedit(31), 0);
    EXPECT_EQ(ws.current_editor(), EditorKind::Zone);
    open_command_line_file(ws, dir.file("notes.txt"));  // no loader for "t"
    EXPECT_EQ(ws.current_editor(), EditorKind::Zone);
    EXPECT_EQ(ws.world().count(), 0);
}

TEST_F(AreaCommandsTest, SeveralCommandLineFilesLoadInTheirOrder) {
    std::string wld = dir.write("31.wld", room_file(3100));
    std::string zon = dir.write("31.zon", crlf("#31\nZone~\nrp~\nnone~\n3199 10 2 0\nS\n$\n"));
    start_up(ws, std::vector<std::string>{zon, wld});
    EXPECT_EQ(ws.zones().find_zedit(31), 0);
    EXPECT_EQ(ws.world().find_room(3100), 0);
    // The world file, opened last, leaves the zone editor current.
    EXPECT_EQ(ws.current_editor(), EditorKind::Zone);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AreaCommandsTest, AutoLoadNeedsARealLastZone) {
    dir.write("12.wld", room_file(1200));
    for (const char* zone : {"-1", "0"}) {
        dir.write(kSettingsFileName, std::string("AutoL: 1\nZoneL: ") + zone + "\n");
        start_up(ws, "");
        EXPECT_EQ(ws.world().count(), 0) << zone;
    }
    dir.write(kSettingsFileName, "AutoL: 1\nZoneL: 12\n");
    test::Step(ws).world().create_room(500, 5);
    start_up(ws, "");
    EXPECT_EQ(ws.world().find_room(1200), 1);
    EXPECT_FALSE(ws.modified().any());  // cleared before the zone loads
}

TEST_F(AreaCommandsTest, SaveAllSavesEveryKindAndTheSettings) {
    TableLoad(ws).world().reserve(12);
    test::Step(ws).world().create_room(1200, 12);
    TableLoad(ws).objects().reserve(13);
    test::Step(ws).objects().create_object(1300, 13);
    test::Step(ws).zones().create_zedit(12);
    EXPECT_TRUE(save_all(ws));
    EXPECT_EQ(ui.last_status(), "All data saved to file.");
    for (const char* f : {"12.wld", "13.obj", "12.zon", kSettingsFileName})
        EXPECT_TRUE(dir.exists(f)) << f;
    EXPECT_FALSE(ws.modified().any());

    ws.set_file_step_hook(test::fail_step("create 12.wld", ENOSPC));
    EXPECT_FALSE(save_all(ws));
    EXPECT_EQ(ui.last_status(), "Error, not all data saved.");
}

TEST_F(AreaCommandsTest, LoadAndSaveCurrentFollowTheEditor) {
    dir.write("12.wld", room_file(1200));
    EXPECT_FALSE(load_current(ws, EditorKind::Room));  // no dialog: nothing happens
    EXPECT_TRUE(ui.messages.empty());
    ui.files.push_back(dir.file("12.wld"));
    EXPECT_TRUE(load_current(ws, EditorKind::Room));
    ASSERT_EQ(ui.file_dialogs.size(), 2u);
    EXPECT_EQ(ui.file_dialogs[1], "Quor world files (*.wld)|*.wld");
    EXPECT_TRUE(save_current(ws, EditorKind::Room));
    EXPECT_EQ(ui.last_status(), "Zone 12 saved to file.");
    EXPECT_FALSE(save_current(ws, EditorKind::Mobile));
    EXPECT_EQ(ui.last_status(), "No mobile selected; nothing saved.");

    unload_all(ws);
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(ui.last_status(), "All files unloaded.");
}

}  // namespace
}  // namespace zs
