#include "editors/proto_editor.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "appkit/qt_ui.h"
#include "appkit/text_tools.h"
#include "editors/properties_pane.h"

namespace zs {

namespace {

constexpr ProtoField kLineFields[] = {ProtoField::Keywords, ProtoField::ShortDescription,
                                      ProtoField::LongDescription};

// Lays the text column and the properties side by side while the window is
// wide enough for both at their least widths, and one above the other when
// it is not, so that a narrow window does not hide the properties to the
// right.
class SplitFitter : public QObject {
public:
    SplitFitter(QSplitter* split, QWidget* window) : QObject(split), split_(split) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) fit(static_cast<QWidget*>(watched)->width());
        return QObject::eventFilter(watched, event);
    }

private:
    void fit(int width) {
        int side_by_side = split_->handleWidth();
        for (int i = 0; i < split_->count(); ++i)
            side_by_side += split_->widget(i)->minimumSizeHint().width();
        const Qt::Orientation wanted = width >= side_by_side ? Qt::Horizontal : Qt::Vertical;
        if (split_->orientation() == wanted) return;
        split_->setOrientation(wanted);
        // Side by side, the texts take three fifths (the splitter keeps each
        // at its least width).
        if (wanted == Qt::Horizontal) split_->setSizes({width * 3 / 5, width * 2 / 5});
    }

    QSplitter* split_;
};

// "Obj Vnum:" / "Mob Vnum:"
QString vnum_label(TableKind kind) {
    return kind == TableKind::Mobile ? QStringLiteral("Mob Vnum:") : QStringLiteral("Obj Vnum:");
}

}  // namespace

ProtoEditor::ProtoEditor(EditorKind kind, WorkspaceSignals& bridge, QWidget* area)
    : EditorPane(kind, bridge, area), table_kind_(table_of(kind)) {
    const bool mob = table_kind_ == TableKind::Mobile;

    // The selection pane: the vnum field with its buttons above the tree.
    QWidget* right = right_pane();
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(3, 3, 3, 3);
    auto* vnum_row = new QHBoxLayout;
    vnum_row->addWidget(new QLabel(vnum_label(table_kind_), right));
    vnum_ = new QLineEdit(right);
    vnum_->setObjectName(QStringLiteral("selection vnum"));
    vnum_row->addWidget(vnum_);
    right_layout->addLayout(vnum_row);
    auto* button_row = new QHBoxLayout;
    auto* select =
        new QPushButton(mob ? QStringLiteral("Select Mob") : QStringLiteral("Select Obj"), right);
    auto* make = new QPushButton(QStringLiteral("New"), right);
    for (QPushButton* b : {select, make}) {
        b->setFocusPolicy(Qt::NoFocus);
        button_row->addWidget(b);
    }
    right_layout->addLayout(button_row);
    tree_ = new QTreeWidget(right);
    tree_->setHeaderHidden(true);
    right_layout->addWidget(tree_, 1);
    connect(select, &QPushButton::clicked, this, [this] {
        select_proto_from_box(workspace(), table_kind_, to_area_text(vnum_->text()));
    });
    connect(vnum_, &QLineEdit::returnPressed, select, &QPushButton::click);
    connect(make, &QPushButton::clicked, this, [this] { open_new_dialog(); });
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { item_chosen(item); });

    // The text pane: the tools above the four fields, and the properties
    // beside them; the builder moves the border between the two.
    auto* bottom_layout = new QHBoxLayout(bottom_pane());
    bottom_layout->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Horizontal, bottom_pane());
    split->setObjectName(QStringLiteral("text and properties"));
    split->setChildrenCollapsible(false);
    bottom_layout->addWidget(split);
    auto* text_pane = new QWidget(split);
    properties_ = new PropertiesPane(*this, split);
    split->addWidget(text_pane);
    split->addWidget(properties_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    new SplitFitter(split, bottom_pane()->window());
    auto* text_layout = new QVBoxLayout(text_pane);
    text_layout->setContentsMargins(5, 0, 3, 4);
    text_layout->setSpacing(2);
    tools_ = new TextTools(workspace_signals(), text_pane);
    text_layout->addWidget(tools_);
    const QFont fixed = game_text_font();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        ProtoField field = kLineFields[i];
        lines_[i] = new QLineEdit(text_pane);
        lines_[i]->setObjectName(QString::fromLatin1(proto_field_name(table_kind_, field)));
        lines_[i]->setFont(fixed);
        lines_[i]->setFixedHeight(22);
        text_layout->addWidget(lines_[i]);
        connect(lines_[i], &QLineEdit::textEdited, this, [this, field] { typed(field); });
    }
    look_ = new QPlainTextEdit(text_pane);
    look_->setObjectName(
        QString::fromLatin1(proto_field_name(table_kind_, ProtoField::LookDescription)));
    look_->setFont(fixed);
    text_layout->addWidget(look_, 1);
    connect(look_, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_) typed(ProtoField::LookDescription);
    });
    watch_keys({look_});

    connect(tools_, &TextTools::hide_toggled, this, [this](bool hidden) {
        for (QLineEdit* line : lines_)
            line->setVisible(!hidden);
        look_->setVisible(!hidden);
        properties_->setVisible(!hidden);
        emit text_hidden_changed();
    });
    connect(tools_, &TextTools::format_pressed, this, [this] { format_pressed(false); });
    connect(tools_, &TextTools::clear_pressed, this, [this] { format_pressed(true); });
    connect(tools_, &TextTools::colour_pressed, this, [this](const QString&, bool twice) {
        // Colouring a whole text from a double click is the room pane's alone.
        if (twice) workspace().ui().show_status("TODO - add this");
    });
}

