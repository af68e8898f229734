#include "files/area_files.h"
#include "files/file_zone.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;

// A zedit with a command of every kind, as the writer produces it.
const std::string kFullZone = crlf(
    "#31\n"
    "Market Square~\n"
    "the market of Midgaard~\n"
    "spring fair~\n"
    "3199 15 2 7\n"
    "M 0 3100 1 3101 2 0 0 \t(This was saved in Zonesmith)\n"
    "G 1 3150 5 -1 7 0 0 \t(This was saved in Zonesmith)\n"
    "E 1 3151 3 16 0 0 0 \t(This was saved in Zonesmith)\n"
    "O 0 3152 1 3102 0 0 0 \t(This was saved in Zonesmith)\n"
    "P 1 3153 1 3152 0 0 0 \t(This was saved in Zonesmith)\n"
    "D 0 3101 1 2 0 0 0 \t(This was saved in Zonesmith)\n"
    "R 0 3102 3154 -1 0 0 0 \t(This was saved in Zonesmith)\n"
    "T 0 1 3100 -1 4 5 6 \t(This was saved in Zonesmith)\n"
    "V 0 2 3100 1 0 count 5 \t(This was saved in Zonesmith)\n"
    "S\n"
    "$\n");

// The header lines of a zedit numbered 31 and named "Name", before its commands.
const std::string kHead = "#31\nName~\nrp~\nthird~\n3199 15 2 0\n";

Zcmd command(char letter, std::int32_t if_flag, std::array<std::int32_t, 6> arg, int line) {
    Zcmd c;
    c.command = letter;
    c.if_flag = if_flag;
    c.arg = arg;
    c.line = line;
    return c;
}

struct Recorder : WorkspaceObserver {
    void workspace_changed(const Change&) override {}
    void file_loaded(TableKind kind, int zone) override { loaded.push_back({kind, zone}); }
    std::vector<std::pair<TableKind, int>> loaded;
};

struct ZoneFileTest : ::testing::Test {
    void SetUp() override { ws.set_area_dir(dir.path()); }
    bool load(const std::string& name, const std::string& bytes) {
        return load_area_file(ws, dir.write(name, bytes));
    }
    // Loads `lf_text` as a zone file and returns the message boxes it showed.
    std::vector<std::string> errors_of(const std::string& lf_text) {
        ui.clear();
        EXPECT_FALSE(load("31.zon", crlf(lf_text))) << lf_text;
        EXPECT_TRUE(ws.zones().empty()) << lf_text;
        return ui.message_texts();
    }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

std::vector<std::string> zone_error(const std::string& detail) {
    return {"There was an error loading the zone file.\r\n" + detail};
}

TEST_F(ZoneFileTest, WrittenFileLoadsEveryFieldAndSavesIntoTheSameBytes) {
    Recorder recorder;
    ws.add_observer(&recorder);
    ASSERT_TRUE(load("31.zon", kFullZone));
    ws.remove_observer(&recorder);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.last_status(), "Zedit file for zone 31 loaded.");
    EXPECT_EQ(recorder.loaded, (std::vector<std::pair<TableKind, int>>{{TableKind::Zone, 31}}));
    EXPECT_FALSE(ws.modified().any());

    ASSERT_EQ(ws.zones().count(), 1);
    EXPECT_EQ(ws.zones().selected_slot(), 0);
    const Zedit& z = ws.zones().zedit(0);
    EXPECT_EQ(z.number, 31);
    EXPECT_EQ(z.name, "Market Square");
    EXPECT_EQ(z.roleplay_name, "the market of Midgaard");
    EXPECT_EQ(z.third_text, "spring fair");
    EXPECT_EQ(z.top, 3199);
    EXPECT_EQ(z.lifespan, 15);
    EXPECT_EQ(z.reset_mode, 2);
    EXPECT_EQ(z.zone_value, 7);

