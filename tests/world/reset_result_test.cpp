// One reset simulated from an empty world: what each letter loads, the
// if-flag chain, the max counts, the carrier and container of what is given,
// worn and put, and every reason a command cannot fire; then stock zone 30.
#include "world/reset_result.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/zone_commands.h"

namespace zs {
namespace {

using test::FakeUi;

Zcmd cmd(char letter, std::array<std::int32_t, 6> args, int if_flag = 0) {
    Zcmd c;
    c.command = letter;
    c.arg = args;
    c.if_flag = if_flag;
    return c;
}

// A row as the tables below write it: the tool's line, or the index and a
// tag for the reason of a skip.
std::string brief(const ResetRow& row) {
    static const char* const kTags[] = {"",       "dependent", "max",     "never", "no-mob",
                                        "no-box", "missing",   "no-exit", "bad",   "unknown"};
    if (row.what != ResetWhat::Skip) return reset_row_line(row);
    return "skip " + std::to_string(row.index) + " " + kTags[static_cast<int>(row.why)];
}

class ResetResultTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableLoad(ws).world().append(test::room_with_exits(3001, {{0, 3002}}));
        TableLoad(ws).world().append(test::room_with_exits(3002, {}));
        for (int vnum : {3020, 3032, 3033}) {
            ObjectPrototype o = make_new_object(vnum, 30);
            o.short_description = "object " + std::to_string(vnum);
            TableLoad(ws).objects().append(o);
        }
        for (int vnum : {3060, 3061})
            TableLoad(ws).mobiles().append(make_new_mobile(vnum, 30));
    }
    std::vector<ResetRow> reset(std::vector<Zcmd> commands) {
        Zedit z = make_new_zedit(30);
        z.commands = std::move(commands);
        TableLoad(ws).zones().clear();
        TableLoad(ws).zones().append(z);
        return simulate_reset(ws, 30);
    }

    FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ResetResultTest, FollowsTheRulesOfOneResetFromAnEmptyWorld) {
    struct Case {
        const char* what;
        std::vector<Zcmd> commands;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"a shopkeeper with goods and a weapon",
         {cmd('M', {3060, 1, 3001, 0, 0, 0}), cmd('G', {3032, 5, 0, 0, 0, 0}, 1),
          cmd('E', {3020, 5, 16, 0, 0, 0}, 1)},
         {"3001\tmob\t3060\t-", "3001\tgive\t3032\t3060", "3001\tequip\t3020\t3060"}},
        {"max in the world stops the mobile and what depends on it",
         {cmd('M', {3060, 1, 3001, 0, 0, 0}), cmd('M', {3060, 1, 3002, 0, 0, 0}),
          cmd('G', {3032, 5, 0, 0, 0, 0}, 1)},
         {"3001\tmob\t3060\t-", "skip 1 max", "skip 2 dependent"}},
        {"max per room",
         {cmd('M', {3060, 9, 3001, 0, 1, 0}), cmd('M', {3060, 9, 3001, 0, 1, 0}),
          cmd('M', {3060, 9, 3002, 0, 1, 0})},
         {"3001\tmob\t3060\t-", "skip 1 max", "3002\tmob\t3060\t-"}},
        {"G and E need a mobile before them; without the if-flag a G after a mobile that "
         "did not load goes to the one before",
         {cmd('G', {3032, 5, 0, 0, 0, 0}), cmd('E', {3020, 5, 16, 0, 0, 0}),
          cmd('M', {3061, 1, 3002, 0, 0, 0}), cmd('M', {3061, 1, 3001, 0, 0, 0}),
          cmd('G', {3032, 5, 0, 0, 0, 0})},
         {"skip 0 no-mob", "skip 1 no-mob", "3002\tmob\t3061\t-", "skip 3 max",
          "3002\tgive\t3032\t3061"}},
        {"objects in rooms and in containers, wherever the container is",
         {cmd('O', {3032, 5, 3001, 0, 0, 0}), cmd('P', {3020, 5, 3032, 0, 0, 0}, 1),
          cmd('P', {3020, 5, 3033, 0, 0, 0}), cmd('M', {3060, 1, 3002, 0, 0, 0}),
          cmd('G', {3033, 5, 0, 0, 0, 0}), cmd('P', {3020, 5, 3033, 0, 0, 0})},
         {"3001\tobj\t3032\t-", "3001\tput\t3020\t3032", "skip 2 no-box", "3002\tmob\t3060\t-",
          "3002\tgive\t3033\t3060", "3002\tput\t3020\t3033"}},
        {"object max counts everything loaded; a removal frees a place",
         {cmd('O', {3032, 2, 3001, 0, 0, 0}), cmd('M', {3060, 1, 3002, 0, 0, 0}),
          cmd('G', {3032, 2, 0, 0, 0, 0}), cmd('O', {3032, 2, 3002, 0, 0, 0}),
          cmd('R', {3001, 3032, 0, 0, 0, 0}), cmd('O', {3032, 2, 3002, 0, 0, 0}),
          cmd('O', {3033, 1, 3001, 0, 1, 0}), cmd('O', {3033, 2, 3001, 0, 1, 0})},
         {"3001\tobj\t3032\t-", "3002\tmob\t3060\t-", "3002\tgive\t3032\t3060", "skip 3 max",
          "3001\tremove\t3032\t-", "3002\tobj\t3032\t-", "3001\tobj\t3033\t-", "skip 7 max"}},
        {"doors",
         {cmd('D', {3001, 0, 2, 0, 0, 0}), cmd('D', {3001, 1, 1, 0, 0, 0}),
          cmd('D', {3001, 0, 9, 0, 0, 0}), cmd('D', {3001, 7, 1, 0, 0, 0}),
          cmd('D', {3099, 0, 1, 0, 0, 0})},
         {"3001\tdoor\tnorth\tlocked", "skip 1 no-exit", "skip 2 bad", "skip 3 bad",
          "skip 4 missing"}},
        {"records that are not loaded, a sure chance not to load, a position past the table",
         {cmd('M', {3099, 1, 3001, 0, 0, 0}), cmd('M', {3060, 1, 3099, 0, 0, 0}),
          cmd('O', {3099, 1, 3001, 0, 0, 0}), cmd('M', {3060, 1, 3001, 100, 0, 0}),
          cmd('M', {3060, 1, 3001, 99, 0, 0}), cmd('G', {3099, 1, 0, 0, 0, 0}),
          cmd('E', {3020, 1, 33, 0, 0, 0}), cmd('E', {3020, 1, 5, 100, 0, 0})},
         {"skip 0 missing", "skip 1 missing", "skip 2 missing", "skip 3 never",
          "3001\tmob\t3060\t-", "skip 5 missing", "skip 6 bad", "skip 7 never"}},
        {"scripts run without a row; unknown letters never do",
         {cmd('T', {0, 3000, 0, 0, 0, 0}), cmd('O', {3032, 1, 3001, 0, 0, 0}, 1),
          cmd('N', {0, 0, 0, 0, 0, 0}), cmd('O', {3033, 1, 3001, 0, 0, 0}, 1)},
         {"3001\tobj\t3032\t-", "skip 2 unknown", "skip 3 dependent"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const ResetRow& row : reset(c.commands))
            got.push_back(brief(row));
        EXPECT_EQ(got, c.rows) << c.what;
    }
}

