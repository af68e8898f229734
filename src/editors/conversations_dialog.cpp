#include "editors/conversations_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "appkit/qt_ui.h"
#include "world/room_text.h"
#include "world/workspace.h"

namespace zs {

namespace {

// The number fields in the dialog's order, with their captions.
struct NumberField {
    ConversationField field;
    const char* caption;
    const char* name;  // of the box and its button
};
constexpr std::array<NumberField, 3> kNumberFields = {{
    {ConversationField::QuestRequired, "Quest Required:", "quest required"},
    {ConversationField::QuestToActivate, "Quest to Activate:", "quest to activate"},
    {ConversationField::TriggerToActivate, "Trig to Activate:", "trigger to activate"},
}};

std::size_t number_index(ConversationField field) {
    for (std::size_t i = 0; i < kNumberFields.size(); ++i)
        if (kNumberFields[i].field == field) return i;
    return 0;
}

}  // namespace

MobValuesDialog::MobValuesDialog(Workspace& ws, int vnum, QWidget* parent)
    : QDialog(parent), ws_(ws), vnum_(vnum) {
    setWindowTitle(QStringLiteral("Enter Mob Values"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("The mobile's values are in its properties beside the text pane."), this));
    auto* conversations = new QPushButton(QStringLiteral("Conversations"), this);
    conversations->setAutoDefault(false);
    connect(conversations, &QPushButton::clicked, this,
            [this] { open_conversations_dialog(ws_, vnum_, this); });
    layout->addWidget(conversations, 0, Qt::AlignLeft);
    layout->addWidget(ok_cancel(this));
    adjustSize();
    centre_dialog(this);
}

ConversationsDialog::ConversationsDialog(Workspace& ws, int vnum, QWidget* parent)
    : QDialog(parent), session_(ws, vnum, this) {
    setWindowTitle(QStringLiteral("Conversations"));
    session_.open();

    auto* columns = new QHBoxLayout;
    // Left: the tree operations above the tree.
    auto* left = new QVBoxLayout;
    auto button = [this](const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* new_in_tier = button("New Conversation in this Tier");
    QPushButton* branch = button("Branch to New Tier");
    QPushButton* remove = button("Delete this Conversation");
    for (QPushButton* b : {new_in_tier, branch, remove})
        left->addWidget(b);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("conversation tree"));
    tree_->setHeaderHidden(true);
    tree_->setMinimumSize(220, 260);
    left->addWidget(tree_, 1);
    columns->addLayout(left);

    // Right: the mobile, its greeting and the current node's fields.
    auto* grid = new QGridLayout;
    int row = 0;
    mobile_label_ = new QLabel(this);
    mobile_label_->setObjectName(QStringLiteral("mobile label"));
    grid->addWidget(mobile_label_, row++, 0, 1, 3);
    auto caption = [this](const char* text) { return new QLabel(QString::fromLatin1(text), this); };
    greeting_ = new QLineEdit(this);
    greeting_->setObjectName(QStringLiteral("greeting box"));
    grid->addWidget(caption("Greeting:"), row, 0);
    grid->addWidget(greeting_, row++, 1, 1, 2);

    keywords_ = new QLineEdit(this);
    keywords_->setObjectName(QStringLiteral("keywords box"));
    QPushButton* keywords_none = button("Set to #none#");
    keywords_none->setObjectName(QStringLiteral("keywords none button"));
    grid->addWidget(caption("Keywords:"), row, 0);
    grid->addWidget(keywords_, row, 1);
    grid->addWidget(keywords_none, row++, 2);

    response_ = new QPlainTextEdit(this);
    response_->setObjectName(QStringLiteral("response box"));
    response_->setMinimumWidth(360);
    QPushButton* response_none = button("Set to #none#");
    response_none->setObjectName(QStringLiteral("response none button"));
    grid->addWidget(caption("Response:"), row, 0, Qt::AlignTop);
    grid->addWidget(response_, row, 1);
    grid->addWidget(response_none, row++, 2, Qt::AlignTop);
    for (QWidget* box : {static_cast<QWidget*>(greeting_), static_cast<QWidget*>(keywords_),
                         static_cast<QWidget*>(response_)})
        box->setFont(game_text_font());
    node_widgets_ = {keywords_, keywords_none, response_, response_none, branch, remove};

    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), this);
    for (std::size_t i = 0; i < kNumberFields.size(); ++i) {
        const NumberField& n = kNumberFields[i];
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(n.name) + QStringLiteral(" box"));
        box->setValidator(digits);
        box->setMaximumWidth(120);
        numbers_[i] = box;
        QPushButton* none = button("Set to none");
        none->setObjectName(QString::fromLatin1(n.name) + QStringLiteral(" none button"));
        grid->addWidget(caption(n.caption), row, 0);
        grid->addWidget(box, row, 1, Qt::AlignLeft);
        grid->addWidget(none, row++, 2);
        node_widgets_.insert(node_widgets_.end(), {box, none});
        connect(box, &QLineEdit::textEdited, this, [this, f = n.field] { number_typed(f); });
        // A number left incomplete ("", "-") shows the stored one again.
        connect(box, &QLineEdit::editingFinished, this, [this, box, f = n.field] {
            if (const Conversation* c = session_.current())
                box->setText(QString::number(conversation_number(*c, f)));
        });
        connect(none, &QPushButton::clicked, this, [this, f = n.field] { set_to_none(f); });
    }
    columns->addLayout(grid, 1);

    // The main window's status line is hidden behind this modal dialog, so
    // refusals are told here.
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("refusal label"));
    refusal_->setWordWrap(true);
    refusal_->setMinimumHeight(refusal_->fontMetrics().height());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(refusal_);
    layout->addWidget(ok_cancel(this));

    connect(greeting_, &QLineEdit::textEdited, this, &ConversationsDialog::greeting_typed);
    connect(keywords_, &QLineEdit::textEdited, this, &ConversationsDialog::keywords_typed);
    connect(response_, &QPlainTextEdit::textChanged, this, &ConversationsDialog::response_typed);
    connect(keywords_none, &QPushButton::clicked, this,
            [this] { set_to_none(ConversationField::Keywords); });
    connect(response_none, &QPushButton::clicked, this,
            [this] { set_to_none(ConversationField::Response); });
    connect(new_in_tier, &QPushButton::clicked, this,
            [this] { tree_step(&ConversationSession::new_in_tier); });
    connect(branch, &QPushButton::clicked, this,
            [this] { tree_step(&ConversationSession::branch); });
    connect(remove, &QPushButton::clicked, this,
            [this] { tree_step(&ConversationSession::remove); });
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { item_chosen(item); });

    fill_tree();
    adjustSize();
    centre_dialog(this);
}

