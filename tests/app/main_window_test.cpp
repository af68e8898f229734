// The editor window driven through real widget events on the offscreen
// platform: the shell's panes and statuses, the keyboard filter, the side
// panel, right-click room creation, Undo and Redo, and the question before
// unsaved work is lost.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <tuple>

#include "app/demo_window.h"
#include "app/dialogs.h"
#include "app/export_map.h"
#include "app/main_window.h"
#include "app/map_widget.h"
#include "editors/properties_pane.h"
#include "editors/proto_editor.h"
#include "files/area_files.h"
#include "files/file_wld.h"
#include "support/test_files.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {
namespace {

using test::answer_modal;

using test::ScratchDir;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.set_area_dir(dir.path());
        window = std::make_unique<MainWindow>(ws);
        window->show();
        // Shortcuts reach the active window only.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }
    // Loads the demo area: 8800 is selected, its box at (301, 151) on the map.
    void load_demo() {
        ASSERT_TRUE(load_area_file(ws, std::string(ZS_SOURCE_DIR) + "/demo/88.wld"));
        QApplication::processEvents();
    }
    const Room& room(int vnum) { return ws.world().room(ws.world().find_room(vnum)); }
    // A key pressed and released with these modifiers held, without the
    // modifier keys' own events (QTest::keyClick sends those too).
    static void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods), release(QEvent::KeyRelease, k, mods);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
    // The Edit menu's items, in order.
    QList<QAction*> edit_items() {
        for (QAction* a : window->menuBar()->actions())
            if (a->text() == "&Edit") return a->menu()->actions();
        ADD_FAILURE() << "no Edit menu";
        return {};
    }
    static void click_button(QWidget* dialog, const QString& caption) {
        for (auto* b : dialog->findChildren<QAbstractButton*>())
            if (b->text() == caption) return QTest::mouseClick(b, Qt::LeftButton);
        ADD_FAILURE() << "no button " << caption.toStdString();
    }
    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartFinishesAChangeThatWasCutOffAndSaysSo) {
    // A Save All killed once its journal was in place.
    std::filesystem::copy(test::test_data("journal/committed"), dir.path(),
                          std::filesystem::copy_options::recursive);
    window->start("");
    EXPECT_EQ(window->status_box()->text().toStdString(),
              "Finished a change that was cut off in " + dir.path().string() +
                  ": 2 files put in place and 1 removed.");
    EXPECT_EQ(dir.read("30.wld"), "new 30\r\n");
    EXPECT_EQ(dir.read("31.wld"), "new 31\r\n");
    EXPECT_FALSE(dir.exists("29.zon") || dir.exists("zonesmith.journal"));
}

TEST_F(MainWindowTest, TheShellHasItsMenuPanesAndEditorSwitching) {
    EXPECT_EQ(window->windowTitle().toStdString(),
              dir.path().string() + ": no zone loaded[*] - Zonesmith");
    EXPECT_EQ(window->size(), QSize(900, 700));
    for (const char* caption : {"&Save Current", "Save &All", "Load &Wld...  ", "Save &Options",
                                "E&xit", "Unload &All", "&Options...", "&How to Create Exits..."})
        EXPECT_NE(window->action(caption), nullptr) << caption;
    // The menus show the keys the items really have, as the platform shows
    // shortcuts, and no other.
    const std::pair<const char*, const char*> keys[] = {
        {"&Save Current", "Ctrl+S"},
        {"Save &All", "Ctrl+Shift+S"},
        {"&Load All...", "Ctrl+L"},
        {"Reload Las&t Files", "Ctrl+T"},
        {"Load &Current...", ""},
        {"&Download Area Files...", "Ctrl+D"},
        {"&Options...", "Ctrl+O"},
        {"&Delete Selected Room", "Del"},
        {"&Copy Sector, Climate and Flags", "Ctrl+C"},
        {"Copy &Title Color", "Ctrl+R"},
        {"Copy Room C&olor", "Ctrl+G"},
        {"&Paste to Selected Room", "Ctrl+V"},
        {"Undo", "Ctrl+Z"},
        {"Redo", "Ctrl+Y"}};
    for (auto [caption, key] : keys) {
        QAction* a = window->action(caption);
        ASSERT_NE(a, nullptr) << caption;
        EXPECT_EQ(a->shortcut().toString(), key) << caption;
    }
    EXPECT_TRUE(window->action("&Update...")->isEnabled());
    EXPECT_TRUE(window->action("&Download Area Files...")->isEnabled());
    EXPECT_TRUE(window->action("&Delete Selected Room")->isEnabled());

    EXPECT_TRUE(window->pane("room pane")->isVisible());
    EXPECT_FALSE(window->pane("object selection pane")->isVisible());
    window->action("&Object Editor...")->trigger();
    EXPECT_EQ(window->status_box()->text(), "Object Editor selected.");
    EXPECT_TRUE(window->pane("object selection pane")->isVisible());
    EXPECT_TRUE(window->pane("object text pane")->isVisible());
    EXPECT_FALSE(window->pane("room pane")->isVisible());
    EXPECT_TRUE(window->pane("side panel")->isVisible());
}

