// The object and mobile editors' panes driven by real events on the
// offscreen platform, over objects and mobiles of the demo zone: typing
// stores and relabels the tree, the tree and New select and create, Tab
// moves between the object fields, and the preview paints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/demo_window.h"
#include "app/map_widget.h"
#include "appkit/qt_ui.h"
#include "appkit/text_tools.h"
#include "editors/mobile_editor.h"
#include "editors/proto_editor.h"

namespace zs {
namespace {

using test::answer_modal;

constexpr EditorKind kEditors[] = {EditorKind::Object, EditorKind::Mobile};

class ProtoEditorTest : public test::DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        for (int v : {8800, 8801}) {
            TableLoad(ws).objects().append(make_new_object(static_cast<Vnum>(v), 88));
            TableLoad(ws).mobiles().append(make_new_mobile(v, 88));
        }
        TableLoad(ws).objects().append(make_new_object(3001, 30));
    }
    ProtoEditor& editor(EditorKind kind) {
        ws.switch_editor(kind);
        QApplication::processEvents();
        return static_cast<ProtoEditor&>(window->editor_pane(kind));
    }
    static TableKind table(EditorKind kind) {
        return kind == EditorKind::Mobile ? TableKind::Mobile : TableKind::Object;
    }
    std::string stored(EditorKind kind, int vnum, ProtoField field) {
        const std::string* t = proto_text(ws, table(kind), vnum, field);
        return t ? *t : "(none)";
    }
    static QStringList labels(const QTreeWidget* tree) {
        QStringList out;
        for (int z = 0; z < tree->topLevelItemCount(); ++z) {
            out << tree->topLevelItem(z)->text(0);
            for (int i = 0; i < tree->topLevelItem(z)->childCount(); ++i)
                out << "  " + tree->topLevelItem(z)->child(i)->text(0);
        }
        return out;
    }
};

TEST_F(ProtoEditorTest, TypingTheShortDescriptionStoresItAndRelabelsTheItemAtOnce) {
    for (EditorKind kind : kEditors) {
        ProtoEditor& e = editor(kind);
        QLineEdit* field = e.line_field(ProtoField::ShortDescription);
        const std::string before = stored(kind, 8800, ProtoField::ShortDescription);
        field->setFocus();
        field->end(false);
        QTest::keyClicks(field, " &Rred");
        EXPECT_EQ(stored(kind, 8800, ProtoField::ShortDescription), before + " &Rred");
        // colour codes are left out of the tree unless the options say
        EXPECT_EQ(e.tree()->currentItem()->text(0),
                  QStringLiteral("8800 - %1 red").arg(QString::fromStdString(before)));
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);  // the whole burst
        EXPECT_EQ(stored(kind, 8800, ProtoField::ShortDescription), before);
        EXPECT_EQ(field->text(), QString::fromStdString(before));
        EXPECT_EQ(e.tree()->currentItem()->text(0),
                  QStringLiteral("8800 - %1").arg(QString::fromStdString(before)));
    }
}

TEST_F(ProtoEditorTest, AFieldRefusesATildeAndKeepsItsText) {
    ProtoEditor& e = editor(EditorKind::Mobile);
    for (QWidget* field : {static_cast<QWidget*>(e.line_field(ProtoField::LongDescription)),
                           static_cast<QWidget*>(e.look_field())}) {
        field->setFocus();
        QTest::keyClicks(field, "~");
        EXPECT_EQ(window->status_box()->text(),
                  "A mobile text cannot hold \"~\"; it ends texts in the area files.");
        EXPECT_EQ(ws.undo_text(), "Undo");
    }
    EXPECT_EQ(e.line_field(ProtoField::LongDescription)->text(), "An unfinished mob stands here.");
    EXPECT_EQ(stored(EditorKind::Mobile, 8800, ProtoField::LongDescription),
              "An unfinished mob stands here.\r\n");
}

