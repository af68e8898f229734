// ProblemsPanel: the dock that lists the area checker's findings over the
// loaded zones (severity, "file:line: message", the room), filtered by
// severity; a finding in a record changed since its file was written names
// the file as unsaved rather than a line the file no longer matches. A
// click selects a finding, Enter or a double click shows its room on the
// map, Escape closes the panel; while it is open, the list follows the
// edits, checked again once the builder pauses.
#pragma once

#include <QDockWidget>
#include <functional>
#include <vector>

#include "appkit/workspace_signals.h"
#include "files/check.h"

class QComboBox;
class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace zs {

class ProblemsPanel : public QDockWidget {
    Q_OBJECT
public:
    // How long the list waits after an edit step before checking again.
    static constexpr int kRefreshDelayMs = 300;

    // `select_room` shows the room in a slot of the world table on the map;
    // `show_status` puts a text into the status box.
    ProblemsPanel(WorkspaceSignals& workspace_signals, std::function<void(int slot)> select_room,
                  std::function<void(const QString&)> show_status, QWidget* parent = nullptr);

    // Runs the checker now and lists what it found.
    void check_now();

    QTreeWidget* list() const { return list_; }
    QComboBox* filter() const { return filter_; }
    QLabel* summary() const { return summary_; }
    QTimer* refresh_timer() const { return refresh_; }
    const std::vector<Problem>& problems() const { return problems_; }

    // The filter's choices, in its order.
    enum class Show { All, Errors, Warnings };

private:
    void edited();
    void apply_filter();
    void activated(QTreeWidgetItem* item);

    Workspace& ws_;
    std::function<void(int)> select_room_;
    std::function<void(const QString&)> show_status_;
    // The lines of the records in the area files, noted once per file.
    RecordOrigins origins_;
    std::vector<Problem> problems_;
    QTreeWidget* list_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLabel* summary_ = nullptr;
    QTimer* refresh_ = nullptr;
};

}  // namespace zs
