// MainWindow: the editor's one top-level window. It owns the workspace's
// Qt side: the menu, the side panel with the status box, the map view, the
// eight editor panes that switching editors shows and hides, the keyboard
// shortcuts, and the question before unsaved work is lost.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

#include "app/qt_ui.h"
#include "map/map_session.h"
#include "world/workspace.h"

class QLineEdit;
class QLabel;
class QPlainTextEdit;

namespace zs {

class MapWidget;

class MainWindow : public QMainWindow, private WorkspaceObserver {
    Q_OBJECT
public:
    explicit MainWindow(Workspace& ws);
    ~MainWindow() override;

    Workspace& workspace() { return ws_; }
    MapSession& session() { return session_; }
    MapWidget* map() const { return map_; }
    QLineEdit* status_box() const { return status_; }
    QLineEdit* vnum_box() const { return vnum_; }
    QWidget* pane(const char* name) const;
    // The room text pane's title and description boxes.
    QLineEdit* title_box() const { return title_; }
    QPlainTextEdit* description_box() const { return description_; }
    QAction* action(const QString& caption) const;

    // Shows the status text.
    void show_status(const QString& text);
    // Runs the start-up steps with the command-line file (if any).
    void start(const std::string& command_line_file);

    // The side panel's "Select": the room whose vnum the box names.
    void select_from_vnum_box();
    // "+" and "-": the next higher or lower vnum among the loaded rooms.
    void step_selection(int direction);

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
    void workspace_changed(const Change& change) override;
    void file_loaded(TableKind kind, int zone) override;
    void redraw_requested(bool force) override;
    void editor_switched(EditorKind editor) override;

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

    Workspace& ws_;
    MapSession session_;
    std::unique_ptr<QtUi> ui_;
    UiPort* previous_ui_ = nullptr;
    QWidget* area_ = nullptr;
    MapWidget* map_ = nullptr;
    QWidget* side_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* vnum_ = nullptr;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    // Bottom text panes and right-hand panes, by editor.
    std::array<QWidget*, 4> bottom_{};
    std::array<QWidget*, 4> right_{};
    QSize laid_out_;
    std::function<UnsavedChoice(const QString&)> ask_unsaved_;
};

}  // namespace zs