    Zcmd v = command('V', 0, {2, 3100, 1, 0, 0, 0}, 14);
    v.sarg1 = "count";
    v.sarg2 = "5";
    const std::vector<Zcmd> expected = {
        command('M', 0, {3100, 1, 3101, 2, 0, 0}, 6),
        command('G', 1, {3150, 5, -1, 7, 0, 0}, 7),  // read with five fields
        command('E', 1, {3151, 3, 16, 0, 0, 0}, 8),
        command('O', 0, {3152, 1, 3102, 0, 0, 0}, 9),
        command('P', 1, {3153, 1, 3152, 0, 0, 0}, 10),
        command('D', 0, {3101, 1, 2, 0, 0, 0}, 11),     // four fields
        command('R', 0, {3102, 3154, 0, 0, 0, 0}, 12),  // three fields
        command('T', 0, {1, 3100, -1, 4, 5, 6}, 13),
        v,
    };
    EXPECT_EQ(z.commands, expected);

    ASSERT_TRUE(save_zone(ws, TableKind::Zone, 31));
    EXPECT_EQ(dir.read("31.zon"), kFullZone);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // The saved file loads into the same zedit once more.
    FakeUi ui2;
    Workspace again(ui2);
    ASSERT_TRUE(load_area_file(again, dir.file("31.zon")));
    EXPECT_EQ(again.zones().zedit(0), ws.zones().zedit(0));
}

TEST_F(ZoneFileTest, GetsOfThreeNumbersAndTheEndMarkers) {
    // "$" ends the commands as "S" does; the file is written with both.
    ASSERT_TRUE(load("31.zon", crlf(kHead + "G 1 3150 5\nG 0 3151 2 9 4\nR 0 3102 3154 8\n$\n")));
    const auto& cmds = ws.zones().zedit(0).commands;
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].arg, (std::array<std::int32_t, 6>{3150, 5, 0, 0, 0, 0}));
    EXPECT_EQ(cmds[1].arg, (std::array<std::int32_t, 6>{3151, 2, 9, 4, 0, 0}));
    EXPECT_EQ(cmds[2].arg, (std::array<std::int32_t, 6>{3102, 3154, 0, 0, 0, 0}));
    // G and R always go out with -1 as their third number.
    EXPECT_EQ(write_zone(ws.zones().zedit(0)).bytes,
              crlf(kHead + "G 1 3150 5 -1 0 0 0 \t(This was saved in Zonesmith)\n"
                           "G 0 3151 2 -1 4 0 0 \t(This was saved in Zonesmith)\n"
                           "R 0 3102 3154 -1 0 0 0 \t(This was saved in Zonesmith)\n"
                           "S\n$\n"));
}

TEST_F(ZoneFileTest, LooseLayoutIsRead) {
    const std::string text =
        "* A zone of the old market\n"           // 1
        "\n"                                     // 2
        "#31\n"                                  // 3
        "Market Square\n"                        // 4: no "~": the whole line
        "the market~ of Midgaard\n"              // 5: up to the first "~"
        "~\n"                                    // 6: empty
        "  3199   15 2 7  trailing words\n"      // 7
        "* Mobiles\n"                            // 8
        "   \n"                                  // 9
        "   M 0 3100 1 3101 2 0 0   the cook\n"  // 10
        "\tO 0 3152 1 3102 0 0 0\n"              // 11
        "  * an indented comment 1 2 3\n"        // 12
        "D 0 3101 1 2 (the door)\n"              // 13
        "V 0 2 3100 1 0 count 5 and more\n"      // 14
        "   S and the rest of the line\n"        // 15
        "M 0 1 1 1 1 1 1\n";                     // after the end: never read
    ASSERT_TRUE(load("31.zon", crlf(text)));
    const Zedit& z = ws.zones().zedit(0);
    EXPECT_EQ(z.name, "Market Square");
    EXPECT_EQ(z.roleplay_name, "the market");
    EXPECT_EQ(z.third_text, "");
    EXPECT_EQ(z.top, 3199);
    EXPECT_EQ(z.zone_value, 7);
    ASSERT_EQ(z.commands.size(), 4u);
    EXPECT_EQ(z.commands[0], command('M', 0, {3100, 1, 3101, 2, 0, 0}, 10));
    EXPECT_EQ(z.commands[1], command('O', 0, {3152, 1, 3102, 0, 0, 0}, 11));
    EXPECT_EQ(z.commands[2], command('D', 0, {3101, 1, 2, 0, 0, 0}, 13));
    EXPECT_EQ(z.commands[3].line, 14);
    EXPECT_EQ(z.commands[3].sarg1, "count");
    EXPECT_EQ(z.commands[3].sarg2, "5");

    // The empty third text goes out as "none".
    ASSERT_TRUE(save_zone(ws, TableKind::Zone, 31));
    std::string saved = dir.read("31.zon");
    EXPECT_TRUE(saved.starts_with(
        crlf("#31\nMarket Square~\nthe market~\nnone~\n3199 15 2 7\nM 0 3100 1 3101 2 0 0")))
        << saved;
}

