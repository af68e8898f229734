// The problems dock driven through the window: Tools > Check Area lists the
// checker's findings, the filter, a double-click that shows the room, and the
// list following an undoable edit once the builder pauses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/map_widget.h"
#include "app/problems_panel.h"
#include "files/area_files.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "support/test_files.h"
#include "world/edits.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::crlf;
using test::ScratchDir;

// Room 1400's exit north leads to a room no zone holds (an error), its exit
// east to 1401 is one-way (a warning); the zone's M command names a mobile and
// a room that are not loaded (two errors on line 6).
const char* const kWorld =
    "#1400\nA~\n~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\n"
    "D0\n~\n~\n~\n0 -1 1402 0 0 -1\nD1\n~\n~\n~\n0 -1 1401 0 0 -1\nS\n"
    "#1401\nB~\n~\nx~\n~\n14 0 0 0 0 -1 -1 -1 0 -1\n0 0 0 -1 0\nS\n$~\n";
const char* const kZone = "#14\nZone~\nrp~\nnone~\n1499 10 2 0\nM 0 1455 1 1499 1 0 0\nS\n$\n";

class ProblemsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.set_area_dir(dir.path());
        window = std::make_unique<MainWindow>(ws);
        window->show();
        // Shortcuts reach the active window only.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(load_area_file(ws, dir.write("14.wld", crlf(kWorld))));
        ASSERT_TRUE(load_area_file(ws, dir.write("14.zon", crlf(kZone))));
        QApplication::processEvents();
        map_size = window->map()->size();
        window->action("Check &Area")->trigger();
        panel = window->problems_panel();
        ASSERT_TRUE(panel);
        QApplication::processEvents();
    }
    QTreeWidget* list() { return panel->list(); }
    int shown_rows() {
        int n = 0;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            n += !list()->topLevelItem(i)->isHidden();
        return n;
    }
    void double_click(int row) {
        QTreeWidgetItem* item = list()->topLevelItem(row);
        QPoint at = list()->visualItemRect(item).center();
        ASSERT_TRUE(list()->viewport()->rect().contains(at)) << row;
        // The press of the first click, then the second click's.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // Runs the event loop until the pending check ran (at most two seconds).
    bool refreshed() {
        for (int waited = 0; panel->refresh_timer()->isActive() && waited < 2000; waited += 20)
            QTest::qWait(20);
        return !panel->refresh_timer()->isActive();
    }
    int selected_vnum() {
        const Room* r = ws.world().selected_room();
        return r ? r->vnum : -1;
    }

    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;
    ProblemsPanel* panel = nullptr;
    QSize map_size;
};

TEST_F(ProblemsPanelTest, CheckAreaListsTheFindingsWithSeverityPlaceAndRoom) {
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isFloating());
    EXPECT_EQ(window->map()->size(), map_size) << "the panel takes no room from the map";
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    const struct {
        const char *severity, *problem, *room;
    } rows[] = {
        {"error",
         "14.wld:1: room 1400: the exit north leads to room 1402, which no loaded zone holds",
         "1400"},
        {"warning",
         "14.wld:1: room 1400: the exit east to room 1401 is one-way (no exit west leads back)",
         "1400"},
        {"error", "14.zon:6: M command: mobile 1455 is not in any loaded zone", "1499"},
        {"error", "14.zon:6: M command: room 1499 is not in any loaded zone", "1499"},
    };
    for (int i = 0; i < 4; ++i) {
        QTreeWidgetItem* item = list()->topLevelItem(i);
        EXPECT_EQ(item->text(0).toStdString(), rows[i].severity);
        EXPECT_FALSE(item->icon(0).isNull());
        EXPECT_EQ(item->text(1).toStdString(), rows[i].problem);
        EXPECT_EQ(item->text(2).toStdString(), rows[i].room);
    }
    EXPECT_EQ(panel->summary()->text(), "3 errors, 1 warning");
}

TEST_F(ProblemsPanelTest, TheFilterShowsErrorsWarningsOrAll) {
    panel->filter()->setFocus();
    const struct {
        Qt::Key key;
        const char* shown;
        int rows;
    } steps[] = {
        {Qt::Key_Down, "Errors", 3}, {Qt::Key_Down, "Warnings", 1}, {Qt::Key_Home, "All", 4}};
    for (const auto& s : steps) {
        QTest::keyClick(panel->filter(), s.key);
        EXPECT_EQ(panel->filter()->currentText().toStdString(), s.shown);
        EXPECT_EQ(shown_rows(), s.rows) << s.shown;
    }
}

TEST_F(ProblemsPanelTest, DoubleClickShowsTheRoomOrSaysItIsNotLoaded) {
    window->session().select_room(ws, ws.world().find_room(1401));
    double_click(1);
    EXPECT_EQ(selected_vnum(), 1400);

    int rooms = ws.world().count();
    double_click(3);
    EXPECT_EQ(selected_vnum(), 1400);
    EXPECT_EQ(ws.world().count(), rooms);  // nothing was loaded
    EXPECT_EQ(window->status_box()->text().toStdString(),
              "Room 1499 is not loaded; load zone 14 to see it.");
}

TEST_F(ProblemsPanelTest, AnEditStepRefreshesTheListOnceTheBuilderPauses) {
    ASSERT_TRUE(delete_room(ws, 1401));
    // Not at once: typing would check on every key.
    EXPECT_TRUE(panel->refresh_timer()->isActive());
    EXPECT_EQ(list()->topLevelItemCount(), 4);
    ASSERT_TRUE(refreshed());
    EXPECT_NE(panel->summary()->text().toStdString().find(", 0 warnings"), std::string::npos)
        << panel->summary()->text().toStdString();

    // Undo brings the one-way exit back.
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(panel->summary()->text().toStdString(), "3 errors, 1 warning");
}

TEST_F(ProblemsPanelTest, AClickSelectsEnterGoesEscapeClosesAndThePanelIsOnTheScreen) {
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(panel->frameGeometry()))
        << "within the screen's free area " << screen.x() << "," << screen.y() << " "
        << screen.width() << "x" << screen.height() << " panel " << panel->frameGeometry().x()
        << "," << panel->frameGeometry().y() << " " << panel->frameGeometry().width() << "x"
        << panel->frameGeometry().height() << " window " << window->frameGeometry().x() << ","
        << window->frameGeometry().y();
    window->session().select_room(ws, ws.world().find_room(1401));
    QTreeWidgetItem* item = list()->topLevelItem(1);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list()->visualItemRect(item).center());
    EXPECT_TRUE(item->isSelected());
    EXPECT_EQ(selected_vnum(), 1401) << "a click only selects";
    EXPECT_EQ(item->toolTip(1), item->text(1)) << "the whole text, however narrow the column";
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(selected_vnum(), 1400);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(ProblemsPanelTest, AFindingInAnEditedRecordNamesItsFileAsUnsavedNotAStaleLine) {
    ASSERT_TRUE(edit_room(ws, 1401, "Title", [](Room& r) { r.title = "Bee"; }));
    ASSERT_TRUE(refreshed());
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_EQ(list()->topLevelItem(0)->text(1).toStdString(),
              "14.wld (unsaved): room 1400: the exit north leads to room 1402, which no loaded "
              "zone holds");
    EXPECT_EQ(list()->topLevelItem(2)->text(1).toStdString(),
              "14.zon:6: M command: mobile 1455 is not in any loaded zone")
        << "the zone file is as it was";
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(refreshed());
    EXPECT_TRUE(list()->topLevelItem(0)->text(1).startsWith("14.wld:1: "));
}

}  // namespace
}  // namespace zs