QLineEdit* ConversationsDialog::number_box(ConversationField field) const {
    return numbers_[number_index(field)];
}

QTreeWidgetItem* ConversationsDialog::item(int id) const {
    if (id < 1 || id > static_cast<int>(items_.size())) return nullptr;
    return items_[static_cast<std::size_t>(id - 1)];
}

void ConversationsDialog::fill_tree() {
    filling_ = true;
    tree_->clear();
    items_.clear();
    if (const MobilePrototype* m = session_.mobile()) {
        for (const ConversationItem& it : conversation_items(*m)) {
            QTreeWidgetItem* parent =
                it.path.size() > 1 ? item(conversation_id(*m, {it.path.begin(), it.path.end() - 1}))
                                   : nullptr;
            auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            node->setText(0, from_area_text(it.label));
            node->setData(0, Qt::UserRole, it.id);
            items_.push_back(node);
        }
    }
    tree_->expandAll();
    tree_->setCurrentItem(item(session_.current_id()));
    filling_ = false;
    show_current();
}

void ConversationsDialog::show_current() {
    filling_ = true;
    const MobilePrototype* m = session_.mobile();
    const Conversation* c = session_.current();
    mobile_label_->setText(m ? from_area_text(without_colour_codes(m->short_description))
                             : QString());
    shown_greeting_ = m ? from_area_text(m->greeting) : QString();
    shown_keywords_ = c ? from_area_text(c->keywords) : QString();
    shown_response_ = c ? from_area_text(c->response) : QString();
    greeting_->setText(shown_greeting_);
    keywords_->setText(shown_keywords_);
    response_->setPlainText(shown_response_);
    for (std::size_t i = 0; i < kNumberFields.size(); ++i)
        numbers_[i]->setText(c ? QString::number(conversation_number(*c, kNumberFields[i].field))
                               : QString());
    for (QWidget* w : node_widgets_)
        w->setEnabled(c != nullptr);
    show_refusal();
    filling_ = false;
}

