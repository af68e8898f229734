#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "files/area_change.h"
#include "files/area_files.h"
#include "files/check.h"
#include "support/cli_run.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/strfmt.h"
#include "world/workspace.h"
#include "zonesmith_version.h"

namespace zs {
namespace {

using test::crlf;
using test::FakeUi;
using test::ScratchDir;
using test::world_file;

using test::cli;
using test::CliRun;

// Runs the zonesmith-cli program itself with its files limited to
// `file_limit` bytes (ulimit -f); its output goes through pipes, which the
// limit does not touch. The status of a program ended by a signal is 128
// and the signal's number, as a shell gives it.
CliRun program(const std::vector<std::string>& args, rlim_t file_limit) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return {-1, "", "no pipe"};
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]})
            ::close(fd);
        rlimit limit{file_limit, file_limit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char*> argv{const_cast<char*>(ZS_CLI_PROGRAM)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(ZS_CLI_PROGRAM, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    auto drain = [](int fd) {
        std::string text;
        char buf[4096];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
            text.append(buf, static_cast<std::size_t>(n));
        ::close(fd);
        return text;
    };
    CliRun run{0, drain(out[0]), drain(err[0])};
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

const std::string kStockRoom = "#1200\nHall~\nA hall.\n~\n12 0 3\nD0\n~\n~\n0 -1 1201\nS\n$\n";

TEST(Cli, ConvertAnswersQuestionsAsToldAndSavesIntoTheOutputDirectory) {
    ScratchDir in, out;
    std::string file = in.write("12.wld", kStockRoom);

    CliRun no = cli({"convert", "-o", out.path().string(), file});
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("Zone failed to load."), std::string::npos);
    EXPECT_NE(no.err.find("-> No"), std::string::npos);
    EXPECT_FALSE(out.exists("12.wld"));

    CliRun yes = cli({"convert", "--yes", "-o", out.path().string(), file});
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_NE(yes.err.find("Success: Conversion successful."), std::string::npos);
    EXPECT_NE(yes.out.find("World file for zone 12 loaded."), std::string::npos);
    EXPECT_NE(yes.out.find("All zones saved to file."), std::string::npos);
    EXPECT_EQ(out.read("12.wld").substr(0, 7), "#1200\r\n");
    EXPECT_EQ(in.read("12.wld"), kStockRoom);  // the input is left alone
}

TEST(Cli, StatsCountsPerZone) {
    ScratchDir in;
    std::string a = in.write(
        "12.wld", crlf("#1200\nA~\n~\nx~\n~\n12 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n"
                       "D0\n~\n~\n~\n0 -1 1201 0 0 -1\nE\nk~\nd~\nS\nT 5\n"
                       "#1301\nB~\n~\nx~\n~\n13 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$\n"));
    CliRun r = cli({"stats", a});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "zone 12: 1 rooms, 1 exits, 1 extra descriptions, 1 triggers, 0 objects, "
              "0 mobiles, 0 conversations, 0 skills, 0 commands\n"
              "zone 13: 1 rooms, 0 exits, 0 extra descriptions, 0 triggers, 0 objects, "
              "0 mobiles, 0 conversations, 0 skills, 0 commands\n");
}

// A current-layout room of zone 14 whose exits follow on `exits`.
std::string room_1400(const std::string& description, const std::string& exits = "") {
    return crlf("#1400\nA~\n" + description + "~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n" +
                exits + "S\n$~\n");
}

TEST(Cli, HostileFilesAreNamedAndFailTheRun) {
    const std::string too_long = std::string(20000, 'x');
    const struct {
        std::string name, bytes;
        std::vector<std::string> args;  // "DIR" stands for the files' directory
        int status;
        std::string out, err;  // expected within the output; empty: anything
    } cases[] = {
        {"14.wld",
         room_1400("", "D0\n~\n~\n~\n0 -1 34310 0 0 -1\n"),
         {"convert", "--dir", "DIR", "-o", "DIR", "14.wld"},
         1,
         "",
         "Vnum 34310 on line 12 is outside the range -32768 to 32767."},
        {"12.wld",
         "#1200\nHall~\n~\n12 0 0 0 0 3\nD0\n~\n~\n0 -1 34310\nS\n$\n",
         {"convert", "--yes", "--dir", "DIR", "-o", "DIR", "12.wld"},
         0,
         "All zones saved",
         "room 1200: the exit north to room 34310"},
        {"0.wld",
         crlf("#-100\nA~\n~\nx~\n~\n0 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$~\n"),
         {"convert", "--dir", "DIR", "-o", "DIR", "0.wld"},
         1,
         "",
         "Vnum -100 on line 1 is outside the range -99 to 32767"},
        {"0.zon",
         "#-1\nA~\nB~\nC~\n99 30 2 0\nS\n$\n",
         {"convert", "--dir", "DIR", "-o", "DIR", "0.zon"},
         1,
         "",
         "Zone -1 on line 1 is outside the range 0 to 32767."},
        {"14.wld",
         room_1400(too_long),
         {"convert", "--dir", "DIR", "-o", "DIR", "14.wld"},
         1,
         "",
         "14.wld, line 3: room 1400: the text is 20000 characters long; the game keeps 16383."},
        {"14.wld",
         room_1400(too_long),
         {"check", "--dir", "DIR"},
         1,
         "14.wld:3: error: room 1400: the text is 20000 characters long; the game keeps 16383\n",
         ""},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        dir.write(c.name, c.bytes);
        std::vector<std::string> args = c.args;
        for (auto& a : args)
            if (a == "DIR") a = dir.path().string();
        CliRun r = cli(args);
        SCOPED_TRACE(args[0] + " " + c.name + "\n" + r.out + r.err);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.out.find(c.out), std::string::npos);
        EXPECT_NE(r.err.find(c.err), std::string::npos);
    }
}

