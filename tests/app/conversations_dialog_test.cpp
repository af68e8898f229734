// The Conversations and Enter Mob Values dialogs driven through their
// controls, on a mobile loaded from a file without conversations.
#include "editors/conversations_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/demo_window.h"
#include "files/area_files.h"
#include "files/file_mob.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/edits.h"

namespace zs {
namespace {

using test::click_button;

class ConversationsDialogTest : public ::testing::Test {
protected:
    // Mobile 3001 of the stock Midgaard, converted: no conversations.
    void SetUp() override {
        ASSERT_TRUE(load_area_bytes(ws, "30.mob", file));
        ws.clear_history();
        ui.clear();
    }
    const MobilePrototype& mob() { return *ws.mobiles().find_record(3001); }
    static QStringList labels(QTreeWidget* tree) {
        QStringList out;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            out << (*it)->text(0);
        return out;
    }
    // What works only with a current node.
    static std::vector<QWidget*> node_controls(ConversationsDialog& dialog) {
        std::vector<QWidget*> out = {dialog.keywords_box(), dialog.response_box()};
        for (auto f : {ConversationField::QuestRequired, ConversationField::QuestToActivate,
                       ConversationField::TriggerToActivate})
            out.push_back(dialog.number_box(f));
        for (auto* b : dialog.findChildren<QPushButton*>())
            if (b->text().startsWith("Set to") || b->text() == "Branch to New Tier" ||
                b->text() == "Delete this Conversation")
                out.push_back(b);
        return out;
    }

    const std::string file = test::test_data_bytes("baker_3001.mob");
    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ConversationsDialogTest, OpeningAndCancellingChangesNothing) {
    ConversationsDialog dialog(ws, 3001, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.tree()->topLevelItemCount(), 0);
    EXPECT_EQ(dialog.tree()->currentItem(), nullptr);
    auto controls = node_controls(dialog);
    EXPECT_EQ(controls.size(), 12u);
    for (QWidget* w : controls)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(dialog.greeting_box()->isEnabled());

    click_button(&dialog, "Cancel");
    EXPECT_EQ(ws.history().step_count(), 0u);
    EXPECT_FALSE(ws.modified().any());
    EXPECT_EQ(zone_file_text(ws, TableKind::Mobile, 30), file);
}

TEST_F(ConversationsDialogTest, RefusalsAreToldInTheDialog) {
    ConversationsDialog dialog(ws, 3001, nullptr);
    dialog.show();
    click_button(&dialog, "New Conversation in this Tier");
    QLineEdit* quest = dialog.number_box(ConversationField::QuestRequired);
    struct Case {
        QWidget* box;
        const char* typed;
        QString kept;  // what the box shows after the refusal
        QString why;
    };
    for (const Case& c : {
             Case{dialog.greeting_box(), "Hi~", "Hi", "\"~\""},
             Case{dialog.keywords_box(), "job~", "job", "\"~\""},
             Case{dialog.response_box(), "Ask~", "Ask", "\"~\""},
             Case{quest, "9999999999", "999999999", "from -2147483648 to 2147483647"},
         }) {
        SCOPED_TRACE(c.typed);
        if (auto* line = qobject_cast<QLineEdit*>(c.box)) line->clear();
        if (auto* text = qobject_cast<QPlainTextEdit*>(c.box)) text->clear();
        QTest::keyClicks(c.box, c.typed);
        QString shown = c.box == dialog.response_box() ? dialog.response_box()->toPlainText()
                                                       : qobject_cast<QLineEdit*>(c.box)->text();
        EXPECT_EQ(shown, c.kept);
        EXPECT_TRUE(dialog.refusal_label()->isVisible());
        EXPECT_TRUE(dialog.refusal_label()->text().contains(c.why))
            << dialog.refusal_label()->text().toStdString();
        QTest::keyClick(c.box, Qt::Key_Backspace);  // stored: the refusal goes
        EXPECT_EQ(dialog.refusal_label()->text(), "");
    }
    EXPECT_TRUE(ui.statuses.empty());  // the status line is behind the dialog
}

TEST_F(ConversationsDialogTest, EditsTheTreeThroughItsControls) {
    ConversationsDialog dialog(ws, 3001, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Conversations");
    EXPECT_EQ(dialog.findChild<QLabel*>("mobile label")->text(), "the baker");
    click_button(&dialog, "New Conversation in this Tier");  // the first node
    EXPECT_EQ(labels(dialog.tree()), QStringList{"1: #none#"});
    EXPECT_EQ(dialog.tree()->currentItem(), dialog.item(1));
    EXPECT_EQ(dialog.number_box(ConversationField::QuestRequired)->text(), "-1");
    for (QWidget* w : node_controls(dialog))
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    dialog.keywords_box()->clear();
    QTest::keyClicks(dialog.keywords_box(), "job");
    EXPECT_EQ(dialog.item(1)->text(0), "1: job");  // relabelled while typing
    QTest::keyClicks(dialog.number_box(ConversationField::TriggerToActivate), "5");
    EXPECT_EQ(mob().conversations[0].trigger_to_activate, -15);
    dialog.findChild<QPushButton*>("trigger to activate none button")->click();
    EXPECT_EQ(dialog.number_box(ConversationField::TriggerToActivate)->text(), "-1");

    click_button(&dialog, "Branch to New Tier");
    click_button(&dialog, "New Conversation in this Tier");
    EXPECT_EQ(labels(dialog.tree()), (QStringList{"1: job", "2: #none#", "3: #none#"}));
    EXPECT_EQ(dialog.item(3)->parent(), dialog.item(1));
    EXPECT_EQ(dialog.tree()->currentItem(), dialog.item(3));
    const Conversation& third = mob().conversations[0].branches[1];
    QTest::keyClicks(dialog.response_box(), "Ask me later.");
    dialog.response_box()->clear();
    EXPECT_EQ(third.response, "#none#");  // never empty
    QTest::keyClicks(dialog.response_box(), "Ask me later.");
    EXPECT_EQ(third.response, "Ask me later.");

    dialog.tree()->setCurrentItem(dialog.item(1));
    EXPECT_EQ(dialog.keywords_box()->text(), "job");
    click_button(&dialog, "Delete this Conversation");
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Please delete all branches of this conversation first."});
    for (int id : {2, 2, 1}) {
        dialog.tree()->setCurrentItem(dialog.item(id));
        click_button(&dialog, "Delete this Conversation");
    }
    EXPECT_EQ(dialog.tree()->topLevelItemCount(), 0);
    for (QWidget* w : node_controls(dialog))
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(zone_file_text(ws, TableKind::Mobile, 30), file);  // no conversation is written
    EXPECT_TRUE(dialog.greeting_box()->isEnabled());
    QTest::keyClicks(dialog.greeting_box(), "Hi!");
    EXPECT_EQ(mob().greeting, "Hi!");

    click_button(&dialog, "Cancel");  // keeps every edit
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(mob().conversations.empty());
    EXPECT_EQ(ws.undo_text(), "Undo Edit Greeting of Mobile 3001");
}

TEST_F(ConversationsDialogTest, MobValuesChangesNothing) {
    for (const char* button : {"OK", "Cancel"}) {
        MobValuesDialog dialog(ws, 3001, nullptr);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Enter Mob Values");
        EXPECT_NE(dialog.findChild<QLabel*>()->text().indexOf("properties beside the text pane"),
                  -1);
        EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 3);  // Conversations, OK, Cancel
        click_button(&dialog, button);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(ws.history().step_count(), 0u);
}

}  // namespace
}  // namespace zs
