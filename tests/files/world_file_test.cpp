#include "files/file_wld.h"

#include <gtest/gtest.h>

#include "files/area_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "files/area_io.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;

// Two rooms in the current layout, as the writer produces them.
const std::string kTwoRooms = crlf(
    "#3100\n"
    "The Square~\n"
    "A wide square.\n"
    "Roads lead away.\n"
    "~\n"
    "none~\n"
    "~\n"
    "31 adF 1 0 0 -1 -1 -1 0 -1\n"
    "0 0 0 -1 0\n"
    "D1\n"
    "A road.\n"
    "~\n"
    "gate~\n"
    "a gate~\n"
    "2 3105 3101 5 7 4\n"
    "E\n"
    "fountain~\n"
    "A fountain.\n"
    "~\n"
    "E\n"
    "statue~\n"
    "A statue.\n"
    "~\n"
    "S\n"
    "T 3100\n"
    "T 3101\n"
    "#3101\n"
    "East Road~\n"
    "~\n"
    "extra~\n"
    "side~\n"
    "31 0 1 2 3 3100 3100 3100 4 1\n"
    "5 6 7 3 9\n"
    "S\n"
    "$~\n");

class WorldFileTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    std::string load(const std::string& name, const std::string& bytes) {
        std::string path = dir.write(name, bytes);
        load_area_file(ws, path);
        return path;
    }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

