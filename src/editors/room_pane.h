// RoomPane: the room editor's pane beside the map, laid out at fixed places
// like a dialog: the sector, climate, mine and nation lists, the mine, fly
// room and height boxes, the flag list, the six exit rows and the buttons
// that open the room's dialogs. Showing a room stores nothing (a list value
// the room holds outside its list shows no selection and stays as it is);
// only the builder's own choices and typing store, each through a named
// step of the core.
#pragma once

#include <QWidget>
#include <array>

#include "world/edits.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace zs {

class RoomEditor;

class RoomPane : public QWidget {
    Q_OBJECT
public:
    RoomPane(RoomEditor& editor, QWidget* parent);

    // Fills every control from the selected room (empty when none is);
    // stores nothing. A room whose flag mask is damaged has it cleared by
    // the flag guard once the event loop runs again.
    void refresh();

signals:
    // A direction button (0 north ... 5 down): the Exit Data dialog.
    void exit_dialog_requested(int dir);
    void room_flags_requested();
    void extra_descs_requested();
    // "Move N" ... "Move D": the selection moves through that exit.
    void move_requested(int dir);

private:
    int selected_vnum() const;
    void list_chosen(QComboBox* list, RoomField field, int index);
    void box_typed(QLineEdit* box, RoomField field);
    void fill_materials(const Room* room);
    void fill_exits(const Room* room);
    void fill_flags(const Room* room);
    void delete_pressed(int dir);

    RoomEditor& editor_;
    QComboBox* sector_ = nullptr;
    QComboBox* climate_ = nullptr;
    QComboBox* mine_kind_ = nullptr;
    QComboBox* material_ = nullptr;
    QComboBox* nation_ = nullptr;
    QLineEdit* mine_amount_ = nullptr;
    QLineEdit* mine_reset_ = nullptr;
    QLineEdit* fly_up_ = nullptr;
    QLineEdit* fly_down_ = nullptr;
    QLineEdit* fall_ = nullptr;
    QLineEdit* height_ = nullptr;
    QPlainTextEdit* flag_list_ = nullptr;
    std::array<QLineEdit*, 6> exit_boxes_{};
    bool filling_ = false;        // the controls are being filled from the room
    bool guard_pending_ = false;  // the flag guard runs once the event loop does
};

}  // namespace zs
