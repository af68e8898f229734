#include "app/room_editor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zs {

RoomEditor::RoomEditor(WorkspaceSignals& bridge, QWidget* area)
    : EditorPane(EditorKind::Room, bridge, area) {
    QWidget* text_pane = bottom_pane();
    auto* text_layout = new QVBoxLayout(text_pane);
    title_ = new QLineEdit(text_pane);
    title_->setObjectName(QStringLiteral("title box"));
    description_ = new QPlainTextEdit(text_pane);
    description_->setObjectName(QStringLiteral("description box"));
    // Game text is laid out in a fixed font, as players see it.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(12);
    title_->setFont(fixed);
    description_->setFont(fixed);
    text_layout->addWidget(title_);
    text_layout->addWidget(description_);
}

bool RoomEditor::handle_key(QKeyEvent* event) {
    // Tab moves between the title and description boxes.
    if (event->key() != Qt::Key_Tab) return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus == title_) {
        description_->setFocus();
        return true;
    }
    if (focus == description_) {
        title_->setFocus();
        return true;
    }
    return false;
}

}  // namespace zs
