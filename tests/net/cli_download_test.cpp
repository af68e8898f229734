// zonesmith-cli download against the reference server: a whole download,
// a file the server does not have, a server that breaks the rules, and the
// usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "link_fixture.h"

#include <fstream>

namespace zs::test {
namespace {

namespace fs = std::filesystem;

class CliDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.add_area_file("30.wld", 10000);
        tree.add_area_file("30.zon", 700);
        tree.add_area_file("31.wld", 300);
        ::setenv("ZONESMITH_PASSWORD", LinkTree::kCredentials.password.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("ZONESMITH_PASSWORD"); }

    // `server` adds to the reference server's arguments (its misbehaviours).
    int download(const std::vector<std::string>& zones, std::vector<std::string> server_args = {},
                 int timeout = 2) {
        std::vector<std::string> all = tree.server_args({});
        all.insert(all.end(), server_args.begin(), server_args.end());
        refserver::ServerProcess server(all, tree.server_log());
        std::vector<std::string> args = {"download",
                                         "--host",
                                         "127.0.0.1",
                                         "--port",
                                         std::to_string(server.port()),
                                         "--user",
                                         LinkTree::kCredentials.user,
                                         "--dir",
                                         tree.area_dir().string(),
                                         "--timeout",
                                         std::to_string(timeout)};
        args.insert(args.end(), zones.begin(), zones.end());
        return run_cli(args, out, err);
    }

