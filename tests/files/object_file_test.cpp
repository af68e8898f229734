#include "files/file_obj.h"

#include <gtest/gtest.h>

#include "files/area_files.h"

#include <cerrno>
#include <filesystem>

#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;

// The numeric part of a record as the writer produces it, all zero but the
// flag word 1 (the defaults of a new object).
const std::string kZeroNumbers =
    "0 0 0 0 0 1 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n"
    "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n";

std::string record(int vnum, const std::string& numbers = kZeroNumbers,
                   const std::string& trailer = "") {
    // '#' as a char: GCC 12 at -O3 warns falsely (-Wrestrict) on "#" + a temporary string.
    return '#' + std::to_string(vnum) +
           "\nsword~\na sword~\nA sword lies here.~\nIt is sharp.\n~\n~\n~\n~\n~\n" + numbers +
           trailer;
}

class ObjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    bool load(const std::string& lf_text, const std::string& name = "12.obj") {
        return load_area_file(ws, dir.write(name, crlf(lf_text)));
    }
    const ObjectPrototype& object(int vnum) { return *ws.objects().find_record(vnum); }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

TEST_F(ObjectFileTest, NewObjectIsWrittenInTheGameLayoutAndReadsBackByteForByte) {
    TableLoad(ws).objects().reserve(12);
    test::Step(ws).objects().create_object(1205, 12);
    std::string text = zone_file_text(ws, TableKind::Object, 12);
    EXPECT_EQ(
        text,
        crlf("#1205\nobject unfinished~\nan unfinished object~\n"
             "An unfinished object is lying here.~\nThis object is unfinished.\n~\n~\n~\n~\n~\n" +
             kZeroNumbers + "$~\n"));
    ASSERT_TRUE(save_zone(ws, TableKind::Object, 12));
    Workspace again(ui);
    again.set_area_dir(dir.path() / "again");
    std::filesystem::create_directories(again.area_dir());
    ASSERT_TRUE(load_area_file(again, dir.file("12.obj")));
    EXPECT_TRUE(again.objects().record(0) == ws.objects().record(0));
    ASSERT_TRUE(save_zone(again, TableKind::Object, 12));
    EXPECT_EQ(test::read_bytes(again.area_dir() / "12.obj"), text);
}

TEST_F(ObjectFileTest, TrailerSectionsKeepTheirOrderAndTheirRules) {
    std::string trailer =
        "E\nfirst~\nOne.\n~\nA\n300 7\nA\n2 0\nT 1200\nE\nsecond~\nTwo.\n~\nT 0\n";
    ASSERT_TRUE(load(record(1200, kZeroNumbers, trailer) + "$~\n"));
    const ObjectPrototype& o = object(1200);
    ASSERT_EQ(o.extra_descriptions.size(), 2u);
    EXPECT_EQ(o.extra_descriptions[0].keyword, "first");  // file order, not reversed
    ASSERT_EQ(o.affects.size(), 1u);                      // modifier 0 is an empty slot
    EXPECT_EQ(o.affects[0].location, 300 & 0xFF);         // low eight bits
    EXPECT_EQ(o.affects[0].modifier, 7);
    EXPECT_EQ(o.triggers, std::vector<std::int32_t>{1200});
    std::string saved = zone_file_text(ws, TableKind::Object, 12);
    EXPECT_NE(
        saved.find(
            "T 1200\r\nE\r\nfirst~\r\nOne.\r\n~\r\nE\r\nsecond~\r\nTwo.\r\n~\r\nA\r\n44 7\r\n$~"),
        std::string::npos)
        << saved;

    // A description of lone CRs would be written empty: it is left out like
    // an empty one, so that a second load and save gives the same bytes.
    test::Step(ws).objects().edit(ws.objects().find(1200), [](ObjectPrototype& p) {
        p.extra_descriptions[1].description = "\r\r";
    });
    EXPECT_EQ(zone_file_text(ws, TableKind::Object, 12).find("second~"), std::string::npos);
}

