// RoomEditor: the room editor's panes. The room text pane holds the selected
// room's title, description and side text boxes, in the fixed font players
// see game text in, with Hide, the Format and Clear buttons and the colour buttons
// with the paint colour's swatch beside "Color:"; Tab moves between the
// title and description boxes. Typing stores into the room at once, each
// burst of typing in one box one undoable step, and keeps the lines of the
// room's texts that the builder did not edit; a "~" or a text longer than
// the area files take is refused. The room pane beside the map (RoomPane)
// holds the room's other fields and its exits.
#pragma once

#include <QPoint>
#include <QString>

#include "editors/editor_pane.h"
#include "world/edits.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zs {

class RoomPane;
class TextTools;

class RoomEditor : public EditorPane {
    Q_OBJECT
public:
    RoomEditor(WorkspaceSignals& bridge, QWidget* area);

    QLineEdit* title_box() const { return title_; }
    QPlainTextEdit* description_box() const { return description_; }
    QPlainTextEdit* side_text_box() const { return side_text_; }

    // The paint colour the colour buttons chose ("&R"), empty at first.
    const QString& paint_colour() const;
    QLabel* swatch() const;
    // The pane beside the map, with the signals that open the room's dialogs.
    RoomPane* room_pane() const { return room_pane_; }

    // True while "Hide" shrinks the text pane to a strip, its boxes hidden.
    bool text_hidden() const override;

    // A click on the colour preview below the map's split line: the left
    // button paints the paint colour before the character clicked, the right
    // removes the nearest code before it.
    void preview_clicked(int split_line, QPoint point, bool right) override;

    bool handle_key(QKeyEvent* event) override;
    // Once the builder leaves a text box, it shows the text as stored: the
    // lines that typing wrapped are shown wrapped.
    void box_left(QWidget* box) override;
    // Fills both panes from the selected room (empty when none is); stores
    // nothing.
    void refresh() override;

protected:
    // Refreshes on changes that reach the selected room, but not on edits of
    // other rooms (a zone-wide operation edits many).
    void record_changed(const Change& change) override;

private:
    // The builder changed a box: stores its text, or puts the box back as it
    // was when the text cannot be stored.
    void title_typed();
    void text_typed(QPlainTextEdit* box, QString& shown, const std::string& filled,
                    RoomField field);
    bool refused(const QString& text);
    int selected_vnum() const;
    void format_pressed();
    void clear_pressed();
    // A colour button pressed (`twice`: double-clicked) with its code.
    void colour_pressed(const QString& code, bool twice);

    QLineEdit* title_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QPlainTextEdit* side_text_ = nullptr;
    // What each box showed after its last accepted change.
    QString shown_title_, shown_description_, shown_side_text_;
    // The room's texts the boxes were last filled with: typing keeps the
    // lines of these that it did not touch.
    std::string filled_description_, filled_side_text_;
    TextTools* tools_ = nullptr;
    RoomPane* room_pane_ = nullptr;
    bool filling_ = false;  // the boxes are being filled from the room
};

}  // namespace zs
