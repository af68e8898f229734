// The room text pane driven by real key events on the offscreen platform:
// typing stores into the selected room as one undoable step per burst,
// showing a room stores nothing, and texts the area files cannot hold are
// refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/demo_window.h"
#include "app/main_window.h"
#include "app/map_widget.h"
#include "appkit/qt_ui.h"
#include "files/file_wld.h"
#include "support/test_files.h"
#include "world/edits.h"
#include "world/workspace.h"

namespace zs {
namespace {

class RoomEditorTest : public test::DemoWindowTest {
protected:
    QPlainTextEdit* side_box() {
        return window->findChild<QPlainTextEdit*>(QStringLiteral("side text box"));
    }
    void press(const char* caption) { test::click_button(window.get(), caption); }
};

TEST_F(RoomEditorTest, TypingInABoxIsOneStepThatCtrlZUndoes) {
    struct Case {
        QWidget* box;
        std::function<QString()> text;
        std::function<std::string()> stored;
        const char* step;
    };
    const std::string title = room(8800).title.str();
    const std::string description = room(8800).description.str();
    for (const Case& c : {
             Case{window->title_box(), [&] { return window->title_box()->text(); },
                  [&] { return room(8800).title.str(); }, "Undo Edit Title of Room 8800"},
             Case{window->description_box(),
                  [&] { return window->description_box()->toPlainText(); },
                  [&] { return room(8800).description.str(); },
                  "Undo Edit Description of Room 8800"},
         }) {
        QString before = c.text();
        std::string stored_before = c.stored();
        c.box->setFocus();
        window->title_box()->end(false);
        window->description_box()->moveCursor(QTextCursor::End);
        QTest::keyClicks(c.box, " Xyz");
        EXPECT_EQ(c.text(), before + " Xyz");  // the box keeps what was typed
        EXPECT_NE(c.stored(), stored_before);
        EXPECT_NE(c.stored().find("Xyz"), std::string::npos);
        EXPECT_EQ(ws.undo_text(), c.step);
        QTest::keyClick(c.box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(c.stored(), stored_before);  // the whole burst at once
        EXPECT_EQ(c.text(), before);
        EXPECT_FALSE(ws.modified().any());
    }
    EXPECT_EQ(room(8800).title, title);
    EXPECT_EQ(room(8800).description, description);
}

TEST_F(RoomEditorTest, SelectingARoomShowsItsTextsAndStoresNothing) {
    ws.world().select_slot(ws.world().find_room(8801));
    QApplication::processEvents();
    EXPECT_EQ(window->title_box()->text(), QString::fromLatin1(room(8801).title.c_str()));
    EXPECT_EQ(to_area_text(window->description_box()->toPlainText()), room(8801).description.str());
    EXPECT_EQ(ws.undo_text(), "Undo");  // no step
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(RoomEditorTest, EditsOfAnotherRoomLeaveTheBoxesAlone) {
    window->title_box()->setCursorPosition(3);
    edit_room(ws, 8801, "Edit Title of Room 8801", [](Room& r) { r.title = "Elsewhere"; });
    EXPECT_EQ(window->title_box()->cursorPosition(), 3);  // not filled again
    edit_room(ws, 8800, "Edit Title of Room 8800", [](Room& r) { r.title = "Here"; });
    EXPECT_EQ(window->title_box()->text(), "Here");
}

TEST_F(RoomEditorTest, ATildeIsRefusedAndTheBoxKeepsItsText) {
    const std::pair<QString, QString> kRefused[] = {
        {"~", "A room text cannot hold \"~\"; it ends texts in the area files."},
        {QString(QChar(0x20AC)), "A room text can only hold Latin-1 characters."}};
    for (const auto& [typed, message] : kRefused)
        for (QWidget* box : {static_cast<QWidget*>(window->title_box()),
                             static_cast<QWidget*>(window->description_box()),
                             static_cast<QWidget*>(side_box())}) {
            std::string title = room(8800).title.str(), description = room(8800).description.str();
            box->setFocus();
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, Qt::NoModifier);
            EXPECT_EQ(window->status_box()->text(), message);
            EXPECT_EQ(room(8800).title, title);
            EXPECT_EQ(room(8800).description, description);
            EXPECT_TRUE(room(8800).side_text.empty());
            EXPECT_EQ(ws.undo_text(), "Undo");  // no step
        }
    EXPECT_EQ(window->title_box()->text(), QString::fromLatin1(room(8800).title.c_str()));
}

TEST_F(RoomEditorTest, EachBurstOfTypingIsUndoneAlone) {
    // A burst ends when its box loses the focus (here to the map), or when
    // Format is pressed; Ctrl+Z then takes back the last burst only.
    struct Case {
        const char* between;
        QWidget* box;
        std::function<void()> end_burst;
        std::function<std::string()> stored;
    };
    MapWidget* map = window->map();
    const QPoint empty_spot(5, 5);  // a click there selects no other room
    const Case cases[] = {
        {"a click on the map", window->title_box(),
         [&] { QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, empty_spot); },
         [&] { return room(8800).title.str(); }},
        {"Format", window->description_box(), [&] { press("Format"); },
         [&] { return room(8800).description.str(); }},
    };
    for (const Case& c : cases) {
        ws.world().select_slot(ws.world().find_room(8800));
        QApplication::processEvents();
        auto* text = qobject_cast<QPlainTextEdit*>(c.box);
        auto type_at_end = [&](const char* typed) {
            QTest::mouseClick(text ? text->viewport() : c.box, Qt::LeftButton);
            QTest::keyClick(c.box, Qt::Key_End, text ? Qt::ControlModifier : Qt::NoModifier);
            QTest::keyClicks(c.box, typed);
        };
        type_at_end("A");
        c.end_burst();
        ws.world().select_slot(ws.world().find_room(8800));
        QApplication::processEvents();
        const std::string between = c.stored();
        type_at_end("B");
        ASSERT_NE(c.stored(), between) << c.between;
        QTest::keyClick(c.box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(c.stored(), between) << c.between << ": only the last burst is undone";
        EXPECT_NE(c.stored().find('A'), std::string::npos) << c.between;
    }
}

TEST_F(RoomEditorTest, ALongTypedLineIsShownWrappedOnceTheBoxIsLeft) {
    QPlainTextEdit* box = window->description_box();
    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    const QString typed = QString("word ").repeated(20).trimmed();  // 99 columns
    QTest::keyClicks(box, typed);
    EXPECT_TRUE(box->toPlainText().endsWith(typed));  // as typed while typing
    // A context menu or another window takes the focus for a while only:
    // the box, its caret and its selection stay as the builder left them.
    QTextCursor selected = box->textCursor();
    selected.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    box->setTextCursor(selected);
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box, &out);
        EXPECT_TRUE(box->toPlainText().endsWith(typed)) << reason;
        EXPECT_EQ(box->textCursor().selectedText(), "word") << reason;
    }
    QTest::mouseClick(window->map(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ws.world().select_slot(ws.world().find_room(8800));
    QApplication::processEvents();
    EXPECT_EQ(to_area_text(box->toPlainText()), room(8800).description.str());
    EXPECT_TRUE(box->toPlainText().endsWith("\nword word word word\n"));  // 79 columns, then 19
}

TEST_F(RoomEditorTest, FormatIsOneUndoableStep) {
    const std::string description = room(8800).description.str();
    press("Format");
    EXPECT_EQ(ws.undo_text(), "Undo Format Description of Room 8800");
    EXPECT_TRUE(room(8800).description.view().starts_with("   Two cart tracks"));
    EXPECT_EQ(to_area_text(window->description_box()->toPlainText()), room(8800).description.str());
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room(8800).description, description);
    EXPECT_EQ(to_area_text(window->description_box()->toPlainText()), description);
}

TEST_F(RoomEditorTest, AColourButtonPaintsOnClickAndColoursOnDoubleClick) {
    auto* red = window->findChild<QPushButton*>(QStringLiteral("colour &R"));
    auto* swatch = window->findChild<QLabel*>(QStringLiteral("colour swatch"));
    ASSERT_TRUE(red && swatch);
    EXPECT_EQ(swatch->styleSheet(), "");  // no paint colour yet
    QTest::mouseClick(red, Qt::LeftButton);
    EXPECT_EQ(swatch->styleSheet(), "background-color: rgb(255, 0, 0);");
    EXPECT_EQ(ws.undo_text(), "Undo");  // a click only chooses the colour
    QTest::mouseDClick(red, Qt::LeftButton);
    EXPECT_EQ(ws.undo_text(), "Undo Color Description of Room 8800");
    EXPECT_TRUE(room(8800).description.view().starts_with("&R   Two cart tracks"));
    EXPECT_EQ(to_area_text(window->description_box()->toPlainText()), room(8800).description.str());
}

TEST_F(RoomEditorTest, HideShrinksTheTextPaneToAStripAndBack) {
    QWidget* pane = window->pane("room text pane");
    auto* hide = pane->findChild<QCheckBox*>();
    ASSERT_TRUE(hide);
    int full = pane->height();
    QTest::mouseClick(hide, Qt::LeftButton);
    EXPECT_EQ(pane->height(), 30);
    EXPECT_EQ(pane->mapTo(window->centralWidget(), QPoint(0, pane->height() - 1)).y(),
              window->centralWidget()->height() - 1);
    EXPECT_FALSE(window->title_box()->isVisible());
    EXPECT_FALSE(side_box()->isVisible());
    QTest::mouseClick(hide, Qt::LeftButton);
    EXPECT_EQ(pane->height(), full);
    EXPECT_TRUE(window->description_box()->isVisible());
}

TEST_F(RoomEditorTest, ThePreviewDrawsTheColouredTextsAndClicksPaintThem) {
    MapWidget* map = window->map();
    edit_room(ws, 8800, "Colour", [](Room& r) { r.title = "&RThe Millbrook Crossroads"; });
    auto drawn = [&](int top, QRgb colour) {
        map->redraw(true);
        QApplication::processEvents();
        const QImage& image = map->back_buffer();
        int y0 = map->split_line() + top;
        for (int y = y0; y < y0 + 15; ++y)
            for (int x = 2; x < 200; ++x)
                if (image.pixel(x, y) == colour) return true;
        return false;
    };
    EXPECT_TRUE(drawn(2, qRgb(255, 0, 0)));       // the title in red
    EXPECT_FALSE(drawn(2, qRgb(192, 192, 192)));  // and nothing else
    EXPECT_TRUE(drawn(17, qRgb(192, 192, 192)));  // the description in grey

    auto click = [&](int column, Qt::MouseButton button) {
        QPoint at(2 + 8 * column + 3, map->split_line() + 8);
        QTest::mouseClick(map, button, Qt::NoModifier, at);
    };
    click(1, Qt::LeftButton);  // no paint colour chosen: nothing
    EXPECT_EQ(ws.undo_text(), "Undo Colour");
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("colour &G")), Qt::LeftButton);
    click(1, Qt::LeftButton);
    EXPECT_EQ(room(8800).title, "&RT&Ghe Millbrook Crossroads");
    EXPECT_EQ(window->title_box()->text(), "&RT&Ghe Millbrook Crossroads");
    EXPECT_EQ(ws.undo_text(), "Undo Paint Title of Room 8800");
    EXPECT_TRUE(drawn(2, qRgb(0, 255, 0)));
    click(5, Qt::RightButton);  // the nearest code before "M" goes
    EXPECT_EQ(room(8800).title, "&RThe Millbrook Crossroads");
}

}  // namespace
}  // namespace zs
