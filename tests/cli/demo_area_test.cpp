// The bundled demo area (demo/, zone 88) as a new builder first meets it:
// every kind of file loads without a word and saves back into the same
// bytes, check finds nothing, one reset loads every mobile and object it
// holds, and the vocabulary beside it describes its rooms as shipped.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "files/area_files.h"
#include "support/cli_run.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

namespace fs = std::filesystem;
using test::cli;
using test::CliRun;

const fs::path kDemo = fs::path(ZS_SOURCE_DIR) / "demo";
const char* const kDemoFiles[] = {"88.wld", "88.wld_zs", "88.obj", "88.mob", "88.zon"};

TEST(DemoArea, LoadsWithoutAMessageAndSavesIntoTheSameBytes) {
    test::FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(kDemo);
    ASSERT_TRUE(load_all(ws, 88));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_GE(ws.objects().count(), 1);
    EXPECT_GE(ws.mobiles().count(), 1);

    test::ScratchDir out;
    ws.set_area_dir(out.path());
    ASSERT_TRUE(save_everything(ws));
    for (const char* name : kDemoFiles)
        EXPECT_EQ(out.read(name), test::read_bytes(kDemo / name)) << name;
}

TEST(DemoArea, CheckFindsNothing) {
    CliRun r = cli({"check", "--strict", "--dir", kDemo.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

// Each mobile and object of the area is loaded by its reset (so Show Reset
// Result lists it), and each kind of command shows at least once.
TEST(DemoArea, OneResetLoadsEveryMobileAndObject) {
    CliRun r = cli({"resets", "--dir", kDemo.string(), "88"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::set<std::string> loaded, kinds;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string room, kind, vnum;
        fields >> room >> kind >> vnum;
        ASSERT_NE(room, "skip") << line;
        kinds.insert(kind);
        if (kind != "door") loaded.insert((kind == "mob" ? "mobile " : "object ") + vnum);
    }
    EXPECT_EQ(kinds,
              (std::set<std::string>{"mob", "obj", "give", "equip", "put", "door", "remove"}));
    test::FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(kDemo);
    ASSERT_TRUE(load_all(ws, 88));
    for (int s = 0; s < ws.objects().count(); ++s)
        EXPECT_TRUE(loaded.contains("object " + std::to_string(ws.objects().record(s).vnum)))
            << ws.objects().record(s).vnum;
    for (int s = 0; s < ws.mobiles().count(); ++s)
        EXPECT_TRUE(loaded.contains("mobile " + std::to_string(ws.mobiles().record(s).vnum)))
            << ws.mobiles().record(s).vnum;
}

// Generate Descs with the shipped vocabulary describes the rooms named by its
// title, whatever the seed, without a message.
TEST(DemoArea, VocabularyDescribesTheWoodlandPathsAsShipped) {
    const std::string vocab = (kDemo / "vocab" / "woodland.txt").string();
    for (const char* seed : {"1", "7", "23", "88", "1234"}) {
        test::ScratchDir dir;
        for (const char* name : kDemoFiles)
            fs::copy_file(kDemo / name, dir.path() / name);
        CliRun r = cli({"generate-descs", "--dir", dir.path().string(), "--seed", seed, "--vocab",
                        vocab + ":&g", "88"});
        EXPECT_EQ(r.status, 0) << seed;
        EXPECT_EQ(r.out, "3 room descriptions generated.\n") << seed;
        EXPECT_EQ(r.err, "") << seed;
    }
}

}  // namespace
}  // namespace zs
