// Every stock CircleMUD world file must come in through the older-layout
// chain, and once saved, load again with the current reader into the same
// records.
#include <gtest/gtest.h>

#include "files/area_files.h"

#include <map>
#include <set>

#include "files/file_wld.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

// A room as the writer puts it into the file: absent title, description and
// extra text are written with their stand-in texts.
Room as_saved(Room r) {
    if (r.title.empty()) r.title = "Untitled";
    if (r.description.empty()) r.description = "Empty room.";
    if (r.extra_text.empty()) r.extra_text = "none";
    return r;
}

TEST(CorpusWorld, EveryStockFileConvertsAndRoundTrips) {
    ZS_REQUIRE_CORPUS();
    auto files = test::corpus_files("wld");
    ASSERT_EQ(files.size(), 29u);
    int rooms = 0, exits = 0, extras = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        FakeUi ui;
        ui.always_yes();
        Workspace ws(ui);
        ScratchDir out;
        ws.set_area_dir(out.path());
        ASSERT_TRUE(load_area_file(ws, path.string()));
        // The current reader refuses, the stock layout reads it, one question each.
        ASSERT_EQ(ui.questions.size(), 2u);
        for (const auto& m : ui.messages)
            EXPECT_NE(m.caption, "String Error") << m.text;
        ASSERT_TRUE(save_every_zone(ws, TableKind::World));

        std::set<int> zones;
        for (int s = 0; s < ws.world().count(); ++s) {
            const Room& r = ws.world().room(s);
            zones.insert(r.zone);
            ++rooms;
            for (const auto& e : r.exits)
                exits += e.has_value();
            extras += static_cast<int>(r.extra_descriptions.size());
        }
        FakeUi ui2;
        Workspace again(ui2);
        for (int z : zones)
            ASSERT_TRUE(load_area_file(again, out.file(std::to_string(z) + ".wld")));
        EXPECT_TRUE(ui2.questions.empty());
        EXPECT_TRUE(ui2.messages.empty());
        ASSERT_EQ(again.world().count(), ws.world().count());
        for (int s = 0; s < ws.world().count(); ++s) {
            const Room& r = ws.world().room(s);
            int t = again.world().find_room(r.vnum);
            ASSERT_GE(t, 0) << r.vnum;
            EXPECT_TRUE(as_saved(r) == again.world().room(t)) << r.vnum;
        }
        // Saved again, the files come out byte for byte the same.
        ScratchDir out2;
        again.set_area_dir(out2.path());
        ASSERT_TRUE(save_every_zone(again, TableKind::World));
        for (int z : zones) {
            std::string name = std::to_string(z) + ".wld";
            EXPECT_EQ(out2.read(name), out.read(name)) << name;
        }
    }
    // The counts the corpus documents.
    EXPECT_EQ(rooms, 1878);
    EXPECT_EQ(exits, 4315);
    EXPECT_EQ(extras, 686);
}

}  // namespace
}  // namespace zs
