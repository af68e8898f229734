#include "editors/room_editor.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "appkit/qt_ui.h"
#include "appkit/text_tools.h"
#include "editors/room_pane.h"
#include "world/room_text.h"

namespace zs {

RoomEditor::RoomEditor(WorkspaceSignals& bridge, QWidget* area)
    : EditorPane(EditorKind::Room, bridge, area) {
    room_pane_ = new RoomPane(*this, right_pane());
    auto* right_layout = new QVBoxLayout(right_pane());
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->addWidget(room_pane_, 1);

    QWidget* text_pane = bottom_pane();
    auto* text_layout = new QVBoxLayout(text_pane);
    text_layout->setContentsMargins(5, 0, 3, 4);
    text_layout->setSpacing(0);
    title_ = new QLineEdit(text_pane);
    title_->setObjectName(QStringLiteral("title box"));
    description_ = new QPlainTextEdit(text_pane);
    description_->setObjectName(QStringLiteral("description box"));
    side_text_ = new QPlainTextEdit(text_pane);
    side_text_->setObjectName(QStringLiteral("side text box"));
    // Game text is laid out in a fixed font, as players see it.
    const QFont fixed = game_text_font();
    for (QWidget* box : {static_cast<QWidget*>(title_), static_cast<QWidget*>(description_),
                         static_cast<QWidget*>(side_text_)})
        box->setFont(fixed);

    tools_ = new TextTools(workspace_signals(), text_pane);
    // The title above the description, the side text box beside both.
    auto* boxes = new QGridLayout;
    boxes->setSpacing(0);
    boxes->addWidget(title_, 0, 0);
    boxes->addWidget(description_, 1, 0);
    boxes->addWidget(side_text_, 0, 1, 2, 1);
    boxes->setColumnStretch(0, 7);
    boxes->setColumnStretch(1, 2);
    text_layout->addWidget(tools_);
    text_layout->addLayout(boxes, 1);

    // Tab moves between the title and the description.
    watch_keys({title_, description_, side_text_});
    connect(title_, &QLineEdit::textEdited, this, [this] { title_typed(); });
    connect(description_, &QPlainTextEdit::textChanged, this, [this] {
        text_typed(description_, shown_description_, filled_description_, RoomField::Description);
    });
    connect(side_text_, &QPlainTextEdit::textChanged, this, [this] {
        text_typed(side_text_, shown_side_text_, filled_side_text_, RoomField::SideText);
    });
    connect(tools_, &TextTools::hide_toggled, this, [this](bool hidden) {
        for (QWidget* box : {static_cast<QWidget*>(title_), static_cast<QWidget*>(description_),
                             static_cast<QWidget*>(side_text_)})
            box->setVisible(!hidden);
        emit text_hidden_changed();
    });
    connect(tools_, &TextTools::format_pressed, this, [this] { format_pressed(); });
    connect(tools_, &TextTools::clear_pressed, this, [this] { clear_pressed(); });
    connect(tools_, &TextTools::colour_pressed, this,
            [this](const QString& code, bool twice) { colour_pressed(code, twice); });
}

int RoomEditor::selected_vnum() const {
    const Room* room = workspace().world().selected_room();
    return room ? room->vnum : -1;
}

void RoomEditor::refresh() {
    const Room* room = workspace().world().selected_room();
    filling_ = true;
    filled_description_ = room ? room->description.str() : std::string();
    filled_side_text_ = room ? room->side_text.str() : std::string();
    shown_title_ = room ? from_area_text(room->title) : QString();
    shown_description_ = from_area_text(filled_description_);
    shown_side_text_ = from_area_text(filled_side_text_);
    title_->setText(shown_title_);
    description_->setPlainText(shown_description_);
    side_text_->setPlainText(shown_side_text_);
    filling_ = false;
    room_pane_->refresh();
}

void RoomEditor::record_changed(const Change& change) {
    if (change.kind == ChangeKind::Edited) {
        int vnum = selected_vnum();
        if (change.id != vnum && change.previous_id != vnum) return;
    }
    EditorPane::record_changed(change);
}

bool RoomEditor::refused(const QString& text) {
    bool replaced = false;
    std::string why = room_text_refusal(to_area_text(text, &replaced));
    // The area files hold Latin-1: a character beyond it would be stored as
    // "?" without a word.
    if (why.empty() && replaced) why = "A room text can only hold Latin-1 characters.";
    if (why.empty()) return false;
    workspace().ui().show_status(why);
    return true;
}

void RoomEditor::title_typed() {
    QString text = title_->text();
    if (refused(text)) {
        int caret = title_->cursorPosition() - int(text.size() - shown_title_.size());
        title_->setText(shown_title_);
        title_->setCursorPosition(std::max(0, caret));
        return;
    }
    shown_title_ = text;
    int vnum = selected_vnum();
    if (vnum < 0) return;
    store_room_text(
        workspace(), vnum, RoomField::Title, to_area_text(text), {},
        edit_options(field_bit(RoomField::Title), {TableKind::World, vnum, int(RoomField::Title)}));
}

void RoomEditor::text_typed(QPlainTextEdit* box, QString& shown, const std::string& filled,
                            RoomField field) {
    if (filling_) return;
    QString text = box->toPlainText();
    if (text == shown) return;  // a change of format only
    if (refused(text)) {
        int caret = box->textCursor().position() - int(text.size() - shown.size());
        filling_ = true;
        box->setPlainText(shown);
        filling_ = false;
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(std::clamp(caret, 0, int(shown.size())));
        box->setTextCursor(cursor);
        return;
    }
    shown = text;
    int vnum = selected_vnum();
    if (vnum < 0) return;
    store_room_text(workspace(), vnum, field, box_bytes(text, filled), filled,
                    edit_options(field_bit(field), {TableKind::World, vnum, int(field)}));
}

void RoomEditor::format_pressed() {
    int vnum = selected_vnum();
    if (vnum < 0) return;
    // Typing before and after the button are bursts of their own.
    workspace().end_typing_burst();
    format_room_texts(workspace(), vnum,
                      box_bytes(description_->toPlainText(), filled_description_),
                      box_bytes(side_text_->toPlainText(), filled_side_text_), edit_options(0));
    workspace().end_typing_burst();
    refresh();  // the boxes show the formatted texts
}

void RoomEditor::clear_pressed() {
    int vnum = selected_vnum();
    if (vnum < 0) return;
    workspace().end_typing_burst();
    clear_room_colours(workspace(), vnum,
                       box_bytes(description_->toPlainText(), filled_description_),
                       filled_description_, edit_options(0));
    workspace().end_typing_burst();
    refresh();
}

const QString& RoomEditor::paint_colour() const {
    return tools_->paint_colour();
}

QLabel* RoomEditor::swatch() const {
    return tools_->swatch();
}

bool RoomEditor::text_hidden() const {
    return tools_->hide_ticked();
}

void RoomEditor::colour_pressed(const QString& code, bool twice) {
    if (!twice) return;
    int vnum = selected_vnum();
    if (vnum < 0) return;
    workspace().end_typing_burst();
    colour_room_description(workspace(), vnum,
                            box_bytes(description_->toPlainText(), filled_description_),
                            to_area_text(code), edit_options(0));
    workspace().end_typing_burst();
    refresh();
}

void RoomEditor::preview_clicked(int split_line, QPoint point, bool right) {
    int vnum = selected_vnum();
    auto at = preview_point(split_line, point.x(), point.y());
    if (vnum < 0 || !at) return;
    if (paint_room_preview(workspace(), vnum, *at, right, to_area_text(tools_->paint_colour()),
                           edit_options(0)))
        refresh();
}

void RoomEditor::box_left(QWidget* box) {
    const Room* room = workspace().world().selected_room();
    if (!room || (box != description_ && box != side_text_)) return;
    const bool description = box == description_;
    auto* text_box = static_cast<QPlainTextEdit*>(box);
    const std::string stored = description ? room->description.str() : room->side_text.str();
    const QString shown = from_area_text(stored);
    if (text_box->toPlainText() != shown) {
        // The lines typing wrapped.
        filling_ = true;
        show_text_in_place(text_box, shown);
        filling_ = false;
    }
    (description ? filled_description_ : filled_side_text_) = stored;
    (description ? shown_description_ : shown_side_text_) = shown;
}

bool RoomEditor::handle_key(QKeyEvent* event) {
    // Tab moves between the title and description boxes; it is never typed.
    if (event->key() != Qt::Key_Tab) return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus == title_) {
        description_->setFocus();
        return true;
    }
    if (focus == description_ || focus == side_text_) {
        title_->setFocus();
        return true;
    }
    return false;
}

}  // namespace zs
