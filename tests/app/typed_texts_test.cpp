// Texts the builder did not touch stay as they are, through real key and
// mouse events on the imported stock world: an appended sentence leaves the
// other lines of a description (and of an extra description) byte for byte,
// and touching every text box of every room, object and mobile saves the
// same bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <map>

#include "app/main_window.h"
#include "app/map_widget.h"
#include "editors/proto_editor.h"
#include "editors/room_dialogs.h"
#include "files/area_files.h"
#include "files/check.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/prototype_edits.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::ScratchDir;

// The stock world's files of the zones (all of them when none is named),
// converted to the current layouts and saved into `dir`.
void import_stock(const ScratchDir& dir, const std::vector<std::string>& zones = {}) {
    test::FakeUi ui;
    ui.always_yes();
    Workspace stock(ui);
    for (const char* kind : {"wld", "obj", "mob", "zon"}) {
        for (const auto& path : test::corpus_files(kind)) {
            const bool wanted = zones.empty() || std::find(zones.begin(), zones.end(),
                                                           path.stem().string()) != zones.end();
            if (wanted) {
                ASSERT_TRUE(load_area_file(stock, path.string())) << path;
            }
        }
    }
    stock.set_area_dir(dir.path());
    ASSERT_TRUE(save_everything(stock));
}

std::map<std::string, std::string> area_files(const ScratchDir& dir) {
    std::map<std::string, std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().extension() != ".txt")
            out[entry.path().filename().string()] = test::read_bytes(entry.path());
    return out;
}

class TypedTextsTest : public ::testing::Test {
protected:
    void open(const std::vector<std::string>& zones) {
        import_stock(dir, zones);
        before = area_files(dir);
        ws.set_area_dir(dir.path());
        window = std::make_unique<MainWindow>(ws);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // Zones without some kinds would say so in boxes.
        UiPort& boxes = ws.ui();
        ws.set_ui(quiet);
        for (int zone : zones_in_area_dir(ws))
            load_all(ws, zone);
        ws.set_ui(boxes);
        QApplication::processEvents();
    }
    void select_room(int vnum) {
        window->session().select_room(ws, ws.world().find_room(vnum));
        QApplication::processEvents();
    }
    // The caret after the last character of the box's last line that holds
    // any, as a click there puts it.
    static void caret_after_text(QPlainTextEdit* box) {
        QTextCursor c = box->textCursor();
        c.movePosition(QTextCursor::End);
        while (c.block().text().isEmpty() && c.block().previous().isValid())
            c.movePosition(QTextCursor::PreviousCharacter);
        box->setTextCursor(c);
    }
    // Ctrl+S on the map, the window active (a dialog may have closed).
    void save_current() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->map()->setFocus();
        QTest::keyClick(window->map(), Qt::Key_S, Qt::ControlModifier);
    }
    // The saved file is the one before with the first `old` after `anchor`
    // replaced by `now`.
    void expect_only_change(const std::string& file, const std::string& anchor,
                            const std::string& old, const std::string& now) {
        std::string expected = before.at(file);
        std::size_t at = expected.find(old, expected.find(anchor));
        ASSERT_NE(at, std::string::npos) << old;
        expected.replace(at, old.size(), now);
        EXPECT_EQ(dir.read(file), expected);
    }

    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::map<std::string, std::string> before;
    std::unique_ptr<MainWindow> window;
};

TEST_F(TypedTextsTest, ASentenceAppendedToRoom3001KeepsItsTwoParagraphs) {
    ZS_REQUIRE_CORPUS();
    open({"30"});
    select_room(3001);
    QPlainTextEdit* box = window->description_box();
    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    caret_after_text(box);
    QTest::keyClicks(box, " Enjoy the view.");
    save_current();
    expect_only_change("30.wld", "#3001", "alcove to your east.",
                       "alcove to your east. Enjoy the view.");
}

TEST_F(TypedTextsTest, EnjoyAddedToTheSignOfRoom3007KeepsItsPriceTable) {
    ZS_REQUIRE_CORPUS();
    open({"30"});
    {
        ExtraDescsDialog dialog(ws, 3007, window.get());
        dialog.show();
        ASSERT_EQ(dialog.keywords_box()->text(), "sign");
        QTest::mouseClick(dialog.text_box()->viewport(), Qt::LeftButton);
        caret_after_text(dialog.text_box());
        QTest::keyClicks(dialog.text_box(), " Enjoy!");
        dialog.accept();
    }
    select_room(3007);
    save_current();
    expect_only_change("30.wld", "#3007", "the price of each.", "the price of each. Enjoy!");
}

TEST_F(TypedTextsTest, TouchingEveryTextBoxOfTheStockWorldSavesTheSameBytes) {
    ZS_REQUIRE_CORPUS();
    open({});
    // A touch: a click into the box, a character typed at its end and taken
    // back with Backspace (each keystroke is stored).
    auto touch = [](QWidget* box) {
        auto* text = qobject_cast<QPlainTextEdit*>(box);
        QTest::mouseClick(text ? text->viewport() : box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_End, text ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClick(box, Qt::Key_X);
        QTest::keyClick(box, Qt::Key_Backspace);
    };
    int touched = 0;
    auto* side = window->findChild<QPlainTextEdit*>(QStringLiteral("side text box"));
    for (int s = 0; s < ws.world().count(); ++s) {
        window->session().select_room(ws, s);
        for (QWidget* box :
             {static_cast<QWidget*>(window->title_box()),
              static_cast<QWidget*>(window->description_box()), static_cast<QWidget*>(side)})
            touch(box);
        ++touched;
    }
    for (EditorKind editor : {EditorKind::Object, EditorKind::Mobile}) {
        ws.switch_editor(editor);
        QApplication::processEvents();
        auto& pane = static_cast<ProtoEditor&>(window->editor_pane(editor));
        const TableKind table = table_of(editor);
        std::vector<int> vnums;
        if (table == TableKind::Object)
            for (int s = 0; s < ws.objects().count(); ++s)
                vnums.push_back(ws.objects().record(s).vnum);
        else
            for (int s = 0; s < ws.mobiles().count(); ++s)
                vnums.push_back(ws.mobiles().record(s).vnum);
        for (int vnum : vnums) {
            ASSERT_TRUE(select_proto(ws, table, vnum));
            for (ProtoField f :
                 {ProtoField::Keywords, ProtoField::ShortDescription, ProtoField::LongDescription})
                touch(pane.line_field(f));
            touch(pane.look_field());
            ++touched;
        }
    }
    EXPECT_GT(touched, 3000);
    EXPECT_TRUE(ws.modified().any());  // the keystrokes were stored
    ASSERT_TRUE(save_all(ws));
    const auto after = area_files(dir);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before)
        EXPECT_TRUE(after.at(name) == bytes) << name << " changed";
}

}  // namespace
}  // namespace zs