TEST_F(ProtoEditorTest, TheTreeListsZonesAndOnlyRecordItemsSelect) {
    ProtoEditor& e = editor(EditorKind::Object);
    EXPECT_EQ(labels(e.tree()), QStringList({"Zone 88", "  8800 - an unfinished object",
                                             "  8801 - an unfinished object", "Zone 30",
                                             "  3001 - an unfinished object"}));
    e.tree()->setCurrentItem(e.tree()->topLevelItem(1));  // "Zone 30"
    EXPECT_EQ(current_proto(ws, TableKind::Object), 8800);
    e.tree()->setCurrentItem(e.tree()->topLevelItem(1)->child(0));
    EXPECT_EQ(current_proto(ws, TableKind::Object), 3001);
    EXPECT_EQ(window->status_box()->text(), "Object 3001 selected.");
    EXPECT_EQ(e.vnum_field()->text(), "3001");
    // "Select Obj" with a vnum that has no object
    e.vnum_field()->setText("8802");
    test::click_button(e.right_pane(), "Select Obj");
    EXPECT_EQ(window->status_box()->text(), "Object with vnum 8802 not found.");
    EXPECT_EQ(current_proto(ws, TableKind::Object), 3001);
}

TEST_F(ProtoEditorTest, NewSuggestsTheNextFreeVnumAndSelectsTheNewRecord) {
    for (EditorKind kind : kEditors) {
        ProtoEditor& e = editor(kind);
        QString suggested;
        answer_modal([&](QWidget* dialog) {
            suggested = dialog->findChild<QLineEdit*>()->text();
            test::click_button(dialog, "OK");
        });
        test::click_button(e.right_pane(), "New");
        EXPECT_EQ(suggested, "8802");
        EXPECT_EQ(current_proto(ws, table(kind)), 8802);
        EXPECT_EQ(e.tree()->currentItem()->text(0).left(7), "8802 - ");
        EXPECT_EQ(window->status_box()->text(), kind == EditorKind::Object
                                                    ? "New object 8802 created."
                                                    : "New mobile 8802 created.");
    }
}

TEST_F(ProtoEditorTest, TabMovesThroughTheObjectFieldsOnly) {
    ProtoEditor& e = editor(EditorKind::Object);
    QWidget* keywords = e.line_field(ProtoField::Keywords);
    QWidget* short_desc = e.line_field(ProtoField::ShortDescription);
    QWidget* long_desc = e.line_field(ProtoField::LongDescription);
    struct Case {
        QWidget* from;
        QWidget* to;
    };
    for (const Case& c : {Case{keywords, long_desc}, Case{short_desc, long_desc},
                          Case{long_desc, e.look_field()}, Case{e.look_field(), keywords}}) {
        c.from->setFocus();
        QTest::keyClick(c.from, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), c.to) << c.from->objectName().toStdString();
    }
    EXPECT_EQ(stored(EditorKind::Object, 8800, ProtoField::LookDescription),
              "This object is unfinished.\r\n");  // no tab typed
}

TEST_F(ProtoEditorTest, HideShrinksTheTextPaneOfItsOwnEditorOnly) {
    ProtoEditor& e = editor(EditorKind::Object);
    QWidget* pane = e.bottom_pane();
    int full = pane->height();
    QTest::mouseClick(e.tools()->findChild<QCheckBox*>(), Qt::LeftButton);
    EXPECT_EQ(pane->height(), 30);
    EXPECT_FALSE(e.look_field()->isVisible());
    editor(EditorKind::Mobile);  // the mobile pane was not hidden
    EXPECT_EQ(window->pane("mobile text pane")->height(), full);
    editor(EditorKind::Object);
    EXPECT_EQ(pane->height(), 30);
}

