// The window's side of Find and References: opening the docks, F3 and
// Shift+F3, which record References looks at, and going to a line of
// either: a room is selected on the map (nothing is loaded), an object or
// mobile made current in its editor, a reset command selected in the zone
// editor.
#include <QAction>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

#include "app/find_docks.h"
#include "app/main_window.h"
#include "app/map_widget.h"
#include "editors/zone_editor.h"
#include "world/prototype_edits.h"

namespace zs {

namespace {

// The width a dock of Find or References first takes beside the map.
constexpr int kDockWidth = 380;

// A dock opened for the first time: the window grows by the dock's width
// when the screen has room, so that the map and panes keep theirs.
void make_room_for(QMainWindow* window, QDockWidget* dock) {
    window->resizeDocks({dock}, {kDockWidth}, Qt::Horizontal);
    if (window->isMaximized() || window->isFullScreen() || !window->screen()) return;
    const QRect free = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    const int wider = std::min(kDockWidth, free.right() - frame.right());
    if (wider > 0) window->resize(window->width() + wider, window->height());
}

}  // namespace

void MainWindow::open_find() {
    if (!find_) {
        find_ = new FindDock(
            *signals_,
            [this](const SearchHit& hit) {
                int room = -1;
                if (hit.table == TableKind::Zone)
                    if (int slot = ws_.zones().find_zedit(hit.vnum); slot >= 0)
                        room = command_room(ws_.zones().zedit(slot), hit.index);
                go_to(hit.table, hit.vnum, hit.index, room);
            },
            this);
        addDockWidget(Qt::RightDockWidgetArea, find_);
        make_room_for(this, find_);
        // The toggle follows the dock, closed by its own button too.
        QAction* toggle = action(QStringLiteral("Find &Results"));
        connect(find_, &QDockWidget::visibilityChanged, toggle,
                [toggle, dock = find_](bool) { toggle->setChecked(!dock->isHidden()); });
    }
    find_->show();
    find_->raise();
    find_->box()->setFocus();
    find_->box()->selectAll();
}

void MainWindow::step_find(int direction) {
    if (!find_ || find_->box()->text().trimmed().isEmpty()) {
        open_find();
        return;
    }
    find_->show();
    find_->step(direction);
}

void MainWindow::show_find_results(bool shown) {
    if (shown)
        open_find();
    else if (find_)
        find_->hide();
}

void MainWindow::show_references(bool shown) {
    if (!references_) {
        if (!shown) return;
        references_ = new ReferencesDock(
            *signals_, [this] { return reference_target(); },
            [this](const Reference& r) { go_to(r.table, r.vnum, r.index, r.room); }, this);
        // Below Find when both are open.
        addDockWidget(Qt::RightDockWidgetArea, references_);
        if (!find_) make_room_for(this, references_);
        QAction* toggle = action(QStringLiteral("&References"));
        connect(references_, &QDockWidget::visibilityChanged, toggle,
                [toggle, dock = references_](bool) { toggle->setChecked(!dock->isHidden()); });
    }
    references_->setVisible(shown);
    if (shown) {
        references_->raise();
        references_->refresh_now();
    }
}

ReferencesDock::Target MainWindow::reference_target() const {
    switch (ws_.current_editor()) {
        case EditorKind::Object:
            if (const ObjectPrototype* o = ws_.objects().current_object())
                return std::pair{TableKind::Object, static_cast<int>(o->vnum)};
            return std::nullopt;
        case EditorKind::Mobile:
            if (const MobilePrototype* m = ws_.mobiles().current_mobile())
                return std::pair{TableKind::Mobile, m->vnum};
            return std::nullopt;
        default:
            if (const Room* r = ws_.world().selected_room())
                return std::pair{TableKind::World, static_cast<int>(r->vnum)};
            return std::nullopt;
    }
}

void MainWindow::go_to(TableKind table, int vnum, int index, int room) {
    switch (table) {
        case TableKind::World: {
            int slot = ws_.world().find_room(vnum);
            if (slot < 0) {
                show_status(QStringLiteral("Room %1 is not loaded.").arg(vnum));
                return;
            }
            session_.select_room(ws_, slot);
            centre_selected_room(ws_.world(), session_.view());
            map_->redraw(true);
            return;
        }
        case TableKind::Object:
        case TableKind::Mobile: {
            const bool object = table == TableKind::Object;
            if ((object ? ws_.objects().find_object(vnum) : ws_.mobiles().find_mobile(vnum)) < 0) {
                show_status(QStringLiteral("%1 %2 is not loaded.")
                                .arg(object ? QStringLiteral("Object") : QStringLiteral("Mobile"))
                                .arg(vnum));
                return;
            }
            ws_.switch_editor(object ? EditorKind::Object : EditorKind::Mobile);
            select_proto(ws_, table, vnum);
            return;
        }
        case TableKind::Zone: {
            int slot = ws_.zones().find_zedit(vnum);
            if (slot < 0) {
                show_status(QStringLiteral("Zone %1 is not loaded.").arg(vnum));
                return;
            }
            // The ZCmds tree lists the commands of the map's room unless
            // "Show All " is ticked: the command's room is shown first.
            if (room >= 0 && !ws_.options().show_all_zones)
                if (int room_slot = ws_.world().find_room(room); room_slot >= 0) {
                    session_.select_room(ws_, room_slot);
                    centre_selected_room(ws_.world(), session_.view());
                    map_->redraw(true);
                }
            ws_.zones().select_slot(slot);
            ws_.switch_editor(EditorKind::Zone);
            auto& zone_editor = static_cast<ZoneEditor&>(editor_pane(EditorKind::Zone));
            zone_editor.refresh();
            zone_editor.select_command(index);
            show_status(QStringLiteral("Zone %1, command %2 selected.").arg(vnum).arg(index));
            return;
        }
    }
}

}  // namespace zs
