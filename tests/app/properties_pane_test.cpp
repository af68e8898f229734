// The properties pane of the object and mobile editors driven by real
// events on the offscreen platform, over new objects and mobiles of the demo
// zone: one field of each kind (a number, a flag, a list, a label that
// follows the type), stored as named steps and put back by undo; and the
// object's Extra Descriptions dialog from the object text pane.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/demo_window.h"
#include "app/map_widget.h"
#include "editors/properties_pane.h"
#include "editors/proto_editor.h"
#include "editors/room_dialogs.h"
#include "world/mobile_fields.h"
#include "world/object_fields.h"
#include "world/prototype_edits.h"

namespace zs {
namespace {

class PropertiesPaneTest : public test::DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        TableLoad(ws).objects().append(make_new_object(8800, 88));
        TableLoad(ws).mobiles().append(make_new_mobile(8800, 88));
    }
    // The pane of the table's editor, shown, with record 8800 current and
    // the tab of field `id` in front.
    PropertiesPane& pane(TableKind kind, int id) {
        ws.switch_editor(kind == TableKind::Mobile ? EditorKind::Mobile : EditorKind::Object);
        select_proto(ws, kind, 8800);
        QApplication::processEvents();
        auto& editor = static_cast<ProtoEditor&>(window->editor_pane(ws.current_editor()));
        PropertiesPane& p = *editor.properties();
        for (int t = 0; t < p.tabs()->count(); ++t)
            if (p.tabs()->widget(t)->isAncestorOf(p.label(id))) p.tabs()->setCurrentIndex(t);
        QApplication::processEvents();
        return p;
    }
    QLineEdit* line(PropertiesPane& p, int id) {
        auto* box = qobject_cast<QLineEdit*>(p.box(id));
        EXPECT_NE(box, nullptr) << id;
        return box;
    }
    std::string status() const { return window->status_box()->text().toStdString(); }
    long long number(TableKind kind, int id) {
        return prop_number(ws, kind, 8800, id).value_or(-999);
    }
    // Leaves the box as a builder does: the focus goes to the map.
    void leave() {
        window->map()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }
};

struct NumberCase {
    TableKind kind;
    int id;
    const char* typed;
    long long stored;
    const char* step;
};

TEST_F(PropertiesPaneTest, TypingANumberIsOneStepAndUndoPutsTheBoxBack) {
    const NumberCase cases[] = {
        {TableKind::Object, kObjWeight, "125", 125, "Undo Edit Weight of Object 8800"},
        {TableKind::Mobile, kMobLevel, "10", 10, "Undo Edit Level of Mobile 8800"},
        {TableKind::Mobile, kMobHitDice + 2, "-20", -20, "Undo Edit Hit Dice Bonus of Mobile 8800"},
    };
    for (const NumberCase& c : cases) {
        PropertiesPane& p = pane(c.kind, c.id);
        QLineEdit* box = line(p, c.id);
        const QString before = box->text();
        const std::size_t steps = ws.history().step_count();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(number(c.kind, c.id), c.stored) << c.typed;
        EXPECT_EQ(ws.history().step_count(), steps + 1) << c.typed;
        EXPECT_EQ(ws.undo_text(), c.step);
        leave();
        ASSERT_TRUE(ws.undo());
        QApplication::processEvents();
        EXPECT_EQ(box->text(), before) << c.typed;
        ASSERT_TRUE(ws.redo());
        QApplication::processEvents();
        EXPECT_EQ(box->text(), c.typed);
    }
}

struct RefusalCase {
    TableKind kind;
    int id;
    const char* pasted;
    const char* range;  // what the status line's message names
};