TEST(Cli, CheckThatLoadsNothingSaysSoAndFails) {
    const struct {
        std::string name;  // the one file in the directory, if any
        std::vector<std::string> zones;
    } cases[] = {{"", {}}, {"012.wld", {}}, {"14.wld", {"99"}}};
    for (const auto& c : cases) {
        ScratchDir dir;
        if (!c.name.empty()) dir.write(c.name, room_1400(""));
        std::vector<std::string> args = {"check", "--dir", dir.path().string()};
        args.insert(args.end(), c.zones.begin(), c.zones.end());
        CliRun r = cli(args);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.err.find("nothing was loaded"), std::string::npos) << c.name << r.err;
    }
}

TEST(Cli, CheckAndResetsTakeTheSameZoneNumbers) {
    const struct {
        const char* zone;
        bool valid;
    } cases[] = {{"0", true}, {"327", true}, {"-1", false}, {"328", false}, {"+-3", false}};
    for (const char* command : {"check", "resets"})
        for (const auto& c : cases) {
            ScratchDir dir;
            CliRun r = cli({command, "--dir", dir.path().string(), c.zone});
            SCOPED_TRACE(std::string(command) + " " + c.zone + "\n" + r.err);
            const bool refused =
                r.err.find(std::string(c.zone) + " is not a zone number\n") != std::string::npos;
            EXPECT_EQ(refused, !c.valid);
            EXPECT_EQ(r.status == 2, !c.valid);
        }
}