QLineEdit* ProtoEditor::line_field(ProtoField field) const {
    return field == ProtoField::LookDescription ? nullptr : lines_[static_cast<int>(field)];
}

QHBoxLayout* ProtoEditor::tool_row() const {
    return tools_->row();
}

bool ProtoEditor::text_hidden() const {
    return tools_->hide_ticked();
}

void ProtoEditor::refresh() {
    fill_fields();
    properties_->refresh();
    rebuild_tree();
}

void ProtoEditor::fill_fields() {
    int vnum = current_proto(workspace(), table_kind_);
    filling_ = true;
    for (int f = 0; f < kProtoFieldCount; ++f) {
        auto field = static_cast<ProtoField>(f);
        const std::string* text = proto_text(workspace(), table_kind_, vnum, field);
        shown_[f] = text ? from_area_text(proto_field_text(field, *text)) : QString();
        if (field == ProtoField::LookDescription) {
            filled_look_ = text ? *text : std::string();
            look_->setPlainText(shown_[f]);
        } else {
            lines_[f]->setText(shown_[f]);
        }
    }
    vnum_->setText(vnum < 0 ? QString() : QString::number(vnum));
    filling_ = false;
}

void ProtoEditor::rebuild_tree() {
    tree_stale_ = false;
    filling_ = true;
    tree_->clear();
    items_.clear();
    for (const ProtoTreeZone& zone : proto_tree(workspace(), table_kind_)) {
        auto* zone_item = new QTreeWidgetItem(tree_, {QStringLiteral("Zone %1").arg(zone.zone)});
        for (const auto& [vnum, label] : zone.items) {
            auto* item = new QTreeWidgetItem(zone_item, {from_area_text(label)});
            if (!items_.contains(vnum)) items_.insert(vnum, item);  // the first of a repeat
        }
    }
    tree_->expandAll();
    filling_ = false;
    select_current_item();
}

void ProtoEditor::relabel(int vnum) {
    QTreeWidgetItem* item = items_.value(vnum);
    const std::string* text =
        proto_text(workspace(), table_kind_, vnum, ProtoField::ShortDescription);
    if (!item || !text) return;
    item->setText(0, from_area_text(proto_tree_label(
                         vnum, *text, workspace().options().color_codes_in_trees != 0)));
}

void ProtoEditor::select_current_item() {
    QTreeWidgetItem* item = items_.value(current_proto(workspace(), table_kind_));
    filling_ = true;
    tree_->setCurrentItem(item);
    filling_ = false;
}

void ProtoEditor::item_chosen(QTreeWidgetItem* item) {
    if (filling_ || !item) return;
    // A zone item names no vnum and selects nothing.
    std::optional<int> vnum = tree_label_vnum(to_area_text(item->text(0)));
    if (vnum && *vnum != current_proto(workspace(), table_kind_))
        select_proto(workspace(), table_kind_, *vnum);
}