TEST_F(WorldFileTest, LoadReadsEveryFieldAndKeepsExtraDescriptionOrder) {
    load("31.wld", kTwoRooms);
    ASSERT_EQ(ws.world().count(), 2);
    const Room& r = ws.world().room(0);
    EXPECT_EQ(r.vnum, 3100);
    EXPECT_EQ(r.zone, 31);
    EXPECT_EQ(r.description, "A wide square.\r\nRoads lead away.\r\n");
    EXPECT_EQ(r.extra_text, "none");
    EXPECT_EQ(r.side_text, "");
    EXPECT_EQ(r.room_flags, 1u | 8u | (1u << 31));
    EXPECT_EQ(r.sector, 1);
    ASSERT_TRUE(r.exits[kEast].has_value());
    const Exit& e = *r.exits[kEast];
    EXPECT_EQ(e.description, "A road.\r\n");
    EXPECT_EQ(e.door_keywords, "gate");
    EXPECT_EQ(e.door_description, "a gate");
    EXPECT_EQ(e.exit_flags, kExitIsDoor | kExitPickproof);
    EXPECT_EQ(e.key, 3105);
    EXPECT_EQ(e.destination, 3101);
    EXPECT_EQ(e.lock_quality, 5);
    EXPECT_EQ(e.door_strength, 7);
    EXPECT_EQ(e.exit_size, 4);
    ASSERT_EQ(r.extra_descriptions.size(), 2u);
    EXPECT_EQ(r.extra_descriptions[0].keyword, "fountain");
    EXPECT_EQ(r.extra_descriptions[1].keyword, "statue");
    EXPECT_EQ(r.triggers, (std::vector<std::int32_t>{3100, 3101}));
    const Room& r2 = ws.world().room(1);
    EXPECT_EQ(r2.title, "East Road");
    EXPECT_EQ(r2.description, "");
    EXPECT_EQ(r2.side_text, "side");
    EXPECT_EQ(r2.nation, 1);
    EXPECT_EQ(r2.room_size, 3);
    EXPECT_EQ(r2.reserved_value, 9);
    EXPECT_EQ(ws.world().selected_room()->vnum, 3100);
    EXPECT_EQ(ui.last_status(), "World file for zone 31 loaded.");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(WorldFileTest, SaveWritesTheSameBytesItRead) {
    load("31.wld", kTwoRooms);
    ASSERT_TRUE(save_zone(ws, TableKind::World, 31));
    // The absent description is written "Empty room.", everything else as read.
    std::string expected = kTwoRooms;
    expected.replace(expected.find("East Road~\r\n~"), 13, "East Road~\r\nEmpty room.~");
    EXPECT_EQ(dir.read("31.wld"), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // A file the writer produced comes back byte for byte.
    Workspace again(ui);
    again.set_area_dir(dir.path() / "again");
    std::filesystem::create_directories(again.area_dir());
    ASSERT_TRUE(load_area_file(again, dir.file("31.wld")));
    ASSERT_TRUE(save_zone(again, TableKind::World, 31));
    EXPECT_EQ(test::read_bytes(again.area_dir() / "31.wld"), expected);
}

TEST_F(WorldFileTest, WriterDefaultsAndDoorKinds) {
    TableLoad(ws).world().reserve(2);
    int slot = test::Step(ws).world().create_room(200, 2);
    test::Step(ws).world().edit(slot, [](Room& r) {
        r.title.clear();
        r.description.clear();
        r.extra_text.clear();
        r.room_flags = 0;
        Exit closed;
        closed.exit_flags = kExitIsDoor | kExitClosed | kExitLocked;
        closed.destination = 201;
        r.exits[kSouth] = closed;
        Exit hidden;
        hidden.exit_flags = kExitHidden;
        r.exits[kUp] = hidden;
    });
    std::string text = zone_file_text(ws, TableKind::World, 2);
    EXPECT_EQ(text, crlf("#200\nUntitled~\nEmpty room.~\nnone~\n~\n2 0 0 0 0 -1 -1 -1 0 -1\n"
                         "0 0 0 -1 0\nD2\n~\n~\n~\n1 -1 201 0 0 -1\nD4\n~\n~\n~\n0 -1 0 0 0 -1\n"
                         "S\n$~\n"));
}

TEST_F(WorldFileTest, RoomWithoutExitsOrExtrasGoesStraightToS) {
    TableLoad(ws).world().reserve(0);
    test::Step(ws).world().create_room(5, 0);
    std::string text = zone_file_text(ws, TableKind::World, 0);
    EXPECT_NE(text.find("0 0 0 -1 0\r\nS\r\n$~\r\n"), std::string::npos) << text;
}

TEST_F(WorldFileTest, LoadRefusalsAndTheirMessages) {
    load("31.wld", kTwoRooms);
    ui.clear();
    load("31.wld", kTwoRooms);
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Zone 31 is already loaded."});
    EXPECT_EQ(ws.world().count(), 2);

    ui.clear();
    EXPECT_FALSE(load_area_file(ws, dir.file("77.wld")));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Wld file not found."});
    EXPECT_EQ(ws.world().block_count(), 1);

    ui.clear();
    load("40.wld", crlf("$\n"));
    EXPECT_EQ(ui.last_status(), "World file for zone 31 loaded.");  // zone of the last room
    EXPECT_EQ(ws.world().count(), 2);
}

TEST_F(WorldFileTest, WhatIsNotAnAreaFileIsRefusedWithAMessageNamingIt) {
    namespace fs = std::filesystem;
    fs::create_symlink("/dev/zero", dir.path() / "19.wld");
    fs::create_directory(dir.path() / "20.wld");
    ASSERT_EQ(::mkfifo(dir.file("21.wld").c_str(), 0600), 0);  // would block an open
    dir.write("22.wld", "");
    fs::resize_file(dir.path() / "22.wld", kMaxAreaFileBytes + 1);  // sparse
    const struct {
        const char* name;
        std::string message_end;
    } cases[] = {
        {"19.wld", " is not a regular file; it was not read."},
        {"20.wld", " is not a regular file; it was not read."},
        {"21.wld", " is not a regular file; it was not read."},
        {"22.wld", " is larger than 64 MiB, far too large for an area file; it was not read."},
    };
    for (const auto& c : cases) {
        ui.clear();
        EXPECT_FALSE(load_area_file(ws, dir.file(c.name))) << c.name;
        EXPECT_EQ(ui.message_texts(), std::vector<std::string>{dir.file(c.name) + c.message_end});
        EXPECT_EQ(ws.world().block_count(), 0) << c.name;
    }
}

TEST_F(WorldFileTest, AByteOrderMarkAtTheStartIsPassedOver) {
    load("31.wld", "\xEF\xBB\xBF" + kTwoRooms);
    EXPECT_EQ(ws.world().count(), 2);
    EXPECT_TRUE(ui.message_texts().empty());
}

TEST_F(WorldFileTest, AFailedLoadLeavesTheTableAsItWas) {
    load("31.wld", kTwoRooms);
    ws.world().select_slot(1);
    ui.clear();
    // Good rooms of zone 50 and of another zone, then a broken numeric line.
    load("50.wld", crlf("#5000\nA~\nB~\nc~\nd~\n50 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n"
                        "#3150\nA~\nB~\nc~\nd~\n31 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n"
                        "#5001\nA~\nB~\nc~\nd~\n50 0 0 0 0 -1 -1 -1 0\n0 0 0 -1 0\nS\n$~\n"));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"There was an error loading the world file."});
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text,
              "Zone failed to load.  Would you like to attempt to load\r\nthe zone in an older "
              "world format and allow Zonesmith to\r\nautomatically convert the file to the "
              "latest format?");
    EXPECT_EQ(ws.world().count(), 2);
    EXPECT_EQ(ws.world().find_room(3150), -1);
    EXPECT_EQ(ws.world().selected_slot(), 1);
    EXPECT_EQ(ws.world().block_count(), 1);
}

