#include "editors/mobile_editor.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace zs {

MobileEditor::MobileEditor(WorkspaceSignals& bridge, QWidget* area)
    : ProtoEditor(EditorKind::Mobile, bridge, area) {
    auto* values = new QPushButton(QStringLiteral("Mob Values"), bottom_pane());
    values->setFocusPolicy(Qt::NoFocus);
    tool_row()->addWidget(values);
    connect(values, &QPushButton::clicked, this, [this] {
        if (current_proto(workspace(), TableKind::Mobile) >= 0) emit mob_values_requested();
    });
}

}  // namespace zs
