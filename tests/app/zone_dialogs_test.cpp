// The Edit menu's zone dialogs driven through their menu items and real key
// and mouse events: New Room, Delete Wld, Unload Wld, Apply Attribute to
// Zone and Re-number Zone. Each test fills a dialog, checks the tables and
// the Undo item, and that a refused input changes nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/demo_window.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "files/file_wld.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::answer_modal;

using test::click_button;

class ZoneDialogsTest : public test::DemoWindowTest {
protected:
    QString status() const { return window->status_box()->text(); }
    // The Edit menu's Undo item names this step.
    bool undo_item_is(const QString& text) const { return window->action(text) != nullptr; }

    // Opens a number prompt through its menu item, types `typed` and presses
    // `button`; `then` answers a box the operation opens.
    void prompt(const char* item, const QString& caption, const QString& typed,
                const QString& button = "OK", std::function<void(QWidget*)> then = {}) {
        QString title;
        answer_modal([&](QWidget* dialog) {
            title = dialog->windowTitle();
            auto* box = dialog->findChild<QLineEdit*>();
            QTest::keyClicks(box, typed);
            if (then) answer_modal(then);
            click_button(dialog, button);
        });
        window->action(item)->trigger();
        EXPECT_EQ(title, caption);
    }
};

TEST_F(ZoneDialogsTest, NewRoomCreatesSelectsAndRefusesATakenNumber) {
    int rooms = ws.world().count();
    prompt("&New Room...", "New Room", "8850");
    ASSERT_GE(ws.world().find_room(8850), 0);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8850);
    EXPECT_EQ(status(), "New room 8850 created.");
    EXPECT_TRUE(undo_item_is("Undo Create Room 8850"));

    prompt("&New Room...", "New Room", "8801");
    EXPECT_EQ(status(), "Error: room 8801 already exists.");
    prompt("&New Room...", "New Room", "8851", "Cancel");
    EXPECT_EQ(ws.world().count(), rooms + 1);
}

TEST_F(ZoneDialogsTest, DeleteWldWarnsFirstAndIsOneStep) {
    int rooms = ws.world().count();
    QString warning;
    auto answer = [&warning](QMessageBox::StandardButton button) {
        return [&warning, button](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            warning = box->windowTitle() + ": " + box->text().left(23);
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        };
    };
    prompt("D&elete Wld", "Delete Zone", "88", "OK", answer(QMessageBox::No));
    EXPECT_EQ(warning, "Warning: If you loaded this zone");
    EXPECT_EQ(ws.world().count(), rooms);

    prompt("D&elete Wld", "Delete Zone", "88", "OK", answer(QMessageBox::Yes));
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(status(), "Zone 88 deleted.");
    ASSERT_TRUE(undo_item_is("Undo Delete Zone 88"));
    window->action("Undo Delete Zone 88")->trigger();
    EXPECT_EQ(ws.world().count(), rooms);
}

TEST_F(ZoneDialogsTest, UnloadWldUnloadsAZoneAndReportsABadNumber) {
    int rooms = ws.world().count();
    prompt("&Unload Wld", "Unload Zone", "abc");
    EXPECT_TRUE(status().startsWith("Error: Invalid zone number \"abc\""))
        << status().toStdString();
    prompt("&Unload Wld", "Unload Zone", "89");
    EXPECT_EQ(status(), "Zone 89 does not exist.");
    EXPECT_EQ(ws.world().count(), rooms);

    // Unsaved rooms of the zone are worth the question; cancelled, nothing goes.
    QStringList asked;
    auto choice = MainWindow::UnsavedChoice::Cancel;
    window->set_unsaved_question([&](const QString& doing) {
        asked << doing;
        return choice;
    });
    prompt("&New Room...", "New Room", "8850");
    prompt("&Unload Wld", "Unload Zone", "88");
    EXPECT_EQ(asked, QStringList({"unloading"}));
    EXPECT_EQ(ws.world().count(), rooms + 1);

    choice = MainWindow::UnsavedChoice::Discard;
    prompt("&Unload Wld", "Unload Zone", "88");
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(status(), "Zone 88 unloaded.");
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(ZoneDialogsTest, ApplyAttributesCopiesTheTickedAttributesToTheZone) {
    const std::uint32_t flags = room(8800).room_flags;
    const std::uint32_t flagged = room(8802).room_flags;
    ASSERT_EQ(room(8801).room_flags, 0u);
    ASSERT_NE(flagged, 0u);
    ASSERT_NE(flagged, flags);

    // Cancel changes nothing.
    answer_modal([](QWidget* dialog) { click_button(dialog, "Cancel"); });
    window->action("&Apply Attribute to Zone...")->trigger();
    EXPECT_EQ(room(8801).room_flags, 0u);

    QStringList labels;
    answer_modal([&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Apply Attributes");
        auto* keep = dialog->findChild<QCheckBox*>("keep Room Flags");
        ASSERT_NE(keep, nullptr);
        keep->setFocus();
        QTest::keyClick(keep, Qt::Key_Space);
        for (auto* b : dialog->findChildren<QCheckBox*>())
            labels << b->text() + (b->isChecked() ? "+" : "");
        click_button(dialog, "OK");
    });
    window->action("&Apply Attribute to Zone...")->trigger();
    EXPECT_EQ(labels,
              QStringList({"Room Flags+", "Climate+", "Sector+", "Nation+", "Room Size",
                           "Exit Size", "Room Flags+", "Nation", "Room Size", "Exit Size"}));
    EXPECT_EQ(room(8801).room_flags, flags);
    EXPECT_EQ(room(8801).sector, room(8800).sector);
    EXPECT_EQ(room(8802).room_flags, flagged);  // set before: kept
    EXPECT_EQ(status(), "Specified attributes copied to zone 88.");
    EXPECT_TRUE(undo_item_is("Undo Apply Attributes to Zone 88"));

    ws.world().select_slot(-1);
    window->action("&Apply Attribute to Zone...")->trigger();
    EXPECT_EQ(status(), "No room selected.");
}

TEST_F(ZoneDialogsTest, RenumberZoneStaysOpenAndRefusesATakenZone) {
    int rooms = ws.world().count();
    QString old_box;
    QStringList messages;
    auto note = [&messages](QWidget* box) {
        messages << static_cast<QMessageBox*>(box)->windowTitle() + ": " +
                        static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->done(0);
    };
    answer_modal([&](QWidget* w) {
        auto* dialog = static_cast<RenumberZoneDialog*>(w);
        EXPECT_EQ(dialog->windowTitle(), "Re-number Zone");
        old_box = dialog->old_box()->text();
        EXPECT_FALSE(dialog->whole_zone_box()->isChecked());
        EXPECT_EQ(dialog->focusWidget(), dialog->new_box());
        QTest::keyClicks(dialog->new_box(), "89");
        answer_modal(note);
        click_button(dialog, "Re-Number");
        // Still open: the same numbers again are refused.
        answer_modal(note);
        click_button(dialog, "Re-Number");
        click_button(dialog, "Done");
    });
    window->action("&Re-number Zone...")->trigger();
    EXPECT_EQ(old_box, "88");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "Success: All rooms and exits in zone 88 renumbered to zone 89.");
    EXPECT_EQ(messages[1], "Zonesmith: Zone to renumber to already exists!");
    EXPECT_EQ(ws.world().count(), rooms);
    EXPECT_EQ(ws.world().find_room(8800), -1);
    EXPECT_EQ(room(8900).exits[kNorth]->destination, 8905);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8900);
    EXPECT_TRUE(undo_item_is("Undo Renumber Zone 88 to 89"));
}

}  // namespace
}  // namespace zs