TEST_F(ObjectFileTest, ShortFormsOfLinesOneAndFourLoadWithZeros) {
    std::string numbers =
        "9 1 2 3 4 abd\n0 10 0 0 0 0 1 2 3 4\n0 0 0 0 0 0\n1 2 3\n"
        "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n";
    ASSERT_TRUE(load(record(1200, numbers) + "$~\n"));
    const ObjectPrototype& o = object(1200);
    EXPECT_EQ(o.line1_longs, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(o.line1_ints, (std::array<std::int32_t, 4>{}));
    EXPECT_EQ(o.flag_word, 11u);
    EXPECT_EQ(o.weight, 1);
    EXPECT_EQ(o.rent, 3);
    EXPECT_EQ(o.line4_ints, (std::array<std::int32_t, 5>{}));
    // Letters are written back as the number.
    EXPECT_NE(zone_file_text(ws, TableKind::Object, 12).find("9 1 2 3 4 11 0 0 0 0\r\n"),
              std::string::npos);
}

TEST_F(ObjectFileTest, DrinkContainersWeighAtLeastTheirCapacity) {
    std::string numbers =
        "17 0 0 0 0 a\n0 10 0 0 0 0 0 0 0 0\n0 0 0 0 0 0\n1 0 0\n"
        "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n";
    ASSERT_TRUE(load(record(1200, numbers) + "$~\n"));
    EXPECT_EQ(object(1200).weight, 15);
}

// The weight the rule gives must fit in 32 bits even where the amount held
// is near the largest; a save keeps the weight read.
TEST_F(ObjectFileTest, TheDrinkRuleWeighsAHugeAmountAtTheLargestWeight) {
    const struct {
        int vnum;
        std::int32_t weight;
    } cases[] = {
        {8900, 2147483647},  // holds 2147483647
        {8901, 2147483647},  // holds 2147483642: plus 5 just fits
        {8902, 2147483647},  // a fountain holding 2147483643
        {8903, 105},         // holds 100
        {8904, 500},         // heavier than it holds
        {8905, 0},           // a container: no drink rule
    };
    ASSERT_TRUE(load_area_file(ws, test::test_data("props/89.obj").string()));
    ASSERT_TRUE(save_every_zone(ws, TableKind::Object));
    FakeUi again_ui;
    Workspace again(again_ui);
    ASSERT_TRUE(load_area_file(again, dir.file("89.obj")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vnum);
        EXPECT_EQ(object(c.vnum).weight, c.weight);
        EXPECT_EQ(again.objects().find_record(c.vnum)->weight, c.weight);
    }
}

TEST_F(ObjectFileTest, FlagWordWithTheHighBitSurvivesASave) {
    TableLoad(ws).objects().reserve(12);
    int slot = test::Step(ws).objects().create_object(1201, 12);
    test::Step(ws).objects().edit(slot, [](ObjectPrototype& o) { o.flag_word = 0x80000001u; });
    ASSERT_TRUE(save_zone(ws, TableKind::Object, 12));
    Workspace again(ui);
    ASSERT_TRUE(load_area_file(again, dir.file("12.obj")));
    EXPECT_EQ(again.objects().record(0).flag_word, 0x80000001u);
}

TEST_F(ObjectFileTest, LongTextsAreCutInTheFile) {
    TableLoad(ws).objects().reserve(12);
    int slot = test::Step(ws).objects().create_object(1201, 12);
    test::Step(ws).objects().edit(slot, [](ObjectPrototype& o) {
        o.look_description = std::string(20000, 'x');
        o.extra_descriptions.push_back({"long", std::string(17000, 'y')});
    });
    std::string text = zone_file_text(ws, TableKind::Object, 12);
    EXPECT_NE(text.find(std::string(16383, 'x') + "~"), std::string::npos);
    EXPECT_EQ(text.find(std::string(16384, 'x')), std::string::npos);
    EXPECT_NE(text.find(std::string(16383, 'y') + "~"), std::string::npos);
    EXPECT_EQ(text.find(std::string(16384, 'y')), std::string::npos);
}

TEST_F(ObjectFileTest, DamagedRecordsFailTheLoadAndLeaveNothingBehind) {
    TableLoad(ws).objects().reserve(30);
    test::Step(ws).objects().create_object(3001, 30);
    const std::string bad[] = {
        "#1200\n~\na~\nb~\nc~\n~\n~\n~\n~\n" + kZeroNumbers + "$~\n",  // empty keywords
        record(1200, "0 0 0 0 0\n") + "$~\n",                          // five fields on line 1
        record(1200, kZeroNumbers,
               std::string(7 * 8, ' ')
                   .replace(0, 56, "A\n1 1\nA\n1 1\nA\n1 1\nA\n1 1\nA\n1 1\nA\n1 1\nA\n1 1\n")) +
            "$~\n",
        record(1200, kZeroNumbers, "X\n") + "$~\n",  // unknown section
        record(1200, kZeroNumbers),                  // no "$"
        record(40000) + "$~\n",                      // vnum beyond 16 bits
        record(-100) + "$~\n",                       // zone below 0: never saved
    };
    for (const auto& text : bad) {
        ui.clear();
        ui.answer({false});
        EXPECT_FALSE(load(text)) << text;
        EXPECT_TRUE(
            ui.message_texts().front().starts_with("There was an error loading the obj file."))
            << text;
        EXPECT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ws.objects().count(), 1) << text;
        EXPECT_EQ(ws.objects().block_count(), 1) << text;
        EXPECT_EQ(ws.objects().current_object(), nullptr) << text;
    }
}

