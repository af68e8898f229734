// The window's commands: the action table that makes every menu item a
// QAction with its shortcuts, and what the items do.
#include <QFileDialog>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenuBar>
#include <limits>

#include "app/dialogs.h"
#include "app/export_map.h"
#include "app/generate_dialogs.h"
#include "app/main_window.h"
#include "app/map_generation.h"
#include "app/map_widget.h"
#include "app/problems_panel.h"
#include "app/reset_result_dialog.h"
#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "files/save_command.h"
#include "world/edits.h"
#include "world/zone_ops.h"

namespace zs {

struct MainWindow::MenuEntry {
    const char* menu;  // "&File", "&Edit", ...; a separator is a null caption
    const char* caption;
    std::function<void()> run;
    // The menu shows the first key as the platform shows shortcuts.
    QList<QKeySequence> keys = {};
    // A shortcut used up the Ctrl key: a right-click that follows needs Ctrl
    // pressed again to mean "down".
    bool uses_ctrl = false;
};

void MainWindow::build_actions() {
    using K = QKeySequence;
    auto ctrl = [](Qt::Key key) { return K(Qt::CTRL | key); };
    // Every menu item, in menu order. A text box keeps Ctrl+A, Ctrl+C and
    // Ctrl+V for its text: the box claims them before these shortcuts. Undo
    // and Redo are the workspace's in a text box too (see eventFilter).
    const MenuEntry table[] = {
        {"&File",
         "&Save Current",
         [this] {
             save_current(ws_, ws_.current_editor());
             map_->setFocus();
         },
         {ctrl(Qt::Key_S)},
         true},
        {"&File", "Load &Current...", [this] { load_current(ws_, ws_.current_editor()); }},
        // Ctrl+Shift+S saves all wherever the focus is.
        {"&File",
         "Save &All",
         [this] { save_all(ws_); },
         {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S), ctrl(Qt::Key_A)},
         true},
        {"&File", "&Load All...", [this] { load_full_zone(); }, {ctrl(Qt::Key_L)}, true},
        {"&File",
         "Reload Las&t Files",
         [this] {
             reload_last_files(ws_);
             map_->setFocus();
             map_->redraw(true);
         },
         {ctrl(Qt::Key_T)},
         true},
        {"&File", "Load &Wld...  ", [this] { load_current(ws_, EditorKind::Room); }},
        {"&File", "Load Ob&j...", [this] { load_current(ws_, EditorKind::Object); }},
        {"&File", "Load &Mob...", [this] { load_current(ws_, EditorKind::Mobile); }},
        {"&File", "Load &Zon...", [this] { load_current(ws_, EditorKind::Zone); }},
        {"&File",
         "&Download Area Files...",
         [this] { server_->download_area_files(); },
         {ctrl(Qt::Key_D)},
         true},
        {"&File", "Se&rver Settings...", [this] { server_->edit_server_settings(); }},
        {"&File", "Save W&ld", [this] { save_current(ws_, TableKind::World); }},
        {"&File", "Save O&bj", [this] { save_current(ws_, TableKind::Object); }},
        {"&File", "Sa&ve Mob", [this] { save_current(ws_, TableKind::Mobile); }},
        {"&File", "Save Zo&n", [this] { save_current(ws_, TableKind::Zone); }},
        {"&File", "Save &Options", [this] { write_settings(ws_); }},
        {"&File", "Export Map Image...", [this] { export_map_image(); }},
        {"&File", "E&xit", [this] { close(); }},

        {"&Edit", "Undo", [this] { step_history(true); }, {ctrl(Qt::Key_Z)}, true},
        {"&Edit",
         "Redo",
         [this] { step_history(false); },
         {ctrl(Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         true},
        {"&Edit", nullptr, {}},
        {"&Edit", "&New Room...", [this] { open_new_room_dialog(); }},
        // Delete is the map's key (see below): in a box it deletes characters.
        {"&Edit",
         "&Delete Selected Room",
         [this] {
             delete_selected_room();
             map_->setFocus();
         },
         {K(Qt::Key_Delete)}},
        {"&Edit", "D&elete Wld", [this] { open_zone_number_dialog(true); }},
        {"&Edit", "&Unload Wld", [this] { open_zone_number_dialog(false); }},
        {"&Edit", "Unload All &Wlds", [this] { unload(false); }},
        {"&Edit", "Unload &All", [this] { unload(true); }},
        {"&Edit", "&Apply Attribute to Zone...", [this] { open_apply_attributes_dialog(); }},
        {"&Edit", "&Re-number Zone...", [this] { open_renumber_dialog(); }},
        // The attribute clipboard.
        {"&Edit", nullptr, {}},
        {"&Edit",
         "&Copy Sector, Climate and Flags",
         [this] { session_.copy_sector_climate_flags(ws_); },
         {ctrl(Qt::Key_C)},
         true},
        {"&Edit",
         "Copy &Title Color",
         [this] { session_.copy_title_colour(ws_); },
         {ctrl(Qt::Key_R)},
         true},
        {"&Edit",
         "Copy Room C&olor",
         [this] { session_.copy_room_colour(ws_); },
         {ctrl(Qt::Key_G)},
         true},
        {"&Edit",
         "&Paste to Selected Room",
         [this] { session_.paste(ws_); },
         {ctrl(Qt::Key_V)},
         true},

        // Find and References: docks beside the map.
        {"&View", "&Find...", [this] { open_find(); }, {ctrl(Qt::Key_F)}, true},
        {"&View", "Find &Next", [this] { step_find(1); }, {K(Qt::Key_F3)}},
        {"&View", "Find &Previous", [this] { step_find(-1); }, {K(Qt::SHIFT | Qt::Key_F3)}},
        {"&View", "Find &Results",
         [this] { show_find_results(action(QStringLiteral("Find &Results"))->isChecked()); }},
        {"&View",
         "&References",
         [this] { show_references(action(QStringLiteral("&References"))->isChecked()); },
         {K(Qt::SHIFT | Qt::Key_F12)}},
        {"&View", "&Messages", [this] { show_messages(); }},
        // The map's zoom, about the selected room.
        {"&View",
         "Zoom &In",
         [this] { map_->zoom_by_key(1); },
         {ctrl(Qt::Key_Equal), ctrl(Qt::Key_Plus)},
         true},
        {"&View", "Zoom &Out", [this] { map_->zoom_by_key(-1); }, {ctrl(Qt::Key_Minus)}, true},
        {"&View", "&Actual Size", [this] { map_->zoom_by_key(0); }, {ctrl(Qt::Key_0)}, true},

        {"&Zone", "Show &Reset Result", [this] { show_reset_result(); }},

        {"&Tools", "&Update...", [this] { server_->run_update(); }},
        {"&Tools", "&Room Editor...", [this] { ws_.switch_editor(EditorKind::Room); }},
        {"&Tools", "&Zone Editor...", [this] { ws_.switch_editor(EditorKind::Zone); }},
        {"&Tools", "&Object Editor...", [this] { ws_.switch_editor(EditorKind::Object); }},
        {"&Tools", "&Mobile Editor...", [this] { ws_.switch_editor(EditorKind::Mobile); }},
        {"&Tools", "Generate &Descs...", [this] { open_generate_descs(); }},
        {"&Tools", "&Generate Map...", [this] { open_generate_map(); }},
        {"&Tools", "Check &Area", [this] { check_area(); }},
        {"&Tools", "&Options...", [this] { open_options(); }, {ctrl(Qt::Key_O)}, true},

        {"&Help", "&How to Create Exits...", [this] { show_exit_help(this); }},
        {"&Help", "&About Zonesmith...", [this] { show_about(this); }},
    };
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : table) {
        if (!menu || menu->title() != QString::fromLatin1(entry.menu))
            menu = menuBar()->addMenu(QString::fromLatin1(entry.menu));
        if (!entry.caption) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(QString::fromLatin1(entry.caption));
        a->setShortcuts(entry.keys);
        if (entry.uses_ctrl)
            connect(a, &QAction::triggered, this, [this, run = entry.run] {
                map_->ctrl = false;
                run();
            });
        else
            connect(a, &QAction::triggered, this, entry.run);
    }
    for (const char* toggle : {"Find &Results", "&References"})
        action(QString::fromLatin1(toggle))->setCheckable(true);
    undo_ = action(QStringLiteral("Undo"));
    redo_ = action(QStringLiteral("Redo"));
    // Delete works on the map only.
    QAction* remove = action(QStringLiteral("&Delete Selected Room"));
    remove->setShortcutContext(Qt::WidgetShortcut);
    map_->addAction(remove);
}

bool MainWindow::settle_unsaved(bool unsaved, const QString& doing) {
    if (!unsaved) return true;
    switch (ask_unsaved_(doing)) {
        case UnsavedChoice::Save:
            return save_all(ws_);  // something not written: stop
        case UnsavedChoice::Discard:
            return true;
        case UnsavedChoice::Cancel:
            return false;
    }
    return false;
}

void MainWindow::unload(bool everything) {
    // Only unsaved work of what goes away is worth the question.
    bool unsaved = everything ? ws_.modified().any() : ws_.modified().is_set(TableKind::World);
    bool go_on = settle_unsaved(unsaved, QStringLiteral("unloading"));
    map_->setFocus();
    if (!go_on) return;
    if (everything)
        unload_all(ws_);
    else
        unload_all_worlds(ws_);
    map_->redraw(true);
}

void MainWindow::load_full_zone() {
    LoadZoneDialog dialog(ws_.options().last_zone, this);
    bool ok = dialog.exec() == QDialog::Accepted;
    map_->setFocus();
    if (!ok) return;
    std::optional<int> zone = dialog.zone();
    if (!zone) {
        QString typed = dialog.zone_box()->text().trimmed();
        show_status(typed.isEmpty()
                        ? QStringLiteral("Load Full Zone: no zone number given; nothing loaded.")
                        : QStringLiteral("Load Full Zone: \"%1\" is not a zone number (0 to "
                                         "%2); nothing loaded.")
                              .arg(typed)
                              .arg(kHighestZone));
        return;
    }
    if (!zone_number_valid(*zone)) {
        show_status(QStringLiteral("Load Full Zone: there is no zone %1; zones run from 0 to %2. "
                                   "Nothing loaded.")
                        .arg(*zone)
                        .arg(kHighestZone));
        return;
    }
    ws_.options().last_zone = *zone;
    load_all(ws_, *zone);
    map_->redraw(true);
}

void MainWindow::open_options() {
    const int tree_codes = ws_.options().color_codes_in_trees;
    OptionsDialog dialog(ws_.options(), this);
    dialog.exec();
    // The zone, object and mobile trees show their labels as the option says.
    if (ws_.options().color_codes_in_trees != tree_codes)
        for (EditorKind e : {EditorKind::Zone, EditorKind::Object, EditorKind::Mobile})
            if (editor_pane(e).shown()) editor_pane(e).refresh();
    map_->setFocus();
    session_.apply_options(ws_.options());
    map_->redraw(true);
}

void MainWindow::open_create_room_dialog() {
    auto dir = session_.pending_direction();
    if (!dir) return;
    QInputDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Create New Room"));
    dialog.setLabelText(QString::fromStdString(dialog_label(*dir)));
    auto v = session_.dialog_default_vnum(ws_);
    dialog.setTextValue(v ? QString::number(*v) : QString());
    dialog.adjustSize();
    centre_dialog(&dialog);
    bool ok = dialog.exec() == QDialog::Accepted;
    map_->setFocus();
    if (!ok) return;
    session_.create_room_from_dialog(ws_, dialog.textValue().toStdString());
    map_->redraw(true);
}

void MainWindow::delete_selected_room() {
    const Room* r = ws_.world().selected_room();
    if (!r) return;
    // The room goes with every exit that leads to it; the selection moves on
    // to the first room its own exits reach. One step of the history.
    delete_room(ws_, r->vnum);
    if (ws_.world().selected_slot() >= 0) session_.select_room(ws_, ws_.world().selected_slot());
    map_->redraw(true);
}

std::optional<QString> MainWindow::ask_number(const QString& caption, const QString& label) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.adjustSize();
    centre_dialog(&dialog);
    bool ok = dialog.exec() == QDialog::Accepted;
    map_->setFocus();
    if (!ok) return std::nullopt;
    return dialog.textValue();
}