TEST_F(ZoneFileTest, WriterStandInsAndCommandsItCannotWrite) {
    Zedit z;
    z.number = 40;
    z.commands.push_back(command('M', 1, {4000, 2, 4001, 0, 0, 0}, 0));
    z.commands.push_back(command('N', 0, {1, 2, 3, 4, 5, 6}, 0));  // kind never chosen
    z.commands.push_back(command('*', 0, {}, 0));
    Zcmd v = command('V', 0, {1, 2, 3, 4, 0, 0}, 0);  // words never filled in
    z.commands.push_back(v);
    WriteResult written = write_zone(z);
    show_diagnostics(ui, written.diagnostics);
    const std::string& text = written.bytes;
    EXPECT_EQ(text, crlf("#40\n"
                         "undefined~\n"
                         "a nameless area~\n"
                         "none~\n"
                         "0 0 0 0\n"
                         "M 1 4000 2 4001 0 0 0 \t(This was saved in Zonesmith)\n"
                         "V 0 1 2 3 4 none none \t(This was saved in Zonesmith)\n"
                         "S\n"
                         "$\n"));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"SYSERR: save_zedit: Unknown cmd 'N' - NOT saving"});

    // What the writer left out does not stop the save, and the file reads back.
    TableLoad(ws).zones().append(z);
    ui.clear();
    ASSERT_TRUE(save_current(ws, TableKind::Zone));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"SYSERR: save_zedit: Unknown cmd 'N' - NOT saving"});
    EXPECT_EQ(ui.last_status(), "Zedit for zone 40 saved to file.");
    EXPECT_EQ(dir.read("40.zon"), text);
    FakeUi ui2;
    Workspace again(ui2);
    ASSERT_TRUE(load_area_file(again, dir.file("40.zon")));
    const Zedit& back = again.zones().zedit(0);
    EXPECT_EQ(back.name, "undefined");
    ASSERT_EQ(back.commands.size(), 2u);
    EXPECT_EQ(back.commands[1].sarg1, "none");
}

