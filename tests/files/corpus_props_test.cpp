// Every field of every object and mobile, read through the properties'
// catalogue and stored back unchanged through its named step, makes no step
// and leaves the saved file byte for byte as it was: over the stock corpus
// and the held test files, in the layouts they come in.
#include <gtest/gtest.h>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/mobile_fields.h"
#include "world/object_fields.h"
#include "world/proto_fields.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;

// Loads the file (converting an older layout), saves it in the current
// layout, loads that again, stores every field's own value back and saves
// again: the two saves must match and no step may have been made. Returns
// the number of fields stored.
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
}

}  // namespace
}  // namespace zs
