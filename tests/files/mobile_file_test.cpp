#include "files/area_files.h"
#include "files/file_mob.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/text.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;

const std::string kTexts =
    "guard~\nThe guard~\nA guard stands here.\n~\nHe looks tough.\n~\n"
    "t5~\nt6~\nt7~\nt8~\nt9~\nt10~\nt11~\nHello!~\nt13~\n";
const std::string kNumbers =
    "1 2 3 4 5 6 7 8 200 E\n10 15 -2 2d8+20 1d6+3\n"
    "1 2 3 4 5 6 7 8 9 3\n8 8 1 2 3 0 0 0 0 0 0\n50 50 50 50 50 50 -1 -1 0 0\n"
    "0 0 0 0 0 0 0 0 0 4\n";

std::string mob(int vnum, const std::string& sections = "", const std::string& especs = "",
                const std::string& numbers = kNumbers) {
    // '#' as a char: GCC 12 at -O3 warns falsely (-Wrestrict) on "#" + a temporary string.
    return '#' + std::to_string(vnum) + "\n" + kTexts + sections + numbers + especs + "E\n";
}

class MobileFileTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    bool load(const std::string& lf_text, const std::string& name = "12.mob") {
        return load_area_file(ws, dir.write(name, crlf(lf_text)));
    }
    const MobilePrototype& mobile(int vnum) { return *ws.mobiles().find_record(vnum); }
    // Saves zone 12 and loads it into a fresh workspace.
    const MobilePrototype& reloaded(int vnum) {
        EXPECT_TRUE(save_zone(ws, TableKind::Mobile, 12));
        again_ws.set_area_dir(dir.path());
        EXPECT_TRUE(load_area_file(again_ws, dir.file("12.mob")));
        EXPECT_TRUE(again_ui.messages.empty()) << again_ui.messages[0].text;
        return *again_ws.mobiles().find_record(vnum);
    }
    FakeUi ui;
    Workspace ws{ui};
    FakeUi again_ui;
    Workspace again_ws{again_ui};
    ScratchDir dir;
};

TEST_F(MobileFileTest, ReadsEveryPartOfARecord) {
    std::string sections =
        "@@\nb1~\nb2~\nb3~\nb4~\n" + std::string("1 2 3 4 5 6 7 8 9 10\n") +
        "0 0 0 0 0 0 0 0 0 0\n"
        "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n"
        "0 0 0 0 0 0 0 9\n@@@\n1 5 990 991 -1 -1 -1 -1 -1 -1\n~\nSkills:\n"
        "3:40 1512:7 1513:9 -1:5 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1\n~\n";
    ASSERT_TRUE(load(mob(1200, sections, "Str: 3\nCha: 120\nBareHandAttack: 150\nDex: 70\n") +
                     "T 1250\n$\n"));
    EXPECT_TRUE(ui.messages.empty());
    const MobilePrototype& m = mobile(1200);
    EXPECT_EQ(m.short_description, "the guard");  // article lowered
    EXPECT_EQ(m.greeting, "Hello!");
    EXPECT_EQ(m.flag_words[7], 8u);
    EXPECT_EQ(m.alignment, 200);
    EXPECT_EQ(m.hit_dice, (std::array<std::int32_t, 3>{2, 8, 20}));
    EXPECT_EQ(m.damage_dice, (std::array<std::int32_t, 3>{1, 6, 3}));
    EXPECT_EQ(m.abilities[kStr], 5);
    EXPECT_EQ(m.abilities[kCha], 100);
    EXPECT_EQ(m.abilities[kDex], 70);
    EXPECT_EQ(m.abilities[kInt], 50);
    EXPECT_EQ(m.bare_hand_attack, 99);
    EXPECT_EQ(m.line4_ints, (std::array<std::int32_t, 4>{-1, -1, 0, 0}));
    EXPECT_EQ(m.size_height, 40);  // size class 3
    EXPECT_EQ(m.size_weight, 40);
    ASSERT_EQ(m.blocks.size(), 1u);
    EXPECT_EQ(m.blocks[0].numbers[9], 10);
    EXPECT_EQ(m.blocks[0].numbers[67], 9);
    EXPECT_TRUE(m.number_set.test(990));
    EXPECT_EQ(m.number_set.count(), 3u);
    EXPECT_EQ(m.skill(3), 40);
    EXPECT_EQ(m.skill(1512), 7);
    EXPECT_EQ(m.skills.size(), 2u);
    EXPECT_EQ(m.triggers, std::vector<std::int32_t>{1250});
}

