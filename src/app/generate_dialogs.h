// The generators' dialogs. Generate Descriptions: fourteen rows of a
// vocabulary file (Browse, its path, the room colour its last title gives),
// kept in the settings file from one run to the next, Generate and Cancel;
// the run replaces the descriptions of every loaded room
// whose name is a title, as one undoable step. Generate Map: the five
// fields of a new area that a random walk lays out.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "generators/map_generator.h"
#include "world/workspace.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zs {

class Random;

class GenerateDescsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = kVocabularyRows;
    // Checks the statement templates on opening; their faults are shown.
    GenerateDescsDialog(Workspace& ws, Random& random, QWidget* parent);

    QLineEdit* path_box(int row) const { return paths_[static_cast<std::size_t>(row)]; }
    QLineEdit* colour_box(int row) const { return colours_[static_cast<std::size_t>(row)]; }
    // "Generate": reads the rows' files in order, describes the rooms and
    // closes.
    void generate();
    // However it closes, the rows are kept in the workspace's options and
    // the settings file when they changed.
    void done(int result) override;

private:
    Workspace& ws_;
    Random& random_;
    std::array<QLineEdit*, kRows> paths_{};
    std::array<QLineEdit*, kRows> colours_{};
};

// "Generate Map": Number of Rooms, Starting Zone, Max Floors, Use Up/Down and
// Room Title; OK and Cancel. The dialog only reads the fields. OK closes it
// only on a request the workspace takes: a refused value is named on the
// dialog's status line ("Number of Rooms: "abc" is not a number."), and a
// zone that exists in a message box, and the dialog stays open with what was
// typed.
class GenerateMapDialog : public QDialog {
    Q_OBJECT
public:
    GenerateMapDialog(Workspace& ws, QWidget* parent);
    // The fields as a request: each number box holds one whole number (Max
    // Floors may be empty: no limit). Nothing when a box does not, with the
    // box and why on the status line and the focus in that box.
    std::optional<MapRequest> request() const;
    void accept() override;

    QLineEdit* rooms_box() const { return rooms_; }
    QLineEdit* zone_box() const { return zone_; }
    QLineEdit* floors_box() const { return floors_; }
    QCheckBox* up_down_box() const { return up_down_; }
    QLineEdit* title_box() const { return title_; }
    QLabel* status_label() const { return status_; }

private:
    Workspace& ws_;
    QLineEdit* rooms_;
    QLineEdit* zone_;
    QLineEdit* floors_;
    QCheckBox* up_down_;
    QLineEdit* title_;
    QLabel* status_;
};

}  // namespace zs