TEST_F(PropertiesPaneTest, ARefusedNumberStoresNothingAndTheBoxShowsTheStoredValueWhenLeft) {
    const RefusalCase cases[] = {
        {TableKind::Mobile, kMobArmor, "40000", "32767"},
        {TableKind::Mobile, kMobDamageDice + 1, "256", "255"},
        {TableKind::Object, kObjAffect0, "300", "255"},
        {TableKind::Object, kObjCost, "12x", "whole"},
    };
    for (const RefusalCase& c : cases) {
        PropertiesPane& p = pane(c.kind, c.id);
        QLineEdit* box = line(p, c.id);
        const QString before = box->text();
        const long long held = number(c.kind, c.id);
        const std::size_t steps = ws.history().step_count();
        box->setFocus();
        box->selectAll();
        QApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), c.pasted);
        EXPECT_NE(status().find(c.range), std::string::npos) << c.pasted << ": " << status();
        EXPECT_EQ(number(c.kind, c.id), held) << c.pasted;
        EXPECT_EQ(ws.history().step_count(), steps) << c.pasted;
        leave();
        EXPECT_EQ(box->text(), before) << c.pasted;
    }
}

TEST_F(PropertiesPaneTest, AFlagCheckBoxIsOneStepAndUndoClearsIt) {
    const struct {
        TableKind kind;
        int id;
        const char* step;
    } cases[] = {{TableKind::Object, kObjFlags, "Undo Edit Flags of Object 8800"},
                 {TableKind::Mobile, kMobFlags + 3, "Undo Edit Flags 4 of Mobile 8800"}};
    for (const auto& c : cases) {
        PropertiesPane& p = pane(c.kind, c.id);
        QCheckBox* b = p.flag_box(c.id, 1);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), "b");
        const long long before = number(c.kind, c.id);
        ASSERT_EQ(before & 2, 0);
        // On the box itself, as a builder clicks.
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
        EXPECT_EQ(number(c.kind, c.id), before | 2);
        EXPECT_EQ(ws.undo_text(), c.step);
        ASSERT_TRUE(ws.undo());
        QApplication::processEvents();
        EXPECT_FALSE(b->isChecked());
        EXPECT_EQ(number(c.kind, c.id), before);
        EXPECT_EQ(ws.redo_text(), "Redo" + std::string(c.step).substr(4));
    }
}

TEST_F(PropertiesPaneTest, TriggersAreAddedWithAWarningAndRemoved) {
    for (auto [kind, id] : {std::pair{TableKind::Object, int(kObjTriggers)},
                            std::pair{TableKind::Mobile, int(kMobTriggers)}}) {
        PropertiesPane& p = pane(kind, id);
        auto* vnum = p.findChild<QLineEdit*>("trigger vnum box");
        ASSERT_NE(vnum, nullptr);
        QTest::keyClicks(vnum, "5000");
        QTest::mouseClick(p.findChild<QPushButton*>("Triggers add button"), Qt::LeftButton);
        EXPECT_EQ(prop_box_text(ws, kind, 8800, id), "5000");
        EXPECT_NE(status().find("5000"), std::string::npos) << status();  // no zone 50 is loaded
        EXPECT_EQ(line(p, id)->text(), "5000");
        EXPECT_TRUE(vnum->text().isEmpty());
        QTest::keyClicks(vnum, "5000");
        QTest::mouseClick(p.findChild<QPushButton*>("Triggers remove button"), Qt::LeftButton);
        EXPECT_EQ(prop_box_text(ws, kind, 8800, id), "");
        EXPECT_TRUE(line(p, id)->text().isEmpty());
        // A trigger the list lacks is named in the status line.
        QTest::keyClicks(vnum, "77");
        QTest::mouseClick(p.findChild<QPushButton*>("Triggers remove button"), Qt::LeftButton);
        EXPECT_EQ(status(), "Trigger 77 is not on the list.");
    }
}

