// MobileEditor: the mobile editor's panes, the mobile selection pane and the mobile text pane. Both
// are still empty.
#pragma once

#include "editors/editor_pane.h"

namespace zs {

class MobileEditor : public EditorPane {
public:
    MobileEditor(WorkspaceSignals& bridge, QWidget* area)
        : EditorPane(EditorKind::Mobile, bridge, area) {}
};

}  // namespace zs