TEST_F(ProtoEditorTest, ThePreviewDrawsTheThreeTextsAndClicksPaintThem) {
    ProtoEditor& e = editor(EditorKind::Mobile);
    MapWidget* map = window->map();
    auto drawn = [&](int line, QRgb colour) {
        map->redraw(true);
        QApplication::processEvents();
        const QImage& image = map->back_buffer();
        int y0 = map->split_line() + 2 + 15 * line;
        for (int y = y0; y < y0 + 15; ++y)
            for (int x = 2; x < 200; ++x)
                if (image.pixel(x, y) == colour) return true;
        return false;
    };
    for (int line : {0, 1, 2})
        EXPECT_TRUE(drawn(line, qRgb(192, 192, 192))) << line;
    const int rooms = ws.world().count();
    auto click = [&](int line, int column, Qt::MouseButton button) {
        QTest::mouseClick(map, button, Qt::NoModifier,
                          QPoint(2 + 8 * column + 3, map->split_line() + 8 + 15 * line));
    };
    QTest::mouseClick(e.bottom_pane()->findChild<QPushButton*>(QStringLiteral("colour &G")),
                      Qt::LeftButton);
    click(1, 3, Qt::LeftButton);  // the long description
    EXPECT_EQ(stored(EditorKind::Mobile, 8800, ProtoField::LongDescription),
              "An &Gunfinished mob stands here.\r\n");
    EXPECT_EQ(e.line_field(ProtoField::LongDescription)->text(),
              "An &Gunfinished mob stands here.");
    EXPECT_TRUE(drawn(1, qRgb(0, 255, 0)));
    click(2, 6, Qt::RightButton);  // the description has no code: nothing
    click(1, 6, Qt::RightButton);
    EXPECT_EQ(stored(EditorKind::Mobile, 8800, ProtoField::LongDescription),
              "An unfinished mob stands here.\r\n");
    EXPECT_EQ(ws.world().count(), rooms);  // a right click never makes a room
}

TEST_F(ProtoEditorTest, TheColourOptionRebuildsTheTree) {
    ProtoEditor& e = editor(EditorKind::Object);
    edit_object(ws, 8801, "Colour", [](ObjectPrototype& o) { o.short_description = "&Ra gem"; });
    EXPECT_TRUE(labels(e.tree()).contains("  8801 - a gem"));
    answer_modal([](QWidget* dialog) {
        for (auto* box : dialog->findChildren<QCheckBox*>())
            if (box->text() == "Color Codes in Trees") box->setChecked(true);
        test::click_button(dialog, "OK");
    });
    window->action("&Options...")->trigger();
    EXPECT_TRUE(labels(e.tree()).contains("  8801 - &Ra gem"));
}

TEST_F(ProtoEditorTest, MobValuesAsksForTheDialogOnlyWithACurrentMobile) {
    auto& e = static_cast<MobileEditor&>(editor(EditorKind::Mobile));
    QSignalSpy asked(&e, &MobileEditor::mob_values_requested);
    QString opened;
    QTimer::singleShot(10, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = dialog->windowTitle();
            dialog->close();
        }
    });
    test::click_button(e.bottom_pane(), "Mob Values");
    EXPECT_EQ(asked.count(), 1);
    EXPECT_EQ(opened, "Enter Mob Values");
    // A double-clicked colour button only says it is not there yet.
    QTest::mouseDClick(e.bottom_pane()->findChild<QPushButton*>(QStringLiteral("colour &R")),
                       Qt::LeftButton);
    EXPECT_EQ(window->status_box()->text(), "TODO - add this");
    window->action("Unload &All")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(e.tree()->topLevelItemCount(), 0);
    test::click_button(e.bottom_pane(), "Mob Values");
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(ProtoEditorTest, EveryTextPaneSharesThePaintColour) {
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("colour &R")),
                      Qt::LeftButton);  // in the room text pane
    for (EditorKind kind : kEditors) {
        auto* swatch =
            editor(kind).bottom_pane()->findChild<QLabel*>(QStringLiteral("colour swatch"));
        ASSERT_NE(swatch, nullptr);
        EXPECT_EQ(swatch->styleSheet(), "background-color: rgb(255, 0, 0);");
    }
    EXPECT_EQ(window->workspace_signals().paint_colour(), "&R");
}

}  // namespace
}  // namespace zs
