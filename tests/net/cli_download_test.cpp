// zonesmith-cli download against the reference server: a whole download,
// a file the server does not have, and the usage errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "link_fixture.h"

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

    int download(const std::vector<std::string>& zones) {
        refserver::ServerProcess server(tree.server_args({}), tree.server_log());
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
                                         "2"};
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
