// zonesmith-cli refs and find over the stock world saved in the current
// layouts: their output against the golden files under tests/data/find, the
// exit status when nothing is found, and the usage errors.
#include <gtest/gtest.h>

#include <memory>

#include "files/area_files.h"
#include "support/cli_run.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::cli;
using test::CliRun;
using test::FakeUi;
using test::ScratchDir;

// The stock world, converted once into an area directory of its own.
class StockAreaDir : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (test::corpus_dir().empty()) return;
        dir_ = std::make_unique<ScratchDir>();
        FakeUi ui;
        ui.always_yes();
        Workspace stock(ui);
        for (const char* kind : {"wld", "obj", "mob", "zon"})
            for (const auto& path : test::corpus_files(kind))
                ASSERT_TRUE(load_area_file(stock, path.string())) << path;
        stock.set_area_dir(dir_->path());
        ASSERT_TRUE(save_everything(stock));
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override { ZS_REQUIRE_CORPUS(); }
    static std::string dir() { return dir_->path().string(); }

    static std::unique_ptr<ScratchDir> dir_;
};
std::unique_ptr<ScratchDir> StockAreaDir::dir_;

TEST_F(StockAreaDir, RefsAndFindPrintTheGoldenLines) {
    const struct {
        std::vector<std::string> args;
        const char* golden;
    } cases[] = {
        {{"refs", "obj", "3022"}, "find/refs_obj_3022.out"},
        {{"refs", "room", "3001"}, "find/refs_room_3001.out"},
        {{"refs", "mob", "3001", "3005"}, "find/refs_mob_3001_3005.out"},
        {{"find", "baker"}, "find/find_baker.out"},
        {{"find", "3022"}, "find/find_3022.out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, {"--dir", dir()});
        CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, test::test_data_bytes(c.golden));
    }
}

TEST_F(StockAreaDir, AVnumOrTextFoundNowhereExitsWithOne) {
    CliRun refs = cli({"refs", "--dir", dir(), "obj", "3022", "9999"});
    EXPECT_EQ(refs.status, 1);
    EXPECT_EQ(refs.out.rfind("Object 3022: loaded by", 0), 0u) << refs.out;
    EXPECT_NE(refs.err.find("object 9999 is found nowhere"), std::string::npos) << refs.err;
    CliRun find = cli({"find", "--dir", dir(), "xyzzy", "plugh"});
    EXPECT_EQ(find.status, 1);
    EXPECT_EQ(find.out, "");
}

TEST(CliRefs, RefusesWhatIsNoKindOrVnum) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"refs"},
                                               {"refs", "zone", "30"},
                                               {"refs", "obj"},
                                               {"refs", "obj", "abc"},
                                               {"refs", "room", "40000"},
                                               {"find"}}) {
        CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args.size() << " " << run.err;
    }
}

}  // namespace
}  // namespace zs