TEST_F(WorldFileTest, FormatErrorsThatFailTheCurrentReader) {
    const std::string head = "#100\nt~\nd~\nx~\ns~\n1 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n";
    const std::string bad[] = {
        head + "D6\n~\n~\n~\n0 -1 0 0 0 -1\nS\n$\n",      // direction out of range
        head + "D0\n~\n~\n~\n0 -1 0 0 0\nS\n$\n",         // five exit fields
        head + "X\nS\n$\n",                               // unknown block
        head + "T 5\nS\n$\n",                             // trigger before S
        head + "D0\n~\n~\n~\n0 -1 40000 0 0 -1\nS\n$\n",  // destination beyond 16 bits
        "#40000\nt~\nd~\nx~\ns~\n1 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$\n",
        "#100\nt~\nd~\nx~\ns~\n1 5000000000 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$\n",  // flags past
                                                                                       // 32 bits
        "#1x00\n$\n",
        "garbage\n",
    };
    for (const auto& text : bad) {
        FakeUi local;
        Workspace w(local);
        ScratchDir d;
        EXPECT_FALSE(load_area_file(w, d.write("1.wld", crlf(text)))) << text;
        EXPECT_EQ(w.world().count(), 0) << text;
        EXPECT_EQ(w.world().block_count(), 0) << text;
        bool reported = false;
        for (const auto& m : local.messages)
            reported |= m.text.starts_with("There was an error loading the world file.");
        EXPECT_TRUE(reported) << text;
    }
}

TEST_F(WorldFileTest, AFileEndingBetweenRoomsFailsWithoutTheErrorBox) {
    EXPECT_FALSE(load_area_file(
        ws, dir.write("1.wld",
                      crlf("#100\nt~\nd~\nx~\ns~\n1 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n"))));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ws.world().count(), 0);
}

TEST_F(WorldFileTest, AnOutOfRangeVnumIsNamedWithItsLine) {
    const std::string room = "t~\nd~\nx~\ns~\n1 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n";
    const struct {
        std::string text, detail;
    } cases[] = {
        {"* comment\n#40000\n" + room + "S\n$\n",
         "Vnum 40000 on line 2 is outside the range -99 to 32767 (zones 0 to 327)."},
        // Zone -1 would load and never be saved.
        {"#-100\n" + room + "S\n$\n",
         "Vnum -100 on line 1 is outside the range -99 to 32767 (zones 0 to 327)."},
        {"#100\n" + room + "D0\n~\n~\n~\n0 -1 34310 0 0 -1\nS\n$\n",
         "Vnum 34310 on line 12 is outside the range -32768 to 32767."},
        {"#100\n" + room + "D0\n~\n~\n~\n1 -40000 101 0 0 -1\nS\n$\n",
         "Vnum -40000 on line 12 is outside the range -32768 to 32767."},
    };
    for (const auto& c : cases) {
        FakeUi local;
        Workspace w(local);
        EXPECT_FALSE(load_area_file(w, dir.write("1.wld", crlf(c.text))));
        ASSERT_FALSE(local.messages.empty()) << c.text;
        EXPECT_EQ(local.messages[0].text,
                  "There was an error loading the world file.\r\n" + c.detail);
    }
    // Vnums down to -99 are zone 0's.
    EXPECT_TRUE(load_area_file(ws, dir.write("0.wld", crlf("#-99\n" + room + "S\n$\n"))));
}

