// EditorPane: what the four editors (room, zone, object, mobile) have in
// common. Each owns its two panes in the main window: the right-hand pane
// below the side panel and the bottom text pane along the window's foot. It
// knows its editor kind, listens to the workspace through WorkspaceSignals,
// fills its widgets from the workspace, and is offered the keys typed into
// the boxes it watches before the boxes see them.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <initializer_list>

#include "appkit/workspace_signals.h"

class QKeyEvent;
class QWidget;

namespace zs {

// The table an editor edits: rooms, zedits, objects or mobiles.
TableKind table_of(EditorKind editor);

class EditorPane : public QObject {
    Q_OBJECT
public:
    // Makes the two panes, empty and hidden, as children of `area` (the
    // window's central widget), named after the editor ("room pane", "room
    // text pane" and so on).
    EditorPane(EditorKind kind, WorkspaceSignals& bridge, QWidget* area);
    ~EditorPane() override;

    EditorKind kind() const { return kind_; }
    TableKind table() const { return table_of(kind_); }
    Workspace& workspace() const { return signals_.workspace(); }
    WorkspaceSignals& workspace_signals() const { return signals_; }
    QWidget* right_pane() const { return right_; }
    QWidget* bottom_pane() const { return bottom_; }

    // Shows or hides both panes (the window shows the current editor's); a
    // pane that comes into view is refreshed.
    void set_shown(bool shown);
    bool shown() const { return shown_; }
    // True when the widget is one of the panes or lies inside one.
    bool contains(const QWidget* widget) const;

    // Fills the widgets from the workspace. Called when the panes come into
    // view, after a file of the editor's kind loaded, and (by the default
    // record_changed) after changes to the editor's table while shown.
    virtual void refresh() {}
    // A key pressed in one of the boxes the pane watches (watch_keys), before
    // the box sees it; the window's shortcuts have had it first. True when the
    // key is used up and goes no further.
    virtual bool handle_key(QKeyEvent* event);

    // True while the bottom pane's "Hide" shrinks it to a strip.
    virtual bool text_hidden() const { return false; }
    // A click on the colour preview below the map's split line (`point` in
    // the map's pixels): the editor paints or unpaints the text clicked.
    virtual void preview_clicked(int /*split_line*/, QPoint /*point*/, bool /*right*/) {}

    // What an edit made from this pane passes to the core: the fields it
    // changes, this pane as its source, and the merge key of typing.
    EditOptions edit_options(FieldMask fields, MergeKey merge = {}) const {
        return EditOptions{fields, this, merge};
    }
    // True when the change is an edit this pane made itself (see
    // WorkspaceSignals::record_changed).
    bool made_here(const Change& change) const { return change.source == this; }

signals:
    // "Hide" was ticked or cleared: the window lays the panes out again.
    void text_hidden_changed();

protected:
    // The boxes whose keys handle_key is offered, and whose leaving
    // box_left is told of.
    void watch_keys(std::initializer_list<QWidget*> boxes);
    // The builder left a watched box (its focus went to another widget of
    // the window; a context menu or another window does not count).
    virtual void box_left(QWidget* /*box*/) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Every change of the workspace. By default a shown pane refreshes on
    // changes to its own table that it did not make.
    virtual void record_changed(const Change& change);

private:
    EditorKind kind_;
    WorkspaceSignals& signals_;
    QPointer<QWidget> right_;
    QPointer<QWidget> bottom_;
    bool shown_ = false;
};

}  // namespace zs
