// The Exit Data dialog driven through its controls: a tab change applies the
// direction shown, and a reopened dialog shows what was applied.
#include "editors/exit_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include "app/demo_window.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::click_button;

class ExitDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableLoad(ws).world().reserve(30);
        TableLoad(ws).world().append(test::room_with_exits(3001, {}));
        TableLoad(ws).world().append(test::room_with_exits(3002, {}));
    }
    template <class W>
    static W* child(QWidget* dialog, const char* name) {
        auto* w = dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    const Room& room(int vnum) { return *ws.world().find_room_record(vnum); }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ExitDialogTest, ChangingTheTabAppliesTheDirectionShown) {
    ExitDataDialog dialog(ws, 3001, kNorth, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.tabs()->tabText(kWest), " West  ");
    QTest::keyClicks(child<QLineEdit>(&dialog, "exits to"), "3002");
    child<QRadioButton>(&dialog, "Is a door")->click();
    dialog.tabs()->setCurrentIndex(kEast);

    ASSERT_TRUE(room(3001).exits[kNorth].has_value());
    EXPECT_EQ(room(3001).exits[kNorth]->exit_flags, kExitIsDoor);
    ASSERT_TRUE(room(3002).exits[kSouth].has_value());
    EXPECT_EQ(ws.undo_text(), "Undo Edit North Exit of Room 3001");
    EXPECT_EQ(dialog.direction(), kEast);
    EXPECT_EQ(child<QLineEdit>(&dialog, "exits to")->text(), "");  // east has no exit
    EXPECT_FALSE(child<QRadioButton>(&dialog, "Is a door")->isChecked());
}

TEST_F(ExitDialogTest, TheDialogNeverReachesPastALowWindow) {
    QWidget window;
    window.resize(800, 500);
    ExitDataDialog dialog(ws, 3001, kNorth, &window);
    dialog.show();
    EXPECT_LE(dialog.height(), window.height());
    EXPECT_GE(dialog.height(), dialog.minimumSizeHint().height());
}

TEST_F(ExitDialogTest, ARefusedDirectionKeepsItsTabAndWhatWasTyped) {
    ExitDataDialog dialog(ws, 3001, kNorth, nullptr);
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "exits to"), "3099");  // not loaded
    for (int tab : {int(kEast), -1}) {
        if (tab >= 0)
            dialog.tabs()->setCurrentIndex(tab);
        else
            click_button(&dialog, "OK");
        EXPECT_EQ(ui.last_status(), "Error: Room 3099 does not exist!");
        EXPECT_EQ(dialog.direction(), kNorth);
        EXPECT_EQ(dialog.tabs()->currentIndex(), kNorth);
        EXPECT_EQ(child<QLineEdit>(&dialog, "exits to")->text(), "3099");
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(ExitDialogTest, ReopeningShowsAPickproofDoorAndKeepsAnUnlistedSize) {
    {
        ExitDataDialog dialog(ws, 3001, kNorth, nullptr);
        dialog.show();
        QTest::keyClicks(child<QLineEdit>(&dialog, "exits to"), "3002");
        child<QRadioButton>(&dialog, "Is a pickproof door")->click();
        click_button(&dialog, "OK");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3001),
                                      [](Room& r) { r.exits[kNorth]->exit_size = 9; });

    ExitDataDialog dialog(ws, 3001, kNorth, nullptr);
    dialog.show();
    EXPECT_TRUE(child<QRadioButton>(&dialog, "Is a pickproof door")->isChecked());
    EXPECT_EQ(child<QListWidget>(&dialog, "exit size")->currentRow(), -1);
    // The exit is two-way: "One-Way Exit" does not stay ticked.
    auto* one_way = child<QCheckBox>(&dialog, "one way");
    one_way->click();
    EXPECT_FALSE(one_way->isChecked());
    click_button(&dialog, "OK");
    EXPECT_EQ(room(3001).exits[kNorth]->exit_size, 9);
    EXPECT_EQ(room(3001).exits[kNorth]->exit_flags, kExitIsDoor | kExitPickproof);
}

TEST_F(ExitDialogTest, OkOnAnUntouchedExitChangesNothing) {
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3001), [](Room& r) {
        r.exits[kNorth] = Exit{};
        r.exits[kNorth]->destination = 3002;
        r.exits[kNorth]->description = "A road\nnorth.\n";  // bare line feeds
        r.exits[kNorth]->door_keywords = "gate";
    });
    ExitDataDialog dialog(ws, 3001, kNorth, nullptr);
    dialog.show();
    dialog.tabs()->setCurrentIndex(kEast);
    click_button(&dialog, "OK");
    EXPECT_EQ(room(3001).exits[kNorth]->description, "A road\nnorth.\n");
    EXPECT_FALSE(ws.history().can_undo());
}

}  // namespace
}  // namespace zs
