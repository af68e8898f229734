// ResetResultDialog: Zone > Show Reset Result. Lists, room by room, what one
// reset of a zone loads: each mobile with what it is given and wears, each
// object with what goes into it, doors and removals, and the commands that
// do not fire with the reason. Names stand beside the vnums whose records
// are loaded. The list is a snapshot: the dialog keeps no record.
#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QTreeWidget;

namespace zs {

class Workspace;

class ResetResultDialog : public QDialog {
    Q_OBJECT
public:
    ResetResultDialog(const Workspace& ws, int zone, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    QLabel* summary() const { return summary_; }

private:
    QTreeWidget* tree_ = nullptr;
    QLabel* summary_ = nullptr;
};

// The zone Show Reset Result works on: the selected zedit's, else the zone
// of the selected room when its zedit is loaded; nothing otherwise.
std::optional<int> reset_result_zone(const Workspace& ws);

}  // namespace zs