TEST_F(MainWindowTest, EveryPaneGetsItsShareOfAResizedWindow) {
    load_demo();
    QWidget* room_pane = window->pane("room pane");
    QWidget* right_pane = window->pane("object selection pane");
    struct Shares {
        int map_height, description_height, right_width;
    };
    auto shares = [&] {
        return Shares{window->map()->height(), window->description_box()->height(),
                      room_pane->width()};
    };
    const Shares at_start = shares();
    struct Case {
        QSize size;
        bool grown;
    };
    for (const Case& c : {Case{QSize(800, 600), false}, Case{QSize(1600, 1000), true}}) {
        window->resize(c.size);
        QApplication::processEvents();
        const Shares now = shares();
        const QString at = QStringLiteral("%1x%2").arg(c.size.width()).arg(c.size.height());
        // No row of the room pane is squeezed: a low window scrolls it.
        EXPECT_GE(room_pane->height(), room_pane->minimumSizeHint().height()) << at.toStdString();
        EXPECT_EQ(now.map_height > at_start.map_height, c.grown) << at.toStdString();
        EXPECT_EQ(now.description_height > at_start.description_height, c.grown)
            << at.toStdString();
        EXPECT_EQ(now.right_width > at_start.right_width, c.grown) << at.toStdString();
    }
    // The editors share one right-hand column: the object tree is as wide.
    window->workspace().switch_editor(EditorKind::Object);
    QApplication::processEvents();
    EXPECT_EQ(right_pane->width(), room_pane->width());
}

// Every part of a shown pane can be brought into view: the pane is not
// squeezed below its least size, and the scroll area holding it (if any)
// scrolls over all of it.
::testing::AssertionResult reachable(QWidget* pane) {
    const QString name = pane->objectName();
    if (!pane->isVisible()) return ::testing::AssertionFailure() << name.toStdString() << " hidden";
    const QSize least = pane->minimumSizeHint();
    if (pane->width() < least.width() || pane->height() < least.height())
        return ::testing::AssertionFailure()
               << name.toStdString() << " squeezed to " << pane->width() << "x" << pane->height();
    QScrollArea* area = nullptr;
    for (QWidget* w = pane->parentWidget(); w && !area; w = w->parentWidget())
        area = qobject_cast<QScrollArea*>(w);
    QWidget* within = area ? area->widget() : pane->window();
    const QRect place(pane->mapTo(within, QPoint()), pane->size());
    QRect reach = within->rect();
    if (area)
        reach = QRect(0, 0, area->viewport()->width() + area->horizontalScrollBar()->maximum(),
                      area->viewport()->height() + area->verticalScrollBar()->maximum());
    if (!reach.contains(place))
        return ::testing::AssertionFailure() << name.toStdString() << " out of reach";
    return ::testing::AssertionSuccess();
}

