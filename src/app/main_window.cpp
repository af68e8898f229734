#include "app/main_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <limits>
#include <set>

#include "app/map_generation.h"
#include "app/map_widget.h"
#include "app/messages_dock.h"
#include "app/problems_panel.h"
#include "editors/conversations_dialog.h"
#include "editors/exit_dialog.h"
#include "editors/mobile_editor.h"
#include "editors/object_editor.h"
#include "editors/room_dialogs.h"
#include "editors/room_editor.h"
#include "editors/room_pane.h"
#include "editors/zone_editor.h"
#include "files/area_files.h"

namespace zs {

namespace {

// The right-hand column (side panel and the editor's pane) and the bottom
// text pane as the window first shows them; the builder moves the borders.
constexpr int kRightWidth = 206;
constexpr int kBottomHeight = 156;
// A hidden text pane or zone editor pane is a strip 30 pixels high.
constexpr int kStripHeight = 30;
// The colour preview band below the map's split line reaches 350 pixels
// above the window's foot: 194 pixels over a text pane, more over a strip.
constexpr int kPreviewReach = 350;
constexpr int kSplitterHandle = 4;

const char* const kEditorStatus[] = {"Room Editor selected.", "Zone Editor selected.",
                                     "Object Editor selected.", "Mobile Editor selected."};

// A control the builder types text into.
bool is_text_box(const QWidget* w) {
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// The scroll area of the editors' bottom panes. Its width is the window's to
// give: a pane wider than the window scrolls sideways rather than widen it.
// It is never lower than the shown pane's least height (with the sideways
// scroll bar below it when the pane is wider than the area), so no row of a
// pane is squeezed.
class BottomScroller : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize minimumSizeHint() const override {
        QSize least = QScrollArea::minimumSizeHint();
        if (!widget()) return least;
        const QSize inner = widget()->minimumSizeHint();
        int height = inner.height() + 2 * frameWidth();
        if (inner.width() > contentsRect().width())
            height += horizontalScrollBar()->sizeHint().height();
        return {least.width(), height};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        // The sideways scroll bar may come or go with the width.
        if (event->size().width() != event->oldSize().width()) updateGeometry();
    }
};

// A menu item's text that shows every "&" of `text` as it is.
QString menu_text(const std::string& text) {
    return from_area_text(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

MainWindow::MainWindow(Workspace& ws)
    : ws_(ws),
      session_(ws.options()),
      random_(static_cast<std::uint64_t>(std::time(nullptr))),
      bottom_height_(kBottomHeight) {
    resize(900, 700);
    ui_ = std::make_unique<QtUi>(
        this, [this](const QString& t) { show_status(t); }, &ws_.messages());
    previous_ui_ = &ws_.ui();
    ws_.set_ui(*ui_);
    if (!ws_.area_files()) attach_area_files(ws_);
    signals_ = std::make_unique<WorkspaceSignals>(ws_);

    build_panes();
    build_actions();
    connect_workspace();
    // Enter in the vnum box is Select.
    connect(vnum_, &QLineEdit::returnPressed, this, &MainWindow::select_from_vnum_box);
    // A burst of typing ends when its box loses the focus: typing there again
    // is a step of its own.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old) ws_.end_typing_burst();
    });
    server_ = std::make_unique<ServerController>(
        ws_,
        ServerController::Window{
            this, ui_.get(),
            [this](const QString& doing) { return settle_unsaved(ws_.modified().any(), doing); },
            [this] { map_->setFocus(); }, [this](const QString& t) { show_status(t); }});
    map_generation_ = std::make_unique<MapGeneration>(
        *signals_, random_, this, [this](const MapRequest& request) { map_generated(request); },
        [this](const QString& t) { show_status(t); });
    show_panes(ws_.current_editor());
    update_title();
    qApp->installEventFilter(this);
    ask_unsaved_ = [this](const QString& doing) {
        const QString question =
            QStringLiteral("Some changes have not been saved.\nSave all files before %1?")
                .arg(doing);
        ws_.messages().add(MessageKind::Question, question.toStdString());
        CentredMessageBox box(QMessageBox::Question, QStringLiteral("Zonesmith"), question,
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        // Alt+S, Alt+D and Alt+C answer from the keyboard.
        box.button(QMessageBox::Save)->setText(QStringLiteral("&Save All"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("&Cancel"));
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
    // The server flows end while everything they report to is still here.
    server_.reset();
    map_generation_.reset();
    qApp->removeEventFilter(this);
    // Nothing the workspace says from here on reaches the panes or the map.
    signals_.reset();
    for (auto& pane : panes_)
        pane.reset();
    ws_.set_ui(*previous_ui_);
}

QWidget* MainWindow::build_side_panel() {
    auto* side = new QFrame;
    side->setObjectName(QStringLiteral("side panel"));
    auto* grid = new QGridLayout(side);
    grid->setContentsMargins(2, 1, 2, 2);
    status_ = new QLineEdit(side);
    status_->setObjectName(QStringLiteral("status box"));
    status_->setReadOnly(true);
    // Tab reaches it, so that the keys can scroll a long text; a click on
    // the map never leaves the focus here.
    status_->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(status_, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Room Vnum:"), side), 1, 0, 1, 2);
    vnum_ = new QLineEdit(side);
    vnum_->setObjectName(QStringLiteral("vnum box"));
    grid->addWidget(vnum_, 1, 2, 1, 2);
    // The buttons take the focus from Tab only: a click leaves it where it
    // was (on the map, whose keys walk the rooms). Tab goes through the
    // panel in reading order.
    QWidget* previous = vnum_;
    QWidget::setTabOrder(status_, vnum_);
    auto button = [this, side, &previous](const char* caption, auto fn) {
        auto* b = new QPushButton(QString::fromLatin1(caption), side);
        b->setFocusPolicy(Qt::TabFocus);
        connect(b, &QPushButton::clicked, this, fn);
        QWidget::setTabOrder(previous, b);
        previous = b;
        return b;
    };
    QPushButton* select = button("Select", [this] { select_from_vnum_box(); });
    grid->addWidget(button("+", [this] { step_selection(+1); }), 2, 0);
    grid->addWidget(button("-", [this] { step_selection(-1); }), 2, 1);
    grid->addWidget(select, 2, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Floor"), side), 3, 0);
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
    side->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return side;
}

void MainWindow::build_panes() {
    // The outer splitter is the central widget: the map row above, the
    // editors' bottom panes below it (only the current editor's is shown).
    area_ = new QSplitter(Qt::Vertical, this);
    area_->setObjectName(QStringLiteral("pane area"));
    area_->setChildrenCollapsible(false);
    area_->setHandleWidth(kSplitterHandle);
    setCentralWidget(area_);
    map_row_ = new QSplitter(Qt::Horizontal, area_);
    map_row_->setChildrenCollapsible(false);
    map_row_->setHandleWidth(kSplitterHandle);
    area_->addWidget(map_row_);
    map_ = new MapWidget(ws_, session_, map_row_);
    map_->setMinimumSize(100, 100);
    map_->set_preview_band(kPreviewReach - kBottomHeight);
    map_row_->addWidget(map_);
    // The right-hand column: the side panel above the current editor's pane,
    // which scrolls when the window is too low or the column too narrow.
    auto* column = new QWidget(map_row_);
    auto* column_layout = new QVBoxLayout(column);
    column_layout->setContentsMargins(0, 0, 0, 0);
    column_layout->setSpacing(0);
    side_ = build_side_panel();
    column_layout->addWidget(side_);
    right_column_ = new QScrollArea(column);
    right_column_->setWidgetResizable(true);
    right_column_->setFrameShape(QFrame::NoFrame);
    auto* right_panes = new QWidget;
    auto* right_layout = new QVBoxLayout(right_panes);
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->setSpacing(0);
    right_column_->setWidget(right_panes);
    column_layout->addWidget(right_column_, 1);
    map_row_->addWidget(column);
    map_row_->setStretchFactor(0, 4);
    map_row_->setStretchFactor(1, 1);

    connect(map_, &MapWidget::create_dialog_wanted, this, &MainWindow::open_create_room_dialog);
    // A click on the preview paints the current editor's texts; it never
    // creates a room.
    connect(map_, &MapWidget::preview_clicked, this, [this](QPoint point, bool right) {
        editor_pane(ws_.current_editor()).preview_clicked(map_->split_line(), point, right);
        map_->redraw(true);
    });

    // The editors make their panes in a holder of their own; the splitter
    // and the right-hand column then take them in editor order.
    auto* holder = new QWidget(this);
    auto room = std::make_unique<RoomEditor>(*signals_, holder);
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
        std::make_unique<ZoneEditor>(*signals_, holder);
    panes_[static_cast<std::size_t>(EditorKind::Object)] =
        std::make_unique<ObjectEditor>(*signals_, holder);
    auto mobiles = std::make_unique<MobileEditor>(*signals_, holder);
    connect(mobiles.get(), &MobileEditor::mob_values_requested, this, [this] {
        if (const MobilePrototype* m = ws_.mobiles().current_mobile())
            open_mob_values_dialog(ws_, m->vnum, this);
    });
    panes_[static_cast<std::size_t>(EditorKind::Mobile)] = std::move(mobiles);
    // The bottom panes below the map row, in a scroll area of their own: one
    // is shown at a time.
    bottom_area_ = new BottomScroller(area_);
    bottom_area_->setObjectName(QStringLiteral("bottom pane area"));
    bottom_area_->setWidgetResizable(true);
    bottom_area_->setFrameShape(QFrame::NoFrame);
    auto* bottom_panes = new QWidget;
    auto* bottom_layout = new QVBoxLayout(bottom_panes);
    bottom_layout->setContentsMargins(0, 0, 0, 0);
    bottom_layout->setSpacing(0);
    for (const auto& p : panes_) {
        right_layout->addWidget(p->right_pane(), 1);
        bottom_layout->addWidget(p->bottom_pane(), 1);
        connect(p.get(), &EditorPane::text_hidden_changed, this, [this] {
            remember_bottom_height();
            fit_bottom_pane();
        });
    }
    bottom_area_->setWidget(bottom_panes);
    area_->addWidget(bottom_area_);
    delete holder;
    area_->setStretchFactor(0, 2);
    area_->setStretchFactor(1, 1);
    // The builder's own height for the text panes, kept across editors.
    connect(area_, &QSplitter::splitterMoved, this, [this] { remember_bottom_height(); });
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (first_shown_) return;
    first_shown_ = true;
    // The first arrangement: the right-hand column and the bottom pane at
    // their own sizes, the map the rest. The window takes its final size as
    // it appears, so the arrangement is made again once it has.
    auto arrange = [this] {
        const int width = map_row_->width();
        map_row_->setSizes({std::max(1, width - kRightWidth - kSplitterHandle), kRightWidth});
        fit_bottom_pane();
    };
    arrange();
    QMetaObject::invokeMethod(this, arrange, Qt::QueuedConnection);
}

void MainWindow::remember_bottom_height() {
    // A strip says nothing of the text panes' height.
    const int height = bottom_area_->height();
    if (!bottom_area_->isVisible() || height <= kStripHeight) return;
    // A pane held at its least height says nothing of the height the
    // builder wants for the others.
    if (height > bottom_height_ && height <= bottom_area_->minimumSizeHint().height()) return;
    bottom_height_ = height;
}

void MainWindow::fit_bottom_pane() {
    const EditorPane& current = editor_pane(ws_.current_editor());
    QWidget* bottom = current.bottom_pane();
    const bool strip = current.text_hidden();
    const int height = strip ? kStripHeight : bottom_height_;
    if (strip) {
        bottom->setFixedHeight(kStripHeight);
        bottom_area_->setMaximumHeight(kStripHeight);
    } else {
        bottom->setMinimumHeight(0);
        bottom->setMaximumHeight(QWIDGETSIZE_MAX);
        bottom_area_->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    // The shown pane's least size is the area's.
    bottom_area_->updateGeometry();
    const int total = area_->height();
    if (total > 0) area_->setSizes({std::max(1, total - height - kSplitterHandle), height});
    // The split line of every editor; the colour-preview band lies below it.
    map_->set_preview_band(std::max(kPreviewReach - kBottomHeight, kPreviewReach - height));
    map_->redraw(true);
}

void MainWindow::show_panes(EditorKind editor) {
    for (const auto& pane : panes_)
        pane->set_shown(pane->kind() == editor);
    side_->show();
    right_column_->verticalScrollBar()->setValue(0);
    right_column_->horizontalScrollBar()->setValue(0);
    bottom_area_->horizontalScrollBar()->setValue(0);
    bottom_area_->verticalScrollBar()->setValue(0);
}

bool MainWindow::event(QEvent* event) {
    // Keys released while the window is without the focus never reach it:
    // the flags start afresh.
    if (event->type() == QEvent::WindowDeactivate) map_->clear_modifiers();
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // A key the builder presses begins an action: an error the
            // status box shows from before goes once one succeeds.
            if (event->type() == QEvent::KeyPress) ws_.messages().begin_action();
            follow_modifier(watched, static_cast<QKeyEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
            ws_.messages().begin_action();
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
        case QEvent::Hide:
            // Keys released inside a popup menu never reach the window.
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->windowType() == Qt::Popup)
                map_->clear_modifiers();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::editor_switched(EditorKind editor) {
    remember_bottom_height();
    show_panes(editor);
    // Each editor's text pane keeps its own Hide.
    fit_bottom_pane();
    show_status(QString::fromLatin1(kEditorStatus[static_cast<int>(editor)]));
    map_->request_redraw();
}

void MainWindow::start(const std::vector<std::string>& command_line_files) {
    start_up(ws_, command_line_files);
    centre_selected_room(ws_.world(), session_.view());
    fit_bottom_pane();
    if (!server_->settings_problem().empty()) ui_->show_message(server_->settings_problem(), {});
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
    ws_.messages().add(MessageKind::Status, to_area_text(text));
    if (!status_) return;
    status_->setText(text);
    // A text longer than the box shows its start, where the room number is;
    // the whole text is its tooltip, and View > Messages keeps it.
    status_->setCursorPosition(0);
    status_->setToolTip(text);
    // A save says so here; the title's mark follows.
    update_title_soon();
}

void MainWindow::action_succeeded() {
    if (!ws_.messages().take_stale_error()) return;
    status_->clear();
    status_->setToolTip(QString());
}

void MainWindow::show_messages() {
    if (!messages_) {
        messages_ = new MessagesDock(ws_.messages(), this);
        addDockWidget(Qt::BottomDockWidgetArea, messages_);
        // It floats beside the window at first, so that the panes keep their
        // room; the builder may dock it.
        messages_->setFloating(true);
        messages_->show();
        place_beside_window(messages_, QSize(560, 300));
    }
    messages_->show();
    messages_->raise();
    messages_->activateWindow();
    messages_->list()->setFocus();
    if (messages_->list()->count() > 0) messages_->list()->scrollToBottom();
}

void MainWindow::place_beside_window(QWidget* panel, QSize size) {
    // Beside the window's right edge when the screen has room there, else
    // over the window's right part; always within the screen's free area,
    // the panel's own frame included (known once it is shown).
    const QRect frame = frameGeometry();
    QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect free = on ? on->availableGeometry() : QRect(frame.topLeft(), size);
    const QRect inner = panel->geometry(), outer = panel->frameGeometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QSize extra(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QSize whole = (size + extra).boundedTo(free.size());
    int x = frame.right() + 1;
    if (x + whole.width() > free.right() + 1) x = frame.right() + 1 - whole.width();
    x = std::clamp(x, free.left(), free.right() + 1 - whole.width());
    const int y = std::clamp(frame.top(), free.top(), free.bottom() + 1 - whole.height());
    panel->setGeometry(
        QRect(QPoint(x, y), whole - extra).translated(margins.left(), margins.top()));
}

void MainWindow::update_title_soon() {
    if (title_pending_) return;
    title_pending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { update_title(); }, Qt::QueuedConnection);
}

void MainWindow::update_title() {
    title_pending_ = false;
    std::set<int> zones;
    for (TableKind kind : {TableKind::World, TableKind::Zone, TableKind::Object, TableKind::Mobile})
        for (int zone : ws_.zone_files().zones(kind))
            zones.insert(zone);
    // Runs of zones as "25-33".
    QStringList runs;
    for (auto it = zones.begin(); it != zones.end();) {
        int first = *it, last = *it;
        while (++it != zones.end() && *it == last + 1)
            last = *it;
        runs << (first == last ? QString::number(first)
                               : QStringLiteral("%1-%2").arg(first).arg(last));
    }
    QString title;
    if (!ws_.area_dir().empty())
        title = QString::fromStdString(ws_.area_dir().string()) + QStringLiteral(": ");
    title += runs.isEmpty()
                 ? QStringLiteral("no zone loaded")
                 : (zones.size() == 1 ? QStringLiteral("zone ") : QStringLiteral("zones ")) +
                       runs.join(QStringLiteral(", "));
    setWindowTitle(title + QStringLiteral("[*] - Zonesmith"));
    setWindowModified(ws_.modified().any());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (settle_unsaved(ws_.modified().any(), QStringLiteral("closing")))
        event->accept();
    else
        event->ignore();  // cancelled, or something was not written: stay open
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

void MainWindow::connect_workspace() {
    connect(signals_.get(), &WorkspaceSignals::record_changed, this,
            &MainWindow::workspace_changed);
    connect(signals_.get(), &WorkspaceSignals::file_loaded, this, [this](TableKind kind, int) {
        file_loaded(kind);
        action_succeeded();
        update_title_soon();
    });
    // Forced: at once; unforced: at once unless the last was within 21 ms.
    connect(signals_.get(), &WorkspaceSignals::redraw_requested, this,
            [this](bool force) { map_->redraw(force); });
    connect(signals_.get(), &WorkspaceSignals::editor_switched, this, &MainWindow::editor_switched);
    connect(signals_.get(), &WorkspaceSignals::history_changed, this,
            &MainWindow::update_history_actions);
    update_history_actions();
}

void MainWindow::update_history_actions() {
    // A new step is an action that succeeded.
    if (ws_.history().position() > history_position_) action_succeeded();
    history_position_ = ws_.history().position();
    update_title_soon();
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

void MainWindow::workspace_changed(const Change& change) {
    // Zones come and go with their records.
    if (change.origin == ChangeOrigin::Load) update_title_soon();
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

}  // namespace zs
