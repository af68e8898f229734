// Every stock CircleMUD object and mobile file must come in through the
// older-layout chains, and once saved, load again with the current readers
// into the same records.
#include <gtest/gtest.h>

#include "files/area_files.h"

#include "files/file_mob.h"
#include "files/file_obj.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/text.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

// A record as the writer puts it into the file: objects with an empty name
// text are written "undefined".
ObjectPrototype as_saved(ObjectPrototype o) {
    for (std::string* t : {&o.keywords, &o.short_description, &o.long_description})
        if (t->empty()) *t = "undefined";
    return o;
}
MobilePrototype as_saved(MobilePrototype m) {
    return m;
}

// Loads every corpus file of a kind with Yes to every question, saves them,
// loads the saved files with the current reader only and compares the tables.
template <class Table, class Load>
void convert_and_compare(const std::string& kind, const Table& (Workspace::*table)() const,
                         Load load, TableKind table_kind, int expected_files, int& records) {
    auto files = test::corpus_files(kind);
    ASSERT_EQ(static_cast<int>(files.size()), expected_files);
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        FakeUi ui;
        ui.always_yes();
        Workspace ws(ui);
        ScratchDir out;
        ws.set_area_dir(out.path());
        ASSERT_TRUE(load(ws, path.string()));
        ASSERT_EQ(ui.questions.size(), 1u);
        ASSERT_TRUE(save_every_zone(ws, table_kind));
        records += (ws.*table)().count();

        FakeUi ui2;
        Workspace again(ui2);
        for (const auto& [zone, slots] : slots_by_zone((ws.*table)()))
            ASSERT_TRUE(load(again, out.file(std::to_string(zone) + "." + kind)));
        EXPECT_TRUE(ui2.questions.empty());
        EXPECT_TRUE(ui2.messages.empty()) << ui2.messages[0].text;
        ASSERT_EQ((again.*table)().count(), (ws.*table)().count());
        for (int s = 0; s < (ws.*table)().count(); ++s) {
            const auto& r = (ws.*table)().record(s);
            const auto* back = (again.*table)().find_record(r.vnum);
            ASSERT_NE(back, nullptr) << r.vnum;
            EXPECT_TRUE(as_saved(r) == *back) << r.vnum;
        }
        // A second save gives the same bytes.
        ScratchDir out2;
        again.set_area_dir(out2.path());
        ASSERT_TRUE(save_all(again));
        for (const auto& [zone, slots] : slots_by_zone((ws.*table)())) {
            std::string name = std::to_string(zone) + "." + kind;
            EXPECT_EQ(out2.read(name), out.read(name)) << name;
        }
    }
}

TEST(CorpusPrototypes, EveryStockObjectFileConvertsAndRoundTrips) {
    ZS_REQUIRE_CORPUS();
    int objects = 0;
    convert_and_compare<ObjectTable>("obj", &Workspace::objects, load_area_file, TableKind::Object,
                                     27, objects);
    EXPECT_EQ(objects, 679);
}

TEST(CorpusPrototypes, EveryStockMobileFileConvertsAndRoundTrips) {
    ZS_REQUIRE_CORPUS();
    int mobiles = 0;
    convert_and_compare<MobileTable>("mob", &Workspace::mobiles, load_area_file, TableKind::Mobile,
                                     28, mobiles);
    EXPECT_EQ(mobiles, 569);
}

TEST(CorpusPrototypes, StockFieldsLandWhereTheyBelong) {
    ZS_REQUIRE_CORPUS();
    FakeUi ui;
    ui.always_yes();
    Workspace ws(ui);
    auto dir = test::corpus_dir();
    for (const auto& path : test::corpus_files("obj"))
        ASSERT_TRUE(load_area_file(ws, path.string()));
    ASSERT_TRUE(load_area_file(ws, (dir / "mob" / "30.mob").string()));
    // Every "A" and "E" section of the corpus ends up in a record.
    int affects = 0, extras = 0;
    for (int s = 0; s < ws.objects().count(); ++s) {
        affects += static_cast<int>(ws.objects().record(s).affects.size());
        extras += static_cast<int>(ws.objects().record(s).extra_descriptions.size());
    }
    EXPECT_EQ(affects, 333);
    EXPECT_EQ(extras, 239);
    const ObjectPrototype* sword = ws.objects().find_record(3022);  // a long sword
    ASSERT_NE(sword, nullptr);
    EXPECT_EQ(sword->type, 5);
    EXPECT_EQ(sword->flag_word, flags_from_word("an"));  // take, wield
    // Stock mobiles keep alignment, level and dice; S mobiles get abilities 50.
    const MobilePrototype* m = ws.mobiles().find_record(3000);  // the wizard
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->keywords, "wizard");
    EXPECT_GT(m->level, 0);
    EXPECT_EQ(m->abilities[kStr], 50);
    EXPECT_NE(m->flag_words[0], 0u);
}

}  // namespace
}  // namespace zs
