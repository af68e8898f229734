// ObjectEditor: the object editor's panes, the object selection pane and the object text pane. Both
// are still empty.
#pragma once

#include "editors/editor_pane.h"

namespace zs {

class ObjectEditor : public EditorPane {
public:
    ObjectEditor(WorkspaceSignals& bridge, QWidget* area)
        : EditorPane(EditorKind::Object, bridge, area) {}
};

}  // namespace zs
