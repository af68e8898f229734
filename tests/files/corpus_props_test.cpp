// Every field of every object and mobile, read through the properties'
// catalogue and stored back unchanged through its named step, makes no step
// and leaves the saved file byte for byte as it was: over the stock corpus
// and the held test files, in the layouts they come in.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/mobile_fields.h"
#include "world/object_fields.h"
#include "world/proto_fields.h"
#include "world/prototype_edits.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

// Loads the file (converting an older layout), saves it in the current
// layout, loads that again, stores every field's own value back and saves
// again: the two saves must match and no step may have been made, and every
// number read must lie within its field's range. Returns the number of
// fields stored.
int store_every_field_back(const std::filesystem::path& file, TableKind kind) {
    SCOPED_TRACE(file.string());
    ScratchDir first, second;
    {
        FakeUi ui;
        ui.always_yes();
        Workspace ws(ui);
        ws.set_area_dir(first.path());
        EXPECT_TRUE(load_area_file(ws, file.string()));
        EXPECT_TRUE(save_every_zone(ws, kind));
    }
    FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(second.path());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(first.path())) {
        names.push_back(entry.path().filename().string());
        EXPECT_TRUE(load_area_file(ws, entry.path().string()));
    }
    std::vector<int> vnums;
    if (kind == TableKind::Object)
        for (int s = 0; s < ws.objects().count(); ++s)
            vnums.push_back(ws.objects().record(s).vnum);
    else
        for (int s = 0; s < ws.mobiles().count(); ++s)
            vnums.push_back(ws.mobiles().record(s).vnum);
    int stored = 0;
    for (int vnum : vnums) {
        for (const PropField& f : prop_fields(ws, kind, vnum)) {
            // What a file holds lies within the field's range.
            if (f.kind == PropKind::Number) {
                long long n = prop_number(ws, kind, vnum, f.id).value();
                EXPECT_TRUE(f.range.holds(n)) << vnum << " " << f.name << ": " << n;
            }
            std::string text = prop_box_text(ws, kind, vnum, f.id).value();
            PropResult r = store_prop_box(ws, kind, vnum, f.id, text);
            EXPECT_FALSE(r.stored) << vnum << " " << f.name << ": " << text;
            EXPECT_EQ(r.refusal + r.warning + r.note, "") << vnum << " " << f.name;
            ++stored;
        }
    }
    EXPECT_FALSE(ws.history().can_undo());
    EXPECT_TRUE(save_every_zone(ws, kind));
    for (const std::string& name : names)
        EXPECT_EQ(second.read(name), first.read(name)) << name;
    return stored;
}

TEST(CorpusProps, EveryStockFieldStoredBackUnchangedMakesNoStepAndTheSameBytes) {
    ZS_REQUIRE_CORPUS();
    int objects = 0, mobiles = 0;
    for (const auto& path : test::corpus_files("obj"))
        objects += store_every_field_back(path, TableKind::Object);
    for (const auto& path : test::corpus_files("mob"))
        mobiles += store_every_field_back(path, TableKind::Mobile);
    // Every field of 679 objects and 569 mobiles (none with "@@" blocks).
    EXPECT_EQ(objects, 679 * static_cast<int>(object_entries().size()));
    EXPECT_EQ(mobiles, 569 * static_cast<int>(mobile_entries().size()));
}

TEST(CorpusProps, EveryHeldTestFileFieldStoredBackUnchangedMakesNoStepAndTheSameBytes) {
    for (const char* name : {"props/88.obj", "older/40.obj", "zone30/30.obj"})
        EXPECT_GT(store_every_field_back(test::test_data(name), TableKind::Object), 0);
    for (const char* name : {"props/88.mob", "older/40.mob", "zone30/30.mob", "baker_3001.mob"})
        EXPECT_GT(store_every_field_back(test::test_data(name), TableKind::Mobile), 0);
    const std::filesystem::path demo = std::filesystem::path(ZS_SOURCE_DIR) / "demo";
    EXPECT_GT(store_every_field_back(demo / "88.obj", TableKind::Object), 0);
    EXPECT_GT(store_every_field_back(demo / "88.mob", TableKind::Mobile), 0);
}

// Each Number field of a held record and of a new one given the low end of
// its range, then the high end: what is stored is the number given, and a
// save and a load give it back. The ends a field refuses for what else the
// record holds are listed with their refusals in props/range_ends.tsv.
TEST(CorpusProps, EveryNumberFieldKeepsTheEndsOfItsRangeThroughASave) {
    std::map<std::string, std::string> refused;  // "obj 8803 Affect 3 Location high"
    {
        for (const auto& [line, col] : test::table_rows("props/range_ends.tsv")) {
            ASSERT_EQ(col.size(), 5u) << line;
            refused[col[0] + " " + col[1] + " " + col[2] + " " + col[3]] = col[4];
        }
    }
    const struct {
        TableKind kind;
        const char* word;
        int vnum;
    } records[] = {{TableKind::Object, "obj", 8803},
                   {TableKind::Object, "obj", 8890},
                   {TableKind::Mobile, "mob", 8800},
                   {TableKind::Mobile, "mob", 8890}};
    std::size_t refusals_seen = 0;
    for (bool high : {false, true}) {
        ScratchDir dir;
        FakeUi ui;
        Workspace ws(ui);
        ws.set_area_dir(dir.path());
        ASSERT_TRUE(load_area_file(ws, test::test_data("props/88.obj").string()));
        ASSERT_TRUE(load_area_file(ws, test::test_data("props/88.mob").string()));
        ASSERT_TRUE(create_proto_from_box(ws, TableKind::Object, "8890"));
        ASSERT_TRUE(create_proto_from_box(ws, TableKind::Mobile, "8890"));
        for (const auto& r : records)
            for (const PropField& f : prop_fields(ws, r.kind, r.vnum)) {
                if (f.kind != PropKind::Number) continue;
                const long long end = high ? f.range.high : f.range.low;
                const std::string key = std::string(r.word) + " " + std::to_string(r.vnum) + " " +
                                        f.name + (high ? " high" : " low");
                SCOPED_TRACE(key);
                PropResult stored = store_prop_number(ws, r.kind, r.vnum, f.id, end);
                auto listed = refused.find(key);
                EXPECT_EQ(stored.refusal, listed == refused.end() ? "" : listed->second);
                if (listed != refused.end()) {
                    ++refusals_seen;
                    continue;
                }
                EXPECT_EQ(prop_number(ws, r.kind, r.vnum, f.id), end);
            }
        ASSERT_TRUE(save_every_zone(ws, TableKind::Object));
        ASSERT_TRUE(save_every_zone(ws, TableKind::Mobile));
        FakeUi again_ui;
        Workspace again(again_ui);
        ASSERT_TRUE(load_area_file(again, dir.file("88.obj")));
        ASSERT_TRUE(load_area_file(again, dir.file("88.mob")));
        for (const auto& r : records)
            for (const PropField& f : prop_fields(ws, r.kind, r.vnum)) {
                SCOPED_TRACE(std::to_string(r.vnum) + " " + f.name);
                EXPECT_EQ(prop_box_text(again, r.kind, r.vnum, f.id),
                          prop_box_text(ws, r.kind, r.vnum, f.id));
            }
    }
    EXPECT_EQ(refusals_seen, refused.size());
}

}  // namespace
}  // namespace zs