void MainWindow::show_zone_operation(int selected_before) {
    // A room that the operation newly selected, or whose number it changed,
    // is shown as a click would show it; the operation's own status stays.
    const Room* r = ws_.world().selected_room();
    if (r && r->vnum != selected_before) {
        QString status = status_->text();
        session_.select_room(ws_, ws_.world().selected_slot());
        show_status(status);
    }
    map_->redraw(true);
}

int MainWindow::selected_vnum() const {
    const Room* r = ws_.world().selected_room();
    return r ? r->vnum : -1;
}

void MainWindow::open_new_room_dialog() {
    auto box = ask_number(QStringLiteral("New Room"), QStringLiteral("Room Number:"));
    if (!box) return;
    // Selects and centres the new room itself, and says what it did.
    session_.create_room_by_number(ws_, box->toStdString());
    map_->redraw(true);
}

void MainWindow::open_zone_number_dialog(bool remove_incoming) {
    auto box =
        ask_number(remove_incoming ? QStringLiteral("Delete Zone") : QStringLiteral("Unload Zone"),
                   QStringLiteral("Zone Number"));
    if (!box) return;
    std::string text = box->toStdString();
    int before = selected_vnum();
    if (remove_incoming) {
        // Asks its own warning first; one step of the history.
        delete_zone(ws_, text);
    } else {
        // Unloading cannot be undone: the zone's unsaved rooms are worth the
        // question that Unload All Wlds asks.
        std::optional<long long> zone = box_number(text);
        bool unsaved = zone && zone_number_valid(*zone) &&
                       ws_.modified().is_set(TableKind::World, static_cast<int>(*zone));
        bool go_on = settle_unsaved(unsaved, QStringLiteral("unloading"));
        map_->setFocus();
        if (!go_on) return;
        unload_zone(ws_, text);
    }
    show_zone_operation(before);
}

