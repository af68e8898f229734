#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/test_files.h"

namespace zs {
namespace {

using test::crlf;
using test::ScratchDir;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    int status = run_cli(args, out, err);
    return {status, out.str(), err.str()};
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

TEST(Cli, CheckRefusesAnAreaFileThatIsADevice) {
    ScratchDir in;
    std::filesystem::create_symlink("/dev/zero", in.path() / "19.wld");
    CliRun r = cli({"check", "--dir", in.path().string(), "19"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(in.file("19.wld") + " is not a regular file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zs