void ProtoEditor::record_changed(const Change& change) {
    if (change.table != table_kind_) return;
    if (!shown()) {
        // Filled when the panes come into view.
        tree_stale_ = true;
        return;
    }
    switch (change.kind) {
        case ChangeKind::Selection:
            fill_fields();
            if (tree_stale_)
                rebuild_tree();
            else
                select_current_item();
            break;
        case ChangeKind::Edited:
            if (change.previous_id != Change::kNoPreviousId) {
                rebuild_tree();
            } else {
                relabel(change.id);
            }
            // The field being typed in keeps its caret.
            if (change.id == current_proto(workspace(), table_kind_) && !made_here(change))
                fill_fields();
            break;
        default:
            // Records came or went: a load or an unload may bring many
            // changes, and the tree is built once they are all in.
            tree_stale_ = true;
            if (change.origin != ChangeOrigin::Load) {
                rebuild_tree();
            } else if (!rebuild_queued_) {
                rebuild_queued_ = true;
                QTimer::singleShot(0, this, [this] {
                    rebuild_queued_ = false;
                    if (tree_stale_ && shown()) rebuild_tree();
                });
            }
            break;
    }
}

void ProtoEditor::typed(ProtoField field) {
    const int f = static_cast<int>(field);
    const bool look = field == ProtoField::LookDescription;
    QString text = look ? look_->toPlainText() : lines_[f]->text();
    if (text == shown_[f]) return;  // a change of format only
    std::string why = proto_text_refusal(table_kind_, field, to_area_text(text));
    if (!why.empty()) {
        workspace().ui().show_status(why);
        filling_ = true;
        if (look) {
            int caret = look_->textCursor().position() - int(text.size() - shown_[f].size());
            look_->setPlainText(shown_[f]);
            QTextCursor cursor = look_->textCursor();
            cursor.setPosition(std::clamp(caret, 0, int(shown_[f].size())));
            look_->setTextCursor(cursor);
        } else {
            int caret = lines_[f]->cursorPosition() - int(text.size() - shown_[f].size());
            lines_[f]->setText(shown_[f]);
            lines_[f]->setCursorPosition(std::max(0, caret));
        }
        filling_ = false;
        return;
    }
    shown_[f] = text;
    int vnum = current_proto(workspace(), table_kind_);
    if (vnum < 0) return;
    store_proto_text(workspace(), table_kind_, vnum, field,
                     look ? box_bytes(text, filled_look_) : to_area_text(text), filled_look_,
                     edit_options(field_bit(field), {table_kind_, vnum, f}));
}

void ProtoEditor::box_left(QWidget* box) {
    const int vnum = current_proto(workspace(), table_kind_);
    const std::string* stored =
        proto_text(workspace(), table_kind_, vnum, ProtoField::LookDescription);
    if (box != look_ || !stored) return;
    const int f = static_cast<int>(ProtoField::LookDescription);
    const QString shown = from_area_text(*stored);
    if (look_->toPlainText() != shown) {
        // The lines typing wrapped.
        filling_ = true;
        show_text_in_place(look_, shown);
        filling_ = false;
    }
    filled_look_ = *stored;
    shown_[f] = shown;
}

void ProtoEditor::format_pressed(bool clear) {
    int vnum = current_proto(workspace(), table_kind_);
    if (vnum < 0) return;
    std::string typed = box_bytes(look_->toPlainText(), filled_look_);
    // Typing before and after the button are bursts of their own.
    workspace().end_typing_burst();
    if (clear)
        clear_proto_colours(workspace(), table_kind_, vnum, typed, filled_look_, edit_options(0));
    else
        format_proto_look(workspace(), table_kind_, vnum, typed, edit_options(0));
    workspace().end_typing_burst();
    fill_fields();  // the field shows the formatted text
    workspace().request_redraw(true);
}

void ProtoEditor::preview_clicked(int split_line, QPoint point, bool right) {
    int vnum = current_proto(workspace(), table_kind_);
    auto at = preview_point(split_line, point.x(), point.y());
    if (vnum < 0 || !at) return;
    // The edit is not this pane's own: the field clicked is filled again and
    // the tree relabelled.
    paint_proto_preview(workspace(), table_kind_, vnum, *at, right,
                        to_area_text(tools_->paint_colour()));
}

void ProtoEditor::open_new_dialog() {
    const bool mob = table_kind_ == TableKind::Mobile;
    QDialog dialog(bottom_pane()->window());
    dialog.setObjectName(QStringLiteral("new record dialog"));
    dialog.setWindowTitle(mob ? QStringLiteral("New Mobile") : QStringLiteral("New Object"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(vnum_label(table_kind_), &dialog));
    auto* box = new QLineEdit(&dialog);
    if (auto v = suggested_proto_vnum(workspace(), table_kind_)) box->setText(QString::number(*v));
    row->addWidget(box);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.adjustSize();
    centre_dialog(&dialog);
    box->setFocus();
    if (dialog.exec() != QDialog::Accepted) return;
    create_proto_from_box(workspace(), table_kind_, to_area_text(box->text()));
}

}  // namespace zs