void MainWindow::open_apply_attributes_dialog() {
    const Room* r = ws_.world().selected_room();
    if (!r) {
        show_status(QStringLiteral("No room selected."));
        return;
    }
    ApplyAttributesDialog dialog(r->vnum, r->zone, this);
    bool ok = dialog.exec() == QDialog::Accepted;
    map_->setFocus();
    if (!ok) return;
    apply_attributes(ws_, dialog.choices());
    map_->redraw(true);
}

void MainWindow::open_renumber_dialog() {
    const Room* r = ws_.world().selected_room();
    std::optional<int> zone;
    if (r) zone = r->zone;
    RenumberZoneDialog dialog(
        zone,
        [this](const QString& old_box, const QString& new_box, bool whole_zone) {
            int before = selected_vnum();
            renumber_zone_from_boxes(ws_, old_box.toStdString(), new_box.toStdString(), whole_zone);
            show_zone_operation(before);
        },
        this);
    dialog.exec();
    map_->setFocus();
}

void MainWindow::export_map_image() {
    if (!ws_.world().selected_room()) {
        show_status(QStringLiteral("No room selected."));
        return;
    }
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Export Map Image"), QString(),
                                                QStringLiteral("PNG images (*.png)"));
    if (file.isEmpty()) return;
    QImage image = map_image(ws_.world(), session_.view().floor_offset,
                             ws_.options().traverse_limit, session_.view().zoom);
    if (!image.isNull() && image.save(file, "PNG"))
        show_status(QStringLiteral("Map image saved."));
    else
        ui_->show_message("The map image could not be written.", {});
    map_->redraw(true);
}