TEST_F(ZoneFileTest, FormatErrorsNameTheirPlace) {
    EXPECT_EQ(errors_of("* only\n\n   \n*comments\n"), zone_error("Zone is empty!"));
    EXPECT_EQ(errors_of(""), zone_error("Zone is empty!"));
    EXPECT_EQ(ui.last_status(), "Error loading zone file.");

    // The zone line's number is the count of lines read to reach it.
    EXPECT_EQ(errors_of("* header\n\n31\nName~\n"),
              zone_error("Format error in zone file, line 3"));
    EXPECT_EQ(errors_of("#40000\nName~\n"), zone_error("Format error in zone file, line 1"));
    // A zedit below zone 0 would load and never be saved.
    EXPECT_EQ(errors_of("\n#-1\nName~\nrp~\nthird~\n3199 15 2 0\nS\n$\n"),
              zone_error("Zone -1 on line 2 is outside the range 0 to 32767."));

    EXPECT_EQ(errors_of("#31\nName~\nrp~\nthird~\n3199 15 2\nS\n$\n"),
              zone_error("Format error in 4-constant line of Name"));
    EXPECT_EQ(errors_of("#31\nName~\nrp~\nthird~\n40000 15 2 0\nS\n$\n"),
              zone_error("Format error in 4-constant line of Name"));
    EXPECT_EQ(errors_of("#31\nName~\nrp~\n"),
              zone_error("Format error in 4-constant line of Name"));
    EXPECT_EQ(errors_of("#31\n"), zone_error("Format error in 4-constant line of "));

    // Command lines: the running line number counts comments and blank lines.
    // The whole line is shown, leading blanks and all.
    const std::string bad_commands[] = {
        "M 0 3100 1 3101 2 0",  // six numbers
        "  T 0 1 2 3 4 5 x",
        "D 0 3101 1",
        "R 0 3102",
        "G 1 3150 5 -1",  // four numbers: neither three nor five
        "V 0 2 3100 1 0 count",
        "O 0 3152 1 3102 0 0 2147483648",
        "X",
    };
    for (const auto& line : bad_commands)
        EXPECT_EQ(errors_of(kHead + "M 0 1 1 1 1 1 1\n* comment\n\n" + line + "\nS\n$\n"),
                  zone_error("Format error in Name, line 9: '" + line + "'"));

    EXPECT_EQ(errors_of(kHead + "M 0 1 1 1 1 1 1\n"),
              zone_error("Format error in Name - premature end of file"));
    EXPECT_EQ(errors_of(kHead), zone_error("Format error in Name - premature end of file"));
}

TEST_F(ZoneFileTest, AFailedLoadLeavesTheTableAsItWas) {
    ASSERT_TRUE(load("31.zon", kFullZone));
    test::Step(ws).zones().create_zedit(50);
    ws.zones().select_slot(1);
    const Zedit before = ws.zones().zedit(1);
    int blocks = ws.zones().block_count();
    ui.clear();

    EXPECT_FALSE(load("32.zon", crlf("#32\nName~\nrp~\nthird~\n3299 15 2 0\nM 0 1 1 1 1 1 1\n")));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text,
              "Zedit failed to load.  Would you like to attempt to load\r\nthe zedit in an older "
              "zone format and allow Zonesmith to\r\nautomatically convert the file to the latest "
              "format?");
    EXPECT_EQ(ws.zones().count(), 2);
    EXPECT_EQ(ws.zones().find_zedit(32), -1);
    EXPECT_EQ(ws.zones().block_count(), blocks);
    EXPECT_EQ(ws.zones().selected_slot(), 1);
    EXPECT_EQ(ws.zones().zedit(1), before);

    // Agreeing to convert tries the older layouts, which refuse it too.
    ui.clear();
    ui.answer({true});
    EXPECT_FALSE(load("32.zon", crlf("#32\n")));
    EXPECT_EQ(ui.message_texts(), (std::vector<std::string>{
                                      "There was an error loading the zone file.\r\n"
                                      "Format error in 4-constant line of ",
                                      "There was an error loading the zone file.",
                                  }));
    EXPECT_EQ(ws.zones().count(), 2);
    EXPECT_EQ(ws.zones().block_count(), blocks);

    // The block given back can be taken again.
    ASSERT_TRUE(load("32.zon", crlf("#32\nName~\nrp~\nthird~\n3299 15 2 0\nS\n")));
    EXPECT_EQ(ws.zones().block_count(), blocks + 1);
    EXPECT_EQ(ws.zones().zedit(1), before);
}

TEST_F(ZoneFileTest, LoadRefusals) {
    ASSERT_TRUE(load("31.zon", kFullZone));
    ui.clear();
    EXPECT_FALSE(load("31.zon", kFullZone));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Zone 31 already loaded."});
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ws.zones().count(), 1);

    ui.clear();
    EXPECT_FALSE(load_area_file(ws, dir.file("77.zon")));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Zone file not found."});
    EXPECT_EQ(ws.zones().block_count(), 1);

    // The status names the zedit the file holds, whatever the file is called.
    ui.clear();
    ASSERT_TRUE(load("7.zon", crlf("#12\nName~\nrp~\nthird~\n1299 15 2 0\nS\n")));
    EXPECT_EQ(ui.last_status(), "Zedit file for zone 12 loaded.");
}