void ConversationsDialog::show_refusal() {
    refusal_->setText(from_area_text(session_.refusal()));
}

void ConversationsDialog::item_chosen(QTreeWidgetItem* chosen) {
    if (filling_ || !chosen) return;
    session_.select(chosen->data(0, Qt::UserRole).toInt());
    show_current();
}

void ConversationsDialog::relabel_current() {
    const Conversation* c = session_.current();
    QTreeWidgetItem* it = item(session_.current_id());
    if (c && it) it->setText(0, from_area_text(conversation_label(session_.current_id(), *c)));
}

void ConversationsDialog::put_back(QLineEdit* box, const QString& shown) {
    int caret = box->cursorPosition() - int(box->text().size() - shown.size());
    box->setText(shown);
    box->setCursorPosition(std::max(0, caret));
}

void ConversationsDialog::greeting_typed() {
    bool stored = session_.store_greeting(to_area_text(greeting_->text()));
    show_refusal();
    if (!stored) return put_back(greeting_, shown_greeting_);
    shown_greeting_ = greeting_->text();
}

void ConversationsDialog::keywords_typed() {
    if (!session_.current()) return;
    bool stored = session_.store_text(ConversationField::Keywords, to_area_text(keywords_->text()));
    show_refusal();
    if (!stored) return put_back(keywords_, shown_keywords_);
    shown_keywords_ = keywords_->text();
    relabel_current();
}

void ConversationsDialog::response_typed() {
    if (filling_ || !session_.current()) return;
    QString text = response_->toPlainText();
    if (text == shown_response_) return;  // a change of format only
    bool stored = session_.store_text(ConversationField::Response, to_area_text(text));
    show_refusal();
    if (!stored) {
        int caret = response_->textCursor().position() - int(text.size() - shown_response_.size());
        filling_ = true;
        response_->setPlainText(shown_response_);
        filling_ = false;
        QTextCursor cursor = response_->textCursor();
        cursor.setPosition(std::clamp(caret, 0, int(shown_response_.size())));
        response_->setTextCursor(cursor);
        return;
    }
    shown_response_ = text;
}

void ConversationsDialog::number_typed(ConversationField field) {
    const Conversation* c = session_.current();
    if (!c) return;
    QLineEdit* box = number_box(field);
    const QString text = box->text();
    bool ok = false;
    qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        if (text.isEmpty() || text == QStringLiteral("-")) return;  // nothing to store yet
        // Past 64 bits: out of range all the same.
        value = text.startsWith(QLatin1Char('-')) ? std::numeric_limits<qlonglong>::min()
                                                  : std::numeric_limits<qlonglong>::max();
    }
    bool stored = session_.store_number(field, value);
    show_refusal();
    if (!stored) put_back(box, QString::number(conversation_number(*c, field)));
}

void ConversationsDialog::set_to_none(ConversationField field) {
    session_.set_to_none(field);
    if (field == ConversationField::Keywords) relabel_current();
    show_current();
}

void ConversationsDialog::tree_step(bool (ConversationSession::*step)()) {
    if ((session_.*step)()) fill_tree();
}

void open_mob_values_dialog(Workspace& ws, int mobile_vnum, QWidget* parent) {
    if (!ws.mobiles().find_record(mobile_vnum)) return;
    MobValuesDialog dialog(ws, mobile_vnum, parent);
    dialog.exec();
}

void open_conversations_dialog(Workspace& ws, int mobile_vnum, QWidget* parent) {
    if (!ws.mobiles().find_record(mobile_vnum)) return;
    ConversationsDialog dialog(ws, mobile_vnum, parent);
    dialog.exec();
}

}  // namespace zs