TEST_F(PropertiesPaneTest, ASkillIsAddedChangedAndRemoved) {
    PropertiesPane& p = pane(TableKind::Mobile, kMobSkills);
    auto* skill = p.findChild<QLineEdit*>("skill number box");
    auto* value = p.findChild<QLineEdit*>("skill value box");
    ASSERT_TRUE(skill && value);
    QTest::keyClicks(skill, "12");
    QTest::keyClicks(value, "50");
    test::click_button(&p, "Set");
    EXPECT_EQ(line(p, kMobSkills)->text(), "12:50");
    EXPECT_EQ(ws.undo_text(), "Undo Add Skill 12 to Mobile 8800");
    value->clear();
    QTest::keyClicks(value, "75");
    test::click_button(&p, "Set");
    EXPECT_EQ(line(p, kMobSkills)->text(), "12:75");
    EXPECT_EQ(ws.undo_text(), "Undo Edit Skill 12 of Mobile 8800");
    test::click_button(&p, "Remove");
    EXPECT_TRUE(line(p, kMobSkills)->text().isEmpty());
    EXPECT_EQ(ws.undo_text(), "Undo Remove Skill 12 from Mobile 8800");
    ASSERT_TRUE(ws.undo());
    QApplication::processEvents();
    EXPECT_EQ(line(p, kMobSkills)->text(), "12:75");
}

TEST_F(PropertiesPaneTest, TheValuesAreLabelledByTheTypeTyped) {
    const struct {
        const char* type;
        const char* hint;
        const char* value2;
    } cases[] = {
        {"15", "container", "Key Vnum"}, {"5", "weapon", "Dice Sides"}, {"99", "", "Value 2"}};
    for (const auto& c : cases) {
        PropertiesPane& p = pane(TableKind::Object, kObjType);
        QLineEdit* type = line(p, kObjType);
        type->setFocus();
        type->selectAll();
        QTest::keyClicks(type, c.type);
        EXPECT_EQ(p.label(kObjValue0 + 2)->text(), c.value2) << c.type;
        EXPECT_EQ(p.hint(kObjType)->text(), c.hint) << c.type;
        leave();
    }
}

// Typing a container's key digit by digit names keys no zone holds on the
// way; the warning goes once the key typed is an object.
TEST_F(PropertiesPaneTest, AWarningOfAHalfTypedKeyGoesWhenTheKeyIsWhole) {
    PropertiesPane& p = pane(TableKind::Object, kObjType);
    QLineEdit* type = line(p, kObjType);
    type->setFocus();
    type->selectAll();
    QTest::keyClicks(type, "15");
    leave();
    QLineEdit* key = line(pane(TableKind::Object, kObjValue0 + 2), kObjValue0 + 2);
    key->setFocus();
    key->selectAll();
    QTest::keyClicks(key, "880");
    EXPECT_NE(status().find("key 880,"), std::string::npos) << status();
    QTest::keyClicks(key, "0");
    EXPECT_EQ(status(), "");
}

TEST_F(PropertiesPaneTest, ExtraDescsOpensTheDialogOnTheObject) {
    pane(TableKind::Object, kObjType);
    const auto room_before = room(8800).extra_descriptions;
    auto& editor = static_cast<ProtoEditor&>(window->editor_pane(EditorKind::Object));
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ExtraDescsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        caption = dialog->findChild<QLabel*>("room label")->text();
        QTest::keyClicks(dialog->keywords_box(), "rune");
        QTest::keyClicks(dialog->text_box(), "A glowing rune.");
        test::click_button(dialog, "OK");
    });
    QTest::mouseClick(editor.bottom_pane()->findChild<QPushButton*>("object extra descs button"),
                      Qt::LeftButton);
    EXPECT_EQ(caption, "Object 8800");
    const auto& extras = ws.objects().find_record(8800)->extra_descriptions;
    ASSERT_EQ(extras.size(), 1u);
    EXPECT_EQ(extras[0].keyword, "rune");
    EXPECT_EQ(ws.undo_text(), "Undo Edit Extra Descriptions of Object 8800");
    EXPECT_EQ(room(8800).extra_descriptions, room_before);
}

}  // namespace
}  // namespace zs