TEST_F(WorldFileTest, TriggersMayFollowSAfterBlankSpaceAndStopAtAHundred) {
    std::string text = "#100\nt~\nd~\nx~\ns~\n1 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n\n  \n";
    for (int i = 1; i <= 101; ++i)
        text += "T " + std::to_string(i) + "\n";
    text += "$\n";
    load("1.wld", crlf(text));
    ASSERT_EQ(ws.world().count(), 1);
    EXPECT_EQ(ws.world().room(0).triggers.size(), 100u);
    EXPECT_EQ(ws.world().room(0).triggers.back(), 100);
}

TEST_F(WorldFileTest, SaveCommandsReportAndAFailedWriteKeepsTheOldFile) {
    save_current(ws, TableKind::World);
    EXPECT_EQ(ui.last_status(), "No zone selected; nothing saved.");

    load("31.wld", kTwoRooms);
    dir.write("31.wld", "old bytes");
    // The new 31.wld can't be written: the disk is full. The box names the
    // zone, the file and the cause.
    ws.set_file_step_hook(test::fail_step("create 31.wld", ENOSPC));
    ui.clear();
    EXPECT_FALSE(save_current(ws, TableKind::World));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{
                  "Error saving zone file.\r\nZone 31, 31.wld: could not create 31.wld: No space "
                  "left on device\r\nNothing was saved; every file is as it was."});
    EXPECT_EQ(ui.last_status(), "Error, zone not saved.");
    EXPECT_EQ(dir.read("31.wld"), "old bytes");

    ws.set_file_step_hook({});
    test::Step(ws).world().edit(0, [](Room& r) { r.title = "Changed"; });
    EXPECT_TRUE(ws.modified().is_set(TableKind::World));
    EXPECT_TRUE(save_current(ws, TableKind::World));
    EXPECT_EQ(ui.last_status(), "Zone 31 saved to file.");
    EXPECT_FALSE(ws.modified().is_set(TableKind::World));
    EXPECT_NE(dir.read("31.wld").find("Changed~"), std::string::npos);
}

TEST_F(WorldFileTest, SaveAllSavesEachZoneOnceAndKeepsOtherZonesMarked) {
    load("31.wld", kTwoRooms);
    TableLoad(ws).world().reserve(32);
    test::Step(ws).world().create_room(3200, 32);
    test::Step(ws).world().create_room(3150, 31);
    save_every_zone(ws, TableKind::World);
    EXPECT_EQ(ui.last_status(), "All zones saved to file.");
    EXPECT_TRUE(dir.exists("32.wld"));
    EXPECT_NE(dir.read("31.wld").find("#3150"), std::string::npos);
    EXPECT_FALSE(ws.modified().any());

    // Saving one zone leaves the other's unsaved edits marked.
    test::Step(ws).world().edit(ws.world().find_room(3200), [](Room& r) { r.sector = 2; });
    test::Step(ws).world().edit(ws.world().find_room(3100), [](Room& r) { r.sector = 2; });
    save_zone(ws, TableKind::World, 31);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 32));
}

TEST_F(WorldFileTest, LayoutFileKeepsRoomColours) {
    dir.write("31.wld_zs", crlf("Col: 3101 7\njunk\nCol: 9999 3\nCol: 3100 999\n"));
    load("31.wld", kTwoRooms);
    EXPECT_EQ(ws.world().room(1).room_colour, 7);
    EXPECT_EQ(ws.world().room(0).room_colour, 0);  // out-of-range colour ignored

    test::Step(ws).world().edit(0, [](Room& r) { r.room_colour = 33; });
    save_zone(ws, TableKind::World, 31);
    EXPECT_EQ(dir.read("31.wld_zs"), crlf("Col: 3100 33\nCol: 3101 7\n"));

    for (int s = 0; s < 2; ++s)
        test::Step(ws).world().edit(s, [](Room& r) { r.room_colour = 0; });
    save_zone(ws, TableKind::World, 31);
    EXPECT_FALSE(dir.exists("31.wld_zs"));
}

}  // namespace
}  // namespace zs
