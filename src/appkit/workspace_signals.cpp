#include "appkit/workspace_signals.h"

namespace zs {

WorkspaceSignals::WorkspaceSignals(Workspace& ws, QObject* parent) : QObject(parent), ws_(ws) {
    ws_.add_observer(&forwarder_);
}

WorkspaceSignals::~WorkspaceSignals() {
    ws_.remove_observer(&forwarder_);
}

void WorkspaceSignals::Forwarder::workspace_changed(const Change& change) {
    emit to_.record_changed(change);
}

void WorkspaceSignals::Forwarder::file_loaded(TableKind kind, int zone) {
    emit to_.file_loaded(kind, zone);
}

void WorkspaceSignals::Forwarder::redraw_requested(bool force) {
    emit to_.redraw_requested(force);
}

void WorkspaceSignals::Forwarder::editor_switched(EditorKind editor) {
    emit to_.editor_switched(editor);
}

void WorkspaceSignals::Forwarder::history_changed() {
    emit to_.history_changed();
}

void WorkspaceSignals::Forwarder::steps_closed() {
    emit to_.steps_closed();
}

void WorkspaceSignals::set_paint_colour(const QString& code) {
    paint_colour_ = code;
    emit paint_colour_changed(code);
}

}  // namespace zs
