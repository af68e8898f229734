// The generators' dialogs. Generate Descriptions: fourteen rows of a
// vocabulary file (Browse, its path, the room colour its last title gives),
// Generate and Cancel; the run replaces the descriptions of every loaded room
// whose name is a title, as one undoable step.
#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace zs {

class Random;
class Workspace;

class GenerateDescsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 14;
    // Checks the statement templates on opening; their faults are shown.
    GenerateDescsDialog(Workspace& ws, Random& random, QWidget* parent);

    QLineEdit* path_box(int row) const { return paths_[static_cast<std::size_t>(row)]; }
    QLineEdit* colour_box(int row) const { return colours_[static_cast<std::size_t>(row)]; }
    // "Generate": reads the rows' files in order, describes the rooms and
    // closes.
    void generate();

private:
    Workspace& ws_;
    Random& random_;
    std::array<QLineEdit*, kRows> paths_{};
    std::array<QLineEdit*, kRows> colours_{};
};

}  // namespace zs
