// The Find and References docks. Find lists what the typed text names among
// the loaded rooms, objects, mobiles and reset commands (kind, vnum, name,
// zone, where it matched); References lists what refers to the selected
// room, object or mobile, under the count line. Both only show what the
// core found (world/search.h, world/references.h) and hand the line the
// builder picks (Enter or a double click) to the window, which goes there.
// While shown, both follow the builder's edits, looking again once the
// builder pauses.
#pragma once

#include <QDockWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "appkit/workspace_signals.h"
#include "world/references.h"
#include "world/search.h"

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace zs {

class FindDock : public QDockWidget {
    Q_OBJECT
public:
    // How long the list waits after typing or an edit before looking again.
    static constexpr int kRefreshDelayMs = 250;

    // `go` shows a hit: the room on the map, the record or command in its
    // editor.
    FindDock(WorkspaceSignals& workspace_signals, std::function<void(const SearchHit&)> go,
             QWidget* parent = nullptr);

    QLineEdit* box() const { return box_; }
    QTreeWidget* list() const { return list_; }
    QLabel* summary() const { return summary_; }
    const std::vector<SearchHit>& hits() const { return hits_; }

    // Looks for the box's text now.
    void search_now();
    // F3 (1) and Shift+F3 (-1): the next or previous hit, gone to; round
    // the list's ends.
    void step(int direction);

private:
    void activated(QTreeWidgetItem* item);

    Workspace& ws_;
    std::function<void(const SearchHit&)> go_;
    std::vector<SearchHit> hits_;
    QLineEdit* box_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* summary_ = nullptr;
    QTimer* refresh_ = nullptr;
};

class ReferencesDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshDelayMs = 250;

    // The record whose references are shown: a table (World, Object or
    // Mobile) and a vnum, or nothing.
    using Target = std::optional<std::pair<TableKind, int>>;

    ReferencesDock(WorkspaceSignals& workspace_signals, std::function<Target()> target,
                   std::function<void(const Reference&)> go, QWidget* parent = nullptr);

    QLabel* count_line() const { return count_; }
    QTreeWidget* list() const { return list_; }
    const std::vector<Reference>& references() const { return refs_; }

    // Lists the references of the target now.
    void refresh_now();

private:
    void later();

    Workspace& ws_;
    std::function<Target()> target_;
    std::function<void(const Reference&)> go_;
    std::vector<Reference> refs_;
    QLabel* count_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QTimer* refresh_ = nullptr;
};

}  // namespace zs
