#include "app/find_docks.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"

namespace zs {

namespace {

enum FindColumn { kKindColumn, kVnumColumn, kNameColumn, kZoneColumn, kWhereColumn };
enum RefColumn { kRefZoneColumn, kRefCommandColumn, kRefTextColumn };

QTreeWidget* make_list(QWidget* parent, const QStringList& headers, int stretch) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(false);
    // The short columns (kind, vnum, zone, command) as wide as their texts.
    for (int c = 0; c < headers.size(); ++c)
        list->header()->setSectionResizeMode(
            c, c == stretch ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    return list;
}

QTimer* make_timer(QObject* parent, int ms) {
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(ms);
    return timer;
}

// The row of an item, kept in its first column.
std::size_t row_of(const QTreeWidgetItem* item) {
    return static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
}

}  // namespace

// --- Find ----------------------------------------------------------------------

FindDock::FindDock(WorkspaceSignals& workspace_signals, std::function<void(const SearchHit&)> go,
                   QWidget* parent)
    : QDockWidget(QStringLiteral("Find"), parent),
      ws_(workspace_signals.workspace()),
      go_(std::move(go)) {
    setObjectName(QStringLiteral("find"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    box_ = new QLineEdit(body);
    box_->setPlaceholderText(QStringLiteral("Vnum or text"));
    box_->setClearButtonEnabled(true);
    column->addWidget(box_);
    summary_ = new QLabel(body);
    column->addWidget(summary_);
    list_ = make_list(body,
                      {QStringLiteral("Kind"), QStringLiteral("Vnum"), QStringLiteral("Name"),
                       QStringLiteral("Zone"), QStringLiteral("Where")},
                      kWhereColumn);
    // The name is as wide as the builder makes it; the rest goes to Where.
    list_->header()->setSectionResizeMode(kNameColumn, QHeaderView::Interactive);
    list_->header()->resizeSection(kNameColumn, 180);
    column->addWidget(list_, 1);
    setWidget(body);

    refresh_ = make_timer(this, kRefreshDelayMs);
    connect(refresh_, &QTimer::timeout, this, &FindDock::search_now);
    connect(box_, &QLineEdit::textEdited, refresh_, qOverload<>(&QTimer::start));
    // Enter in the box looks at once and goes to the first hit.
    connect(box_, &QLineEdit::returnPressed, this, [this] {
        search_now();
        if (list_->topLevelItemCount() > 0) {
            list_->setCurrentItem(list_->topLevelItem(0));
            activated(list_->topLevelItem(0));
        }
    });
    connect(list_, &QTreeWidget::itemActivated, this, &FindDock::activated);
    // The hits follow the edits and loads while the dock is shown.
    auto again = [this] {
        if (isVisible() && !box_->text().isEmpty()) refresh_->start();
    };
    connect(&workspace_signals, &WorkspaceSignals::history_changed, this, again);
    connect(&workspace_signals, &WorkspaceSignals::file_loaded, this, again);
}

void FindDock::search_now() {
    refresh_->stop();
    // The hit shown now stays current when the list is made again.
    std::optional<SearchHit> current;
    if (QTreeWidgetItem* item = list_->currentItem()) current = hits_[row_of(item)];
    hits_ = find_in_world(ws_, to_area_text(box_->text()));
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(hits_.size()));
    QTreeWidgetItem* keep = nullptr;
    for (std::size_t i = 0; i < hits_.size(); ++i) {
        const SearchHit& h = hits_[i];
        auto* item = new QTreeWidgetItem;
        item->setText(kKindColumn, QString::fromLatin1(hit_kind_word(h.table)));
        item->setText(kVnumColumn, h.table == TableKind::Zone ? QStringLiteral("#%1").arg(h.index)
                                                              : QString::number(h.vnum));
        item->setText(kNameColumn, from_area_text(h.name));
        item->setText(kZoneColumn, QString::number(h.zone));
        item->setText(kWhereColumn, from_area_text(h.where));
        item->setToolTip(kNameColumn, item->text(kNameColumn));
        item->setToolTip(kWhereColumn, item->text(kWhereColumn));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        if (current && current->table == h.table && current->vnum == h.vnum &&
            current->index == h.index)
            keep = item;
        items.append(item);
    }
    list_->addTopLevelItems(items);
    if (keep) list_->setCurrentItem(keep);
    list_->setUpdatesEnabled(true);
    const int n = static_cast<int>(hits_.size());
    summary_->setText(box_->text().trimmed().isEmpty()
                          ? QString()
                          : QStringLiteral("%1 match%2").arg(n).arg(n == 1 ? "" : "es"));
}

void FindDock::step(int direction) {
    if (refresh_->isActive() || (hits_.empty() && !box_->text().isEmpty())) search_now();
    const int n = list_->topLevelItemCount();
    if (n == 0) return;
    QTreeWidgetItem* current = list_->currentItem();
    int row = current ? list_->indexOfTopLevelItem(current) + direction : direction > 0 ? 0 : n - 1;
    row = (row % n + n) % n;
    QTreeWidgetItem* item = list_->topLevelItem(row);
    list_->setCurrentItem(item);
    list_->scrollToItem(item);
    activated(item);
}

void FindDock::activated(QTreeWidgetItem* item) {
    if (!item) return;
    // Copied: going there may change the tables and so the list.
    const SearchHit hit = hits_[row_of(item)];
    go_(hit);
}

// --- References ----------------------------------------------------------------

ReferencesDock::ReferencesDock(WorkspaceSignals& workspace_signals, std::function<Target()> target,
                               std::function<void(const Reference&)> go, QWidget* parent)
    : QDockWidget(QStringLiteral("References"), parent),
      ws_(workspace_signals.workspace()),
      target_(std::move(target)),
      go_(std::move(go)) {
    setObjectName(QStringLiteral("references"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    count_ = new QLabel(body);
    count_->setWordWrap(true);
    count_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(count_);
    list_ = make_list(
        body, {QStringLiteral("Zone"), QStringLiteral("Command"), QStringLiteral("Reference")},
        kRefTextColumn);
    column->addWidget(list_, 1);
    setWidget(body);

    refresh_ = make_timer(this, kRefreshDelayMs);
    connect(refresh_, &QTimer::timeout, this, &ReferencesDock::refresh_now);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        const Reference ref = refs_[row_of(item)];
        go_(ref);
    });
    // What is selected, and what refers to it, change with the builder's
    // clicks, edits, loads and editor.
    connect(&workspace_signals, &WorkspaceSignals::record_changed, this,
            [this](const Change&) { later(); });
    connect(&workspace_signals, &WorkspaceSignals::file_loaded, this, &ReferencesDock::later);
    connect(&workspace_signals, &WorkspaceSignals::editor_switched, this, &ReferencesDock::later);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) refresh_now();
    });
}

void ReferencesDock::later() {
    if (isVisible()) refresh_->start();
}

void ReferencesDock::refresh_now() {
    refresh_->stop();
    Target target = target_();
    list_->clear();
    refs_.clear();
    if (!target) {
        count_->setText(QStringLiteral("No room, object or mobile selected."));
        return;
    }
    auto [table, vnum] = *target;
    refs_ = find_references(ws_, table, vnum);
    count_->setText(from_area_text(reference_count_line(ws_, table, vnum, refs_)));
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < refs_.size(); ++i) {
        const Reference& r = refs_[i];
        auto* item = new QTreeWidgetItem;
        item->setText(kRefZoneColumn, QString::number(r.zone()));
        if (r.table == TableKind::Zone) item->setText(kRefCommandColumn, QString::number(r.index));
        item->setText(kRefTextColumn, from_area_text(r.text));
        item->setToolTip(kRefTextColumn, item->text(kRefTextColumn));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        items.append(item);
    }
    list_->addTopLevelItems(items);
}

}  // namespace zs
