// The zone editor's panes and dialogs driven through their widgets on the
// demo area with a zedit of zone 88: the Show All box from the settings,
// typed fields as undoable steps that rewrite their line, numbers refused
// outside their ranges, New/Delete/Copy and where they put commands, the
// highlighted command after clicks and drags, the prototype tree's clicks,
// the selection after unloading, New Zedit and Hide.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/demo_window.h"
#include "editors/zone_editor.h"
#include "files/file_zone.h"
#include "world/reset_result.h"

namespace zs {
namespace {

Zcmd cmd(char letter, std::array<std::int32_t, 6> args, std::string s1 = {}, std::string s2 = {}) {
    Zcmd c;
    c.command = letter;
    c.arg = args;
    c.sarg1 = std::move(s1);
    c.sarg2 = std::move(s2);
    return c;
}

class ZoneEditorTest : public test::DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        ObjectPrototype lantern = make_new_object(8800, 88);
        lantern.short_description = "a lantern";
        TableLoad(ws).objects().append(lantern);
        ObjectPrototype pebble = make_new_object(30, 0);  // a vnum that is also a zone number
        pebble.short_description = "a pebble";
        TableLoad(ws).objects().append(pebble);
        MobilePrototype hermit = make_new_mobile(8800, 88);
        hermit.short_description = "the hermit";
        TableLoad(ws).mobiles().append(hermit);
        TableLoad(ws).zones().append(make_new_zedit(30));
        Zedit z = make_new_zedit(88);
        z.commands = {cmd('M', {8800, 1, 8800, 0, 1, 0}), cmd('G', {8800, 1, 0, 0, 0, 0}),
                      cmd('M', {8800, 1, 8801, 0, 1, 0}),
                      cmd('V', {2, 0, 8800, 0, 0, 0}, "mood", "calm")};
        TableLoad(ws).zones().append(z);  // selected
        ws.clear_history();
        ws.switch_editor(EditorKind::Zone);
        QApplication::processEvents();
    }
    ZoneEditor& editor() { return static_cast<ZoneEditor&>(window->editor_pane(EditorKind::Zone)); }
    const Zedit& zone88() { return ws.zones().zedit(ws.zones().find_zedit(88)); }
    QStringList lines() {
        QStringList out;
        QTreeWidget* tree = editor().command_tree();
        for (int t = 0; t < tree->topLevelItemCount(); ++t) {
            out << tree->topLevelItem(t)->text(0);
            for (int c = 0; c < tree->topLevelItem(t)->childCount(); ++c)
                out << "  " + tree->topLevelItem(t)->child(c)->text(0);
        }
        return out;
    }
    // Where a line of the ZCmds tree ("5 - ..." or "Room 8801") is shown.
    QPoint line_point(const QString& begins) {
        QTreeWidget* tree = editor().command_tree();
        for (QTreeWidgetItem* item :
             tree->findItems(begins, Qt::MatchStartsWith | Qt::MatchRecursive)) {
            tree->scrollToItem(item);
            QRect at = tree->visualItemRect(item);
            return QPoint(at.left() + 20, at.center().y());
        }
        ADD_FAILURE() << "no line " << begins.toStdString();
        return {};
    }
    void click_line(int index) {
        QTest::mouseClick(editor().command_tree()->viewport(), Qt::LeftButton, {},
                          line_point(QStringLiteral("%1 - ").arg(index)));
    }
    QStringList highlighted() {
        QStringList out;
        for (QTreeWidgetItem* item : editor().command_tree()->selectedItems())
            out << item->text(0);
        return out;
    }
    // Zone 88's zedit becomes the one of tests/data/hermitage.zon, shown all.
    void use_hermitage() {
        ReadResult<Zedit> read = read_zone(test::test_data_bytes("hermitage.zon"), "88.zon");
        ASSERT_TRUE(read.ok);
        TableLoad(ws).zones().unload(88);
        TableLoad(ws).zones().append(read.records.at(0));  // selected
        ws.clear_history();
        QTest::mouseClick(editor().show_all_box(), Qt::LeftButton);
        ASSERT_TRUE(editor().show_all_box()->isChecked());
    }
    void press_ok(QDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
};

TEST_F(ZoneEditorTest, ShowAllFollowsTheSettingsReadAfterThePanesWereMade) {
    EXPECT_FALSE(editor().show_all_box()->isChecked());
    // Room 8800 is selected: its commands only, the G with the M before it.
    EXPECT_EQ(lines(),
              (QStringList{"0 - Load mob the hermit [8800], Max : 1   Max per room : 1   % 0",
                           "1 - Give it a lantern [8800], Max : 1   % 0",
                           "3 - Assign global mood:0 to room = calm"}));
    ws.options().show_all_zones = 1;  // as the settings file sets it
    ws.switch_editor(EditorKind::Room);
    ws.switch_editor(EditorKind::Zone);
    EXPECT_TRUE(editor().show_all_box()->isChecked());
    QStringList all = lines();
    ASSERT_EQ(all.size(), 7);
    EXPECT_EQ(all[0], "Room 8800");
    EXPECT_EQ(all[3], "Room 8801");
    QTest::mouseClick(editor().show_all_box(), Qt::LeftButton);
    EXPECT_EQ(ws.options().show_all_zones, 0);
    EXPECT_EQ(lines().size(), 3);
}

TEST_F(ZoneEditorTest, TypingAFieldIsOneStepThatRewritesItsLine) {
    click_line(1);
    ASSERT_EQ(editor().selected_command(), (CommandRef{88, 1}));
    QLineEdit* max = editor().fields().field(1);
    EXPECT_EQ(max->text(), "1");
    EXPECT_FALSE(editor().fields().field(2)->isEnabled());  // G has no arg3
    max->setFocus();
    max->selectAll();
    QTest::keyClicks(max, "25");
    EXPECT_EQ(zone88().commands[1].arg[1], 25);
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 88));
    EXPECT_EQ(lines()[1], "1 - Give it a lantern [8800], Max : 25   % 0");
    EXPECT_EQ(ws.undo_text(), "Undo Edit Command 1 of Zone 88");
    QTest::keyClick(max, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(zone88().commands[1].arg[1], 1);  // the burst at once
    EXPECT_EQ(max->text(), "1");
    EXPECT_EQ(lines()[1], "1 - Give it a lantern [8800], Max : 1   % 0");
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(ZoneEditorTest, AGlobalNameWithATildeOrABlankIsRefused) {
    click_line(3);
    QLineEdit* name = editor().fields().field(6);
    EXPECT_EQ(name->text(), "mood");
    for (const char* typed : {"~", " "}) {
        name->setFocus();
        name->end(false);
        QTest::keyClicks(name, typed);
        EXPECT_EQ(name->text(), "mood");
        EXPECT_EQ(zone88().commands[3].sarg1, "mood");
        EXPECT_NE(window->status_box()->text().indexOf("must be one word"), -1);
    }
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(ZoneEditorTest, NewDeleteAndCopyWorkOnTheSelectedCommand) {
    CreateZcmdDialog* dialog = editor().new_command_dialog();
    click_line(0);
    test::click_button(window->pane("zone editor pane"), "New");
    ASSERT_TRUE(dialog->isVisible());
    press_ok(dialog);  // no kind chosen: nothing added, the dialog stays
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(zone88().commands.size(), 4u);
    test::click_button(dialog, "Load Obj");
    EXPECT_EQ(dialog->fields().label(0)->text(), "Load obj vnum:");
    EXPECT_EQ(dialog->fields().field(0)->text(), "0");
    dialog->fields().field(0)->setText(QStringLiteral("8800"));
    press_ok(dialog);
    EXPECT_FALSE(dialog->isVisible());
    // After the selected command and the G given to its mobile, in the map's
    // selected room, with line 0 and a max of 1.
    ASSERT_EQ(zone88().commands.size(), 5u);
    EXPECT_EQ(zone88().commands[2], cmd('O', {8800, 1, 8800, 0, 0, 0}));
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 2}));
    EXPECT_EQ(ws.undo_text(), "Undo Add Load Obj to Zone 88");

    test::click_button(window->pane("zone editor pane"), "Copy");
    EXPECT_EQ(zone88().commands[3], zone88().commands[2]);
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 3}));
    test::click_button(window->pane("zone editor pane"), "Delete");
    test::click_button(window->pane("zone editor pane"), "Delete");
    // The copy, then the M that took its place.
    ASSERT_EQ(zone88().commands.size(), 4u);
    EXPECT_EQ(zone88().commands[2].command, 'O');
    EXPECT_EQ(zone88().commands[3].command, 'V');
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 3}));
    EXPECT_EQ(editor().fields().field(6)->text(), "mood");
    // Undone back to the start, then the zone unloaded: nothing dangles.
    while (ws.undo()) {
    }
    EXPECT_EQ(zone88().commands.size(), 4u);
    TableLoad(ws).zones().unload(88);
    EXPECT_FALSE(editor().selected_command());
    EXPECT_EQ(editor().fields().field(0)->text(), "");
}

