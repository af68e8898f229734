// The whole stock world imports: every file of every kind converts, the saved
// files load again with the current readers into the same records, and the
// checker finds the stock world's real problems.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/cli.h"
#include "files/area_files.h"
#include "files/check.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

// Loads every corpus file of every kind, saying Yes to every question.
void load_stock_world(Workspace& ws) {
    for (const char* kind : {"wld", "obj", "mob", "zon"})
        for (const auto& path : test::corpus_files(kind))
            ASSERT_TRUE(load_area_file(ws, path.string())) << path;
}

TEST(CorpusImport, TheWholeStockWorldImportsWithItsCrossReferences) {
    ZS_REQUIRE_CORPUS();
    FakeUi ui;
    ui.always_yes();
    Workspace stock(ui);
    load_stock_world(stock);
    EXPECT_EQ(stock.zones().count(), 30);
    ScratchDir out;
    stock.set_area_dir(out.path());
    ASSERT_TRUE(save_everything(stock));

    FakeUi ui2;
    Workspace again(ui2);
    again.set_area_dir(out.path());
    for (int zone : zones_in_area_dir(again))
        load_all(again, zone);
    EXPECT_TRUE(ui2.questions.empty());
    // Zones without some kinds say so, and nothing else goes wrong.
    for (const auto& m : ui2.messages)
        EXPECT_EQ(m.text.find("not loaded."), std::string::npos) << m.text;

    ASSERT_EQ(again.world().count(), stock.world().count());
    for (int s = 0; s < stock.world().count(); ++s) {
        const Room& r = stock.world().room(s);
        const Room* back = again.world().find_room_record(r.vnum);
        ASSERT_NE(back, nullptr) << r.vnum;
        // Exits keep their targets and keys.
        for (int d = 0; d < kNumDirections; ++d) {
            ASSERT_EQ(r.exits[d].has_value(), back->exits[d].has_value()) << r.vnum;
            if (!r.exits[d]) continue;
            EXPECT_EQ(r.exits[d]->destination, back->exits[d]->destination) << r.vnum;
            EXPECT_EQ(r.exits[d]->key, back->exits[d]->key) << r.vnum;
        }
    }
    ASSERT_EQ(again.objects().count(), stock.objects().count());
    ASSERT_EQ(again.mobiles().count(), stock.mobiles().count());
    ASSERT_EQ(again.zones().count(), stock.zones().count());
    for (int s = 0; s < stock.zones().count(); ++s) {
        const Zedit& z = stock.zones().zedit(s);
        const Zedit& back = again.zones().zedit(again.zones().find_zedit(z.number));
        EXPECT_EQ(back.name, z.name);
        EXPECT_EQ(back.top, z.top);
        ASSERT_EQ(back.commands.size(), z.commands.size()) << z.number;
        for (std::size_t i = 0; i < z.commands.size(); ++i) {
            const Zcmd& a = z.commands[i];
            const Zcmd& b = back.commands[i];
            EXPECT_EQ(a.command, b.command);
            EXPECT_EQ(a.if_flag, b.if_flag);
            // Reset commands name the same mobiles, objects and rooms; G and
            // R are written with -1 as their unused third number.
            EXPECT_EQ(a.arg[0], b.arg[0]);
            EXPECT_EQ(a.arg[1], b.arg[1]);
            if (a.command != 'G' && a.command != 'R') {
                EXPECT_EQ(a.arg[2], b.arg[2]);
            }
        }
    }
    // The counts the corpus documents.
    int resets[128] = {};
    for (int s = 0; s < again.zones().count(); ++s)
        for (const Zcmd& c : again.zones().zedit(s).commands)
            ++resets[static_cast<unsigned char>(c.command)];
    EXPECT_EQ(resets['M'], 1098);
    EXPECT_EQ(resets['O'], 188);
    EXPECT_EQ(resets['G'], 328);
    EXPECT_EQ(resets['E'], 554);
    EXPECT_EQ(resets['P'], 77);
    EXPECT_EQ(resets['D'], 432);
    EXPECT_EQ(resets['R'], 80);
}

TEST(CorpusImport, CheckListsTheStockWorldsRealProblems) {
    ZS_REQUIRE_CORPUS();
    ScratchDir area;
    std::vector<std::string> args = {"convert", "--yes", "-o", area.path().string()};
    for (const char* kind : {"wld", "obj", "mob", "zon"})
        for (const auto& path : test::corpus_files(kind))
            args.push_back(path.string());
    std::ostringstream out, err;
    ASSERT_EQ(run_cli(args, out, err), 0) << err.str();

    std::ostringstream report, report_err;
    EXPECT_EQ(run_cli({"check", "--dir", area.path().string()}, report, report_err), 1);
    std::string text = report.str();
    for (const char* expected : {
             "52.wld:339: warning: room 5210: the door east has no keywords",
             ": warning: room 902: the exit south to room 903 is one-way (no exit north leads "
             "back)",
         })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n"
                                                          << text.substr(0, 2000);
    // One line each, "file:line: severity: message": the missing key is the
    // one error, the one-way exits of the stock design are warnings, and so
    // are the tops of the stock zones that span more than their hundred.
    std::vector<std::string> errors, zones, prototypes;
    int one_way = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(".zon:") != std::string::npos) {
            zones.push_back(line);
            continue;
        }
        if (line.find(".obj:") != std::string::npos || line.find(".mob:") != std::string::npos) {
            prototypes.push_back(line);
            continue;
        }
        EXPECT_NE(line.find(".wld:"), std::string::npos) << line;
        if (line.find(": error: ") != std::string::npos) errors.push_back(line);
        one_way += line.find(": warning: ") != std::string::npos &&
                   line.find("is one-way") != std::string::npos;
    }
    EXPECT_EQ(errors, std::vector<std::string>{
                          "120.wld:1186: error: room 12038: the door north needs key 12104, "
                          "which no loaded zone holds"});
    EXPECT_EQ(one_way, 365);
    // Stock objects and mobiles: a container whose key lies in a zone of
    // another world, and thirteen mobiles of level 0 (the stock's animals and
    // townsfolk).
    EXPECT_EQ(prototypes.size(), 14u);
    EXPECT_EQ(std::count_if(prototypes.begin(), prototypes.end(),
                            [](const std::string& p) {
                                return p.find(": warning: mobile ") != std::string::npos &&
                                       p.ends_with(" has level 0");
                            }),
              13);
    EXPECT_NE(std::find(prototypes.begin(), prototypes.end(),
                        "25.obj:255: warning: object 2514: the container needs key 1316, which no "
                        "loaded zone holds"),
              prototypes.end());
    EXPECT_EQ(zones, (std::vector<std::string>{
                         "25.zon:1: warning: zone 25: the top 2699 lies outside 2500 to 2599",
                         "31.zon:1: warning: zone 31: the top 3299 lies outside 3100 to 3199",
                         "40.zon:1: warning: zone 40: the top 4198 lies outside 4000 to 4099",
                         "54.zon:1: warning: zone 54: the top 5699 lies outside 5400 to 5499"}));

    // A zone named on the command line is checked alone: its exits into
    // other zones lead to rooms no loaded zone holds.
    std::ostringstream alone, alone_err;
    EXPECT_EQ(run_cli({"check", "--dir", area.path().string(), "31"}, alone, alone_err), 1);
    EXPECT_NE(alone.str().find("which no loaded zone holds"), std::string::npos);
    EXPECT_NE(alone.str().find("is not in any loaded zone"), std::string::npos) << alone.str();
}

}  // namespace
}  // namespace zs
