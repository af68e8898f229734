// ZoneEditor: the zone editor's panes, the zone selection pane and the zone editor pane. Both are
// still empty.
#pragma once

#include "editors/editor_pane.h"

namespace zs {

class ZoneEditor : public EditorPane {
public:
    ZoneEditor(WorkspaceSignals& bridge, QWidget* area)
        : EditorPane(EditorKind::Zone, bridge, area) {}
};

}  // namespace zs
