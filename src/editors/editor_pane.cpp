#include "editors/editor_pane.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>

namespace zs {

namespace {

const char* const kRightNames[] = {"room pane", "zone selection pane", "object selection pane",
                                   "mobile selection pane"};
const char* const kBottomNames[] = {"room text pane", "zone editor pane", "object text pane",
                                    "mobile text pane"};

QFrame* make_pane(QWidget* area, const char* name) {
    auto* pane = new QFrame(area);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setFrameShape(QFrame::StyledPanel);
    pane->hide();
    return pane;
}

}  // namespace

TableKind table_of(EditorKind editor) {
    switch (editor) {
        case EditorKind::Room:
            return TableKind::World;
        case EditorKind::Zone:
            return TableKind::Zone;
        case EditorKind::Object:
            return TableKind::Object;
        case EditorKind::Mobile:
            return TableKind::Mobile;
    }
    return TableKind::World;
}

EditorPane::EditorPane(EditorKind kind, WorkspaceSignals& bridge, QWidget* area)
    : kind_(kind), signals_(bridge) {
    auto e = static_cast<std::size_t>(kind);
    bottom_ = make_pane(area, kBottomNames[e]);
    right_ = make_pane(area, kRightNames[e]);
    connect(&signals_, &WorkspaceSignals::record_changed, this,
            [this](const Change& change) { record_changed(change); });
    connect(&signals_, &WorkspaceSignals::file_loaded, this, [this](TableKind loaded, int) {
        if (shown_ && loaded == table()) refresh();
    });
}

EditorPane::~EditorPane() {
    delete right_;
    delete bottom_;
}

void EditorPane::set_shown(bool shown) {
    bool appears = shown && !shown_;
    shown_ = shown;
    bottom_->setVisible(shown);
    right_->setVisible(shown);
    if (appears) refresh();
}

bool EditorPane::contains(const QWidget* widget) const {
    for (const QWidget* pane : {right_.data(), bottom_.data()})
        if (pane && widget && (widget == pane || pane->isAncestorOf(widget))) return true;
    return false;
}

bool EditorPane::handle_key(QKeyEvent*) {
    return false;
}

void EditorPane::watch_keys(std::initializer_list<QWidget*> boxes) {
    for (QWidget* box : boxes)
        box->installEventFilter(this);
}

bool EditorPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handle_key(static_cast<QKeyEvent*>(event)))
        return true;
    // A context menu or another window takes the focus only for a while:
    // the builder is still at the box.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            box_left(qobject_cast<QWidget*>(watched));
    }
    return QObject::eventFilter(watched, event);
}

void EditorPane::record_changed(const Change& change) {
    if (shown_ && change.table == table() && !made_here(change)) refresh();
}

}  // namespace zs
