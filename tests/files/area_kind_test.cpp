// The load, save and unload commands are one for every kind: each case runs
// the same command over the four kinds' files.
#include "files/area_kind.h"

#include <gtest/gtest.h>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::ScratchDir;
using test::test_data_bytes;

const TableKind kKinds[] = {TableKind::World, TableKind::Object, TableKind::Mobile,
                            TableKind::Zone};

int blocks(const Workspace& ws, TableKind kind) {
    switch (kind) {
        case TableKind::World:
            return ws.world().block_count();
        case TableKind::Object:
            return ws.objects().block_count();
        case TableKind::Mobile:
            return ws.mobiles().block_count();
        case TableKind::Zone:
            break;
    }
    return ws.zones().block_count();
}

class AreaKindTest : public ::testing::Test {
protected:
    void SetUp() override { ws.set_area_dir(dir.path()); }
    // A file of tests/data copied into the area directory under `name`.
    std::string copy(const std::string& data, const std::string& name) {
        return dir.write(name, test_data_bytes(data));
    }
    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
};

// Files of the stock CircleMUD layouts, which the current readers refuse.
struct Conversion {
    TableKind kind;
    std::vector<bool> answers;  // to the offer to convert, then to the stock world question
    int records;                // in the table afterwards; -1: the load fails
};

TEST_F(AreaKindTest, EveryKindConvertsAnOlderLayoutOnlyWhenTheBuilderAgrees) {
    const Conversion cases[] = {
        {TableKind::World, {false}, -1},     {TableKind::World, {true, false}, -1},
        {TableKind::World, {true, true}, 2}, {TableKind::Object, {false}, -1},
        {TableKind::Object, {true}, 1},      {TableKind::Mobile, {false}, -1},
        {TableKind::Mobile, {true}, 1},      {TableKind::Zone, {false}, -1},
        {TableKind::Zone, {true}, 1},
    };
    for (const Conversion& c : cases) {
        const AreaKind& kind = area_kind(c.kind);
        const std::string name = std::string("40.") + kind.words().extension;
        SCOPED_TRACE(name + ", " + std::to_string(c.answers.size()) + " answers");
        FakeUi u;
        Workspace w(u);
        w.set_area_dir(dir.path());
        for (bool a : c.answers)
            u.answer({a});
        const std::string path = copy("older/" + name, name);

        EXPECT_EQ(load_area_file(w, path), c.records >= 0);
        ASSERT_FALSE(u.questions.empty());
        EXPECT_EQ(u.questions[0].text, kind.words().convert_question);
        EXPECT_EQ(u.questions.size(), c.answers.size());
        const bool success = std::count(u.messages.begin(), u.messages.end(),
                                        test::Shown{kind.words().conversion_success, "Success"});
        if (c.records < 0) {
            // As it was: no record, no block, no file remembered.
            EXPECT_EQ(kind.count(w), 0);
            EXPECT_EQ(blocks(w, c.kind), 0);
            EXPECT_FALSE(w.has_zone(c.kind, 40));
            EXPECT_EQ(w.zone_files().find(c.kind, 40), nullptr);
            EXPECT_FALSE(success);
        } else {
            EXPECT_EQ(kind.records_in_zone(w, 40), c.records);
            EXPECT_EQ(blocks(w, c.kind), 1);
            EXPECT_NE(w.zone_files().find(c.kind, 40), nullptr);
            EXPECT_TRUE(success);
        }
    }
}

TEST_F(AreaKindTest, EveryKindUnloadsAZoneWhoseFileThenLoadsAgain) {
    for (TableKind k : kKinds) {
        const AreaKind& kind = area_kind(k);
        const std::string name = std::string("30.") + kind.words().extension;
        SCOPED_TRACE(name);
        const std::string path = copy("zone30/" + name, name);
        ASSERT_TRUE(load_area_file(ws, path));
        const int records = kind.count(ws);
        ws.modified().mark(k, 30);

        EXPECT_TRUE(unload_zone_of_kind(ws, k, 30));
        EXPECT_FALSE(ws.has_zone(k, 30));
        EXPECT_FALSE(ws.modified().is_set(k, 30));
        EXPECT_FALSE(unload_zone_of_kind(ws, k, 30));  // nothing left to unload

        ui.clear();
        ASSERT_TRUE(load_area_file(ws, path));  // not refused as loaded already
        EXPECT_EQ(kind.count(ws), records);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(AreaKindTest, SaveCurrentOfEveryKindWritesTheFileItWasLoadedFrom) {
    for (TableKind k : kKinds) {
        const FileKind& words = area_kind(k).words();
        const std::string name = std::string("30.") + words.extension;
        SCOPED_TRACE(name);
        EXPECT_FALSE(save_current(ws, k));
        EXPECT_EQ(ui.last_status(), words.nothing_selected);

        const std::string path = copy("zone30/" + name, name);
        ASSERT_TRUE(load_area_file(ws, path));
        std::filesystem::remove(path);
        EXPECT_TRUE(save_current(ws, k));
        EXPECT_EQ(ui.last_status(), strfmt(words.current_saved, 30));
        EXPECT_EQ(dir.read(name), test_data_bytes("zone30/" + name));
    }
}

}  // namespace
}  // namespace zs
