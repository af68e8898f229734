// The room pane's modal dialogs: Room Flags (a box per flag that has one) and
// Extra Descriptions (the room's keyword texts, one at a time; the object
// editor opens it on an object too). They show and gather; storing into the
// record, each as one undoable step, is the core's.
#pragma once

#include <memory>

#include <QDialog>
#include <array>
#include <string>
#include <utility>

#include "appkit/dialog_status.h"
#include "world/extra_desc_session.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zs {

class Workspace;

// "Room Flags" of room `vnum`: the boxes are named "flag <bit>". OK stores
// the boxes ("Edit Flags of Room 3001"), Cancel stores nothing.
class RoomFlagsDialog : public QDialog {
    Q_OBJECT
public:
    RoomFlagsDialog(Workspace& ws, int vnum, QWidget* parent);
    // The box of a flag bit; null for a bit without one.
    QCheckBox* flag_box(int bit) const { return boxes_[static_cast<std::size_t>(bit)]; }
    void accept() override;

private:
    Workspace& ws_;
    int vnum_;
    std::array<QCheckBox*, 32> boxes_{};
};

// "Extra Descriptions" of room `vnum` (of object `vnum` when `kind` is
// TableKind::Object), on an ExtraDescSession: the boxes "keywords box" and
// "text box", the labels "room label" (the record's name) and "position
// label", and a status line of its own at its foot. Closing it in any way
// commits the session; OK stays open when the boxes cannot be stored or an
// entry lacks its keywords or its text (the status line says why).
class ExtraDescsDialog : public QDialog {
    Q_OBJECT
public:
    ExtraDescsDialog(Workspace& ws, int vnum, QWidget* parent, TableKind kind = TableKind::World);
    QLineEdit* keywords_box() const { return keywords_; }
    QPlainTextEdit* text_box() const { return text_; }
    QLabel* position_label() const { return position_; }
    const ExtraDescSession& session() const { return session_; }
    QLabel* status_line() const { return status_line_; }
    void accept() override;
    void reject() override;

private:
    // Runs a move of the session with the boxes' bytes; shows the entry it
    // moved to.
    // The two boxes as the session takes them.
    std::pair<std::string, std::string> boxes() const;
    void move(bool (ExtraDescSession::*step)(std::string_view, std::string_view));
    void show_entry();

    // Declared first: the session's refusals reach the dialog's own line.
    QLabel* status_line_;
    std::unique_ptr<DialogStatus> status_;
    ExtraDescSession session_;
    QLineEdit* keywords_;
    QPlainTextEdit* text_;
    QLabel* position_;
    bool closed_ = false;  // the session has committed
};

// Open the dialogs modally over `parent`, centred on it.
void open_room_flags_dialog(Workspace& ws, int room_vnum, QWidget* parent);
void open_extra_descs_dialog(Workspace& ws, int room_vnum, QWidget* parent);
// The same dialog on an object's extra descriptions; nothing opens for an
// object that is not loaded.
void open_object_extra_descs_dialog(Workspace& ws, int object_vnum, QWidget* parent);

}  // namespace zs