TEST_F(ZoneFileTest, SaveCommandsReportAndAFailedWriteKeepsTheOldFile) {
    EXPECT_FALSE(save_current(ws, TableKind::Zone));
    EXPECT_EQ(ui.last_status(), "No zedit selected; nothing saved.");
    EXPECT_FALSE(save_zone(ws, TableKind::Zone, 99));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Error saving zone -- zone number not found"});

    ASSERT_TRUE(load("31.zon", kFullZone));
    test::Step(ws).zones().edit_zedit(0, [](Zedit& z) { z.name = "Changed"; });
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 31));
    dir.write("31.zon", "old bytes");
    // The new 31.zon can't be written: the disk is full.
    ws.set_file_step_hook(test::fail_step("create 31.zon", ENOSPC));
    ui.clear();
    EXPECT_FALSE(save_current(ws, TableKind::Zone));
    EXPECT_EQ(ui.last_status(), "Error, zedit not saved.");
    EXPECT_EQ(dir.read("31.zon"), "old bytes");
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 31));

    ws.set_file_step_hook({});
    EXPECT_TRUE(save_current(ws, TableKind::Zone));
    EXPECT_EQ(ui.last_status(), "Zedit for zone 31 saved to file.");
    EXPECT_TRUE(dir.read("31.zon").starts_with(crlf("#31\nChanged~\n")));
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(ZoneFileTest, SaveAllWritesEachZoneOnceAndOwnsUpToFailures) {
    EXPECT_TRUE(save_every_zone(ws, TableKind::Zone));
    EXPECT_TRUE(ui.statuses.empty());

    ASSERT_TRUE(load("31.zon", kFullZone));
    test::Step(ws).zones().create_zedit(40);
    test::Step(ws).zones().create_zedit(-1);  // no number yet: not saved
    test::Step(ws).zones().create_zedit(31);  // a second zedit 31 stands first now
    test::Step(ws).zones().edit_zedit(0, [](Zedit& z) { z.name = "Second"; });
    ui.clear();
    EXPECT_TRUE(save_every_zone(ws, TableKind::Zone));
    EXPECT_EQ(ui.last_status(), "All zedits saved to file.");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(dir.read("31.zon").starts_with(crlf("#31\nSecond~\n")));
    EXPECT_TRUE(dir.read("40.zon").starts_with(crlf("#40\nA New Zone~\n")));
    EXPECT_FALSE(dir.exists("-1.zon"));
    EXPECT_FALSE(ws.modified().is_set(TableKind::Zone, 31));
    EXPECT_FALSE(ws.modified().is_set(TableKind::Zone, 40));

    // One zone fails: Save All is one change, so no zone is written, and
    // the status says so.
    test::Step(ws).zones().edit_zedit(ws.zones().find_zedit(40), [](Zedit& z) { z.lifespan = 30; });
    test::Step(ws).zones().edit_zedit(0, [](Zedit& z) { z.lifespan = 30; });
    ws.set_file_step_hook(test::fail_step("create 40.zon", ENOSPC));
    ui.clear();
    EXPECT_FALSE(save_every_zone(ws, TableKind::Zone));
    EXPECT_EQ(ui.statuses, std::vector<std::string>{"Error, not all zedits saved."});
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 31));
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 40));
    EXPECT_EQ(dir.read("31.zon").find(crlf("\n0 30 0 0\n")), std::string::npos);
}