    LinkTree tree;
    std::ostringstream out, err;
};

TEST_F(CliDownloadTest, DownloadsEveryRequestedFile) {
    EXPECT_EQ(download({"30:wz", "31:w"}), 0) << err.str();
    EXPECT_NE(out.str().find("30.wld: received, 10000 bytes\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("30.zon: received, 700 bytes\n"), std::string::npos);
    EXPECT_NE(out.str().find("31.wld: received, 300 bytes\n"), std::string::npos);
    EXPECT_NE(out.str().find("30.wld: 39%\n"), std::string::npos) << out.str();
    EXPECT_EQ(read_bytes(tree.area_dir() / "30.wld"), read_bytes(tree.server_areas() / "30.wld"));
}

TEST_F(CliDownloadTest, AFileTheServerLacksFailsTheCommand) {
    EXPECT_EQ(download({"30:w", "32"}), 1);
    EXPECT_NE(out.str().find("30.wld: received"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("32.zon: failed: "), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("4 of 5 files did not arrive"), std::string::npos) << err.str();
}

// A server that breaks the rules. The command ends within its bound with the
// exit status given, says what became of each file in printable ASCII only
// and a repeated message once, and writes no file it did not ask for: the
// builder's own 30.zon stays.
struct Hostile {
    const char* label;
    std::vector<std::string> zones;   // what is asked for
    std::vector<std::string> server;  // the reference server's extra arguments
    int timeout;                      // --timeout
    int status;
    std::vector<std::string> said;  // lines (or parts of them) on stdout or stderr
    const char* area_30_wld;        // what 30.wld holds afterwards: "server" or "none"
};

void PrintTo(const Hostile& h, std::ostream* os) {
    *os << h.label;
}

class CliHostileServerTest : public CliDownloadTest,
                             public ::testing::WithParamInterface<Hostile> {};

TEST_P(CliHostileServerTest, IsContained) {
    const Hostile& h = GetParam();
    const std::string own = "the builder's own zone file\n";
    std::ofstream(tree.area_dir() / "30.zon", std::ios::binary) << own;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(download(h.zones, h.server, h.timeout), h.status) << out.str() << err.str();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(h.timeout + 5));
    const std::string said = out.str() + err.str();
    for (const std::string& part : h.said)
        EXPECT_NE(said.find(part), std::string::npos) << part << "\n" << said;
    EXPECT_TRUE(std::all_of(said.begin(), said.end(), [](char c) {
        return c == '\n' || (c >= 0x20 && c < 0x7f);
    })) << said;
    // A message the server makes the client repeat is printed once.
    std::istringstream lines(err.str());
    std::string line, previous;
    int again = 0;
    for (; std::getline(lines, line); previous = line)
        again += line == previous;
    EXPECT_EQ(again, 0) << "lines printed again";
    EXPECT_EQ(read_bytes(tree.area_dir() / "30.zon"), own);
    if (std::string(h.area_30_wld) == "server") {
        EXPECT_TRUE(read_bytes(tree.area_dir() / "30.wld") ==
                    read_bytes(tree.server_areas() / "30.wld"));
    } else {
        EXPECT_FALSE(fs::exists(tree.area_dir() / "30.wld"));
    }
    for (const auto& entry : fs::directory_iterator(tree.area_dir())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "30.wld" || name == "30.zon") << "left behind: " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Server, CliHostileServerTest,
    ::testing::Values(Hostile{"KindNotAskedFor",
                              {"30:w"},
                              {"--misbehave", "extra-kind"},
                              2,
                              1,
                              {"30.zon: refused: it was not requested\n",
                               "30.wld: failed: the connection ended first\n"},
                              "none"},
                      Hostile{"SentTwice",
                              {"30:wz"},
                              {"--misbehave", "resend"},
                              2,
                              1,
                              {"30.wld: received, 10000 bytes\n",
                               "30.wld: refused: it was sent a second time\n",
                               "30.zon: failed: the connection ended first\n"},
                              "server"},
                      Hostile{"ZeroPadded",
                              {"30:w"},
                              {"--misbehave", "name=030.wld"},
                              2,
                              1,
                              {"030.wld: refused: it was not requested\n",
                               "30.wld: failed: the connection ended first\n"},
                              "none"},
                      Hostile{"ControlBytesInAName",
                              {"30:w"},
                              {"--misbehave",
                               "name=\x9b[2J\xe2\x80\xae"
                               "dlw.03"},
                              2,
                              1,
                              {"\\x9b[2J\\xe2\\x80\\xaedlw.03: refused: "},
                              "none"},
                      Hostile{"KeepAlivesWithoutAFile",
                              {"30:w"},
                              {"--misbehave", "keep-alive"},
                              3,
                              1,
                              {"30.wld: failed: the server did not send it\n"},
                              "none"},
                      Hostile{"Trickle",
                              {"30:w"},
                              {"--misbehave", "trickle"},
                              3,
                              1,
                              {"30.wld: failed: ", "slower than 1 KB/s"},
                              "none"},
                      Hostile{"LoginReplyBeforeTheWelcome",
                              {"30:w"},
                              {"--misbehave", "login-first"},
                              2,
                              1,
                              {"a login reply before its welcome"},
                              "none"},
                      // Flooded for longer than the wait: the messages are no progress.
                      Hostile{"Flood",
                              {"30:w"},
                              {"--misbehave", "flood", "--flood-seconds", "60"},
                              2,
                              1,
                              {"zonesmith-cli: Updater: Invalid message code received.\n",
                               "zonesmith-cli: the message above came ",
                               "30.wld: failed: the server did not send it\n"},
                              "none"}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(CliDownloadTest, UsageErrors) {
    const std::vector<std::string> base = {"download", "--host", "127.0.0.1", "--user", "builder"};
    struct Case {
        std::vector<std::string> extra;
        bool password;
        const char* message;
    };
    for (const Case& c :
         {Case{{"30"}, false, "ZONESMITH_PASSWORD"}, Case{{"abc"}, true, "abc is not ZONE"},
          Case{{"0"}, true, "0 is not ZONE"}, Case{{"1000"}, true, "1000 is not ZONE"},
          Case{{"30:wx"}, true, "30:wx is not ZONE"}, Case{{"30:"}, true, "30: is not ZONE"},
          Case{{}, true, "no zones given"},
          Case{{"--password", "x", "30"}, true, "unknown option --password"}}) {
        SCOPED_TRACE(c.message);
        if (!c.password) ::unsetenv("ZONESMITH_PASSWORD");
        std::vector<std::string> args = base;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        std::ostringstream o, e;
        EXPECT_EQ(run_cli(args, o, e), 2);
        EXPECT_NE(e.str().find(c.message), std::string::npos) << e.str();
        ::setenv("ZONESMITH_PASSWORD", "x", 1);
    }
}

}  // namespace
}  // namespace zs::test