TEST_F(ZoneEditorTest, ANewMobileLeavesTheSelectedOneItsInventory) {
    use_hermitage();
    click_line(0);  // the hermit, with his lantern given and held
    test::click_button(window->pane("zone editor pane"), "New");
    CreateZcmdDialog* dialog = editor().new_command_dialog();
    test::click_button(dialog, "Load Mob");
    EXPECT_EQ(dialog->fields().field(1)->text(), "1");  // Max in MUD: it loads
    dialog->fields().field(0)->setText(QStringLiteral("8800"));
    dialog->fields().field(1)->setText(QStringLiteral("2"));  // a second hermit
    press_ok(dialog);
    ASSERT_EQ(zone88().commands.size(), 8u);
    EXPECT_EQ(zone88().commands[3], cmd('M', {8800, 2, 8800, 0, 0, 0}));
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 3}));
    // The reset still gives and equips the first hermit; the new one loads.
    std::vector<ResetRow> rows = simulate_reset(ws, 88);
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[1].what, ResetWhat::Give);
    EXPECT_EQ(rows[1].parent, 0);
    EXPECT_EQ(rows[2].what, ResetWhat::Equip);
    EXPECT_EQ(rows[2].parent, 0);
    EXPECT_EQ(rows[3].what, ResetWhat::Mob);
}

