// The mobile editor's modal dialogs behind "Mob Values": "Enter Mob Values"
// (the way to the conversations; the values are in the properties pane) and
// "Conversations", which edits a mobile's greeting and conversation tree on a
// ConversationSession. They show and gather; every change is stored at once
// by the core as an undoable step, and OK and Cancel only close.
#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "world/conversations.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zs {

class Workspace;

// "Enter Mob Values" of mobile `vnum`: the note, "Conversations", OK and
// Cancel; neither OK nor Cancel changes the mobile.
class MobValuesDialog : public QDialog {
    Q_OBJECT
public:
    MobValuesDialog(Workspace& ws, int vnum, QWidget* parent);

private:
    Workspace& ws_;
    int vnum_;
};

// "Conversations" of mobile `vnum`. Opening it changes nothing: the first
// top-level node becomes current, none for a mobile without conversations
// (see ConversationSession::open). Boxes: "greeting box", "keywords box",
// "response box" and one per number field (number_box: "quest required
// box"...); their buttons "keywords none button", "quest required none
// button" and so on. The tree's items are "%d: %s" (item id, keywords) and
// carry their item id. While there is no current node the node's boxes,
// their buttons, "Branch to New Tier" and "Delete this Conversation" are
// disabled. The "refusal label" at the foot says why the last edit was
// refused, until the next one is stored.
class ConversationsDialog : public QDialog {
    Q_OBJECT
public:
    ConversationsDialog(Workspace& ws, int vnum, QWidget* parent);

    const ConversationSession& session() const { return session_; }
    QTreeWidget* tree() const { return tree_; }
    QLabel* refusal_label() const { return refusal_; }
    QLineEdit* greeting_box() const { return greeting_; }
    QLineEdit* keywords_box() const { return keywords_; }
    QPlainTextEdit* response_box() const { return response_; }
    // QuestRequired, QuestToActivate or TriggerToActivate.
    QLineEdit* number_box(ConversationField field) const;
    // The tree item of an item id; null when there is none.
    QTreeWidgetItem* item(int id) const;

private:
    // Rebuilds every item from the mobile, then shows the current node and
    // selects its item.
    void fill_tree();
    // Fills the boxes from the mobile and the current node, and the refusal
    // label from the session.
    void show_current();
    void show_refusal();
    void item_chosen(QTreeWidgetItem* item);
    void relabel_current();
    // Refused typing: the refusal label says why; the box goes back to what
    // it showed, the caret where it was.
    static void put_back(QLineEdit* box, const QString& shown);

    void greeting_typed();
    void keywords_typed();
    void response_typed();
    void number_typed(ConversationField field);
    void set_to_none(ConversationField field);
    // Runs a tree operation of the session and shows the tree it leaves.
    void tree_step(bool (ConversationSession::*step)());

    ConversationSession session_;
    QTreeWidget* tree_;
    QLabel* mobile_label_;
    QLabel* refusal_;
    QLineEdit* greeting_;
    QLineEdit* keywords_;
    QPlainTextEdit* response_;
    std::array<QLineEdit*, 3> numbers_{};
    std::vector<QWidget*> node_widgets_;   // what works only with a current node
    std::vector<QTreeWidgetItem*> items_;  // by item id - 1
    // What the boxes show, to put back refused typing.
    QString shown_greeting_, shown_keywords_, shown_response_;
    bool filling_ = false;
};

// Open the dialogs modally over `parent`, centred on it. Nothing opens for a
// mobile that is not loaded.
void open_mob_values_dialog(Workspace& ws, int mobile_vnum, QWidget* parent);
void open_conversations_dialog(Workspace& ws, int mobile_vnum, QWidget* parent);

}  // namespace zs
