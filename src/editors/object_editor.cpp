#include "editors/object_editor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "editors/room_dialogs.h"

namespace zs {

ObjectEditor::ObjectEditor(WorkspaceSignals& bridge, QWidget* area)
    : ProtoEditor(EditorKind::Object, bridge, area) {
    watch_keys({line_field(ProtoField::Keywords), line_field(ProtoField::ShortDescription),
                line_field(ProtoField::LongDescription), look_field()});
    auto* extras = new QPushButton(QStringLiteral("Extra Descs"), bottom_pane());
    extras->setObjectName(QStringLiteral("object extra descs button"));
    extras->setFocusPolicy(Qt::NoFocus);
    tool_row()->addWidget(extras);
    connect(extras, &QPushButton::clicked, this, [this] {
        open_object_extra_descs_dialog(workspace(), current_proto(workspace(), TableKind::Object),
                                       bottom_pane()->window());
    });
}

bool ObjectEditor::handle_key(QKeyEvent* event) {
    // Tab is never typed into the fields.
    if (event->key() != Qt::Key_Tab) return false;
    QWidget* focus = QApplication::focusWidget();
    QWidget* next = nullptr;
    if (focus == line_field(ProtoField::Keywords) ||
        focus == line_field(ProtoField::ShortDescription))
        next = line_field(ProtoField::LongDescription);
    else if (focus == line_field(ProtoField::LongDescription))
        next = look_field();
    else if (focus == look_field())
        next = line_field(ProtoField::Keywords);
    if (!next) return false;
    next->setFocus(Qt::TabFocusReason);
    return true;
}

}  // namespace zs
