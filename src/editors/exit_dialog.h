// The Exit Data dialog: the six exits of one room, a tab per direction, with
// the exit's target, door kind, key, lock, strength, texts, one-way mark and
// size. Changing the tab applies the direction shown and shows the next; OK
// applies and closes; "Copy door data to return exit" stores the fields into
// the return exit. The checks and the edits are the core's (map/exit_data.h);
// refusals go to the status box and leave the dialog open.
#pragma once

#include <QDialog>

#include "map/exit_data.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabBar;

namespace zs {

class Workspace;

class ExitDataDialog : public QDialog {
    Q_OBJECT
public:
    ExitDataDialog(Workspace& ws, int vnum, int dir, QWidget* parent);

    // The direction shown.
    int direction() const { return dir_; }
    // The fields as the boxes hold them.
    ExitForm form() const;
    QTabBar* tabs() const { return tabs_; }

protected:
    // Over a low window the description box and the size list give up rows.
    void showEvent(QShowEvent* event) override;

private:
    void show_direction(int dir);
    bool apply_shown();
    void tab_changed(int index);
    void one_way_toggled(bool on);
    void set_door(DoorChoice door);

    Workspace& ws_;
    const int vnum_;
    int dir_;
    bool filling_ = false;
    ExitForm shown_;  // the direction as it was shown
    QTabBar* tabs_;
    QLineEdit* exits_to_;
    QButtonGroup* door_;
    QLineEdit* key_;
    QLineEdit* lock_;
    QLineEdit* strength_;
    QLineEdit* keywords_;
    QLineEdit* door_description_;
    QPlainTextEdit* description_;
    QCheckBox* one_way_;
    QListWidget* size_;
};

// Opens the modal Exit Data dialog on exit `dir` of a room; nothing when the
// room is not loaded.
void open_exit_data_dialog(Workspace& ws, int room_vnum, int dir, QWidget* parent);

}  // namespace zs
