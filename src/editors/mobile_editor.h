// MobileEditor: the mobile editor's panes, the mobile selection pane and the
// mobile text pane (ProtoEditor over the mobile table, the mobile's
// properties beside the texts), with "Mob Values" at the text pane's top
// right. Tab has no meaning of its own here.
#pragma once

#include "editors/proto_editor.h"

namespace zs {

class MobileEditor : public ProtoEditor {
    Q_OBJECT
public:
    MobileEditor(WorkspaceSignals& bridge, QWidget* area);

signals:
    // "Mob Values" was pressed while a mobile is current: the window opens
    // the Enter Mob Values dialog for it.
    void mob_values_requested();
};

}  // namespace zs
