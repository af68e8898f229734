#include "files/area_files.h"
#include "files/fileold_wld.h"

#include <gtest/gtest.h>

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
using test::Shown;

const std::string kConvertQuestion =
    "Zone failed to load.  Would you like to attempt to load\r\nthe zone in an older world "
    "format and allow Zonesmith to\r\nautomatically convert the file to the latest format?";
const std::string kStockQuestion =
    "Hmmm.. this doesn't fit Quor's world format, but it seems to be\r\na stock circle world "
    "file.  Would you like to load it up in the\r\nstock format and convert it to Quor's format?";

class LegacyWorldTest : public ::testing::Test {
protected:
    bool load(const std::string& text) {
        return load_area_file(ws, dir.write("12.wld", crlf(text)));
    }
    const Room& room(int vnum) { return ws.world().room(ws.world().find_room(vnum)); }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

TEST_F(LegacyWorldTest, EachOlderLayoutIsReadWithItsDefaults) {
    struct Case {
        const char* name;
        std::string text;
        std::int32_t mine_resource, room_size, reserved, exit_size, lock_quality;
        std::string door_description;
    };
    const Case cases[] = {
        {"A",
         "#1200\nT~\nD~\nx~\n12 a 1 2 3 -1 -1 -1 4 1\n5 6 7 3 9\n"
         "D0\nd~\nk~\ndd~\n1 -1 1201 8 9 4\nS\n$\n",
         7, 3, 9, 4, 8, "dd"},
        {"B",
         "#1200\nT~\nD~\nx~\n12 a 1 2 3 -1 -1 -1 4 1\n5 6 7\n"
         "D0\nd~\nk~\ndd~\n1 -1 1201 8 9\nS\n$\n",
         7, -1, 0, -1, 8, "dd"},
        {"C",
         "#1200\nT~\nD~\nx~\n12 a 1 2 3 -1 -1 -1 4 1\n5 6\n"
         "D0\nd~\nk~\ndd~\n1 -1 1201 8 9\nS\n$\n",
         0, -1, 0, -1, 8, "dd"},
        {"D",
         "#1200\nT~\nD~\nx~\n12 a 1 2 3 -1 -1 -1 4 1\n5 6\n"
         "D0\nd~\nk~\n1 -1 1201 8 9\nS\n$\n",
         0, -1, 0, -1, 8, ""},
    };
    for (const auto& c : cases) {
        FakeUi local;
        local.answer({true});
        Workspace w(local);
        ScratchDir d;
        ASSERT_TRUE(load_area_file(w, d.write("12.wld", crlf(c.text)))) << c.name;
        ASSERT_EQ(w.world().count(), 1) << c.name;
        const Room& r = w.world().room(0);
        EXPECT_EQ(r.extra_text, "x") << c.name;
        EXPECT_EQ(r.side_text, "") << c.name;
        EXPECT_EQ(r.mine_amount, 5) << c.name;
        EXPECT_EQ(r.mine_reset, 6) << c.name;
        EXPECT_EQ(r.mine_resource, c.mine_resource) << c.name;
        EXPECT_EQ(r.room_size, c.room_size) << c.name;
        EXPECT_EQ(r.reserved_value, c.reserved) << c.name;
        EXPECT_EQ(r.climate, 2) << c.name;
        EXPECT_EQ(r.nation, 1) << c.name;
        ASSERT_TRUE(r.exits[kNorth].has_value()) << c.name;
        EXPECT_EQ(r.exits[kNorth]->exit_size, c.exit_size) << c.name;
        EXPECT_EQ(r.exits[kNorth]->lock_quality, c.lock_quality) << c.name;
        EXPECT_EQ(r.exits[kNorth]->door_strength, 9) << c.name;
        EXPECT_EQ(r.exits[kNorth]->door_description, c.door_description) << c.name;
        // The current reader's box, one question, then the success box (a layout
        // tried earlier may run into a text it cannot end first), and no stock
        // question.
        ASSERT_EQ(local.questions.size(), 1u) << c.name;
        ASSERT_GE(local.messages.size(), 2u) << c.name;
        EXPECT_EQ(local.messages.front().text, "There was an error loading the world file.");
        EXPECT_EQ(local.messages.back().text, kConversionSuccess) << c.name;
        EXPECT_EQ(local.messages.back().caption, "Success") << c.name;
        for (std::size_t i = 1; i + 1 < local.messages.size(); ++i)
            EXPECT_EQ(local.messages[i].caption, "String Error") << c.name;
        EXPECT_EQ(local.last_status(), "World file for zone 12 loaded.") << c.name;
    }
}

TEST_F(LegacyWorldTest, StockFileEndingAt99999LoadsAfterTheSecondQuestion) {
    ui.answer({true, true});
    ASSERT_TRUE(
        load("#1200\nThe Hall~\nA hall.\n~\n12 ad 3\nD1\nEast.\n~\ndoor~\n1 1205 1201\n"
             "E\nsign~\nA sign.\n~\nS\n#1201\nRoom~\n~\n12 0 2\nS\n#99999\n"));
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1].text, kStockQuestion);
    ASSERT_EQ(ws.world().count(), 2);
    const Room& r = room(1200);
    EXPECT_EQ(r.sector, 3);
    EXPECT_EQ(r.room_flags, 9u);
    EXPECT_EQ(r.fly_up_room, -1);
    EXPECT_EQ(r.fly_down_room, -1);
    EXPECT_EQ(r.fall_room, -1);
    EXPECT_EQ(r.nation, 0);
    EXPECT_EQ(r.extra_text, "");
    EXPECT_EQ(r.room_size, -1);
    ASSERT_TRUE(r.exits[kEast].has_value());
    EXPECT_EQ(r.exits[kEast]->exit_flags, kExitIsDoor);
    EXPECT_EQ(r.exits[kEast]->key, 1205);
    EXPECT_EQ(r.exits[kEast]->exit_size, -1);
    EXPECT_EQ(room(1201).sector, 2);
    // Nothing is written until the builder saves.
    EXPECT_EQ(dir.read("12.wld").substr(0, 7), "#1200\r\n");
    EXPECT_EQ(ui.messages.back().caption, "Success");
}

