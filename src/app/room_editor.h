// RoomEditor: the room editor's panes. The room text pane holds the selected
// room's title and description boxes, in the fixed font players see game
// text in; Tab moves between the two. The room pane beside the map is still
// empty.
#pragma once

#include "editors/editor_pane.h"

class QLineEdit;
class QPlainTextEdit;

namespace zs {

class RoomEditor : public EditorPane {
    Q_OBJECT
public:
    RoomEditor(WorkspaceSignals& bridge, QWidget* area);

    QLineEdit* title_box() const { return title_; }
    QPlainTextEdit* description_box() const { return description_; }

    bool handle_key(QKeyEvent* event) override;

private:
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

}  // namespace zs
