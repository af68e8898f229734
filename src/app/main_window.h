// MainWindow: the editor's one top-level window. It owns the workspace's
// Qt side: the menu, the side panel with the status box, the map view, the
// four editors whose panes switching editors shows and hides, the keyboard
// shortcuts, Undo and Redo, and the question before unsaved work is lost.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "app/qt_ui.h"
#include "app/workspace_signals.h"
#include "editors/editor_pane.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "map/map_session.h"
#include "world/workspace.h"

class QLineEdit;
class QLabel;
class QPlainTextEdit;

namespace zs {

class MapWidget;
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

    // Shows the status text.
    void show_status(const QString& text);
    // Runs the start-up steps with the command-line file (if any).
    void start(const std::string& command_line_file);

    // The side panel's "Select": the room whose vnum the box names.
    void select_from_vnum_box();
    // "+" and "-": the next higher or lower vnum among the loaded rooms.
    void step_selection(int direction);
    // Undo (back) or Redo of the workspace's history: the map shows the room
    // the step selected, and the status names the step.
    void step_history(bool back);

    // Keyboard shortcuts, before any widget sees the key; true when consumed.
    bool filter_key(QObject* target, QKeyEvent* event);

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
};

}  // namespace zs
