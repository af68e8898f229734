// The bridge from the workspace to Qt signals, and the editor panes' rule of
// refreshing from every change but their own.
#include <gtest/gtest.h>

#include <QWidget>
#include <vector>

#include "appkit/workspace_signals.h"
#include "editors/editor_pane.h"
#include "support/step.h"
#include "world/edits.h"

namespace zs {
namespace {

TEST(WorkspaceSignals, CarryTheFieldsSourceAndOriginOfEachEdit) {
    NullUi quiet;
    Workspace ws{quiet};
    TableLoad(ws).world().append(make_new_room(3001, 30));
    WorkspaceSignals bridge(ws);
    std::vector<Change> edits;
    int history_changes = 0;
    QObject::connect(&bridge, &WorkspaceSignals::record_changed, [&](const Change& c) {
        if (c.kind == ChangeKind::Edited) edits.push_back(c);
    });
    QObject::connect(&bridge, &WorkspaceSignals::history_changed, [&] { ++history_changes; });

    int pane = 0;  // stands for the pane that edits
    const FieldMask title = FieldMask{1} << 3;
    ASSERT_TRUE(edit_room(
        ws, 3001, "Edit Title", [](Room& r) { r.title = "A hall"; },
        EditOptions{title, &pane, {}}));
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(ws.redo());

    ASSERT_EQ(edits.size(), 3u);
    const std::pair<ChangeOrigin, const void*> want[] = {
        {ChangeOrigin::Edit, &pane}, {ChangeOrigin::Undo, nullptr}, {ChangeOrigin::Redo, nullptr}};
    for (std::size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(edits[i].table, TableKind::World) << i;
        EXPECT_EQ(edits[i].id, 3001) << i;
        EXPECT_EQ(edits[i].origin, want[i].first) << i;
        EXPECT_EQ(edits[i].source, want[i].second) << i;
    }
    EXPECT_EQ(edits[0].fields, title);
    EXPECT_EQ(history_changes, 3);
}

TEST(EditorPane, RefreshesWhenShownFromChangesItDidNotMake) {
    struct CountingPane : EditorPane {
        using EditorPane::EditorPane;
        void refresh() override { ++refreshes; }
        int refreshes = 0;
    };
    NullUi quiet;
    Workspace ws{quiet};
    TableLoad(ws).world().append(make_new_room(3001, 30));
    WorkspaceSignals bridge(ws);
    QWidget area;
    CountingPane pane(EditorKind::Room, bridge, &area);
    auto retitle = [&](const void* source) {
        edit_room(
            ws, 3001, "Edit Title", [](Room& r) { r.title = std::string(r.title.view()) + "x"; },
            EditOptions{kAllFields, source, {}});
    };

    retitle(nullptr);  // hidden: nothing to show
    pane.set_shown(true);
    EXPECT_EQ(pane.refreshes, 1);
    retitle(&pane);  // its own keystroke
    EXPECT_EQ(pane.refreshes, 1);
    retitle(&quiet);  // anyone else's edit
    EXPECT_EQ(pane.refreshes, 2);
    test::Step(ws).objects().insert_sorted(make_new_object(3000, 30));  // another editor's table
    EXPECT_EQ(pane.refreshes, 2);
}

}  // namespace
}  // namespace zs