TEST_F(ZoneFileTest, StockImportsNameTheHeaderFieldsTheyCannotKeep) {
    const std::string note =
        "Note: the game's format has no place for these fields of 12.zon;\r\n"
        "they were left out:\r\nzone 12: ";
    const struct {
        const char* header;  // tbaMUD unless it has a single text line
        std::string warning;
    } cases[] = {
        {"b~\nRumble~\n1200 1299 30 2 d 0 0 0 1 34", note + "zone flags, level range 1 to 34"},
        {"b~\nRumble~\n1250 1299 30 2 0 0 0 0 -1 -1", note + "bottom vnum 1250"},
        {"b~\nRumble~\n1200 1299 30 2 0 0 0 0 -1 -1", ""},
        {"b~\nRumble~\n1200 1299 30 2", ""},
        {"Rumble~\n1250 1299 30 2", note + "bottom vnum 1250"},  // CircleMUD 3.x
    };
    for (const auto& c : cases) {
        FakeUi local;
        local.always_yes();
        Workspace w(local);
        ASSERT_TRUE(load_area_file(
            w, dir.write("12.zon", crlf(std::string("#12\n") + c.header + "\nM 0 1 1 1\nS\n$\n"))))
            << c.header;
        std::vector<std::string> warnings;
        for (const auto& m : local.messages)
            if (m.caption == "Warning") warnings.push_back(m.text);
        EXPECT_EQ(warnings, c.warning.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{c.warning})
            << c.header;
    }
    // A stock zone below 0 is refused with its line, as the current reader does.
    ui.always_yes();
    EXPECT_FALSE(load("12.zon", crlf("#-3\nb~\nRumble~\n1200 1299 30 2\nS\n$\n")));
    EXPECT_EQ(ui.message_texts().back(),
              "There was an error loading the zone file.\r\n"
              "Zone -3 on line 1 is outside the range 0 to 32767.");
}

TEST(ZoneFileCorpus, EveryStockFileFailsTheCurrentReaderCleanly) {
    ZS_REQUIRE_CORPUS();
    auto files = test::corpus_files("zon");
    ASSERT_EQ(files.size(), 30u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        FakeUi ui;  // declines to convert
        Workspace ws(ui);
        // The stock header has no text lines after the name, so the
        // four-number line is met on a command.
        EXPECT_FALSE(load_area_file(ws, path.string()));
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_TRUE(ui.messages[0].text.starts_with(
            "There was an error loading the zone file.\r\nFormat error in 4-constant line of "))
            << ui.messages[0].text;
        EXPECT_EQ(ui.questions.size(), 1u);
        EXPECT_TRUE(ws.zones().empty());
        EXPECT_EQ(ws.zones().block_count(), 0);
    }
}

// What the zone editor makes of every kind of command, with every number
// filled in, is saved and read back the same.
TEST(ZoneFileEditor, EveryNewCommandReadsBackAsItWasAdded) {
    test::FakeUi ui;
    Workspace ws(ui);
    ASSERT_EQ(new_zedit_from_box(ws, "12"), 12);
    for (const CommandKind& kind : kCommandKinds) {
        Zcmd c;
        c.command = kind.letter;
        c.if_flag = 1;
        // T and V have an attach type (0 to 2) where the others have a vnum.
        c.arg = {kind.letter == 'T' || kind.letter == 'V' ? 2 : 1201, 2, 3, 4, 5, 1};
        c.sarg1 = "mood";
        c.sarg2 = "calm";
        ASSERT_GE(add_command(ws, 12, -1, c, 1205), 0) << kind.letter;
    }
    const Zedit& made = ws.zones().zedit(ws.zones().find_zedit(12));
    ReadResult<Zedit> back = read_zone(write_zone(made).bytes, "12.zon");
    ASSERT_TRUE(back.ok);
    Zedit read = back.records.at(0);
    for (Zcmd& c : read.commands) {
        c.line = 0;
        if (c.command == 'G') c.arg[2] = 0;  // written -1, and no field of a G
    }
    EXPECT_EQ(read.commands, made.commands);
    EXPECT_EQ(std::tuple(read.top, read.lifespan, read.reset_mode),
              std::tuple(made.top, made.lifespan, made.reset_mode));
}

}  // namespace
}  // namespace zs
