#include "app/main_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <ctime>
#include <limits>

#include "app/dialogs.h"
#include "app/exit_dialog.h"
#include "app/export_map.h"
#include "app/generate_dialogs.h"
#include "app/map_widget.h"
#include "app/problems_panel.h"
#include "app/reset_result_dialog.h"
#include "app/room_dialogs.h"
#include "app/room_editor.h"
#include "app/room_pane.h"
#include "app/server_dialogs.h"
#include "editors/conversations_dialog.h"
#include "editors/mobile_editor.h"
#include "editors/object_editor.h"
#include "editors/zone_editor.h"
#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "net/updater.h"
#include "world/edits.h"
#include "world/zone_ops.h"

namespace zs {

namespace {

constexpr int kSideWidth = 200;
constexpr int kSideHeight = 190;
constexpr int kPaneWidth = 200;
constexpr int kTextPaneHeight = 150;

const char* const kEditorStatus[] = {"Room Editor selected.", "Zone Editor selected.",
                                     "Object Editor selected.", "Mobile Editor selected."};

constexpr const char* kLoginBusy = "Login still in progress.  Please wait for completion.";
constexpr const char* kUpdateQuestion =
    "Run Zonesmith Update?  This will close the program and all\r\nunsaved data will be lost.  "
    "Are you sure you want to do this?";

// A control the builder types text into.
bool is_text_box(const QWidget* w) {
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// A menu item's text that shows every "&" of `text` as it is.
QString menu_text(const std::string& text) {
    return from_area_text(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

MainWindow::MainWindow(Workspace& ws)
    : ws_(ws), session_(ws.options()), random_(static_cast<std::uint64_t>(std::time(nullptr))) {
    setWindowTitle(QStringLiteral("Zonesmith"));
    resize(900, 700);
    ui_ = std::make_unique<QtUi>(this, [this](const QString& t) { show_status(t); });
    previous_ui_ = &ws_.ui();
    ws_.set_ui(*ui_);
    if (!ws_.area_files()) attach_area_files(ws_);
    signals_ = std::make_unique<WorkspaceSignals>(ws_);

    area_ = new QWidget(this);
    setCentralWidget(area_);
    map_ = new MapWidget(ws_, session_, area_);
    connect(map_, &MapWidget::create_dialog_wanted, this, &MainWindow::open_create_room_dialog);
    // A click on the preview paints the current editor's texts; it never
    // creates a room.
    connect(map_, &MapWidget::preview_clicked, this, [this](QPoint point, bool right) {
        editor_pane(ws_.current_editor()).preview_clicked(map_->split_line(), point, right);
        map_->redraw(true);
    });
    build_panes();
    build_menu();
    connect_workspace();
    // Enter in the vnum box is Select.
    connect(vnum_, &QLineEdit::returnPressed, this, &MainWindow::select_from_vnum_box);
    // A burst of typing ends when its box loses the focus: typing there again
    // is a step of its own.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old) ws_.end_typing_burst();
    });
    // The connection's events come on its own thread; they are handled here,
    // queued on this window's.
    program_path_ = net::running_program();
    link_ = std::make_unique<net::ServerLink>(
        ws_, net::read_link_settings(ws_.area_dir(), &link_settings_problem_),
        [this](std::function<void()> f) {
            QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
        });
    link_->set_observer(this);
    show_panes(ws_.current_editor());
    qApp->installEventFilter(this);
    ask_unsaved_ = [this](const QString& doing) {
        CentredMessageBox box(
            QMessageBox::Question, QStringLiteral("Zonesmith"),
            QStringLiteral("Some changes have not been saved.\nSave all files before %1?")
                .arg(doing),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.button(QMessageBox::Save)->setText(QStringLiteral("Save All"));
        switch (box.exec()) {
            case QMessageBox::Save:
                return UnsavedChoice::Save;
            case QMessageBox::Discard:
                return UnsavedChoice::Discard;
            default:
                return UnsavedChoice::Cancel;
        }
    };
}

MainWindow::~MainWindow() {
    // The connection ends (its thread joined) while everything it reports to
    // is still here; what it posted and was not handled goes with the window.
    link_->set_observer(nullptr);
    link_.reset();
    // A walk still running is stopped; it touches no table.
    map_cancel_ = true;
    if (map_worker_.joinable()) map_worker_.join();
    qApp->removeEventFilter(this);
    // Nothing the workspace says from here on reaches the panes or the map.
    signals_.reset();
    for (auto& pane : panes_)
        pane.reset();
    ws_.set_ui(*previous_ui_);
}

QLineEdit* MainWindow::title_box() const {
    return room_editor_->title_box();
}

QPlainTextEdit* MainWindow::description_box() const {
    return room_editor_->description_box();
}

QWidget* MainWindow::pane(const char* name) const {
    return area_->findChild<QWidget*>(QString::fromLatin1(name));
}

QAction* MainWindow::action(const QString& caption) const {
    for (QAction* a : menuBar()->findChildren<QAction*>())
        if (a->text() == caption) return a;
    return nullptr;
}

void MainWindow::show_status(const QString& text) {
    if (!status_) return;
    status_->setText(text);
    // A text longer than the box shows its start, where the room number is.
    status_->setCursorPosition(0);
}

void MainWindow::build_panes() {
    side_ = new QFrame(area_);
    side_->setObjectName(QStringLiteral("side panel"));
    auto* grid = new QGridLayout(side_);
    grid->setContentsMargins(2, 1, 2, 2);
    status_ = new QLineEdit(side_);
    status_->setReadOnly(true);
    status_->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(status_, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Room Vnum:"), side_), 1, 0, 1, 2);
    vnum_ = new QLineEdit(side_);
    vnum_->setObjectName(QStringLiteral("vnum box"));
    grid->addWidget(vnum_, 1, 2, 1, 2);
    auto button = [this](const char* caption, auto fn) {
        auto* b = new QPushButton(QString::fromLatin1(caption), side_);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, fn);
        return b;
    };
    grid->addWidget(button("Select", [this] { select_from_vnum_box(); }), 2, 2, 1, 2);
    grid->addWidget(button("+", [this] { step_selection(+1); }), 2, 0);
    grid->addWidget(button("-", [this] { step_selection(-1); }), 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Floor"), side_), 3, 0);
    grid->addWidget(button("Up",
                           [this] {
                               session_.view().floor_offset += 1;
                               map_->redraw(true);
                           }),
                    3, 1);
    grid->addWidget(button("Down",
                           [this] {
                               session_.view().floor_offset -= 1;
                               map_->redraw(true);
                           }),
                    3, 2);
    grid->addWidget(button("Load", [this] { load_current(ws_, ws_.current_editor()); }), 4, 0, 1,
                    2);
    grid->addWidget(button("Save", [this] { save_current(ws_, ws_.current_editor()); }), 4, 2, 1,
                    2);
    grid->addWidget(button("Redit", [this] { ws_.switch_editor(EditorKind::Room); }), 5, 0, 1, 2);
    grid->addWidget(button("Oedit", [this] { ws_.switch_editor(EditorKind::Object); }), 5, 2, 1, 2);
    grid->addWidget(button("Zedit", [this] { ws_.switch_editor(EditorKind::Zone); }), 6, 0, 1, 2);
    grid->addWidget(button("Medit", [this] { ws_.switch_editor(EditorKind::Mobile); }), 6, 2, 1, 2);

    auto room = std::make_unique<RoomEditor>(*signals_, area_);
    room_editor_ = room.get();
    // "Move N" ... "Move D" step through an exit as the arrow keys do (the
    // move redraws the map).
    connect(room_editor_->room_pane(), &RoomPane::move_requested, this, [this](int dir) {
        session_.move(ws_, dir, false);
        map_->setFocus();
    });
    // The room pane's dialogs work on the selected room.
    auto on_selected = [this](auto open) {
        return [this, open](auto... args) {
            if (const Room* r = ws_.world().selected_room()) open(ws_, r->vnum, args..., this);
            map_->redraw(true);
        };
    };
    RoomPane* pane = room_editor_->room_pane();
    connect(pane, &RoomPane::exit_dialog_requested, this, on_selected(&open_exit_data_dialog));
    connect(pane, &RoomPane::room_flags_requested, this, on_selected(&open_room_flags_dialog));
    connect(pane, &RoomPane::extra_descs_requested, this, on_selected(&open_extra_descs_dialog));
    panes_[static_cast<std::size_t>(EditorKind::Room)] = std::move(room);
    panes_[static_cast<std::size_t>(EditorKind::Zone)] =
        std::make_unique<ZoneEditor>(*signals_, area_);
    panes_[static_cast<std::size_t>(EditorKind::Object)] =
        std::make_unique<ObjectEditor>(*signals_, area_);
    auto mobiles = std::make_unique<MobileEditor>(*signals_, area_);
    connect(mobiles.get(), &MobileEditor::mob_values_requested, this, [this] {
        if (const MobilePrototype* m = ws_.mobiles().current_mobile())
            open_mob_values_dialog(ws_, m->vnum, this);
    });
    panes_[static_cast<std::size_t>(EditorKind::Mobile)] = std::move(mobiles);
    for (const auto& p : panes_)
        connect(p.get(), &EditorPane::text_hidden_changed, this, [this] {
            laid_out_ = QSize();
            lay_out();
        });
}

void MainWindow::build_menu() {
    auto add = [this](QMenu* menu, const char* caption, auto fn, QList<QKeySequence> keys = {}) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        connect(a, &QAction::triggered, this, fn);
        // The menu shows the first key as the platform shows shortcuts.
        a->setShortcuts(keys);
        return a;
    };
    // A shortcut used up the Ctrl key: a right-click that follows needs Ctrl
    // pressed again to mean "down".
    auto ctrl_used = [this](auto fn) {
        return [this, fn] {
            map_->ctrl = false;
            fn();
        };
    };
    const QKeySequence ctrl_s(Qt::CTRL | Qt::Key_S);
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "&Save Current", ctrl_used([this] {
            save_current(ws_, ws_.current_editor());
            map_->setFocus();
        }),
        {ctrl_s});
    add(file, "Load &Current...", [this] { load_current(ws_, ws_.current_editor()); });
    // Ctrl+A is Select All in a text box, which keeps it; Ctrl+Shift+S saves
    // all wherever the focus is.
    add(file, "Save &All", ctrl_used([this] { save_all(ws_); }),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_A)});
    add(file, "&Load All...", ctrl_used([this] { load_full_zone(); }),
        {QKeySequence(Qt::CTRL | Qt::Key_L)});
    add(file, "Reload Las&t Files", ctrl_used([this] {
            reload_last_files(ws_);
            map_->setFocus();
            map_->redraw(true);
        }),
        {QKeySequence(Qt::CTRL | Qt::Key_T)});
    add(file, "Load &Wld...  ", [this] { load_current(ws_, EditorKind::Room); });
    add(file, "Load Ob&j...", [this] { load_current(ws_, EditorKind::Object); });
    add(file, "Load &Mob...", [this] { load_current(ws_, EditorKind::Mobile); });
    add(file, "Load &Zon...", [this] { load_current(ws_, EditorKind::Zone); });
    add(file, "&Download Area Files...", ctrl_used([this] { download_area_files(); }),
        {QKeySequence(Qt::CTRL | Qt::Key_D)});
    add(file, "Save W&ld", [this] { save_current(ws_, TableKind::World); });
    add(file, "Save O&bj", [this] { save_current(ws_, TableKind::Object); });
    add(file, "Sa&ve Mob", [this] { save_current(ws_, TableKind::Mobile); });
    add(file, "Save Zo&n", [this] { save_current(ws_, TableKind::Zone); });
    add(file, "Save &Options", [this] { write_settings(ws_); });
    add(file, "Export Map Image...", [this] { export_map_image(); });
    add(file, "E&xit", [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Undo and Redo are the workspace's in a text box too (see eventFilter).
    undo_ = add(edit, "Undo", ctrl_used([this] { step_history(true); }),
                {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_ =
        add(edit, "Redo", ctrl_used([this] { step_history(false); }),
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    add(edit, "&New Room...", [this] { open_new_room_dialog(); });
    // Delete is the map's key: in a box it deletes characters.
    QAction* remove = add(edit, "&Delete Selected Room",
                          [this] {
                              delete_selected_room();
                              map_->setFocus();
                          },
                          {QKeySequence(Qt::Key_Delete)});
    remove->setShortcutContext(Qt::WidgetShortcut);
    map_->addAction(remove);
    add(edit, "D&elete Wld", [this] { open_zone_number_dialog(true); });
    add(edit, "&Unload Wld", [this] { open_zone_number_dialog(false); });
    add(edit, "Unload All &Wlds", [this] { unload(false); });
    add(edit, "Unload &All", [this] { unload(true); });
    add(edit, "&Apply Attribute to Zone...", [this] { open_apply_attributes_dialog(); });
    add(edit, "&Re-number Zone...", [this] { open_renumber_dialog(); });
    // The attribute clipboard. In a text box Ctrl+C and Ctrl+V copy and paste
    // text: the box claims them before these shortcuts.
    edit->addSeparator();
    add(edit, "&Copy Sector, Climate and Flags",
        ctrl_used([this] { session_.copy_sector_climate_flags(ws_); }),
        {QKeySequence(Qt::CTRL | Qt::Key_C)});
    add(edit, "Copy &Title Color", ctrl_used([this] { session_.copy_title_colour(ws_); }),
        {QKeySequence(Qt::CTRL | Qt::Key_R)});
    add(edit, "Copy Room C&olor", ctrl_used([this] { session_.copy_room_colour(ws_); }),
        {QKeySequence(Qt::CTRL | Qt::Key_G)});
    add(edit, "&Paste to Selected Room", ctrl_used([this] { session_.paste(ws_); }),
        {QKeySequence(Qt::CTRL | Qt::Key_V)});

    QMenu* zone = menuBar()->addMenu(QStringLiteral("&Zone"));
    add(zone, "Show &Reset Result", [this] { show_reset_result(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    add(tools, "&Update...", [this] { run_update(); });
    add(tools, "&Room Editor...", [this] { ws_.switch_editor(EditorKind::Room); });
    add(tools, "&Zone Editor...", [this] { ws_.switch_editor(EditorKind::Zone); });
    add(tools, "&Object Editor...", [this] { ws_.switch_editor(EditorKind::Object); });
    add(tools, "&Mobile Editor...", [this] { ws_.switch_editor(EditorKind::Mobile); });
    add(tools, "Generate &Descs...", [this] { open_generate_descs(); });
    add(tools, "&Generate Map...", [this] { open_generate_map(); });
    add(tools, "Check &Area", [this] { check_area(); });
    add(tools, "&Options...", ctrl_used([this] { open_options(); }),
        {QKeySequence(Qt::CTRL | Qt::Key_O)});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, "&How to Create Exits...", [this] { show_exit_help(this); });
    add(help, "&About Zonesmith...", [this] { show_about(this); });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    lay_out();
}

void MainWindow::lay_out() {
    QSize size = area_->size();
    if (size == laid_out_) return;  // the same size lays out nothing
    laid_out_ = size;
    int w = size.width(), h = size.height();
    // A hidden text pane or zone editor pane is a strip 30 pixels high.
    const int text_height = editor_pane(ws_.current_editor()).text_hidden() ? 24 : kTextPaneHeight;
    side_->setGeometry(w - kSideWidth - 6, 0, kSideWidth + 6, kSideHeight + 6);
    for (const auto& pane : panes_) {
        pane->right_pane()->setGeometry(w - kPaneWidth - 6, kSideHeight + 6, kPaneWidth + 6,
                                        std::max(0, h - text_height - (kSideHeight + 11)));
        pane->bottom_pane()->setGeometry(0, h - text_height - 6, w, text_height + 6);
    }
    map_->setGeometry(0, 0, std::max(1, w - kSideWidth - 6), std::max(1, h - text_height - 6));
    // The split line of every editor; the colour-preview band lies below it.
    map_->set_bands(h - 350, h - text_height - 6);
    map_->redraw(true);
}

void MainWindow::show_panes(EditorKind editor) {
    for (const auto& pane : panes_)
        pane->set_shown(pane->kind() == editor);
    side_->show();
}

void MainWindow::connect_workspace() {
    connect(signals_.get(), &WorkspaceSignals::record_changed, this,
            &MainWindow::workspace_changed);
    connect(signals_.get(), &WorkspaceSignals::file_loaded, this,
            [this](TableKind kind, int) { file_loaded(kind); });
    // Forced: at once; unforced: at once unless the last was within 21 ms.
    connect(signals_.get(), &WorkspaceSignals::redraw_requested, this,
            [this](bool force) { map_->redraw(force); });
    connect(signals_.get(), &WorkspaceSignals::editor_switched, this, &MainWindow::editor_switched);
    connect(signals_.get(), &WorkspaceSignals::history_changed, this,
            &MainWindow::update_history_actions);
    update_history_actions();
}

void MainWindow::update_history_actions() {
    undo_->setText(menu_text(ws_.undo_text()));
    undo_->setEnabled(ws_.history().can_undo());
    redo_->setText(menu_text(ws_.redo_text()));
    redo_->setEnabled(ws_.history().can_redo());
}

void MainWindow::step_history(bool back) {
    const HistoryStep* step = back ? ws_.history().undo_step() : ws_.history().redo_step();
    if (!step) return;
    QString name = from_area_text(step->name);
    const Room* before = ws_.world().selected_room();
    int before_vnum = before ? before->vnum : -1;
    if (!(back ? ws_.undo() : ws_.redo())) return;
    // A room the step selected is shown as a click on it would show it.
    const Room* after = ws_.world().selected_room();
    if (after && after->vnum != before_vnum) session_.select_room(ws_, ws_.world().selected_slot());
    map_->redraw(true);
    show_status((back ? QStringLiteral("Undone: %1.") : QStringLiteral("Redone: %1.")).arg(name));
}

int MainWindow::history_key(const QKeyEvent* event) {
    auto mods = event->modifiers() &
                (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_Z) return 1;
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_Y) return -1;
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z) return -1;
    return 0;
}

void MainWindow::editor_switched(EditorKind editor) {
    show_panes(editor);
    // Each editor's text pane keeps its own Hide.
    laid_out_ = QSize();
    lay_out();
    show_status(QString::fromLatin1(kEditorStatus[static_cast<int>(editor)]));
    map_->request_redraw();
}

void MainWindow::workspace_changed(const Change& change) {
    if (change.table == TableKind::World && change.kind == ChangeKind::Selection) {
        const Room* r = ws_.world().selected_room();
        vnum_->setText(r ? QString::number(r->vnum) : QString());
    }
    map_->request_redraw();
}

void MainWindow::file_loaded(TableKind kind) {
    if (kind == TableKind::World) centre_selected_room(ws_.world(), session_.view());
    map_->redraw(true);
}

void MainWindow::start(const std::string& command_line_file) {
    start_up(ws_, command_line_file);
    centre_selected_room(ws_.world(), session_.view());
    laid_out_ = QSize();
    lay_out();
    if (!link_settings_problem_.empty()) ui_->show_message(link_settings_problem_, {});
}

void MainWindow::select_from_vnum_box() {
    int v = dialog_vnum(vnum_->text().toStdString());
    if (v < 1) {
        // A number below 1 acts as a click at the world's origin.
        session_.left_button_down(ws_, -session_.view().scroll_x, -session_.view().scroll_y, false);
        session_.left_button_up(ws_);
        return;
    }
    int slot = ws_.world().find_room(v);
    if (slot < 0) return;
    session_.select_room(ws_, slot);
    centre_selected_room(ws_.world(), session_.view());
    map_->redraw(true);
    // The arrow keys walk the map again, not the box's caret.
    map_->setFocus();
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
        QRect frame = frameGeometry();
        problems_->setGeometry(frame.right() + 1, frame.top(), 560, 420);
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

void MainWindow::step_selection(int direction) {
    const WorldTable& world = ws_.world();
    const Room* sel = world.selected_room();
    if (!sel) return;
    int best = -1, best_distance = std::numeric_limits<int>::max();
    for (int s = 0; s < world.count(); ++s) {
        int d = (world.room(s).vnum - sel->vnum) * direction;
        if (d > 0 && d < best_distance) {
            best = s;
            best_distance = d;
        }
    }
    if (best < 0) return;
    session_.select_room(ws_, best);
    centre_selected_room(ws_.world(), session_.view());
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
                        : QStringLiteral("Load Full Zone: \"%1\" is not a zone number; nothing "
                                         "loaded.")
                              .arg(typed));
        return;
    }
    ws_.options().last_zone = *zone;
    load_all(ws_, *zone);
    map_->redraw(true);
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
    QImage image =
        map_image(ws_.world(), session_.view().floor_offset, ws_.options().traverse_limit);
    if (!image.isNull() && image.save(file, "PNG"))
        show_status(QStringLiteral("Map image saved."));
    else
        ui_->show_message("The map image could not be written.", {});
    map_->redraw(true);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (settle_unsaved(ws_.modified().any(), QStringLiteral("closing")))
        event->accept();
    else
        event->ignore();  // cancelled, or something was not written: stay open
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            follow_modifier(watched, static_cast<QKeyEvent*>(event));
            break;
        case QEvent::ShortcutOverride: {
            // Undo and Redo are the workspace's in every widget of the window,
            // a text box included: the box is not asked whether it wants the
            // key for its own undo, so the Undo and Redo shortcuts take it.
            auto* w = qobject_cast<QWidget*>(watched);
            if (!w || w->window() != this) break;
            auto* key = static_cast<QKeyEvent*>(event);
            if (history_key(key) != 0) {
                event->ignore();
                return true;
            }
            // The attribute clipboard is the map's and the other controls':
            // in a text box its keys are the box's (Ctrl+C and Ctrl+V the box
            // claims itself).
            if (is_text_box(w) && key->modifiers() == Qt::ControlModifier &&
                (key->key() == Qt::Key_R || key->key() == Qt::Key_G)) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            // Keys released while the map or the window is without the focus,
            // or inside a popup menu, never reach the window as its own: the
            // flags start afresh.
            if (watched == map_) map_->clear_modifiers();
            break;
        case QEvent::Resize:
            // A dock shown or hidden resizes the map's area, not the window.
            if (watched == area_) lay_out();
            break;
        case QEvent::WindowDeactivate:
            if (watched == this) map_->clear_modifiers();
            break;
        case QEvent::Hide:
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->windowType() == Qt::Popup)
                map_->clear_modifiers();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::follow_modifier(QObject* target, const QKeyEvent* event) {
    // Each key event is seen once, when it reaches the widget with the focus
    // (a key a widget ignores travels on to its parents).
    if (target != QApplication::focusWidget() && target != this) return;
    auto* w = qobject_cast<QWidget*>(target);
    if (!w || w->window() != this || event->isAutoRepeat()) return;
    // Set on key-down, cleared by the key coming up.
    const bool down = event->type() == QEvent::KeyPress;
    if (event->key() == Qt::Key_Control) map_->ctrl = down;
    if (event->key() == Qt::Key_Shift) map_->shift = down;
}

void MainWindow::open_generate_descs() {
    GenerateDescsDialog dialog(ws_, random_, this);
    dialog.exec();
    map_->setFocus();
}

void MainWindow::open_generate_map() {
    if (map_worker_.joinable()) {
        show_status(QStringLiteral("A map is being generated; wait for it or cancel it."));
        return;
    }
    GenerateMapDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    const MapRequest request = dialog.request();
    if (std::optional<std::string> problem = map_world_problem(ws_, request)) {
        ws_.ui().show_message(*problem, {});
        return;
    }
    auto* progress = new QProgressDialog(QStringLiteral("Completed: 0%"), QStringLiteral("Cancel"),
                                         0, 100, this);
    progress->setWindowTitle(QStringLiteral("Progress"));
    // The window repaints but takes no edits while the walk runs.
    progress->setWindowModality(Qt::WindowModal);
    progress->setObjectName(QStringLiteral("map progress"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->show();
    map_cancel_ = false;
    connect(progress, &QProgressDialog::canceled, this, [this] { map_cancel_ = true; });
    map_random_ = std::make_unique<Random>(random_);
    QPointer<QProgressDialog> shown(progress);
    map_worker_ = std::thread([this, request, shown] {
        MapProgress report;
        report.cancel = &map_cancel_;
        report.progress = [this, shown](double done) {
            int percent = static_cast<int>(done * 100 + 0.5);
            QMetaObject::invokeMethod(
                this,
                [shown, percent] {
                    if (!shown) return;
                    shown->setValue(percent);
                    shown->setLabelText(QStringLiteral("Completed: %1%").arg(percent));
                },
                Qt::QueuedConnection);
        };
        std::optional<MapPlan> plan = plan_map(request, *map_random_, report);
        bool cancelled = map_cancel_;
        QMetaObject::invokeMethod(
            this,
            [this, request, plan = std::move(plan), cancelled, shown]() mutable {
                if (shown) {
                    // Closing the dialog says "canceled": it is no Cancel.
                    QObject::disconnect(shown, nullptr, this, nullptr);
                    shown->close();
                }
                map_planned(request, std::move(plan), cancelled);
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::map_planned(const MapRequest& request, std::optional<MapPlan> plan,
                             bool cancelled) {
    // Inside another step (a message box of it runs its own event loop) the
    // rooms would join that step: they wait until it has ended.
    if (ws_.in_transaction()) {
        QTimer::singleShot(10, this, [this, request, plan = std::move(plan), cancelled]() mutable {
            map_planned(request, std::move(plan), cancelled);
        });
        return;
    }
    if (map_worker_.joinable()) map_worker_.join();
    cancelled = cancelled || map_cancel_;  // a Cancel after the walk ended counts too
    random_ = *map_random_;                // the draws go on from where the walk left them
    map_random_.reset();
    if (cancelled || !plan) {
        show_status(QStringLiteral("Map generation cancelled; nothing was changed."));
        return;
    }
    if (!add_planned_map(ws_, request, *plan)) return;
    int first = ws_.world().find_room(request.zone * 100);
    if (first >= 0) session_.select_room(ws_, first);
    map_->redraw(true);
    map_->setFocus();
}

void MainWindow::set_program_path(std::filesystem::path path) {
    link_->set_program_path(path);
    program_path_ = std::move(path);
}

void MainWindow::download_area_files() {
    switch (link_->download_command()) {
        case net::ServerLink::DownloadCommand::open_login:
            open_login_dialog();
            break;
        case net::ServerLink::DownloadCommand::open_download:
            open_download();
            break;
        case net::ServerLink::DownloadCommand::busy:
            ui_->show_message(kLoginBusy, {});
            break;
    }
    map_->setFocus();
}

void MainWindow::open_login_dialog() {
    if (login_dialog_) {
        login_dialog_->raise();
        return;
    }
    // Modal, but the connection's events still come: they are posted to this
    // window and the dialog's own loop hands them on.
    LoginDialog dialog(
        [this](net::Credentials c) {
            // Credentials the server could not read are refused before any
            // connection; the dialog says why.
            std::string problem = net::credentials_problem(c);
            if (!link_->login(std::move(c)) && login_dialog_)
                login_dialog_->show_state(net::LoginState::logged_out, problem);
        },
        this);
    login_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    dialog.exec();
    login_dialog_ = nullptr;
    if (download_after_login_) {
        download_after_login_ = false;
        open_download();
    }
}

void MainWindow::open_download() {
    if (download_dialog_) {
        download_dialog_->raise();
        return;
    }
    DownloadDialog dialog([this] { start_download(); }, this);
    download_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    dialog.exec();
    download_dialog_ = nullptr;
}

void MainWindow::start_download() {
    DownloadDialog* dialog = download_dialog_;
    if (!dialog) return;
    if (link_->login_state() == net::LoginState::logged_in) dialog->clear_bars();
    switch (link_->download(dialog->rows())) {
        case net::ServerLink::DownloadStart::logged_out:
            open_login_dialog();  // the download dialog is open already
            break;
        case net::ServerLink::DownloadStart::logging_in:
            ui_->show_message(kLoginBusy, {});
            break;
        case net::ServerLink::DownloadStart::sent:
        case net::ServerLink::DownloadStart::empty_list:
            break;
    }
}

void MainWindow::login_state_changed(net::LoginState state, const std::string& dialog_text) {
    if (login_dialog_) login_dialog_->show_state(state, dialog_text);
}

void MainWindow::open_download_dialog() {
    // Never a modal loop inside the link's handling: the dialog opens when
    // the login dialog has closed, or from the event loop.
    if (login_dialog_) {
        download_after_login_ = true;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { open_download(); }, Qt::QueuedConnection);
}

void MainWindow::download_progress(const net::FileProgress& progress) {
    if (download_dialog_) download_dialog_->show_progress(progress);
}

void MainWindow::download_result(const std::string& line) {
    if (download_dialog_) download_dialog_->show_result(line);
}

void MainWindow::download_finished(const std::string& summary, bool complete) {
    if (download_dialog_) download_dialog_->show_finished(summary, complete);
}

void MainWindow::update_status_changed(net::UpdateStatus status) {
    if (update_item_) {
        // It may be the item whose command runs now: it goes later.
        menuBar()->removeAction(update_item_);
        update_item_->setParent(nullptr);
        update_item_->deleteLater();
        update_item_ = nullptr;
    }
    std::string text = net::update_status_text(status);
    if (!text.empty()) {
        // After the last menu; only "not up to date" does something.
        update_item_ = menuBar()->addAction(QString::fromStdString(text));
        if (status == net::UpdateStatus::not_up_to_date)
            connect(update_item_, &QAction::triggered, this, [this] { run_update(); });
        else
            update_item_->setEnabled(false);
    }
    menuBar()->update();
}

void MainWindow::update_progress(int percent) {
    if (update_dialog_) update_dialog_->show_percent(percent);
}

void MainWindow::update_failed(const std::string& reason) {
    update_failure_ = reason;
    if (update_dialog_)
        update_dialog_->accept();  // no Cancel: the link has given up already
    else
        QMetaObject::invokeMethod(
            this, [this] { finish_update(); }, Qt::QueuedConnection);
}

void MainWindow::install_update(const net::InstallUpdate& update) {
    pending_install_ = update;
    if (update_dialog_)
        update_dialog_->accept();
    else
        QMetaObject::invokeMethod(
            this, [this] { finish_update(); }, Qt::QueuedConnection);
}

void MainWindow::run_update() {
    if (update_dialog_) {
        update_dialog_->raise();
        return;
    }
    if (!ui_->ask_yes_no(kUpdateQuestion, {})) return;
    pending_install_.reset();
    update_failure_.clear();
    link_->start_update();
    UpdateDialog dialog(this);
    update_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    bool cancelled = dialog.exec() != QDialog::Accepted;
    update_dialog_ = nullptr;
    // Cancel stops the download and deletes what came of it.
    if (cancelled && !pending_install_ && update_failure_.empty()) link_->cancel_update();
    finish_update();
    map_->setFocus();
}

void MainWindow::finish_update() {
    if (!update_failure_.empty()) {
        std::string reason = std::move(update_failure_);
        update_failure_.clear();
        ui_->show_message(reason, {});
    }
    if (pending_install_) {
        net::InstallUpdate update = *pending_install_;
        pending_install_.reset();
        install(update);
    }
}

void MainWindow::install(const net::InstallUpdate& update) {
    // The question before the download said unsaved work would be lost; it
    // is asked again, now that quitting is certain.
    if (!settle_unsaved(ws_.modified().any(), QStringLiteral("installing the update"))) {
        show_status(QStringLiteral("The update was not installed; the new program is kept as %1.")
                        .arg(QString::fromStdString(update.part_path.string())));
        return;
    }
    std::vector<std::string> arguments;
    QStringList given = QCoreApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toLocal8Bit().toStdString());
    std::error_code ec;
    std::filesystem::path here = std::filesystem::current_path(ec);
    if (!net::run_update_script(program_path_, update.part_path, arguments, here)) {
        std::string program = program_path_.filename().string();
        std::string part = update.part_path.filename().string();
        ui_->show_message(
            "Error running Zonesmith Update.  You can't execute batch files or something.\r\n"
            "The file " +
                part + " should be in the same folder as " + program +
                ".\r\n"
                "Just delete " +
                program +
                ", and remove the .part portion of the first file, and\r\n"
                "it should work.  If it doesn't, you are boned.",
            {});
        return;
    }
    // The script waits for this process to end; nothing is asked any more.
    QCoreApplication::exit(0);
}

}  // namespace zs