TEST_F(MobileFileTest, EverythingTheWriterWritesReadsBackUnchanged) {
    TableLoad(ws).mobiles().reserve(12);
    int slot = test::Step(ws).mobiles().create_mobile(1201, 12);
    test::Step(ws).mobiles().edit(slot, [](MobilePrototype& m) {
        Conversation hello{"hello", "Hi there.", 1, 2, 3, 0, 5, 6, 7, {}};
        Conversation job{"job", "I guard.", -1, -1, -1, 1, 0, 0, 0, {}};
        job.branches.push_back({"why", "Orders.", -1, -1, -1, 2, 0, 0, 0, {}});
        hello.branches.push_back(job);
        m.conversations = {hello, {"bye", "Farewell.", -1, -1, -1, 0, 0, 0, 0, {}}};
        m.abilities[kCon] = 70;  // Con and Cha are written too
        m.abilities[kCha] = 30;
        m.flag_words[1] = 1u << 5;  // the number set is kept only with flag f
        m.number_set.set(0);
        m.number_set.set(990);
        for (int s = 0; s <= 10; ++s)
            m.set_skill(s * 151, s + 1);  // eleven skills, up to 1510
        m.set_skill(1512, -4);
        m.flag_words[3] = 0xFFFFFFFFu;
        m.add_trigger(99);
        MobileBlock b;
        b.texts = {"a", "b", "c", "d"};
        b.numbers[67] = 5;
        m.blocks.push_back(b);
    });
    const MobilePrototype& original = ws.mobiles().record(slot);
    std::string text = zone_file_text(ws, TableKind::Mobile, 12);
    // Two skill lines: ten pairs, then two pairs and padding.
    EXPECT_NE(text.find("1510:11 1512:-4 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1\r\n~\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("@\r\nhello~\r\nHi there.~\r\n1 2 3 0 5 6 7~\r\n"), std::string::npos);
    EXPECT_NE(text.find("0 990 -1 -1 -1 -1 -1 -1 -1 -1\r\n~\r\n"), std::string::npos);
    const MobilePrototype& back = reloaded(1201);
    MobilePrototype expected = original;
    expected.apply_size_class();  // worked out when a file is read
    EXPECT_TRUE(back == expected);
    EXPECT_EQ(back.conversations[0].branches[0].branches[0].keywords, "why");
    EXPECT_EQ(back.conversations[1].keywords, "bye");  // top level keeps its order
    EXPECT_EQ(zone_file_text(again_ws, TableKind::Mobile, 12), text);
}

TEST_F(MobileFileTest, TypeSMobilesAreWrittenAsTypeE) {
    ASSERT_TRUE(load("#1200\n" + kTexts +
                     "0 0 0 0 0 0 0 0 -50 s\n10 15 -2 2d8+20 1d6+3\n"
                     "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0 0\n1 2 3 4 5 6 0 0 0 0\n"
                     "0 0 0 0 0 0 0 0 0 0\n$\n"));
    const MobilePrototype& m = mobile(1200);
    EXPECT_EQ(m.abilities, (std::array<std::int32_t, 6>{50, 50, 50, 50, 50, 50}));
    std::string text = zone_file_text(ws, TableKind::Mobile, 12);
    EXPECT_NE(text.find("0 0 0 0 0 0 0 0 -50 E\r\n"), std::string::npos);
    EXPECT_NE(text.find("50 50 50 50 50 50 0 0 0 0\r\n0 0 0 0 0 0 0 0 0 0\r\nE\r\n$\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MobileFileTest, FlagLettersOnTheTypeLineLoadAsZeroAndNoFlagMeansNoNumberSet) {
    ASSERT_TRUE(load(mob(1200, "@@@\n4 5 -1 -1 -1 -1 -1 -1 -1 -1\n~\n", "",
                         "abc 0 0 0 0 0 0 0 0 E\n10 15 -2 2d8+20 1d6+3\n1 2 3 4 5 6 7 8 9 3\n"
                         "8 8 1 2 3 0 0 0 0 0 0\n50 50 50 50 50 50 -1 -1 0 0\n"
                         "0 0 0 0 0 0 0 0 0 4\n") +
                     "$\n"));
    EXPECT_EQ(mobile(1200).flag_words[0], 0u);
    EXPECT_EQ(mobile(1200).number_set.count(), 2u);
    EXPECT_EQ(zone_file_text(ws, TableKind::Mobile, 12).find("@@@"), std::string::npos);
}

TEST_F(MobileFileTest, ConversationTiersBuildTheTree) {
    auto conv = [](const char* key, int tier) {
        return std::string("@\n") + key + "~\nreply~\n-1 -1 -1 " + std::to_string(tier) +
               " 0 0 0~\n";
    };
    // a(0) b(1) c(2) d(1) e(0) f(2: too deep) g(1: no ancestor of tier 1) h(0)
    ASSERT_TRUE(load(mob(1200, conv("a", 0) + conv("b", 1) + conv("c", 2) + conv("d", 1) +
                                   conv("e", 0) + conv("f", 2) + conv("g", 1) + conv("h", 0)) +
                     "$\n"));
    const auto& top = mobile(1200).conversations;
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0].keywords, "a");
    ASSERT_EQ(top[0].branches.size(), 2u);
    EXPECT_EQ(top[0].branches[0].branches[0].keywords, "c");
    EXPECT_EQ(top[0].branches[1].keywords, "d");
    EXPECT_EQ(top[1].keywords, "e");
    ASSERT_EQ(top[1].branches.size(), 1u);  // f, one level down
    EXPECT_EQ(top[1].branches[0].tier, 1);
    EXPECT_EQ(top[2].keywords, "g");
    EXPECT_EQ(top[3].keywords, "h");
    EXPECT_EQ(mobile(1200).conversation_count(), 8);  // nothing lost
}

TEST_F(MobileFileTest, ADeepTreeIsKeptToItsLimitWithoutRunningOutOfStack) {
    std::string sections;
    for (int tier = 0; tier < 50000; ++tier)
        sections += "@\nk~\nr~\n-1 -1 -1 " + std::to_string(tier) + " 0 0 0~\n";
    ASSERT_TRUE(load(mob(1200, sections) + "$\n"));
    const MobilePrototype& m = mobile(1200);
    EXPECT_EQ(m.conversation_count(), 50000);
    int depth = 0;
    for (const auto* level = &m.conversations; !level->empty(); level = &level->back().branches)
        ++depth;
    EXPECT_EQ(depth, kMaxConversationDepth);
}

TEST_F(MobileFileTest, ErrorCodesNameWhatWentWrong) {
    struct Case {
        std::string text;
        std::string detail;
    };
    std::string good_head = "#1200\n" + kTexts;
    const Case cases[] = {
        {good_head + "@\nhi~\nho~\n1 2 3 0~\n" + kNumbers + "E\n$\n", "Error Code 3"},
        {good_head, "Error Code 1"},
        {good_head + "@@\na~\nb~\nc~\nd~\n1 2 3\n", "Error Code 5"},
        {good_head + "@@@\n1 2 3\n~\n", "Error Code 15"},
        {good_head + "Skills:\n1:2 3:4\n~\n", "Error Code 15.1"},
        {good_head + "Skills:\n", "Error Code 14.1"},
        {good_head + "0 0 0 E\n", "Error Code 17"},
        {good_head + "0 0 0 0 0 0 0 0 0 x\n", "Unsupported mob type 'x' in mob #0."},
        {good_head + "0 99999999999 0 0 0 0 0 0 0 E\n", "Error Code 17"},
        {good_head + "0 0 0 0 0 0 0 0 0 E\n1 2 3\n", "Error Code 19"},
        {good_head + "0 0 0 0 0 0 0 0 0 E\n1 2 3 1d1+1 1d1+1\n1 2\n", "Error Code 21"},
        {mob(1200).substr(0, mob(1200).rfind("0 0 0 0 0 0 0 0 0 4\n")),
         "Format error in last line of mob #0."},
        {mob(1200, "", "Str: 5\n#1201\n"), "Unterminated E section in mob #0."},
        {"#1200\n" + kTexts + kNumbers + "Str: 5\n",
         "Unexpected end of file reached after mob #0."},
        {"\n#-100\n" + kTexts + kNumbers + "E\n$\n",
         "Vnum -100 on line 2 is outside the range -99 to 32767 (zones 0 to 327)."},
    };
    for (const auto& c : cases) {
        FakeUi local;
        Workspace w(local);
        ScratchDir d;
        EXPECT_FALSE(load_area_file(w, d.write("12.mob", crlf(c.text)))) << c.detail;
        ASSERT_FALSE(local.messages.empty()) << c.detail;
        EXPECT_EQ(local.messages.front().text,
                  "There was an error loading the mob file.\r\n" + c.detail);
        EXPECT_EQ(w.mobiles().count(), 0);
        EXPECT_EQ(w.mobiles().block_count(), 0);
    }
}

TEST_F(MobileFileTest, UnknownEspecWarnsAndGoesOn) {
    ASSERT_TRUE(load(mob(1200, "", "Luck: 5\n") + "$\n"));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Warning: unrecognized espec keyword while loading mob."});
}

TEST_F(MobileFileTest, OlderLayoutsConvertWithTheRightWarnings) {
    ui.always_yes();
    // As earlier writers saved it: four numbers on a conversation line, and
    // lines of numbers that were never set among the E-specs.
    ASSERT_TRUE(load(mob(1200,
                         "@\nhi~\nho~\n1 2 3 0~\nSkills:\n5:5 -1:-1 -1:-1 -1:-1 -1:-1 -1:-1 "
                         "-1:-1 -1:-1 -1:-1 -1:-1\n~\n",
                         "0 0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0 0\n") +
                     "$\n"));
    EXPECT_EQ(mobile(1200).skill(5), 5);
    EXPECT_EQ(mobile(1200).conversations[0].quest_to_activate, 1);
    for (const auto& m : ui.messages)
        EXPECT_NE(m.caption, "Warning");
    EXPECT_EQ(ui.messages.back().caption, "Success");

    // CircleMUD enhanced mobile: skills are lost, so the builder is warned.
    ui.clear();
    ui.always_yes();
    ASSERT_TRUE(
        load("#1300\nguard~\nthe guard~\nA guard.\n~\nTough.\n~\nanp b 350 E\n"
             "10 15 -2 2d8+20 1d6+3\n100 2000\n8 8 1\nStr: 18\nStrAdd: 50\nE\n$\n",
             "13.mob"));
    const MobilePrototype& c = mobile(1300);
    EXPECT_EQ(c.flag_words[0], flags_from_word("anp"));
    EXPECT_EQ(c.flag_words[4], 2u);
    EXPECT_EQ(c.alignment, 350);
    EXPECT_EQ(c.line2[1], 2000);
    EXPECT_EQ(c.line3[2], 1);  // sex
    EXPECT_EQ(c.abilities[kStr], 18);
    ASSERT_GE(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[ui.messages.size() - 3].caption, "Warning");  // the skills
    EXPECT_EQ(ui.messages[ui.messages.size() - 2],
              (test::Shown{"Note: the game's format has no place for these fields of 13.mob;\r\n"
                           "they were left out:\r\nmobile 1300: StrAdd",
                           "Warning"}));
    EXPECT_EQ(ui.messages.back().text,
              "Conversion successful.  Please save the mob file immediately\r\n"
              "so that the file is in the correct format.");

    // tbaMUD: four-word flags and trigger lines.
    ASSERT_TRUE(
        load("#1400\nguard~\nthe guard~\nA guard.\n~\nTough.\n~\na 0 0 0 b 0 0 c 0 S\n"
             "10 15 -2 2d8+20 1d6+3\n100 2000\n8 8 1\nT 1401\n$\n",
             "14.mob"));
    EXPECT_EQ(mobile(1400).flag_words[7], 4u);
    EXPECT_EQ(mobile(1400).triggers, std::vector<std::int32_t>{1401});
}

TEST_F(MobileFileTest, AnImportNamesEveryEspecItCannotKeepInOneWarning) {
    ui.always_yes();
    const std::string body =
        "guard~\nthe guard~\nA guard.\n~\nTough.\n~\na 0 0 0 b 0 0 0 0 E\n"
        "10 15 -2 2d8+20 1d6+3\n100 2000\n8 8 1\n";
    ASSERT_TRUE(load("#1400\n" + body +
                         "StrAdd: 50\nSavingPara: 1\nSavingRod: 2\nSavingPetri: 3\n"
                         "SavingBreath: 4\nSavingSpell: 5\nDex: 15\nE\n#1401\n" +
                         body + "SavingSpell: 2\nE\n$\n",
                     "14.mob"));
    EXPECT_EQ(mobile(1400).abilities[kDex], 15);
    std::vector<std::string> warnings;
    for (const auto& m : ui.messages)
        if (m.caption == "Warning") warnings.push_back(m.text);
    ASSERT_EQ(warnings.size(), 2u);  // the skills, then the fields
    EXPECT_EQ(warnings[1],
              "Note: the game's format has no place for these fields of 14.mob;\r\n"
              "they were left out:\r\n"
              "mobile 1400: StrAdd, SavingPara, SavingRod, SavingPetri, SavingBreath, "
              "SavingSpell\r\nmobile 1401: SavingSpell");
}

TEST_F(MobileFileTest, SaveCommands) {
    save_current(ws, TableKind::Mobile);
    EXPECT_EQ(ui.last_status(), "No mobile selected; nothing saved.");
    ASSERT_TRUE(load(mob(1200) + "$\n"));
    EXPECT_EQ(ui.last_status(), "Mobile file for zone 12 loaded.");
    EXPECT_TRUE(save_current(ws, TableKind::Mobile));
    EXPECT_EQ(ui.last_status(), "Mobiles for zone 12 saved to file.");
    ws.set_file_step_hook(test::fail_step("create 12.mob", EACCES));
    EXPECT_FALSE(save_everything(ws));
    EXPECT_EQ(ui.message_texts().back(),
              "save_mobs: Cannot open mob file!\r\nZone 12, 12.mob: could not create 12.mob: "
              "Permission denied\r\nNothing was saved; every file is as it was.");
    EXPECT_EQ(ui.last_status(), "Error, not all mobiles saved.");
}

}  // namespace
}  // namespace zs