TEST_F(ZoneEditorTest, TheHighlightedCommandIsTheOneShownAndActedOn) {
    use_hermitage();
    // A drag from one line to the next ends on the next.
    QWidget* viewport = editor().command_tree()->viewport();
    // The lower line first: scrolled into view, the upper one is in view.
    const QPoint door = line_point("6 - "), remove = line_point("5 - ");
    QTest::mousePress(viewport, Qt::LeftButton, {}, remove);
    QTest::mouseMove(viewport, door);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, door);
    EXPECT_EQ(highlighted(), QStringList{"6 - Set door east as locked."});
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 6}));
    EXPECT_EQ(editor().fields().field(1)->text(), "1");
    test::click_button(window->pane("zone editor pane"), "Delete");
    ASSERT_EQ(zone88().commands.size(), 6u);
    EXPECT_EQ(zone88().commands[5].command, 'R');
    // A room names no command: a press on it leaves the highlight where it is.
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 5}));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, line_point("Room 8801"));
    EXPECT_EQ(highlighted(), QStringList{"5 - Remove a lantern [8800] from room."});
    EXPECT_EQ(editor().selected_command(), (CommandRef{88, 5}));
}

TEST_F(ZoneEditorTest, NumbersOutsideTheirRangeAreRefusedAsTheyAreTyped) {
    auto type = [](QLineEdit* box, const char* keys, bool replace) {
        box->setFocus();
        if (replace) box->selectAll();
        QTest::keyClicks(box, keys);
    };
    use_hermitage();
    auto status = [&] { return window->status_box()->text(); };
    // Top: within zone 88's hundred. "88" may yet become one: it is kept
    // but not stored, and goes when typing ends.
    QLineEdit* top = editor().number_box(ZoneField::Top);
    type(top, "7000", true);
    EXPECT_EQ(top->text(), "8899");
    EXPECT_EQ(status(), "Zone 88's Top must be a whole number from 8800 to 8899.");
    window->show_status({});
    type(top, "88", true);
    EXPECT_EQ(top->text(), "88");
    EXPECT_EQ(zone88().top, 8899);
    EXPECT_EQ(status(), "");  // nothing is wrong yet
    type(top, "50", false);
    EXPECT_EQ(zone88().top, 8850);
    type(top, "88", true);
    editor().name_box()->setFocus();
    EXPECT_EQ(top->text(), "8850");
    EXPECT_EQ(zone88().top, 8850);
    EXPECT_EQ(status(), "Zone 88's Top must be a whole number from 8800 to 8899.");
    // The new command's fields refuse what the pane's refuse.
    test::click_button(window->pane("zone editor pane"), "New");
    CreateZcmdDialog* dialog = editor().new_command_dialog();
    test::click_button(dialog, "Load Mob");
    type(dialog->fields().field(0), "99999", true);
    EXPECT_EQ(dialog->fields().field(0)->text(), "9999");
    // Said in the dialog: the window's status box lies behind it.
    EXPECT_TRUE(dialog->status_line()->isVisible());
    EXPECT_EQ(dialog->status_line()->text(),
              "Zone 88, the new Load Mob: \"Load mob vnum\" must be a number from 0 to 32767.");
    dialog->reject();
}

