// ObjectEditor: the object editor's panes, the object selection pane and the
// object text pane (ProtoEditor over the object table, the object's
// properties beside the texts), with "Extra Descs" at the text pane's top
// right for the object's Extra Descriptions dialog. Tab moves from the
// keywords or short description to the long description, from there to the
// look description, and from that back to the keywords.
#pragma once

#include "editors/proto_editor.h"

namespace zs {

class ObjectEditor : public ProtoEditor {
    Q_OBJECT
public:
    ObjectEditor(WorkspaceSignals& bridge, QWidget* area);

    bool handle_key(QKeyEvent* event) override;
};

}  // namespace zs
