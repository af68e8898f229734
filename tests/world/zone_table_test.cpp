#include "world/zone_table.h"

#include <gtest/gtest.h>

#include "support/fake_ui.h"
#include "world/workspace.h"

namespace zs {
namespace {

TEST(ZoneTable, CreateDeleteAndUnloadKeepTheSelectionSensible) {
    ZoneTable t;
    EXPECT_TRUE(t.reserve_zedit_block(30));
    Zedit a = make_new_zedit(30);
    a.name = "Midgaard";
    TableLoading(t).append(a);
    TableLoading(t).append(make_new_zedit(31));
    EXPECT_FALSE(t.reserve_zedit_block(31));
    EXPECT_EQ(t.selected_zedit()->number, 31);  // the last loaded is selected

    t.create_zedit(5);  // a new zedit takes slot 0
    EXPECT_EQ(t.zedit(0).number, 5);
    EXPECT_EQ(t.zedit(0).name, "A New Zone");
    EXPECT_EQ(t.zedit(0).roleplay_name, "an unknown area");
    EXPECT_EQ(t.selected_zedit()->number, 31);

    TableLoading(t).append(make_new_zedit(31));  // a second zedit numbered 31
    t.select_slot(2);
    t.delete_zedit(31);  // another zedit with the same number takes over
    EXPECT_EQ(t.selected_zedit()->number, 31);
    TableLoading(t).unload(31);
    EXPECT_EQ(t.find_zedit(31), -1);
    ASSERT_NE(t.selected_zedit(), nullptr);
    EXPECT_EQ(t.selected_zedit()->number, 5);  // first zedit in use
}

TEST(ZoneTable, ALoadRolledBackTakesOutWhatItAppendedAndChangesNothingElse) {
    test::FakeUi ui;
    Workspace ws(ui);
    TableLoad load(ws);
    Zedit kept = make_new_zedit(30);
    kept.name = "kept";
    load.zones().append(kept);
    Zedit appended = make_new_zedit(30);  // a damaged area: the number twice
    appended.name = "appended";
    load.zones().append(appended);
    load.zones().truncate(1, -1);
    ASSERT_EQ(ws.zones().count(), 1);
    EXPECT_EQ(ws.zones().zedit(0).name, "kept");
    EXPECT_FALSE(ws.modified().is_set(TableKind::Zone, 30));
    EXPECT_FALSE(ws.history().can_undo());
}

TEST(ZoneTable, CommandInsertAndRemoveAcceptOnlyPositionsInRange) {
    ZoneTable t;
    TableLoading(t).append(make_new_zedit(12));
    EXPECT_FALSE(t.insert_command(0, 1));  // no commands yet: only position 0
    EXPECT_TRUE(t.insert_command(0, 0));
    EXPECT_TRUE(t.insert_command(0, 1));
    t.edit_zedit(0, [](Zedit& z) { z.commands[1].command = 'M'; });
    EXPECT_TRUE(t.insert_command(0, 1));
    ASSERT_EQ(t.zedit(0).commands.size(), 3u);
    EXPECT_EQ(t.zedit(0).commands[1].command, 'N');
    EXPECT_EQ(t.zedit(0).commands[2].command, 'M');
    EXPECT_FALSE(t.remove_command(0, 3));
    EXPECT_FALSE(t.remove_command(0, -1));
    EXPECT_TRUE(t.remove_command(0, 1));
    EXPECT_EQ(t.zedit(0).commands[1].command, 'M');
}

}  // namespace
}  // namespace zs
