// MainWindow: the editor's one top-level window, a shell of Qt parts. It
// owns the workspace's Qt side and places the panes in splitters: the map
// (with the colour preview below its split line) beside the side panel and
// the current editor's right-hand pane, the editor's bottom text pane below
// both; the builder may move either border, and a resized window shares its
// room among them. Its commands are QActions with their shortcuts, listed in
// one table (window_actions.cpp); a text box keeps its own editing keys
// (Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X work on its text). The server flows
// run in ServerController, the map generator's walk in MapGeneration. It
// also owns Undo and Redo and the question before unsaved work is lost.
#pragma once

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/find_docks.h"
#include "app/server_controller.h"
#include "appkit/qt_ui.h"
#include "appkit/workspace_signals.h"
#include "editors/editor_pane.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "map/map_session.h"
#include "world/workspace.h"

class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;

namespace zs {

class MapGeneration;
class MapWidget;
class MessagesDock;
class ProblemsPanel;
class RoomEditor;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Workspace& ws);
    ~MainWindow() override;

    Workspace& workspace() { return ws_; }
    MapSession& session() { return session_; }
    WorkspaceSignals& workspace_signals() const { return *signals_; }
    EditorPane& editor_pane(EditorKind editor) const {
        return *panes_[static_cast<std::size_t>(editor)];
    }
    MapWidget* map() const { return map_; }
    QLineEdit* status_box() const { return status_; }
    QLineEdit* vnum_box() const { return vnum_; }
    QWidget* pane(const char* name) const;
    // The room text pane's title and description boxes.
    QLineEdit* title_box() const;
    QPlainTextEdit* description_box() const;
    QAction* action(const QString& caption) const;
    // Tools > Check Area's dock; null until first opened.
    ProblemsPanel* problems_panel() const { return problems_; }
    // View > Find's and View > References' docks; null until first opened.
    FindDock* find_dock() const { return find_; }
    ReferencesDock* references_dock() const { return references_; }
    // Goes to a line of Find or References: the room (World) selected on
    // the map, the object or mobile made current in its editor, or command
    // `index` of zone `vnum` (Zone) selected in the zone editor, `room` (the
    // room it acts in) selected first so that the ZCmds tree lists it.
    void go_to(TableKind table, int vnum, int index, int room);
    // View > Messages; null until first opened.
    MessagesDock* messages_dock() const { return messages_; }
    void show_messages();

    // Shows the status text (and notes it in the message log).
    void show_status(const QString& text);
    // The title names the area directory and the loaded zones, marked while
    // anything is unsaved; made at once, or once the events now waiting are
    // handled (loads and edits come many records at a time).
    void update_title();
    void update_title_soon();
    // Runs the start-up steps with the command-line files (if any), in their
    // order; then says why the server file could not be read, if it could not.
    void start(const std::vector<std::string>& command_line_files);
    void start(const std::string& command_line_file) {
        start(std::vector<std::string>{command_line_file});
    }

    // The side panel's "Select": the room whose vnum the box names.
    void select_from_vnum_box();
    // "+" and "-": the next higher or lower vnum among the loaded rooms.
    void step_selection(int direction);
    // Undo (back) or Redo of the workspace's history: the map shows the room
    // the step selected, and the status names the step.
    void step_history(bool back);

    // The server flows and what the tests reach of them.
    ServerController& server() { return *server_; }
    net::ServerLink& link() { return server_->link(); }
    LoginDialog* login_dialog() const { return server_->login_dialog(); }
    UpdateDialog* update_dialog() const { return server_->update_dialog(); }
    QAction* update_status_item() const { return server_->update_status_item(); }
    void set_program_path(std::filesystem::path path) {
        server_->set_program_path(std::move(path));
    }
    void install_update(const net::InstallUpdate& update) { server_->install_update(update); }

    // What closing or unloading does with unsaved work: Save All, Discard,
    // or Cancel. The question is told what is about to happen ("closing",
    // "unloading").
    enum class UnsavedChoice { Save, Discard, Cancel };
    void set_unsaved_question(std::function<UnsavedChoice(const QString& doing)> ask) {
        ask_unsaved_ = std::move(ask);
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    // What no shortcut can say: Ctrl and Shift followed for the map's clicks
    // wherever the focus is, Undo and Redo taken from a text box's own undo,
    // the map's Ctrl+R and Ctrl+G left to a text box, and the modifiers
    // forgotten when a popup closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One row of the action table: the menu, the caption, the shortcuts, and
    // whether the command uses up the Ctrl key.
    struct MenuEntry;
    void build_actions();

    void build_panes();
    QWidget* build_side_panel();
    void connect_workspace();
    void workspace_changed(const Change& change);
    void file_loaded(TableKind kind);
    void editor_switched(EditorKind editor);
    // The Undo and Redo items name the steps they would apply.
    void update_history_actions();
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z: 1 undo, -1 redo, 0 neither.
    static int history_key(const QKeyEvent* event);
    // Follows Ctrl and Shift for the map's clicks and wheel.
    void follow_modifier(QObject* target, const QKeyEvent* event);

    void show_panes(EditorKind editor);
    // The current editor's bottom pane at the height the builder gave the
    // text panes, or a strip while its "Hide" is ticked; the map's colour
    // preview band follows.
    void fit_bottom_pane();
    // The height of the bottom pane shown now, unless it is a strip.
    void remember_bottom_height();

    // Before unsaved work would be lost: with `unsaved`, asks whether to save
    // all, discard or cancel. True when the work may go on: discarded, or
    // saved without a failure.
    bool settle_unsaved(bool unsaved, const QString& doing);
    void unload(bool everything);
    void load_full_zone();
    void open_options();
    void open_create_room_dialog();
    void export_map_image();
    void delete_selected_room();
    // The Edit menu's zone dialogs. Each calls the core's operation and then
    // redraws; the dialogs themselves change nothing.
    void open_new_room_dialog();
    // "D&elete Wld" (with every exit into the zone) or "&Unload Wld".
    void open_zone_number_dialog(bool remove_incoming);
    void open_apply_attributes_dialog();
    void open_renumber_dialog();
    // A small prompt for a number; nothing when cancelled.
    std::optional<QString> ask_number(const QString& caption, const QString& label);
    // After a zone operation: the selection shown, the map redrawn.
    void show_zone_operation(int selected_before);
    int selected_vnum() const;
    // View > Find (the dock shown, its box ready for typing), F3 and
    // Shift+F3 (1, -1), the toggles of the Find and References docks, and
    // the record References looks at: the current editor's object or
    // mobile, else the selected room.
    void open_find();
    void step_find(int direction);
    void show_find_results(bool shown);
    void show_references(bool shown);
    ReferencesDock::Target reference_target() const;
    // An action succeeded: an error still in the status box from before it
    // goes.
    void action_succeeded();
    // A floating panel's first place: beside the window, on the screen.
    void place_beside_window(QWidget* panel, QSize size);
    // Tools > Check Area: opens the problems dock and checks at once.
    void check_area();
    // Zone > Show Reset Result.
    void show_reset_result();
    // Tools > Generate Descs.
    void open_generate_descs();
    // Tools > Generate Map: the walk runs in MapGeneration.
    void open_generate_map();
    void map_generated(const MapRequest& request);

    Workspace& ws_;
    MapSession session_;
    // The generators' random numbers, seeded once at start-up with the time.
    Random random_;
    std::unique_ptr<QtUi> ui_;
    std::unique_ptr<WorkspaceSignals> signals_;
    UiPort* previous_ui_ = nullptr;
    // The panes: the outer splitter (map row above, bottom panes below), the
    // map row's splitter (map beside the right-hand column).
    QSplitter* area_ = nullptr;
    QSplitter* map_row_ = nullptr;
    QScrollArea* right_column_ = nullptr;
    // The editors' bottom panes, which scroll when the window is too narrow.
    QScrollArea* bottom_area_ = nullptr;
    MapWidget* map_ = nullptr;
    QWidget* side_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* vnum_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    // The four editors' panes, by editor.
    std::array<std::unique_ptr<EditorPane>, 4> panes_;
    RoomEditor* room_editor_ = nullptr;
    ProblemsPanel* problems_ = nullptr;
    FindDock* find_ = nullptr;
    ReferencesDock* references_ = nullptr;
    MessagesDock* messages_ = nullptr;
    bool title_pending_ = false;
    long long history_position_ = 0;
    // The height the builder's text panes have while not hidden.
    int bottom_height_;
    bool first_shown_ = false;
    std::function<UnsavedChoice(const QString&)> ask_unsaved_;
    std::unique_ptr<ServerController> server_;
    std::unique_ptr<MapGeneration> map_generation_;
};

}  // namespace zs