void MainWindow::check_area() {
    if (!problems_) {
        problems_ = new ProblemsPanel(
            *signals_,
            [this](int slot) {
                session_.select_room(ws_, slot);
                centre_selected_room(ws_.world(), session_.view());
                map_->redraw(true);
            },
            [this](const QString& text) { show_status(text); }, this);
        // The panel floats beside the window: docked, it would take its room
        // from the map, whose geometry is fixed.
        addDockWidget(Qt::BottomDockWidgetArea, problems_);
        problems_->setAllowedAreas(Qt::NoDockWidgetArea);
        problems_->setFloating(true);
        problems_->show();
        place_beside_window(problems_, QSize(560, 420));
    }
    problems_->show();
    problems_->raise();
    problems_->check_now();
}

void MainWindow::show_reset_result() {
    std::optional<int> zone = reset_result_zone(ws_);
    if (!zone) {
        show_status(QStringLiteral(
            "No zedit to show: select a zedit, or a room of a zone whose zedit is loaded."));
        return;
    }
    // Modeless: the builder may keep it open beside the zone editor.
    auto* dialog = new ResetResultDialog(ws_, *zone, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void MainWindow::open_generate_descs() {
    GenerateDescsDialog dialog(ws_, random_, this);
    dialog.exec();
    map_->setFocus();
}

void MainWindow::open_generate_map() {
    if (map_generation_->running()) {
        show_status(QStringLiteral("A map is being generated; wait for it or cancel it."));
        return;
    }
    // The dialog closes only on a request the workspace takes.
    GenerateMapDialog dialog(ws_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (std::optional<MapRequest> request = dialog.request()) map_generation_->start(*request);
}

void MainWindow::map_generated(const MapRequest& request) {
    int first = ws_.world().find_room(request.zone * 100);
    if (first >= 0) session_.select_room(ws_, first);
    map_->redraw(true);
    map_->setFocus();
}

}  // namespace zs