TEST_F(LegacyWorldTest, TbaMudRoomsComeInWithTheirTrueSectors) {
    ui.always_yes();
    // tbaMUD writes four flag words and the sector last.
    ASSERT_TRUE(
        load("#1200\nThe Hall~\nA hall.\n~\n12 ad 0 0 0 3\nD1\n~\n~\n0 -1 1201\nS\n"
             "T 1250\n#1201\nGarden~\nFlowers.\n~\n12 0 0 0 0 2\nS\n$\n"));
    EXPECT_EQ(room(1200).sector, 3);
    EXPECT_EQ(room(1200).room_flags, 9u);
    EXPECT_EQ(room(1200).triggers, std::vector<std::int32_t>{1250});
    EXPECT_EQ(room(1201).sector, 2);
    EXPECT_EQ(ui.questions.size(), 2u);  // convert, then the stock question
    for (const auto& m : ui.messages)
        EXPECT_NE(m.caption, "Warning");

    // Bits in the higher flag words cannot be kept: one warning for the file.
    FakeUi local;
    local.always_yes();
    Workspace w(local);
    ASSERT_TRUE(
        load_area_file(w, dir.write("13.wld", crlf("#1300\nA~\nB~\n13 a b 0 0 1\nS\n"
                                                   "#1301\nC~\nD~\n13 0 0 c 0 4\nS\n$\n"))));
    EXPECT_EQ(w.world().room(0).sector, 1);
    EXPECT_EQ(w.world().room(1).sector, 4);
    int warnings = 0;
    for (const auto& m : local.messages)
        warnings += m.caption == "Warning";
    EXPECT_EQ(warnings, 1);
}

