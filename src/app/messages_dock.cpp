#include "app/messages_dock.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QKeyEvent>
#include <QListWidget>

#include "appkit/qt_ui.h"

namespace zs {

namespace {

QString row_text(const LoggedMessage& message) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(message.time.time_since_epoch())
            .count();
    QString time =
        QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString text = from_area_text(message.text);
    switch (message.kind) {
        case MessageKind::Message:
            text = QStringLiteral("[box] ") + text;
            break;
        case MessageKind::Question:
            text = QStringLiteral("[question] ") + text;
            break;
        case MessageKind::DialogLine:
            text = QStringLiteral("[dialog] ") + text;
            break;
        case MessageKind::Status:
            break;
    }
    return time + QStringLiteral("  ") + text;
}

}  // namespace

MessagesDock::MessagesDock(MessageLog& log, QWidget* parent)
    : QDockWidget(QStringLiteral("Messages"), parent), log_(log) {
    setObjectName(QStringLiteral("messages"));
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The keys are the list's own (see eventFilter): the window's Ctrl+C and
    // Ctrl+A mean other things, and reach a floating dock too.
    auto* copy = new QAction(QStringLiteral("&Copy\tCtrl+C"), list_);
    connect(copy, &QAction::triggered, this, &MessagesDock::copy_selection);
    list_->addAction(copy);
    auto* select_all = new QAction(QStringLiteral("Select &All\tCtrl+A"), list_);
    connect(select_all, &QAction::triggered, list_, &QListWidget::selectAll);
    list_->addAction(select_all);
    list_->installEventFilter(this);
    setWidget(list_);
    for (const LoggedMessage& message : log_.entries())
        append(message);
    log_.set_listener([this](const LoggedMessage& message) { append(message); });
}

MessagesDock::~MessagesDock() {
    log_.set_listener({});
}

void MessagesDock::append(const LoggedMessage& message) {
    const bool at_end = list_->count() == 0 || list_->currentRow() == list_->count() - 1 ||
                        list_->selectedItems().isEmpty();
    auto* item = new QListWidgetItem(row_text(message), list_);
    item->setToolTip(from_area_text(message.text));
    // The bound of the log holds in the list too.
    while (list_->count() > static_cast<int>(log_.entries().size()))
        delete list_->takeItem(0);
    if (at_end) list_->scrollToItem(item);
}

bool MessagesDock::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool copy = key->matches(QKeySequence::Copy);
        const bool all = key->matches(QKeySequence::SelectAll);
        if (copy || all) {
            // Claimed before the window's shortcuts, then handled here.
            event->accept();
            if (event->type() == QEvent::KeyPress) {
                if (copy)
                    copy_selection();
                else
                    list_->selectAll();
            }
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

QString MessagesDock::selected_text() const {
    QStringList lines;
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->isSelected()) lines << list_->item(row)->text();
    return lines.join(QLatin1Char('\n'));
}

void MessagesDock::copy_selection() const {
    const QString text = selected_text();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

}  // namespace zs