TEST_F(ZoneEditorTest, AZoneUnloadedAndLoadedAgainWhileHiddenHasNoSelectedCommand) {
    click_line(3);
    ASSERT_TRUE(editor().selected_command());
    ws.switch_editor(EditorKind::Room);
    Zedit again = zone88();
    TableLoad(ws).zones().unload(88);
    TableLoad(ws).zones().append(again);
    ws.switch_editor(EditorKind::Zone);
    EXPECT_FALSE(editor().selected_command());
    EXPECT_EQ(editor().fields().field(6)->text(), "");
    EXPECT_EQ(editor().command_tree()->currentItem(), nullptr);
}

TEST_F(ZoneEditorTest, OnlyAZoneItemOfThePrototypeTreeSelectsAZone) {
    QTreeWidget* tree = editor().prototype_tree();
    tree->expandAll();
    auto click = [&](const QString& text) {
        auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        tree->scrollToItem(found[0]);
        QRect at = tree->visualItemRect(found[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(at.left() + 20, at.center().y()));
    };
    click(QStringLiteral("30 - a pebble"));
    EXPECT_EQ(ws.zones().selected_zedit()->number, 88);
    click(QStringLiteral("Objs 0"));  // no zedit 0
    EXPECT_EQ(ws.zones().selected_zedit()->number, 88);
    editor().zone_number_box()->setText(QStringLiteral("30"));
    test::click_button(window->pane("zone selection pane"), "Select Zone");
    EXPECT_EQ(ws.zones().selected_zedit()->number, 30);
    EXPECT_EQ(window->status_box()->text(), "Zone 30 selected.");
    click(QStringLiteral("Mobs 88"));
    EXPECT_EQ(ws.zones().selected_zedit()->number, 88);
    editor().zone_number_box()->setText(QStringLiteral("77"));
    test::click_button(window->pane("zone selection pane"), "Select Zone");
    EXPECT_EQ(window->status_box()->text(), "Zone with vnum 77 not found.");
}

TEST_F(ZoneEditorTest, NewZeditCreatesTheZoneAndShowsItsPrototypes) {
    NewZeditDialog* dialog = editor().new_zedit_dialog();
    test::click_button(window->pane("zone selection pane"), "New");
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->zone_box()->text(), "88");  // the selected zone
    dialog->zone_box()->setText(QStringLiteral("99999"));
    press_ok(dialog);
    EXPECT_EQ(ws.zones().count(), 2);
    EXPECT_NE(window->status_box()->text().indexOf("is not a zone number"), -1);
    test::click_button(window->pane("zone selection pane"), "New");
    QTest::keyClicks(dialog->zone_box(), "12");  // replaces the suggestion
    press_ok(dialog);
    EXPECT_EQ(window->status_box()->text(), "New zedit for zone 12 created.");
    EXPECT_EQ(editor().name_box()->text(), "A New Zone");
    EXPECT_EQ(editor().number_box(ZoneField::Top)->text(), "1299");
    QTreeWidget* tree = editor().prototype_tree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Objs 12");
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "No objects found in this zone");
    EXPECT_TRUE(lines().isEmpty());
}

TEST_F(ZoneEditorTest, ZoneNameTypingStoresAndHideShrinksThePane) {
    QLineEdit* name = editor().name_box();
    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(zone88().name, "");
    QTest::keyClicks(name, "Hermitage");
    EXPECT_EQ(zone88().name, "Hermitage");
    EXPECT_EQ(ws.undo_text(), "Undo Edit Name of Zone 88");
    QWidget* pane = window->pane("zone editor pane");
    QTest::mouseClick(pane->findChild<QCheckBox*>(), Qt::LeftButton);  // Hide
    EXPECT_EQ(pane->height(), 30);
    EXPECT_FALSE(editor().command_tree()->isVisible());
    ws.switch_editor(EditorKind::Room);  // the room text pane has its own Hide
    EXPECT_EQ(window->pane("room text pane")->height(), 156);
}

}  // namespace
}  // namespace zs
