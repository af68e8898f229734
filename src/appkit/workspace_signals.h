// WorkspaceSignals: the one bridge from the workspace's observer calls to Qt
// signals. The window and every editor pane listen here rather than being
// workspace observers themselves; each signal is emitted at once, inside the
// workspace call that caused it.
#pragma once

#include <QObject>
#include <QString>

#include "world/workspace.h"

namespace zs {

class WorkspaceSignals : public QObject {
    Q_OBJECT
public:
    explicit WorkspaceSignals(Workspace& ws, QObject* parent = nullptr);
    ~WorkspaceSignals() override;

    Workspace& workspace() const { return ws_; }

    // The paint colour ("&R", empty at first) that a colour button of any
    // text pane chose: the room, object and mobile panes share it.
    const QString& paint_colour() const { return paint_colour_; }
    void set_paint_colour(const QString& code);

signals:
    // A record was added, removed or edited, a table was cleared, or a
    // table's selection moved. The change carries the table, the record's id
    // (vnum, or zone number for zedits; previous_id too when it was
    // renumbered), the kind, the fields an edit changed, where it came from
    // (load, edit, undo, redo) and its source: the pane whose EditOptions
    // made the edit, null for everything else. A pane compares the source
    // with itself and does not refresh from its own keystrokes, so that the
    // box being typed in keeps its caret and selection.
    void record_changed(const zs::Change& change);
    // A file of the kind finished loading.
    void file_loaded(zs::TableKind kind, int zone);
    // The map should be drawn again; `force` skips the pacing of redraws.
    void redraw_requested(bool force);
    void editor_switched(zs::EditorKind editor);
    // A step was added, undone or redone, or steps were dropped: the names
    // of Undo and Redo and what is modified may have changed.
    void history_changed();
    // The outermost open step ended, kept or not: no step is open now.
    void steps_closed();
    void paint_colour_changed(const QString& code);

private:
    // The observer the workspace calls; it emits this object's signals.
    class Forwarder : public WorkspaceObserver {
    public:
        explicit Forwarder(WorkspaceSignals& to) : to_(to) {}
        void workspace_changed(const Change& change) override;
        void file_loaded(TableKind kind, int zone) override;
        void redraw_requested(bool force) override;
        void editor_switched(EditorKind editor) override;
        void history_changed() override;
        void steps_closed() override;

    private:
        WorkspaceSignals& to_;
    };

    Workspace& ws_;
    Forwarder forwarder_{*this};
    QString paint_colour_;
};

}  // namespace zs