TEST(Cli, CheckAsksForKeysOnlyOnDoorsWithAKey) {
    ScratchDir dir;
    // Not a door with a key number; doors with key 0 and -1; a door whose key
    // no zone holds. Every exit leads back to the room itself.
    dir.write("14.wld", room_1400("",
                                  "D0\n~\n~\n~\n0 1455 1400 0 0 -1\n"
                                  "D1\n~\ngate~\n~\n1 0 1400 0 0 -1\n"
                                  "D3\n~\ngate~\n~\n1 0 1400 0 0 -1\n"
                                  "D4\n~\nhatch~\n~\n2 -1 1400 0 0 -1\n"
                                  "D5\n~\nhatch~\n~\n2 -1 1400 0 0 -1\n"
                                  "D2\n~\ngrate~\n~\n1 1456 1400 0 0 -1\n"));
    CliRun r = cli({"check", "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "14.wld:1: error: room 1400: the door south needs key 1456, which no loaded zone "
              "holds\n");
}

TEST(Cli, CheckFailsOnErrorsAndWithStrictOnWarnings) {
    // Room 1400 with an exit east to room 1401, which has none back.
    const std::string kOneWay = crlf(
        "#1400\nA~\n~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nD1\n~\n~\n~\n0 -1 1401 0 0 "
        "-1\nS\n#1401\nB~\n~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$~\n");
    crlf("#1401\nB~\n~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n");
    const std::string kZone = crlf("#14\nZone~\nrp~\nnone~\n1499 10 2 0\n");
    const struct {
        std::map<std::string, std::string> files;
        std::string out;  // the whole report
        int status, strict_status;
    } cases[] = {
        {{{"14.wld", kOneWay}},
         "14.wld:1: warning: room 1400: the exit east to room 1401 is one-way (no exit west "
         "leads back)\n",
         0,
         1},
        {{{"14.wld",
           room_1400("", "D0\n~\n~\n~\n1 -1 1400 0 0 -1\nD2\n~\n~\n~\n0 -1 1400 0 0 -1\n")}},
         "14.wld:1: warning: room 1400: the door north has no keywords\n",
         0,
         1},
        {{{"14.wld", room_1400("", "D0\n~\n~\n~\n0 -1 1402 0 0 -1\n")}},
         "14.wld:1: error: room 1400: the exit north leads to room 1402, which no loaded zone "
         "holds\n",
         1,
         1},
        {{{"14.wld", room_1400("")}, {"14.zon", kZone + crlf("M 0 1455 1 1400 1 0 0\nS\n$\n")}},
         "14.zon:6: error: M command: mobile 1455 is not in any loaded zone\n",
         1,
         1},
        {{{"14.wld", room_1400("")}, {"15.wld", room_1400("")}},
         "15.wld:1: warning: room 1400 lies outside zone 15 of its file\n"
         "15.wld:1: error: room 1400 is also in 14.wld, line 1\n",
         1,
         1},
        {{{"14.wld", room_1400("")}}, "", 0, 0},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        for (const auto& [name, bytes] : c.files)
            dir.write(name, bytes);
        CliRun r = cli({"check", "--dir", dir.path().string()});
        EXPECT_EQ(r.out, c.out) << r.err;
        EXPECT_EQ(r.status, c.status) << c.out;
        EXPECT_EQ(cli({"check", "--strict", "--dir", dir.path().string()}).status, c.strict_status)
            << c.out;
    }
}

TEST(Cli, CheckReportsNumbersTheGameCannotUse) {
    // Vnums past what vnums hold and a name too long to read back are
    // errors; numbers the game makes odd use of are warnings; the last
    // commands of the zone file hold nothing odd.
    CliRun r = cli({"check", "--dir", test::test_data("check_ranges").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, test::test_data_bytes("check_ranges/check.out"));
}

TEST(Cli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({"frobnicate"}).status, 2);
    EXPECT_EQ(cli({"convert"}).status, 2);
    EXPECT_EQ(cli({"convert", "--bogus", "x.wld"}).status, 2);
    EXPECT_EQ(cli({"convert", "-o"}).status, 2);
    CliRun missing = cli({"stats", "/nonexistent/7.wld"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Wld file not found."), std::string::npos);
}

TEST(Cli, VersionAndCommandHelpPrintToStdoutAndSucceed) {
    const struct {
        std::vector<std::string> args;
        std::string begins;
    } cases[] = {
        {{"--version"}, "zonesmith-cli " ZS_VERSION "\n"},
        {{"convert", "--help"}, "usage: zonesmith-cli convert "},
        {{"stats", "-h"}, "usage: zonesmith-cli stats "},
        {{"check", "--dir", "/nonexistent", "--help"}, "usage: zonesmith-cli check "},
    };
    for (const auto& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.substr(0, c.begins.size()), c.begins);
    }
}

TEST(Cli, CheckRefusesAnAreaFileThatIsADevice) {
    ScratchDir in;
    std::filesystem::create_symlink("/dev/zero", in.path() / "19.wld");
    CliRun r = cli({"check", "--dir", in.path().string(), "19"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(in.file("19.wld") + " is not a regular file"), std::string::npos) << r.err;
}

TEST(Cli, AFailureSaysWhichFileAndWhy) {
    ScratchDir dir;
    dir.write("30.wld", test::test_data_bytes("zone30/30.wld"));
    dir.write("30.zon", test::test_data_bytes("unparsable.zon"));
    dir.write("afile", "");
    std::filesystem::create_directory(dir.path() / "vocab");
    const std::string d = dir.path().string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;
    } cases[] = {
        // The zone file is there; it did not load.
        {{"resets", "--dir", d, "30"}, 1, "zone 30's zone file 30.zon in " + d + " did not load\n"},
        {{"convert", "-o", d + "/afile/out", d + "/30.wld"},
         2,
         "cannot use output directory " + d + "/afile/out: Not a directory\n"},
        {{"renumber", "--dir", d, "-o", d + "/afile", "30", "31"},
         2,
         "cannot use output directory " + d + "/afile: Not a directory\n"},
        {{"generate-descs", "--dir", d, "--vocab", d + "/vocab", "30"},
         1,
         d + "/vocab is not a regular file; it was not read.\n"},
    };
    for (const auto& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
}

TEST(Cli, RenumberWorksInPlaceOrIntoAnOutputDirectory) {
    ScratchDir dir, out;
    std::string wld30 = world_file({{3000, {{kEast, 3100}}}});
    std::string wld31 = world_file({{3100, {{kWest, 3000}}}});
    dir.write("30.wld", wld30);
    dir.write("31.wld", wld31);
    dir.write("30.zon", test::crlf("#30\nZone~\nrp~\nnone~\n3099 10 2 0\nD 0 3000 1 1\nS\n$\n"));

    struct Refusal {
        std::vector<std::string> args;
        const char* said;
    };
    const Refusal refusals[] = {
        {{"31"}, "Zone to renumber to already exists!"},
        {{"400"}, "400 is not a zone number (0 to 327)"},
        {{"327"}, "vnum 3099 would become 32799"},  // the zedit's top
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> args = {"renumber", "--dir", dir.path().string(), "30"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        CliRun run = cli(args);
        EXPECT_EQ(run.status, 1) << r.said;
        EXPECT_NE(run.err.find(r.said), std::string::npos) << run.err;
        EXPECT_EQ(dir.read("30.wld"), wld30);
        EXPECT_FALSE(dir.exists("32.wld"));
    }

    CliRun to_out =
        cli({"renumber", "--dir", dir.path().string(), "-o", out.path().string(), "30", "32"});
    ASSERT_EQ(to_out.status, 0) << to_out.err;
    EXPECT_NE(to_out.out.find("Zone 30 renumbered to zone 32"), std::string::npos);
    EXPECT_TRUE(out.exists("32.wld") && out.exists("32.zon") && out.exists("31.wld"));
    EXPECT_FALSE(out.exists("30.wld"));
    EXPECT_EQ(dir.read("30.wld"), wld30);  // the input is left alone

    CliRun in_place = cli({"renumber", "--dir", dir.path().string(), "30", "32"});
    ASSERT_EQ(in_place.status, 0) << in_place.err;
    for (const char* name : {"30.wld", "30.zon", "30.wld_zs"})
        EXPECT_FALSE(dir.exists(name)) << name;
    EXPECT_EQ(dir.read("32.wld"), out.read("32.wld"));
    EXPECT_NE(dir.read("31.wld").find("3200"), std::string::npos);
    EXPECT_NE(dir.read("32.zon").find("D 0 3200 1 1"), std::string::npos);
}

TEST(Cli, ResetsListsWhatOneResetLoadsWithTheZonesItNames) {
    ScratchDir dir;
    {
        FakeUi ui;
        Workspace ws(ui);
        TableLoad(ws).world().append(test::room_with_exits(3001, {{1, 3002}}));
        TableLoad(ws).world().append(test::room_with_exits(3002, {}));
        TableLoad(ws).objects().append(make_new_object(3020, 30));
        TableLoad(ws).mobiles().append(make_new_mobile(3160, 31));  // another zone's mobile
        Zedit z = make_new_zedit(30);
        auto command = [](char letter, std::array<std::int32_t, 6> a, int if_flag) {
            Zcmd c;
            c.command = letter;
            c.arg = a;
            c.if_flag = if_flag;
            return c;
        };
        z.commands = {
            command('M', {3160, 1, 3002, 0, 0, 0}, 0), command('E', {3020, 5, 16, 0, 0, 0}, 1),
            command('G', {3099, 5, 0, 0, 0, 0}, 1), command('D', {3001, 1, 2, 0, 0, 0}, 0)};
        TableLoad(ws).zones().append(z);
        ws.set_area_dir(dir.path());
        ASSERT_TRUE(save_everything(ws));
    }
    CliRun run = cli({"resets", "--dir", dir.path().string(), "30"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "3002\tmob\t3160\t-\n3002\tequip\t3020\t3160\n"
              "skip\t2 -  then Give it [3099], Max : 5   % 0\n3001\tdoor\teast\tlocked\n");

    CliRun missing = cli({"resets", "--dir", dir.path().string(), "30", "33"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("zone 33 has no zone file 33.zon"), std::string::npos);
    EXPECT_EQ(cli({"resets", "--dir", dir.path().string()}).status, 2);
}

TEST(Cli, RenumberingStockZone30KeepsTheCheckersCount) {
    ZS_REQUIRE_CORPUS();
    ScratchDir dir;
    {
        FakeUi ui;
        ui.always_yes();
        Workspace stock(ui);
        for (const char* kind : {"wld", "obj", "mob", "zon"})
            for (const auto& path : test::corpus_files(kind))
                ASSERT_TRUE(load_area_file(stock, path.string())) << path;
        stock.set_area_dir(dir.path());
        ASSERT_TRUE(save_everything(stock));
    }
    auto problems = [&] {
        FakeUi ui;
        Workspace ws(ui);
        ws.set_area_dir(dir.path());
        RecordOrigins origins;
        EXPECT_TRUE(load_zones_for_check(ws, zones_in_area_dir(ws), origins));
        return check_areas(ws, origins).size();
    };
    std::size_t before = problems();
    CliRun run = cli({"renumber", "--dir", dir.path().string(), "30", "200"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(dir.exists("30.wld"));
    EXPECT_TRUE(dir.exists("200.wld") && dir.exists("200.obj") && dir.exists("200.mob") &&
                dir.exists("200.zon"));
    EXPECT_EQ(problems(), before);
}

TEST(Cli, GenerateDescsIsReproducedBySeedAndRefusesBadArguments) {
    const std::string vocabulary =
        "title: Room 1200\nnoun: cave\nadj:\ndark;damp~\nend_verb:\nechoes~\n"
        "noun: stalactites\ntype: sight\nsp: plural countable\nnoun: puddle\ntype: sight\n"
        "noun: bats\ntype: sight\nsp: plural\nnoun: dripping\ntype: sound\n"
        "noun: mould\ntype: smell\nnoun: cold\ntype: temp\n";
    std::string saved[2];
    for (std::string& bytes : saved) {
        ScratchDir dir;
        std::string words = dir.write("cave.txt", vocabulary);
        dir.write("12.wld", world_file({{1200, {}}}));
        CliRun run = cli({"generate-descs", "--dir", dir.path().string(), "--seed", "11", "--vocab",
                          words + ":&b", "12"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "1 room description generated.\n");
        bytes = dir.read("12.wld");
    }
    EXPECT_EQ(saved[0], saved[1]);
    EXPECT_NE(saved[0].find("&b   "), std::string::npos);
    {  // a vocabulary file that is not there leaves the zone's file alone
        ScratchDir dir;
        std::string words = dir.write("cave.txt", vocabulary);
        dir.write("12.wld", world_file({{1200, {}}}));
        CliRun run = cli({"generate-descs", "--dir", dir.path().string(), "--vocab", words,
                          "--vocab", (dir.path() / "missing.txt").string(), "12"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("missing.txt was not read"), std::string::npos) << run.err;
        EXPECT_EQ(dir.read("12.wld"), world_file({{1200, {}}}));
    }
    for (std::vector<std::string> args :
         {std::vector<std::string>{"generate-descs", "12"},
          {"generate-descs", "--vocab", "x.txt"},
          {"generate-descs", "--vocab", "x.txt", "--seed", "-1", "12"},
          {"generate-descs", "--vocab", "x.txt", "400"}})
        EXPECT_EQ(cli(args).status, 2) << args.back();
}

TEST(Cli, GenerateMapWritesTheSameBytesForASeedAndTheCheckerFindsNothing) {
    ScratchDir a, b;
    for (const ScratchDir* dir : {&a, &b}) {
        CliRun run =
            cli({"generate-map", "--dir", dir->path().string(), "--seed", "42", "30", "250", "2"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
    }
    for (const char* name : {"30.wld", "31.wld", "32.wld"}) {
        ASSERT_TRUE(a.exists(name)) << name;
        EXPECT_EQ(a.read(name), b.read(name)) << name;
    }
    CliRun check = cli({"check", "--strict", "--dir", a.path().string()});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, "");

    // The zones' files now hold rooms: nothing more is generated there.
    std::string before = a.read("31.wld");
    CliRun again = cli({"generate-map", "--dir", a.path().string(), "--seed", "1", "31", "5"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("Zone already exists! Zone 31 holds 100 rooms, loaded from 31.wld."),
              std::string::npos)
        << again.err;
    EXPECT_EQ(a.read("31.wld"), before);

    EXPECT_EQ(cli({"generate-map", "--dir", a.path().string(), "40"}).status, 2);
    CliRun none = cli({"generate-map", "--dir", a.path().string(), "40", "0"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("at least 1 room"), std::string::npos);
    EXPECT_FALSE(a.exists("40.wld"));
}

TEST(Cli, AWritePastTheFileSizeLimitIsReportedAndChangesNothing) {
    struct Case {
        std::vector<std::string> args;  // after the command, before --dir
        std::string out;                // no line of success: nothing was saved
    };
    const Case cases[] = {
        {{"renumber", "30", "34"}, ""},
        {{"generate-map", "--seed", "5", "34", "150"}, ""},
        {{"convert", "30.wld", "31.wld"},
         "World file for zone 30 loaded.\nWorld file for zone 31 loaded.\nError, not all zones "
         "saved.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        ScratchDir dir;
        for (const char* name : {"zone30/30.wld", "zone30/30.zon", "zone31/31.wld"})
            dir.write(std::filesystem::path(name).filename(), test::test_data_bytes(name));
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, {"--dir", dir.path().string()});
        CliRun run = program(args, 100);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, c.out);
        EXPECT_NE(run.err.find(": File too large\nNothing was saved; every file is as it was.\n"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
        EXPECT_EQ(dir.read("30.wld"), test::test_data_bytes("zone30/30.wld"));
    }
}

TEST(Cli, EveryCommandFirstFinishesAChangeThatWasCutOff) {
    ScratchDir dir;
    std::filesystem::copy(test::test_data("journal/committed"), dir.path(),
                          std::filesystem::copy_options::recursive);
    CliRun run = cli({"check", "--dir", dir.path().string(), "50"});
    EXPECT_TRUE(run.err.starts_with("zonesmith-cli: Finished a change that was cut off in " +
                                    dir.path().string() +
                                    ": 2 files put in place and 1 removed.\n"))
        << run.err;
    EXPECT_EQ(dir.read("31.wld"), "new 31\r\n");
    EXPECT_FALSE(dir.exists(kJournalName));
}

TEST(Cli, RenumberRefusesAZoneWhoseRoomsAreLoadedTwice) {
    ScratchDir dir;
    const std::string wld30 = test::test_data_bytes("zone30/30.wld");
    dir.write("30.wld", wld30);
    dir.write("99.wld", wld30);  // a copy saved under another number
    CliRun run = cli({"renumber", "--dir", dir.path().string(), "30", "100"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Error: zone 30 was not renumbered: the loaded zones hold more than one "
                           "record with each of these vnums: room 3000 and room 3001."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    EXPECT_EQ(dir.read("30.wld"), wld30);
}

}  // namespace
}  // namespace zs
