// View > Find and View > References in the window, over held zone 30 (two
// rooms, a mobile, an object and their reset commands): Ctrl+F, Enter, F3
// and Shift+F3 go to the room on the map, the record in its editor or the
// command in the zone editor; References follows the selection and goes
// where a line points.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/find_docks.h"
#include "app/main_window.h"
#include "editors/zone_editor.h"
#include "files/area_files.h"
#include "support/test_files.h"

namespace zs {
namespace {

using test::ScratchDir;

class FindDocksTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"30.wld", "30.obj", "30.mob", "30.zon"})
            dir.write(name, test::test_data_bytes(std::string("zone30/") + name));
        ws.set_area_dir(dir.path());
        window = std::make_unique<MainWindow>(ws);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        for (const char* name : {"30.wld", "30.obj", "30.mob", "30.zon"})
            ASSERT_TRUE(load_area_file(ws, dir.file(name)));
        QApplication::processEvents();
    }
    // Ctrl+F, the text typed and Enter: the first hit is gone to.
    FindDock& find(const QString& text) {
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        FindDock* dock = window->find_dock();
        EXPECT_TRUE(dock && dock->isVisible() && dock->box()->hasFocus());
        dock->box()->setText(text);
        QTest::keyClick(dock->box(), Qt::Key_Return);
        return *dock;
    }
    int selected_room() const {
        const Room* r = ws.world().selected_room();
        return r ? r->vnum : -1;
    }

    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST_F(FindDocksTest, EnterAndF3GoToEachHitInTurn) {
    FindDock& dock = find(QStringLiteral("TEMPLE"));
    // Room 3000 (its exit's text) and 3001 (its title).
    ASSERT_EQ(dock.list()->topLevelItemCount(), 2);
    EXPECT_EQ(dock.list()->topLevelItem(0)->text(4).toStdString(),
              "exit east: You see the Temple of Midgaard.");
    EXPECT_EQ(dock.summary()->text(), "2 matches");
    EXPECT_EQ(selected_room(), 3000);
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_EQ(selected_room(), 3001);
    QTest::keyClick(window.get(), Qt::Key_F3);  // round the end
    EXPECT_EQ(selected_room(), 3000);
    QTest::keyClick(window.get(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selected_room(), 3001);
    EXPECT_EQ(ws.current_editor(), EditorKind::Room);
}

TEST_F(FindDocksTest, AHitOpensItsRecordOrCommandInItsEditor) {
    FindDock& dock = find(QStringLiteral("wizard"));
    ASSERT_EQ(dock.list()->topLevelItemCount(), 2);  // the mobile, the M command
    EXPECT_EQ(ws.current_editor(), EditorKind::Mobile);
    EXPECT_EQ(ws.mobiles().current_mobile()->vnum, 3000);
    // The object's command, in room 3001: the map shows that room first so
    // that the ZCmds tree lists it.
    find(QStringLiteral("barrel"));
    ASSERT_EQ(dock.hits().size(), 2u);
    dock.list()->setCurrentItem(dock.list()->topLevelItem(1));
    QTest::keyClick(dock.list(), Qt::Key_Return);
    EXPECT_EQ(ws.current_editor(), EditorKind::Zone);
    auto& zone_editor = static_cast<ZoneEditor&>(window->editor_pane(EditorKind::Zone));
    EXPECT_EQ(zone_editor.selected_command(), (CommandRef{30, 1}));
    EXPECT_EQ(selected_room(), 3001);
    ASSERT_NE(zone_editor.command_tree()->currentItem(), nullptr);
    EXPECT_TRUE(zone_editor.command_tree()->currentItem()->text(0).startsWith("1 - Load obj"));
}

TEST_F(FindDocksTest, ReferencesFollowTheSelectionAndGoWhereALinePoints) {
    window->action(QStringLiteral("&References"))->trigger();
    ReferencesDock* dock = window->references_dock();
    ASSERT_TRUE(dock && dock->isVisible());
    window->go_to(TableKind::World, 3001, -1, -1);
    QTest::qWait(ReferencesDock::kRefreshDelayMs + 100);
    EXPECT_EQ(dock->count_line()->text(),
              "Room 3001: reached by 1 exit from 1 zone, 1 command acts in it");
    ASSERT_EQ(dock->list()->topLevelItemCount(), 2);
    EXPECT_EQ(dock->list()->topLevelItem(0)->text(2), "room 3000: exit east leads here");
    EXPECT_EQ(dock->list()->topLevelItem(1)->text(1), "1");
    // The mobile editor's mobile is the one looked at there.
    window->go_to(TableKind::Mobile, 3000, -1, -1);
    dock->refresh_now();
    EXPECT_EQ(dock->count_line()->text(), "Mobile 3000: loaded by 1 command in 1 zone, max 1");
    dock->list()->setCurrentItem(dock->list()->topLevelItem(0));
    QTest::keyClick(dock->list(), Qt::Key_Return);
    EXPECT_EQ(ws.current_editor(), EditorKind::Zone);
    EXPECT_EQ(selected_room(), 3000);
    // The toggle hides the dock again.
    window->action(QStringLiteral("&References"))->trigger();
    EXPECT_FALSE(dock->isVisible());
}

}  // namespace
}  // namespace zs
