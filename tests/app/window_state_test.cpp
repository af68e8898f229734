// What the window tells the builder, driven through real widget events: the
// title with its modified mark through undo and redo, the status box's whole
// text and View > Messages, an old error cleared by the next success, Load
// Full Zone's box, and Tab through the side panel.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "app/dialogs.h"
#include "app/map_widget.h"
#include "app/messages_dock.h"
#include "demo_window.h"

namespace zs {
namespace {

using test::answer_modal;

class WindowStateTest : public test::DemoWindowTest {
protected:
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        // The window is active again once a dialog has gone (the offscreen
        // platform has no window manager to give it back).
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->map()->setFocus();
        QTest::keyClick(window->map(), key, mods);
        QApplication::processEvents();
    }
    // Types into a box of the room pane: one step, which shows no status.
    void type_into(QWidget* box, const char* text) {
        box->setFocus();
        QTest::keyClicks(box, text);
        window->map()->setFocus();  // the burst of typing ends
        QApplication::processEvents();
    }
    QString title_start() const { return QString::fromStdString(dir.path().string()) + ": "; }
};

TEST_F(WindowStateTest, TheTitleNamesTheZonesAndItsMarkFollowsUndoToTheCleanPoint) {
    EXPECT_EQ(window->windowTitle(), title_start() + "zone 88[*] - Zonesmith");
    EXPECT_FALSE(window->isWindowModified());
    type_into(window->title_box(), "x");
    ASSERT_TRUE(ws.history().can_undo());
    EXPECT_TRUE(window->isWindowModified());
    type_into(window->description_box(), "y");  // one undo is not yet the clean point
    press(Qt::Key_Z);
    EXPECT_TRUE(window->isWindowModified());
    press(Qt::Key_Z);
    EXPECT_FALSE(window->isWindowModified()) << "back where the file was loaded";
    press(Qt::Key_Y);
    EXPECT_TRUE(window->isWindowModified());

    window->set_unsaved_question([](const QString&) { return MainWindow::UnsavedChoice::Discard; });
    window->action("Unload &All")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window->windowTitle(), title_start() + "no zone loaded[*] - Zonesmith");
}

TEST_F(WindowStateTest, EveryMessageIsReadableInTheStatusTooltipAndTheMessagesDock) {
    // 8805 is 8800's north neighbour: the link is refused with a long text.
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(301 + 9, 131 + 9));
    const QString refusal = "Error: room 8800 already has an exit to the north.";
    ASSERT_EQ(window->status_box()->text(), refusal);
    EXPECT_EQ(window->status_box()->toolTip(), refusal);

    window->action("&Messages")->trigger();
    MessagesDock* dock = window->messages_dock();
    ASSERT_TRUE(dock && dock->isVisible());
    QListWidget* list = dock->list();
    ASSERT_GE(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().endsWith("  World file for zone 88 loaded."))
        << "oldest first";
    EXPECT_TRUE(list->item(list->count() - 1)->text().endsWith("  " + refusal));

    // A later message comes in at the end; rows copy with Ctrl+C.
    window->show_status("Room 8801 selected.");
    ASSERT_TRUE(list->item(list->count() - 1)->text().endsWith("  Room 8801 selected."));
    list->setFocus();
    list->clearSelection();
    list->item(list->count() - 2)->setSelected(true);
    list->item(list->count() - 1)->setSelected(true);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(copied.size(), 2);
    EXPECT_TRUE(copied[0].endsWith(refusal));
    EXPECT_TRUE(copied[1].endsWith("Room 8801 selected."));
}

TEST_F(WindowStateTest, AnErrorLeavesTheStatusBoxWithTheNextActionThatSucceeds) {
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(301 + 9, 131 + 9));
    ASSERT_TRUE(window->status_box()->text().startsWith("Error:"));
    // Typing a title is a step that shows no status of its own.
    window->title_box()->setFocus();
    QTest::keyClicks(window->title_box(), "x");
    EXPECT_EQ(window->status_box()->text(), "");
    EXPECT_EQ(window->status_box()->toolTip(), "");
    // A text that is no error stays.
    window->show_status("Room 8800 selected.");
    QTest::keyClicks(window->title_box(), "y");
    EXPECT_EQ(window->status_box()->text(), "Room 8800 selected.");
}

TEST_F(WindowStateTest, LoadFullZoneReplacesItsSuggestionAndRefusesZonesBeyond327) {
    ws.options().last_zone = 88;
    QString shown;
    answer_modal([&](QWidget* dialog) {
        QLineEdit* box = static_cast<LoadZoneDialog*>(dialog)->zone_box();
        QTest::keyClicks(box, "30");
        shown = box->text();
        static_cast<QDialog*>(dialog)->reject();
    });
    press(Qt::Key_L);
    EXPECT_EQ(shown, "30");

    answer_modal([](QWidget* dialog) {
        QTest::keyClicks(static_cast<LoadZoneDialog*>(dialog)->zone_box(), "328");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    press(Qt::Key_L);
    EXPECT_EQ(window->status_box()->text(),
              "Load Full Zone: there is no zone 328; zones run from 0 to 327. Nothing loaded.");
    EXPECT_EQ(ws.options().last_zone, 88);
}

TEST_F(WindowStateTest, TabReachesEveryControlOfTheSidePanelInOrder) {
    QWidget* side = window->findChild<QWidget*>("side panel");
    ASSERT_TRUE(side);
    QStringList reached;
    window->vnum_box()->setFocus();
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* at = QApplication::focusWidget();
        if (auto* b = qobject_cast<QPushButton*>(at); b && side->isAncestorOf(b))
            reached << b->text();
    }
    EXPECT_EQ(reached.mid(0, 11), QStringList({"Select", "+", "-", "Up", "Down", "Load", "Save",
                                               "Redit", "Oedit", "Zedit", "Medit"}));
    // A click on a button leaves the focus where it was.
    window->map()->setFocus();
    QTest::mouseClick(reached.isEmpty() ? side : side->findChildren<QPushButton*>().front(),
                      Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), window->map());
}

}  // namespace
}  // namespace zs