TEST_F(MainWindowTest, EveryEditorFitsTheWindowWithoutWideningIt) {
    load_demo();
    const std::pair<EditorKind, std::pair<const char*, const char*>> editors[] = {
        {EditorKind::Room, {"room pane", "room text pane"}},
        {EditorKind::Zone, {"zone selection pane", "zone editor pane"}},
        {EditorKind::Object, {"object selection pane", "object text pane"}},
        {EditorKind::Mobile, {"mobile selection pane", "mobile text pane"}}};
    for (QSize size : {QSize(800, 600), QSize(1600, 1000)}) {
        window->resize(size);
        QApplication::processEvents();
        for (const auto& [editor, panes] : editors) {
            window->workspace().switch_editor(editor);
            QApplication::processEvents();
            const std::string at = QStringLiteral("%1x%2 editor %3")
                                       .arg(size.width())
                                       .arg(size.height())
                                       .arg(static_cast<int>(editor))
                                       .toStdString();
            // The offscreen platform keeps a window's size whatever its
            // least size is; a desktop would widen the window to it.
            EXPECT_EQ(window->size(), size) << at;
            EXPECT_LE(window->minimumSizeHint().width(), size.width()) << at;
            EXPECT_TRUE(reachable(window->pane(panes.first))) << at;
            EXPECT_TRUE(reachable(window->pane(panes.second))) << at;
            if (editor == EditorKind::Object || editor == EditorKind::Mobile) {
                // The properties beside the text pane, squeezed by neither.
                auto& protos = static_cast<ProtoEditor&>(window->editor_pane(editor));
                EXPECT_TRUE(reachable(protos.properties())) << at;
                // Below the texts in the narrow window, beside them in the wide.
                auto* split = protos.bottom_pane()->findChild<QSplitter*>("text and properties");
                ASSERT_NE(split, nullptr);
                EXPECT_EQ(split->orientation(), size.width() == 800 ? Qt::Vertical : Qt::Horizontal)
                    << at;
            }
        }
    }
}

TEST_F(MainWindowTest, EnterInTheVnumBoxSelectsAndArrowsWalkTheMap) {
    load_demo();
    QLineEdit* vnum = window->vnum_box();
    vnum->setFocus();
    vnum->setText("8803");
    QTest::keyClick(vnum, Qt::Key_Return);
    ASSERT_NE(ws.world().selected_room(), nullptr);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8803);
    EXPECT_EQ(window->status_box()->text(), "Room 8803 selected.");

    // The map has the focus back: the next arrow walks.
    ASSERT_EQ(QApplication::focusWidget(), window->map());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);  // north of 8803 is 8800
    EXPECT_EQ(ws.world().selected_room()->vnum, 8800);
    EXPECT_EQ(vnum->text(), "8800");
    // An arrow typed into an edit box moves the caret, not the selection.
    vnum->setFocus();
    QTest::keyClick(vnum, Qt::Key_Right);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8800);

    // Delete on the map removes the room and every exit into it; the first
    // room its exits reach (north: 8805) takes the selection.
    window->map()->setFocus();
    QTest::keyClick(window->map(), Qt::Key_Delete);
    EXPECT_EQ(ws.world().find_room(8800), -1);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8805);
    EXPECT_FALSE(ws.world().room(ws.world().find_room(8801)).exits[kWest].has_value());
}