TEST_F(ObjectFileTest, AHundredAndFirstTriggerIsDropped) {
    std::string trailer;
    for (int i = 1; i <= 101; ++i)
        trailer += "T " + std::to_string(i) + "\n";
    ASSERT_TRUE(load(record(1200, kZeroNumbers, trailer) + "$~\n"));
    EXPECT_EQ(object(1200).triggers.size(), 100u);
}

TEST_F(ObjectFileTest, LoadMessagesAndSaveCommands) {
    ASSERT_TRUE(load(record(1200) + "$~\n"));
    EXPECT_EQ(ui.last_status(), "Object file for zone 12 loaded.");
    ui.clear();
    EXPECT_FALSE(load(record(1201) + "$~\n"));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Objs for zone 12 already loaded."});
    EXPECT_EQ(ws.objects().count(), 1);
    EXPECT_FALSE(load_area_file(ws, dir.file("13.obj")));
    EXPECT_EQ(ui.message_texts().back(), "Obj file not found.");
    EXPECT_TRUE(load("$~\n", "14.obj"));
    EXPECT_EQ(ui.last_status(), "Object file for zone 12 loaded.");

    // Save All writes objects with no room loaded, and a failed write keeps the old file.
    dir.write("12.obj", "old");
    ws.set_file_step_hook(test::fail_step("create 12.obj", ENOSPC));
    EXPECT_FALSE(save_every_zone(ws, TableKind::Object));
    EXPECT_EQ(ui.last_status(), "Error, not all objects saved.");
    EXPECT_EQ(dir.read("12.obj"), "old");
    ws.set_file_step_hook({});
    EXPECT_TRUE(save_every_zone(ws, TableKind::Object));
    EXPECT_EQ(ui.last_status(), "All objects saved to file.");
    EXPECT_TRUE(save_current(ws, TableKind::Object));
    EXPECT_EQ(ui.last_status(), "Objects for zone 12 saved to file.");
}

TEST_F(ObjectFileTest, OlderLayoutsConvert) {
    ui.always_yes();
    // CircleMUD 3.x.
    ASSERT_TRUE(
        load("#1200\nsword~\na sword~\nA sword.~\n~\n5 bn an\n0 1 8 3\n8 600 10\n"
             "A\n18 2\n$\n"));
    const ObjectPrototype& c = object(1200);
    EXPECT_EQ(c.type, 5);
    EXPECT_EQ(c.line1_longs[0], 2 | 8192);
    EXPECT_EQ(c.flag_word, 8193u);
    EXPECT_EQ(c.values[2], 8);
    EXPECT_EQ(c.cost, 600);
    EXPECT_EQ(ui.messages.back().caption, "Success");
    // tbaMUD: four-word flags, level and timer, trigger lines; wear flags
    // beyond the first word have no place.
    ASSERT_TRUE(
        load("#1300\nsword~\na sword~\nA sword.~\n~\n5 b 0 0 0 an 0 d 0 c 0 0 0\n0 1 8 3\n"
             "8 600 10 5 2\nT 1301\n$\n",
             "13.obj"));
    ASSERT_GE(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[ui.messages.size() - 2],
              (test::Shown{"Note: the game's format has no place for these fields of 13.obj;\r\n"
                           "they were left out:\r\nobject 1300: wear flags beyond the first 32",
                           "Warning"}));
    const ObjectPrototype& t = object(1300);
    EXPECT_EQ(t.line1_longs[0], 2);
    EXPECT_EQ(t.flag_word, 8193u);
    EXPECT_EQ(t.line1_ints[0], 4);
    EXPECT_EQ(t.line4_ints[0], 5);
    EXPECT_EQ(t.line4_ints[1], 2);
    EXPECT_EQ(t.triggers, std::vector<std::int32_t>{1301});
}

}  // namespace
}  // namespace zs
