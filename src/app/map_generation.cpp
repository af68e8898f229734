#include "app/map_generation.h"

#include <QProgressDialog>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

namespace zs {

MapGeneration::MapGeneration(WorkspaceSignals& bridge, Random& random, QWidget* window,
                             std::function<void(const MapRequest&)> added,
                             std::function<void(const QString&)> status)
    : ws_(bridge.workspace()),
      random_(random),
      window_(window),
      added_(std::move(added)),
      status_(std::move(status)) {
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, [this](int percent) {
        if (!progress_) return;
        progress_->setValue(percent);
        progress_->setLabelText(QStringLiteral("Completed: %1%").arg(percent));
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &MapGeneration::walked);
    // The step ends inside the code that opened it, which goes on after it:
    // the rooms are added once that code has returned to the event loop.
    connect(
        &bridge, &WorkspaceSignals::steps_closed, this,
        [this] {
            if (waiting_for_step_) finish();
        },
        Qt::QueuedConnection);
}

MapGeneration::~MapGeneration() {
    cancel_ = true;
    watcher_.disconnect(this);
    if (walking_) watcher_.waitForFinished();
}

void MapGeneration::start(const MapRequest& request) {
    auto* progress = new QProgressDialog(QStringLiteral("Completed: 0%"), QStringLiteral("Cancel"),
                                         0, 100, window_);
    progress->setWindowTitle(QStringLiteral("Progress"));
    // The window repaints but takes no edits while the walk runs.
    progress->setWindowModality(Qt::WindowModal);
    progress->setObjectName(QStringLiteral("map progress"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->show();
    progress_ = progress;
    cancel_ = false;
    connect(progress, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    request_ = request;
    walk_random_ = std::make_unique<Random>(random_);
    walking_ = true;
    watcher_.setFuture(QtConcurrent::run([request, random = walk_random_.get(), cancel = &cancel_](
                                             QPromise<std::optional<MapPlan>>& promise) {
        promise.setProgressRange(0, 100);
        MapProgress report;
        report.cancel = cancel;
        report.progress = [&promise](double done) {
            promise.setProgressValue(static_cast<int>(done * 100 + 0.5));
        };
        promise.addResult(plan_map(request, *random, report));
    }));
}

void MapGeneration::walked() {
    walking_ = false;
    if (progress_) {
        // Closing the dialog says "canceled": it is no Cancel.
        QObject::disconnect(progress_, nullptr, this, nullptr);
        progress_->close();
    }
    QFuture<std::optional<MapPlan>> future = watcher_.future();
    plan_ = future.resultCount() > 0 ? future.takeResult() : std::nullopt;
    finish();
}

void MapGeneration::finish() {
    waiting_for_step_ = ws_.in_transaction();
    if (waiting_for_step_) return;
    MapRequest request = *request_;
    request_.reset();
    std::optional<MapPlan> plan = std::move(plan_);
    plan_.reset();
    const bool cancelled = cancel_;  // a Cancel after the walk ended counts too
    random_ = *walk_random_;         // the draws go on from where the walk left them
    walk_random_.reset();
    if (cancelled || !plan) {
        status_(QStringLiteral("Map generation cancelled; nothing was changed."));
        return;
    }
    if (!add_planned_map(ws_, request, *plan)) return;
    added_(request);
}

}  // namespace zs
