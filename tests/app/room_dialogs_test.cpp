// The room pane's dialogs on the demo area's room 8800 (flags CAMP and !MOB,
// one extra description), driven through their boxes and buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/demo_window.h"
#include "editors/room_dialogs.h"
#include "world/edits.h"

namespace zs {
namespace {

using test::click_button;
using RoomDialogsTest = test::DemoWindowTest;

TEST_F(RoomDialogsTest, FlagsOkStoresTheBoxesAndCancelNothing) {
    TableLoad(ws).world().edit_loaded(ws.world().find_room(8800),
                                      [](Room& r) { r.room_flags |= 1u << 12 | 1u << 30; });
    const std::uint32_t before = room(8800).room_flags;
    for (const char* button : {"Cancel", "OK"}) {
        RoomFlagsDialog dialog(ws, 8800, window.get());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Room Flags");
        EXPECT_TRUE(dialog.flag_box(1)->isChecked());
        EXPECT_EQ(dialog.flag_box(2)->text(), "!MOB");
        EXPECT_FALSE(dialog.flag_box(0)->isChecked());
        EXPECT_EQ(dialog.flag_box(12), nullptr);
        dialog.flag_box(1)->click();
        dialog.flag_box(25)->click();
        click_button(&dialog, button);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(room(8800).room_flags, 1u << 2 | 1u << 12 | 1u << 25 | 1u << 30);
    EXPECT_NE(window->action("Undo Edit Flags of Room 8800"), nullptr);
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room(8800).room_flags, before);
}

TEST_F(RoomDialogsTest, ExtraDescsAddAnEntryAndRefuseATilde) {
    ExtraDescsDialog dialog(ws, 8800, window.get());
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("room label")->text(), "Room 8800");
    EXPECT_EQ(dialog.position_label()->text(), "1/1");
    EXPECT_EQ(dialog.keywords_box()->text(), "milestone stone");
    click_button(&dialog, "Next ->");
    EXPECT_EQ(dialog.position_label()->text(), "2/2");
    EXPECT_TRUE(dialog.keywords_box()->text().isEmpty());
    QTest::keyClicks(dialog.keywords_box(), "mill wheel");
    QTest::keyClicks(dialog.text_box(), "the wheel turns~");
    click_button(&dialog, "OK");
    EXPECT_TRUE(dialog.isVisible());  // refused: the boxes stay for mending
    // Said in the dialog: the window's status box lies behind it.
    EXPECT_TRUE(dialog.status_line()->isVisible());
    EXPECT_TRUE(dialog.status_line()->text().contains("~"));
    EXPECT_EQ(room(8800).extra_descriptions.size(), 1u);

    QTest::keyClick(dialog.text_box(), Qt::Key_Backspace);
    click_button(&dialog, "Format");
    EXPECT_EQ(dialog.text_box()->toPlainText(), "The wheel turns\n");
    click_button(&dialog, "OK");
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(room(8800).extra_descriptions.size(), 2u);
    EXPECT_EQ(room(8800).extra_descriptions[1],
              (ExtraDescription{"mill wheel", "The wheel turns\r\n"}));
    EXPECT_NE(window->action("Undo Edit Extra Descriptions of Room 8800"), nullptr);
}

TEST_F(RoomDialogsTest, ExtraDescsKeepAnEntryWithoutKeywordsUntilTheBuilderSaysSo) {
    ExtraDescsDialog dialog(ws, 8800, window.get());
    dialog.show();
    click_button(&dialog, "Next ->");
    QTest::keyClicks(dialog.text_box(), "The wheel turns.");
    click_button(&dialog, "Next ->");  // stored without keywords
    // OK shows the entry and says what it lacks.
    click_button(&dialog, "OK");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.position_label()->text(), "2/3");
    EXPECT_EQ(dialog.text_box()->toPlainText(), "The wheel turns.\n");
    EXPECT_TRUE(dialog.status_line()->text().startsWith(
        "Extra description 2 of 3 has text but no keywords"));
    // Cancel asks before it drops it: No keeps the dialog, Yes closes.
    for (auto [answer, closes] : {std::pair{QMessageBox::No, false}, {QMessageBox::Yes, true}}) {
        QString asked;
        QTimer::singleShot(0, [&asked, answer = answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = box->text();
                box->button(answer)->click();
            }
        });
        click_button(&dialog, "Cancel");
        EXPECT_TRUE(asked.endsWith("Drop it and close?")) << asked.toStdString();
        EXPECT_EQ(dialog.isVisible(), !closes);
    }
    EXPECT_EQ(room(8800).extra_descriptions.size(), 1u);
}

TEST_F(RoomDialogsTest, ExtraDescsLeaveUntouchedEntriesAndTypingAlone) {
    // An entry as a file can hold it: its own wrapping, bare line feeds.
    TableLoad(ws).world().edit_loaded(ws.world().find_room(8800), [](Room& r) {
        r.extra_descriptions[0].description = "short line\nand  more\n";
    });
    {
        ExtraDescsDialog dialog(ws, 8800, window.get());
        dialog.show();
        click_button(&dialog, "Next ->");
        click_button(&dialog, "<- Previous");
        click_button(&dialog, "OK");
    }
    EXPECT_EQ(room(8800).extra_descriptions[0].description, "short line\nand  more\n");
    EXPECT_FALSE(ws.history().can_undo());

    ExtraDescsDialog dialog(ws, 8800, window.get());
    dialog.show();
    QTest::keyClicks(dialog.keywords_box(), " post");
    click_button(&dialog, "<- Previous");  // at the first entry: nothing
    EXPECT_EQ(dialog.keywords_box()->text(), "milestone stone post");
}

}  // namespace
}  // namespace zs
