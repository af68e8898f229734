// The shell's small modal dialogs: Options, Load Full Zone, How to Create
// Exits and About. Each is centred over the main window when it opens.
#pragma once

#include <QDialog>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace zs {

struct Options;

// Options: "Prompt for Vnum", the traverse limit with "Infinite", "Color
// Codes in Trees", "Auto-Load Zone". Ticking "Infinite" sets the limit to -1
// at once, even if the dialog is then cancelled.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(Options& options, QWidget* parent);
    // Stores the boxes into the options (the OK button does this too).
    void store();

    QCheckBox* prompt_box() const { return prompt_; }
    QCheckBox* infinite_box() const { return infinite_; }
    QLineEdit* limit_box() const { return limit_; }

private:
    Options& options_;
    QCheckBox* prompt_;
    QCheckBox* infinite_;
    QLineEdit* limit_;
    QCheckBox* tree_colours_;
    QCheckBox* auto_load_;
};

// "  Load Full Zone": the zone number to load, prefilled with the last one.
class LoadZoneDialog : public QDialog {
    Q_OBJECT
public:
    LoadZoneDialog(int last_zone, QWidget* parent);
    // The zone number typed; nothing for an empty box, a box that holds no
    // number, or a negative one.
    std::optional<int> zone() const;
    QLineEdit* zone_box() const { return zone_; }

private:
    QLineEdit* zone_;
};

void show_exit_help(QWidget* parent);
void show_about(QWidget* parent);

}  // namespace zs
