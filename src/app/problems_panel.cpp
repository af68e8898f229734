#include "app/problems_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"

namespace zs {

namespace {

enum Column { kSeverityColumn, kProblemColumn, kRoomColumn };

// Whether the record a finding is about was changed since its file was
// written: its line then names a file that no longer holds the record as it is.
bool in_unsaved_record(const Workspace& ws, const Problem& p) {
    if (p.vnum < 0) return false;
    const int zone = p.kind == TableKind::Zone ? p.vnum : zone_of(p.vnum);
    return ws.modified().is_set(p.kind, zone);
}

// "file:line: message", or "file (unsaved): message" for a record changed
// since its file was written.
QString shown_text(const Workspace& ws, const Problem& p) {
    if (!in_unsaved_record(ws, p)) return from_area_text(p.text());
    return from_area_text(p.file) + QStringLiteral(" (unsaved): ") + from_area_text(p.message);
}

}  // namespace

ProblemsPanel::ProblemsPanel(WorkspaceSignals& workspace_signals,
                             std::function<void(int)> select_room,
                             std::function<void(const QString&)> show_status, QWidget* parent)
    : QDockWidget(QStringLiteral("Problems"), parent),
      ws_(workspace_signals.workspace()),
      select_room_(std::move(select_room)),
      show_status_(std::move(show_status)) {
    setObjectName(QStringLiteral("problems"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Show:"), body));
    filter_ = new QComboBox(body);
    filter_->addItems(
        {QStringLiteral("All"), QStringLiteral("Errors"), QStringLiteral("Warnings")});
    row->addWidget(filter_);
    summary_ = new QLabel(body);
    row->addWidget(summary_, 1);
    column->addLayout(row);
    list_ = new QTreeWidget(body);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels(
        {QStringLiteral("Severity"), QStringLiteral("Problem"), QStringLiteral("Room")});
    list_->header()->setSectionResizeMode(kProblemColumn, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    column->addWidget(list_);
    setWidget(body);
    // Escape closes the panel wherever its focus is; it opens again from
    // Tools > Check Area.
    auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close_key->setContext(Qt::WidgetWithChildrenShortcut);
    connect(close_key, &QShortcut::activated, this, &QDockWidget::close);

    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(kRefreshDelayMs);
    connect(refresh_, &QTimer::timeout, this, &ProblemsPanel::check_now);
    connect(filter_, &QComboBox::currentIndexChanged, this, &ProblemsPanel::apply_filter);
    // A click selects a finding; Enter or a double click goes to it.
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activated(item); });
    // Every step restarts the wait: typing checks once, after the last key.
    connect(&workspace_signals, &WorkspaceSignals::history_changed, this, &ProblemsPanel::edited);
    connect(&workspace_signals, &WorkspaceSignals::file_loaded, this,
            [this](TableKind kind, int zone) {
                origins_.forget(kind, zone);
                edited();
            });
}

void ProblemsPanel::edited() {
    if (isVisible()) refresh_->start();
}

void ProblemsPanel::check_now() {
    refresh_->stop();
    note_loaded_files(ws_, origins_);
    problems_ = check_areas(ws_, origins_);
    int errors = 0;
    QIcon error_icon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    QIcon warning_icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(problems_.size()));
    for (std::size_t i = 0; i < problems_.size(); ++i) {
        const Problem& p = problems_[i];
        bool error = p.severity == Severity::Error;
        errors += error;
        auto* item = new QTreeWidgetItem;
        item->setIcon(kSeverityColumn, error ? error_icon : warning_icon);
        item->setText(kSeverityColumn, QString::fromLatin1(severity_word(p.severity)));
        const QString text = shown_text(ws_, p);
        item->setText(kProblemColumn, text);
        // The column may be narrower than the text.
        item->setToolTip(kProblemColumn, text);
        if (p.room >= 0) item->setText(kRoomColumn, QString::number(p.room));
        item->setData(kSeverityColumn, Qt::UserRole, static_cast<qulonglong>(i));
        items.append(item);
    }
    list_->addTopLevelItems(items);
    list_->setUpdatesEnabled(true);
    int warnings = static_cast<int>(problems_.size()) - errors;
    summary_->setText(QStringLiteral("%1 error%2, %3 warning%4")
                          .arg(errors)
                          .arg(errors == 1 ? "" : "s")
                          .arg(warnings)
                          .arg(warnings == 1 ? "" : "s"));
    apply_filter();
}

void ProblemsPanel::apply_filter() {
    auto show = static_cast<Show>(filter_->currentIndex());
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const Problem& p = problems_[item->data(kSeverityColumn, Qt::UserRole).toULongLong()];
        bool shown = show == Show::All || (show == Show::Errors) == (p.severity == Severity::Error);
        item->setHidden(!shown);
    }
}

void ProblemsPanel::activated(QTreeWidgetItem* item) {
    if (!item) return;
    const Problem& p = problems_[item->data(kSeverityColumn, Qt::UserRole).toULongLong()];
    if (p.room < 0) {
        show_status_(QStringLiteral("%1 names no room to show.")
                         .arg(QString::fromStdString(p.file + ":" + std::to_string(p.line))));
        return;
    }
    // Found by its vnum: the list may be older than the last edit.
    int slot = ws_.world().find_room(p.room);
    if (slot < 0) {
        show_status_(QStringLiteral("Room %1 is not loaded; load zone %2 to see it.")
                         .arg(p.room)
                         .arg(p.room / 100));
        return;
    }
    select_room_(slot);
}

}  // namespace zs
