// The shell's small modal dialogs: Options, Load Full Zone, Apply Attributes,
// Re-number Zone, How to Create Exits and About. Each is centred over the
// main window when it opens. The zone dialogs only gather what the user
// chose; the operations themselves are the core's.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "world/zone_ops.h"

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

// "Apply Attributes" for the selected room `vnum` of `zone`: which of its
// attributes go to every room of the zone, and which values already set are
// kept. The boxes are named "copy <caption>" and "keep <caption>".
class ApplyAttributesDialog : public QDialog {
    Q_OBJECT
public:
    ApplyAttributesDialog(int vnum, int zone, QWidget* parent);
    ApplyAttributesChoices choices() const;

private:
    QCheckBox* copy_[6];
    QCheckBox* keep_[4];
};

// "Re-number Zone": the old zone (prefilled when known) and the new one.
// "Re-Number" calls `renumber` with the boxes' texts and the "Also renumber"
// box, and leaves the dialog open; "Done" closes it.
class RenumberZoneDialog : public QDialog {
    Q_OBJECT
public:
    using Renumber =
        std::function<void(const QString& old_box, const QString& new_box, bool whole_zone)>;
    RenumberZoneDialog(std::optional<int> old_zone, Renumber renumber, QWidget* parent);

    QLineEdit* old_box() const { return old_; }
    QLineEdit* new_box() const { return new_; }
    QCheckBox* whole_zone_box() const { return whole_; }

private:
    QLineEdit* old_;
    QLineEdit* new_;
    QCheckBox* whole_;
};

void show_exit_help(QWidget* parent);
void show_about(QWidget* parent);

}  // namespace zs
