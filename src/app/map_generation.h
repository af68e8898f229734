// MapGeneration: Tools > Generate Map's long run. The walk runs on Qt's
// thread pool (QtConcurrent) while the window stays responsive behind the
// window-modal "Progress" dialog, which a QFutureWatcher keeps up to date
// ("Completed: N%"); Cancel stops the walk. The rooms are added on the
// window's thread, in one step, once the walk is done and no other step is
// open.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "appkit/workspace_signals.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "world/workspace.h"

class QProgressDialog;
class QWidget;

namespace zs {

class MapGeneration : public QObject {
    Q_OBJECT
public:
    // `random` is the window's generator: the walk draws from a copy of it,
    // which replaces it when the walk is done. `added` is told of the rooms
    // a walk added; `status` shows a status text.
    MapGeneration(WorkspaceSignals& bridge, Random& random, QWidget* window,
                  std::function<void(const MapRequest&)> added,
                  std::function<void(const QString&)> status);
    // A walk still running is stopped and waited for; it touches no table.
    ~MapGeneration() override;

    bool running() const { return request_.has_value(); }
    // Starts the walk of a request the workspace accepts.
    void start(const MapRequest& request);

private:
    void walked();
    // Adds the planned rooms, or waits while another step is open.
    void finish();

    Workspace& ws_;
    Random& random_;
    QWidget* window_;
    std::function<void(const MapRequest&)> added_;
    std::function<void(const QString&)> status_;
    std::optional<MapRequest> request_;
    // The generator the walk draws from, taken back when it is done.
    std::unique_ptr<Random> walk_random_;
    std::atomic<bool> cancel_{false};
    bool walking_ = false;  // the walk runs on the pool
    QFutureWatcher<std::optional<MapPlan>> watcher_;
    QPointer<QProgressDialog> progress_;
    std::optional<MapPlan> plan_;
    // The walk ended inside another step: a message box or dialog of that
    // step runs its own event loop, which delivers the walk's end, and the
    // rooms would join that step. They wait for the step to end.
    bool waiting_for_step_ = false;
};

}  // namespace zs
