// MessagesDock: View > Messages, the dock that lists the workspace's message
// log: every status text and message-box text since the program started,
// with its time, newest last. Rows are selected as in any list and copied
// with Ctrl+C or the Copy item of its context menu, one "time  text" line
// each.
#pragma once

#include <QDockWidget>

#include "world/message_log.h"

class QListWidget;

namespace zs {

class MessagesDock : public QDockWidget {
    Q_OBJECT
public:
    MessagesDock(MessageLog& log, QWidget* parent = nullptr);
    ~MessagesDock() override;

    QListWidget* list() const { return list_; }
    // The selected rows as the clipboard receives them, in list order.
    QString selected_text() const;
    void copy_selection() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void append(const LoggedMessage& message);

    MessageLog& log_;
    QListWidget* list_ = nullptr;
};

}  // namespace zs