TEST_F(MainWindowTest, TextBoxesKeepTheirEditingKeysAndTheShortcutsActElsewhere) {
    load_demo();
    ASSERT_TRUE(new_zedit_from_box(ws, "88"));
    ws.modified().clear_all();
    window->action("&Zone Editor...")->trigger();
    auto* zone_name = window->findChild<QLineEdit*>(QStringLiteral("zone name box"));
    ASSERT_NE(zone_name, nullptr);
    ASSERT_TRUE(zone_name->isEnabled());
    auto saved = [&] { return dir.exists("88.wld") || dir.exists("88.zon"); };
    // Ctrl+A selects all in every kind of text box, and typing replaces it;
    // nothing is saved, nothing else changes.
    QTest::mouseClick(zone_name, Qt::LeftButton);
    QTest::keyClick(zone_name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(zone_name, "Q");
    EXPECT_EQ(zone_name->text(), "Q");
    EXPECT_EQ(ws.zones().selected_zedit()->name, "Q");
    EXPECT_FALSE(saved());
    window->action("&Room Editor...")->trigger();
    struct Box {
        const char* what;
        QWidget* widget;
        std::function<QString()> text;
    };
    for (const Box& b : {
             Box{"title", window->title_box(), [&] { return window->title_box()->text(); }},
             Box{"description", window->description_box(),
                 [&] { return window->description_box()->toPlainText(); }},
             Box{"vnum", window->vnum_box(), [&] { return window->vnum_box()->text(); }},
         }) {
        QTest::mouseClick(b.widget, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), b.widget) << b.what;
        QTest::keyClick(b.widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(b.widget, "Q");
        EXPECT_EQ(b.text(), "Q") << b.what;
        EXPECT_FALSE(saved()) << b.what;
        EXPECT_NE(window->status_box()->text(), "All data saved to file.") << b.what;
    }
    EXPECT_EQ(room(8800).title, "Q");
    EXPECT_EQ(room(8800).description, "Q\r\n");

    // Ctrl+C and Ctrl+V copy and paste the box's text, not room attributes.
    QLineEdit* title = window->title_box();
    QTest::mouseClick(title, Qt::LeftButton);
    title->setText("Mill");
    QTest::keyClick(title, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Mill");
    QTest::keyClick(title, Qt::Key_End);
    QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(title->text(), "MillMill");
    QTest::keyClick(title, Qt::Key_X, Qt::ControlModifier);  // nothing selected: nothing cut
    EXPECT_EQ(title->text(), "MillMill");
    EXPECT_FALSE(saved());
    // Nor do the colour keys of the attribute clipboard act from a box.
    const QString status = window->status_box()->text();
    for (Qt::Key k : {Qt::Key_R, Qt::Key_G})
        QTest::keyClick(title, k, Qt::ControlModifier);
    EXPECT_EQ(window->status_box()->text(), status);

    // Ctrl+S saves the current editor's kind from inside a box; the box never
    // sees the key.
    QTest::keyClick(title, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(saved());
    EXPECT_EQ(title->text(), "MillMill");
    std::filesystem::remove(dir.path() / "88.wld");
    // Ctrl+Shift+S saves all wherever the focus is.
    QTest::keyClick(title, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(dir.exists("88.wld") && dir.exists("88.zon"));
    EXPECT_EQ(window->status_box()->text(), "All data saved to file.");
    for (const char* f : {"88.wld", "88.zon", "88.wld_zs"})
        std::filesystem::remove(dir.path() / f);

    // On the map the keys are the program's: Ctrl+C copies the room's
    // attributes, Ctrl+V pastes them, Ctrl+A saves all.
    window->map()->setFocus();
    QTest::keyClick(window->map(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(window->status_box()->text().contains("copied"))
        << window->status_box()->text().toStdString();
    QTest::keyClick(window->map(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->status_box()->text(), "Sector, climate, flags pasted to 8800.");
    QTest::keyClick(window->map(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(saved());
    EXPECT_EQ(window->status_box()->text(), "All data saved to file.");
}

TEST_F(MainWindowTest, AShortcutUsesUpCtrlForTheNextRightClick) {
    load_demo();
    window->map()->setFocus();
    QTest::keyPress(window->map(), Qt::Key_Control);
    EXPECT_TRUE(window->map()->ctrl);
    QTest::keyClick(window->map(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(window->map()->ctrl);  // Ctrl must be pressed again to mean "down"
    QTest::keyRelease(window->map(), Qt::Key_Control);
}

TEST_F(MainWindowTest, TabMovesBetweenTheRoomTextBoxes) {
    window->title_box()->setFocus();
    QTest::keyClick(window->title_box(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->description_box());
    QTest::keyClick(window->description_box(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->title_box());
    EXPECT_EQ(window->description_box()->toPlainText(), "");  // no tab typed
}

TEST_F(MainWindowTest, UndoAndRedoItemsNameTheirSteps) {
    QList<QAction*> items = edit_items();
    ASSERT_GE(items.size(), 4);
    QAction* undo = items[0];
    QAction* redo = items[1];
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "&New Room...");
    using State = std::tuple<QString, bool, QString, bool>;
    auto state = [&] {
        return State(undo->text(), undo->isEnabled(), redo->text(), redo->isEnabled());
    };
    EXPECT_EQ(state(), State("Undo", false, "Redo", false));

    {
        // The right-click's edits as one step (steps opened inside join it).
        Transaction tx(ws, "Create Room 100");
        QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
        tx.commit();
    }
    EXPECT_EQ(state(), State("Undo Create Room 100", true, "Redo", false));

    undo->trigger();
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_EQ(window->status_box()->text(), "Undone: Create Room 100.");
    EXPECT_EQ(state(), State("Undo", false, "Redo Create Room 100", true));

    redo->trigger();
    ASSERT_NE(ws.world().selected_room(), nullptr);
    EXPECT_EQ(ws.world().selected_room()->vnum, 100);
    EXPECT_EQ(window->vnum_box()->text(), "100");
    EXPECT_EQ(window->status_box()->text(), "Redone: Create Room 100.");
    EXPECT_EQ(state(), State("Undo Create Room 100", true, "Redo", false));
    // The room is back, drawn at the centre of the reference rectangle.
    QApplication::processEvents();
    EXPECT_EQ(window->map()->back_buffer().pixelColor(301 + 2, 151 + 2), QColor(192, 192, 192));
}

TEST_F(MainWindowTest, DeleteThenCtrlZBringsTheRoomBackSelected) {
    load_demo();
    window->map()->setFocus();
    QTest::keyClick(window->map(), Qt::Key_Delete);
    ASSERT_EQ(ws.world().find_room(8800), -1);
    ASSERT_EQ(ws.world().selected_room()->vnum, 8805);
    window->session().view().floor_offset = 2;

    QTest::keyClick(window->map(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NE(ws.world().find_room(8800), -1);
    EXPECT_EQ(ws.world().selected_room()->vnum, 8800);
    EXPECT_TRUE(room(8801).exits[kWest].has_value());  // the exits into it too
    // Shown as a click shows it: on its own floor, its vnum in the box.
    EXPECT_EQ(window->session().view().floor_offset, 0);
    EXPECT_EQ(window->vnum_box()->text(), "8800");
    EXPECT_EQ(window->status_box()->text(), "Undone: Delete Room 8800.");
}

TEST_F(MainWindowTest, UndoKeysInATextBoxStepTheWorkspaceNotTheBox) {
    load_demo();
    window->action("&Delete Selected Room")->trigger();
    ASSERT_EQ(ws.world().find_room(8800), -1);
    auto loaded = [&] { return ws.world().find_room(8800) >= 0; };
    // The typing in the box is the workspace's last step; the delete is the
    // one before it.
    for (QWidget* box : {static_cast<QWidget*>(window->title_box()),
                         static_cast<QWidget*>(window->description_box())}) {
        box->setFocus();
        QTest::keyClicks(box, "abc");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(loaded());
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_FALSE(loaded());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_FALSE(loaded());
        EXPECT_TRUE(ws.redo_text().starts_with("Redo Edit ")) << ws.redo_text();
    }
}

TEST_F(MainWindowTest, PlusAndMinusStepThroughSparseVnums) {
    TableLoad(ws).world().append(make_new_room(100, 1));
    TableLoad(ws).world().append(make_new_room(2500, 25));
    TableLoad(ws).world().append(make_new_room(900, 9));
    ws.world().select_slot(0);
    auto click = [&](const char* caption) {
        for (auto* b : window->findChildren<QPushButton*>())
            if (b->text() == caption) QTest::mouseClick(b, Qt::LeftButton);
    };
    click("+");
    EXPECT_EQ(ws.world().selected_room()->vnum, 900);
    click("+");
    EXPECT_EQ(ws.world().selected_room()->vnum, 2500);
    click("-");
    EXPECT_EQ(ws.world().selected_room()->vnum, 900);
}

TEST_F(MainWindowTest, RightClickOnAnEmptyMapCreatesRoom100) {
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    ASSERT_NE(ws.world().selected_room(), nullptr);
    EXPECT_EQ(ws.world().selected_room()->vnum, 100);
    EXPECT_EQ(window->status_box()->text(), "New room 100 created.");
    EXPECT_TRUE(ws.modified().is_set(TableKind::World));
    // The new room is drawn at the centre of the reference rectangle.
    QApplication::processEvents();
    const QImage& image = window->map()->back_buffer();
    EXPECT_EQ(image.pixelColor(301 + 2, 151 + 2), QColor(192, 192, 192));  // box at (301, 151)
    EXPECT_EQ(image.pixelColor(301, 151), QColor(128, 128, 128));          // its frame
}

TEST_F(MainWindowTest, ShiftChoosesUpForOneRightClickOnly) {
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier,
                      QPoint(100, 100));  // room 100
    QTest::keyPress(window->map(), Qt::Key_Shift);
    QPoint selected(301 + 9, 151 + 9);
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::ShiftModifier, selected);
    ASSERT_EQ(ws.world().count(), 2);
    EXPECT_EQ(ws.world().selected_room()->vnum, 101);
    EXPECT_EQ(window->status_box()->text(), "Room 101 created.");
    // Shift is still down, but the click used it: the next one makes nothing.
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::ShiftModifier, selected);
    EXPECT_EQ(ws.world().count(), 2);
    QTest::keyRelease(window->map(), Qt::Key_Shift);
}

TEST_F(MainWindowTest, ClosingWithUnsavedWorkAsksFirst) {
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    ASSERT_TRUE(ws.modified().any());
    // The real question, centred over the window once it has its size.
    QRect question;
    answer_modal([&](QWidget* box) {
        question = box->frameGeometry();
        // Its buttons have mnemonics: Alt+S, Alt+D, Alt+C.
        QStringList keys;
        for (auto* b : box->findChildren<QAbstractButton*>())
            keys << QKeySequence::mnemonic(b->text()).toString();
        keys.sort();
        EXPECT_EQ(keys, QStringList({"Alt+C", "Alt+D", "Alt+S"}));
        click_button(box, "&Cancel");
    });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(question.isValid());
    QPoint off = question.center() - window->frameGeometry().center();
    EXPECT_LE(off.manhattanLength(), 1) << off.x() << "," << off.y();

    window->set_unsaved_question([&](const QString&) { return MainWindow::UnsavedChoice::Save; });
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dir.exists("1.wld"));
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(MainWindowTest, UnloadingAsksAboutUnsavedWorkOfWhatGoes) {
    QStringList asked;
    auto answer = [&](MainWindow::UnsavedChoice choice) {
        window->set_unsaved_question([&asked, choice](const QString& doing) {
            asked << doing;
            return choice;
        });
    };
    auto unload_all_worlds = [&] { window->action("Unload All &Wlds")->trigger(); };
    auto unload_all = [&] { window->action("Unload &All")->trigger(); };
    auto make_room = [&] {
        QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    };

    make_room();
    answer(MainWindow::UnsavedChoice::Cancel);
    unload_all_worlds();
    unload_all();
    EXPECT_EQ(asked, QStringList({"unloading", "unloading"}));
    EXPECT_EQ(ws.world().count(), 1);  // cancelled: nothing unloaded

    answer(MainWindow::UnsavedChoice::Discard);
    unload_all();
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_FALSE(dir.exists("1.wld"));

    make_room();
    answer(MainWindow::UnsavedChoice::Save);
    unload_all_worlds();
    EXPECT_EQ(ws.world().count(), 0);
    EXPECT_TRUE(dir.exists("1.wld"));

    // Unsaved objects are not lost by unloading the rooms: no question. (The
    // zone's saved file goes first, or the new room would offer to load it.)
    asked.clear();
    std::filesystem::remove(dir.path() / "1.wld");
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    ws.modified().clear_all();
    ws.modified().mark(TableKind::Object, 1);
    unload_all_worlds();
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(ws.world().count(), 0);
}

TEST_F(MainWindowTest, LoadFullZoneRefusesABoxWithoutAZoneNumber) {
    ws.options().last_zone = 88;
    // A load that went ahead would complain of missing files in message boxes.
    int complaints = 0;
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++complaints;
            box->done(0);
        }
    });
    dismiss.start(5);
    for (const char* typed : {"", "abc", "-3"}) {
        bool asked = false;
        answer_modal([typed, &asked](QWidget* dialog) {
            asked = true;
            auto* box = static_cast<LoadZoneDialog*>(dialog)->zone_box();
            box->setText(typed);
            click_button(dialog, "OK");
        });
        // The window is active again once the last dialog has gone (the
        // offscreen platform has no window manager to give it back).
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->map()->setFocus();
        QTest::keyClick(window->map(), Qt::Key_L, Qt::ControlModifier);
        EXPECT_TRUE(asked) << typed;
        EXPECT_EQ(ws.options().last_zone, 88) << typed;
        EXPECT_EQ(ws.world().count(), 0) << typed;
        EXPECT_TRUE(window->status_box()->text().startsWith("Load Full Zone: ")) << typed;
    }
    EXPECT_EQ(complaints, 0);
}

TEST_F(MainWindowTest, TheStatusBoxShowsTheStartOfALongText) {
    load_demo();
    // 8805 is 8800's north neighbour: the link is refused.
    QTest::mouseClick(window->map(), Qt::RightButton, Qt::NoModifier, QPoint(301 + 9, 131 + 9));
    QLineEdit* status = window->status_box();
    ASSERT_EQ(status->text(), "Error: room 8800 already has an exit to the north.");
    ASSERT_GT(status->fontMetrics().horizontalAdvance(status->text()), status->width());
    EXPECT_EQ(status->cursorPosition(), 0);
}

TEST_F(MainWindowTest, ModifiersReleasedOutOfTheMapsSightAreForgotten) {
    load_demo();
    QWidget* map = window->map();
    const QPoint on_8800(301 + 9, 151 + 9);
    const int rooms = ws.world().count(), colour = room(8800).room_colour;
    auto nothing_happens_on_plain_clicks = [&] {
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, on_8800);
        QTest::mouseClick(map, Qt::RightButton, Qt::NoModifier, on_8800);
        EXPECT_EQ(room(8800).room_colour, colour);  // no recolouring
        EXPECT_EQ(ws.world().count(), rooms);       // no room up or down
    };

    // Shift goes down on the map and comes up inside the File menu.
    map->setFocus();
    QTest::keyPress(map, Qt::Key_Shift);
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      bar->actionGeometry(bar->actions().first()).center());
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyRelease(menu, Qt::Key_Shift);
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    nothing_happens_on_plain_clicks();

    // Ctrl goes down on the map; the focus leaves and comes back, the key
    // having come up elsewhere.
    map->setFocus();
    QTest::keyPress(map, Qt::Key_Control);
    window->vnum_box()->setFocus();
    map->setFocus();
    nothing_happens_on_plain_clicks();
    QString before = window->status_box()->text();
    key(map, Qt::Key_V);
    EXPECT_EQ(window->status_box()->text(), before);  // no paste
}

TEST_F(MainWindowTest, EachArrowKeyRedrawsTheMapOnce) {
    load_demo();
    window->map()->setFocus();
    QTest::qWait(50);
    int before = window->map()->redraw_count();
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        QTest::keyClick(window->map(), k);
        QTest::qWait(50);  // time for any paced redraw
    }
    EXPECT_EQ(ws.world().selected_room()->vnum, 8800);  // there and back
    EXPECT_EQ(window->map()->redraw_count() - before, 4);
}

TEST_F(MainWindowTest, InfiniteTickedThenCancelledLeavesTheLimitInfinite) {
    ws.options().traverse_limit = 5;
    OptionsDialog dialog(ws.options(), window.get());
    EXPECT_EQ(dialog.limit_box()->text(), "5");
    dialog.infinite_box()->setChecked(true);
    dialog.reject();
    EXPECT_EQ(ws.options().traverse_limit, -1);
    EXPECT_FALSE(dialog.limit_box()->isEnabled());
}

TEST_F(MainWindowTest, OnlyWholeWheelStepsChangeTheFloor) {
    load_demo();
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(50, 50), window->map()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->map(), &e);
    };
    wheel(60);
    EXPECT_EQ(window->session().view().floor_offset, 0);
    wheel(120);
    EXPECT_EQ(window->session().view().floor_offset, 1);
    wheel(-120);
    EXPECT_EQ(window->session().view().floor_offset, 0);
}

TEST_F(MainWindowTest, ZoomKeysAndCtrlWheelZoomTheMapAndPageKeysChangeTheFloor) {
    load_demo();
    window->map()->setFocus();
    const MapView& view = window->session().view();
    const int anchor_x = view.anchor_x, anchor_y = view.anchor_y;
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int zoom, floor;
    };
    for (Case c :
         {Case{Qt::Key_Equal, Qt::ControlModifier, 5, 0},
          Case{Qt::Key_Plus, Qt::ControlModifier, 6, 0},
          Case{Qt::Key_Minus, Qt::ControlModifier, 5, 0},
          Case{Qt::Key_PageUp, Qt::NoModifier, 5, 1}, Case{Qt::Key_PageDown, Qt::NoModifier, 5, 0},
          Case{Qt::Key_PageDown, Qt::NoModifier, 5, -1},
          Case{Qt::Key_0, Qt::ControlModifier, 4, -1}}) {
        QTest::keyClick(window->map(), c.key, c.mods);
        EXPECT_EQ(view.zoom, c.zoom) << QKeySequence(c.key | c.mods).toString().toStdString();
        EXPECT_EQ(view.floor_offset, c.floor);
    }
    // Back at the default size the selected room stands where it stood.
    EXPECT_EQ(std::pair(view.anchor_x, view.anchor_y), std::pair(anchor_x, anchor_y));

    // Ctrl with the wheel zooms in whole notches, however the wheel sends them.
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(50, 50), window->map()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(window->map(), &e);
    };
    wheel(60);
    EXPECT_EQ(view.zoom, 4);
    wheel(60);
    EXPECT_EQ(view.zoom, 5);
    wheel(-240);
    EXPECT_EQ(view.zoom, 3);
    EXPECT_EQ(view.floor_offset, -1);
}

}  // namespace
}  // namespace zs

