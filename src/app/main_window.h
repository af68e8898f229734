// MainWindow: the editor's one top-level window. It owns the workspace's
// Qt side: the menu with the keyboard shortcuts of its items (a text box
// keeps its own editing keys: Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X work on its
// text), the side panel with the status box, the map view, the four editors
// whose panes switching editors shows and hides, Undo and Redo, and the
// question before unsaved work is lost.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/server_dialogs.h"
#include "appkit/qt_ui.h"
#include "appkit/workspace_signals.h"
#include "editors/editor_pane.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "map/map_session.h"
#include "net/server_link.h"
#include "world/workspace.h"

class QLineEdit;
class QLabel;
class QPlainTextEdit;

namespace zs {

class MapWidget;
class ProblemsPanel;
class RoomEditor;

// The window is the server link's observer: the link's reports (on this
// thread) reach the dialogs and the menu bar through it.
class MainWindow : public QMainWindow, public net::LinkObserver {
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

    // Shows the status text.
    void show_status(const QString& text);
    // Runs the start-up steps with the command-line file (if any); then says
    // why the server file could not be read, if it could not.
    void start(const std::string& command_line_file);

    // The side panel's "Select": the room whose vnum the box names.
    void select_from_vnum_box();
    // "+" and "-": the next higher or lower vnum among the loaded rooms.
    void step_selection(int direction);
    // Undo (back) or Redo of the workspace's history: the map shows the room
    // the step selected, and the status names the step.
    void step_history(bool back);

    // The server link and its dialogs (null while closed), and the menu
    // bar's update status item (null when up to date).
    net::ServerLink& link() { return *link_; }
    LoginDialog* login_dialog() const { return login_dialog_; }
    UpdateDialog* update_dialog() const { return update_dialog_; }
    QAction* update_status_item() const { return update_item_; }
    // The program an update replaces (the running one unless a test says).
    void set_program_path(std::filesystem::path path);
    // "&Download Area Files...": the login or the download dialog.
    void download_area_files();
    // "&Update..." and the "not up to date" item: asks, then downloads the
    // program with the "Update Zonesmith" dialog up.
    void run_update();

    // What the server link reports.
    void login_state_changed(net::LoginState state, const std::string& dialog_text) override;
    void open_download_dialog() override;
    void download_progress(const net::FileProgress& progress) override;
    void download_result(const std::string& line) override;
    void download_finished(const std::string& summary, bool complete) override;
    void update_status_changed(net::UpdateStatus status) override;
    void update_progress(int percent) override;
    void update_failed(const std::string& reason) override;
    void install_update(const net::InstallUpdate& update) override;

    // What closing or unloading does with unsaved work: Save All, Discard,
    // or Cancel. The question is told what is about to happen ("closing",
    // "unloading").
    enum class UnsavedChoice { Save, Discard, Cancel };
    void set_unsaved_question(std::function<UnsavedChoice(const QString& doing)> ask) {
        ask_unsaved_ = std::move(ask);
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
    void build_menu();
    void build_panes();
    void lay_out();
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
    // Tools > Check Area: opens the problems dock and checks at once.
    void check_area();
    // Zone > Show Reset Result.
    void show_reset_result();
    // Tools > Generate Descs.
    void open_generate_descs();
    // Tools > Generate Map: the walk runs on a worker thread with the
    // "Progress" dialog up (Cancel stops it); the rooms are added on this
    // thread, in one step, when it is done.
    void open_generate_map();
    void map_planned(const MapRequest& request, std::optional<MapPlan> plan, bool cancelled);
    void open_login_dialog();
    void open_download();
    // The Download dialog's "Download".
    void start_download();
    // After the update dialog: the failure shown, or the program installed.
    void finish_update();
    // Replaces the program with the downloaded one and quits, unless unsaved
    // work stays or the script cannot run.
    void install(const net::InstallUpdate& update);

    Workspace& ws_;
    MapSession session_;
    // The generators' random numbers, seeded once at start-up with the time.
    Random random_;
    // The map generator's walk, while it runs, and the generator it draws
    // from (a copy of random_, taken back when the walk is done).
    std::thread map_worker_;
    std::unique_ptr<Random> map_random_;
    std::atomic<bool> map_cancel_{false};
    std::unique_ptr<QtUi> ui_;
    std::unique_ptr<WorkspaceSignals> signals_;
    UiPort* previous_ui_ = nullptr;
    QWidget* area_ = nullptr;
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
    QSize laid_out_;
    std::function<UnsavedChoice(const QString&)> ask_unsaved_;
    std::unique_ptr<net::ServerLink> link_;
    // Why the server file was not read; shown once the window is up.
    std::string link_settings_problem_;
    std::filesystem::path program_path_;
    QPointer<LoginDialog> login_dialog_;
    QPointer<DownloadDialog> download_dialog_;
    QPointer<UpdateDialog> update_dialog_;
    QAction* update_item_ = nullptr;
    // The link asked for the download dialog while the login dialog was up:
    // it opens once that has closed.
    bool download_after_login_ = false;
    // What ended the program download, kept until its dialog has closed.
    std::optional<net::InstallUpdate> pending_install_;
    std::string update_failure_;
};

}  // namespace zs