TEST_F(LegacyWorldTest, ExitsPast16BitsAreLeftOutWithOneWarningAndTheRestLoads) {
    ui.always_yes();
    // tbaMUD numbers rooms and objects past 16 bits.
    ASSERT_TRUE(
        load("#1200\nHall~\nA hall.\n~\n12 0 0 0 0 3\nD0\n~\n~\n0 -1 34310\n"
             "D1\n~\ndoor~\n1 40000 1201\nD2\n~\n~\n3 0 1201\nS\n"
             "#1201\nRoom~\n~\n12 0 0 0 0 2\nD3\n~\n~\n0 -1 -40000\nS\n$\n"));
    ASSERT_EQ(ws.world().count(), 2);
    EXPECT_FALSE(room(1200).exits[kNorth].has_value());
    EXPECT_FALSE(room(1200).exits[kEast].has_value());
    ASSERT_TRUE(room(1200).exits[kSouth].has_value());
    EXPECT_EQ(room(1200).exits[kSouth]->destination, 1201);
    EXPECT_FALSE(room(1201).exits[kWest].has_value());
    std::vector<Shown> warnings;
    for (const auto& m : ui.messages)
        if (m.caption == "Warning") warnings.push_back(m);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text,
              "Note: the game's format has no place for these fields of 12.wld;\r\n"
              "they were left out:\r\n"
              "room 1200: the exit north to room 34310 (outside -32768 to 32767), the exit east "
              "with key 40000 (outside -32768 to 32767), door kind 3 of the exit south\r\n"
              "room 1201: the exit west to room -40000 (outside -32768 to 32767)");
    EXPECT_EQ(ui.messages.back().caption, "Success");
}

TEST_F(LegacyWorldTest, WhenEveryLayoutFailsAnOutOfRangeRoomIsNamed) {
    ui.always_yes();
    EXPECT_FALSE(load("#1200\nHall~\n~\n12 0 3\nS\n#-100\nRoom~\n~\n0 0 3\nS\n$\n"));
    EXPECT_EQ(ui.message_texts().back(),
              "There was an error loading the world file.\r\n"
              "Vnum -100 on line 6 is outside the range -99 to 32767 (zones 0 to 327).");
    EXPECT_EQ(ws.world().count(), 0);
}

TEST_F(LegacyWorldTest, AConvertedTextTooLongIsToldOnceWithItsPlace) {
    ui.always_yes();
    ASSERT_TRUE(load("#1200\nHall~\n" + std::string(17000, 'x') +
                     "\n~\n12 0 3\nS\n"
                     "#1201\nRoom~\n~\n12 0 2\nS\n$\n"));
    EXPECT_EQ(ws.world().count(), 2);
    std::vector<std::string> string_errors;
    for (const auto& m : ui.messages)
        if (m.caption == "String Error") string_errors.push_back(m.text);
    // The older layouts tried on the way say nothing.
    EXPECT_EQ(string_errors,
              std::vector<std::string>{
                  "There was an error loading a string in the file.\r\n12.wld, line 3: room "
                  "1200: the text is 17002 characters long; the game keeps 16383."});
}

TEST_F(LegacyWorldTest, DecliningLeavesTheTableAsBefore) {
    TableLoad(ws).world().reserve(5);
    test::Step(ws).world().create_room(500, 5);
    const std::string stock = "#1200\nHall~\nA hall.\n~\n12 0 3\nS\n$\n";
    ui.answer({false});
    EXPECT_FALSE(load(stock));
    ui.answer({true, false});
    EXPECT_FALSE(load(stock));
    EXPECT_EQ(ws.world().count(), 1);
    EXPECT_EQ(ws.world().block_count(), 1);
    EXPECT_EQ(ws.world().selected_room(), nullptr);
}

TEST_F(LegacyWorldTest, ABadNumericLineFailsEveryLayoutWithOneErrorBox) {
    ui.answer({true});
    EXPECT_FALSE(load("#1200\nT~\nD~\nx~\ns~\n12 a 1 2 3 -1 -1 -1 4\n5 6 7 3 9\nS\n$\n"));
    std::vector<std::string> expected(2, "There was an error loading the world file.");
    EXPECT_EQ(ui.message_texts(), expected);  // the reader's box, then the chain's one
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(ws.world().block_count(), 0);
}

TEST_F(LegacyWorldTest, ConvertedZoneSavesInTheCurrentLayout) {
    ui.always_yes();
    ws.set_area_dir(dir.path());
    ASSERT_TRUE(load("#1200\nHall~\nA hall.\n~\n12 c 3\nD0\n~\n~\n0 -1 1201\nS\n$\n"));
    ASSERT_TRUE(save_zone(ws, TableKind::World, 12));
    EXPECT_EQ(dir.read("12.wld"),
              crlf("#1200\nHall~\nA hall.\n~\nnone~\n~\n12 c 3 0 0 -1 -1 -1 0 0\n"
                   "0 0 0 -1 0\nD0\n~\n~\n~\n0 -1 1201 0 0 -1\nS\n$~\n"));
}

}  // namespace
}  // namespace zs