namespace zs {
namespace {

TEST(ExportMap, WritesTheDemoMapWithoutAWindow) {
    test::ScratchDir out;
    std::string png = out.file("demo.png");
    std::string demo = std::string(ZS_SOURCE_DIR) + "/demo";
    std::vector<std::string> args = {"zonesmith", "--export-map", png, "--room",
                                     "8800",      "--dir",        demo};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    ASSERT_EQ(export_map_main(static_cast<int>(argv.size()), argv.data()), 0);
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    // On its floor, five columns (the woodland path 8810 and 8811 two west of
    // 8800, the mill 8802 two east) and five rows (8806 down to 8804): boxes
    // of 18 on a step of 20, with a margin of 10 all round.
    EXPECT_EQ(image.width(), 4 * 20 + 18 + 20);
    EXPECT_EQ(image.height(), 4 * 20 + 18 + 20);
    // Room 8800 has room colour 12 (green) and sits in the middle column.
    EXPECT_EQ(image.pixelColor(10 + 2 * 20 + 9, 10 + 2 * 20 + 2), QColor(0, 128, 0));

    std::vector<std::string> bad = {"zonesmith", "--export-map", png, "--room",
                                    "9999",      "--dir",        demo};
    std::vector<char*> bad_argv;
    for (auto& a : bad)
        bad_argv.push_back(a.data());
    EXPECT_EQ(export_map_main(static_cast<int>(bad_argv.size()), bad_argv.data()), 1);
}

TEST(ExportMap, ScaleTakesQuartersFromHalfToFourTimesAndDoublesTheImage) {
    struct Case {
        const char* text;
        std::optional<int> zoom;
    };
    for (Case c : {Case{"1", 4}, Case{"2", 8}, Case{"0.5", 2}, Case{"0.75", 3}, Case{"1.5", 6},
                   Case{"2.50", 10}, Case{"4", 16}, Case{"4.25", {}}, Case{"0.25", {}},
                   Case{"1.1", {}}, Case{"1.", {}}, Case{".5", {}}, Case{"-1", {}}, Case{"abc", {}},
                   Case{"", {}}, Case{"1.255", {}}}) {
        EXPECT_EQ(zoom_of_scale(c.text), c.zoom) << c.text;
    }

    test::ScratchDir out;
    const std::string demo = std::string(ZS_SOURCE_DIR) + "/demo";
    auto export_at = [&](const char* scale) {
        std::string png = out.file(std::string("demo") + scale + ".png");
        std::vector<std::string> args = {"zonesmith", "--export-map", png,     "--room", "8800",
                                         "--scale",   scale,          "--dir", demo};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        EXPECT_EQ(export_map_main(static_cast<int>(argv.size()), argv.data()), 0) << scale;
        return QImage(QString::fromStdString(png));
    };
    const QImage single = export_at("1");
    const QImage image = export_at("2");
    // Twice the size of the image at the default scale, margins included.
    EXPECT_EQ(image.size(), 2 * single.size());
    // 8800's green box, doubled: where its fill starts at 1x (inside a frame
    // of 2 pixels), the doubled image has a frame of 4 pixels, then the fill.
    QPoint fill(-1, -1);
    for (int y = 0; y < single.height() && fill.x() < 0; ++y)
        for (int x = 0; x < single.width(); ++x)
            if (single.pixelColor(x, y) == QColor(0, 128, 0)) {
                fill = {x, y};
                break;
            }
    ASSERT_GE(fill.x(), 2);
    const QPoint box = fill - QPoint(2, 2);
    EXPECT_EQ(image.pixelColor(2 * box.x() + 4, 2 * fill.y()), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(2 * box.x() + 3, 2 * fill.y()), QColor(128, 128, 128));
}

}  // namespace
}  // namespace zs