TEST_F(ResetResultTest, RowsNameTheirCarrierRowAndASkipShowsItsCommandWhereItActs) {
    auto rows = reset({cmd('O', {3032, 5, 3002, 0, 0, 0}), cmd('M', {3060, 1, 3001, 0, 0, 0}),
                       cmd('E', {3020, 1, 16, 0, 0, 0}, 1), cmd('P', {3033, 1, 3032, 0, 0, 0}),
                       cmd('G', {3020, 1, 0, 0, 0, 0}, 0)});
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2].parent, 1);
    EXPECT_EQ(rows[3].parent, 0);
    EXPECT_EQ(rows[3].room, 3002);
    EXPECT_EQ(rows[4].why, SkipReason::MaxReached);
    EXPECT_EQ(rows[4].room, 3001);  // the carrier's room
    const Zedit& z = ws.zones().zedit(0);
    EXPECT_EQ(rows[4].text, command_line(ws, z.commands[4], 4, false));
    EXPECT_EQ(reset_row_line(rows[4]), "skip\t" + rows[4].text);
    EXPECT_TRUE(simulate_reset(ws, 31).empty());
}

TEST(ResetResultCorpus, StockMidgaardLoadsItsShopkeepersGuardsAndDoors) {
    ZS_REQUIRE_CORPUS();
    FakeUi ui;
    ui.always_yes();
    Workspace ws(ui);
    for (const char* kind : {"wld", "obj", "mob", "zon"})
        for (const auto& path : test::corpus_files(kind))
            ASSERT_TRUE(load_area_file(ws, path.string())) << path;
    std::vector<std::string> lines;
    for (int zone : {30, 31})
        for (const ResetRow& row : simulate_reset(ws, zone))
            lines.push_back(reset_row_line(row));
    auto has = [&](const std::vector<std::string>& run) {
        return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
    };
    // The wizard's shop and its scrolls, a cityguard with his sword, the
    // locked door of the guards' headquarters in zone 31.
    EXPECT_TRUE(has({"3033\tmob\t3000\t-", "3033\tgive\t3050\t3000", "3033\tgive\t3051\t3000"}));
    EXPECT_TRUE(has({"3004\tmob\t3060\t-", "3004\tequip\t3022\t3060"}));
    EXPECT_TRUE(has({"3111\tdoor\twest\tlocked"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "3004\tmob\t3059\t-"), 1);
}

}  // namespace
}  // namespace zs
