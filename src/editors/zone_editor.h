// ZoneEditor: the zone reset editor's panes and dialogs. The zone selection
// pane (right) picks a zone by number, opens New Zedit, and shows the tree
// of the objects and mobiles of one zone or of all zones. The zone editor
// pane (bottom) holds the selected zone's names and header numbers, the
// ZCmds tree of its reset commands (those of the map's selected room, or all
// of them under their rooms with "Show All "), and the eight fields and
// Dependant box of the selected command, with New (the Create New Zcmd
// dialog), Delete and Copy. Every change is a step of the core
// (world/zone_commands.h); the selected command is kept as zone and index.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

#include "appkit/dialog_status.h"
#include "editors/editor_pane.h"
#include "world/zone_commands.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zs {

// The eight labelled fields and the Dependant box of one command, as the
// zone editor pane and Create New Zcmd show them.
class CommandFields : public QObject {
    Q_OBJECT
public:
    // Adds the fields to `group` in a grid, two columns of four.
    explicit CommandFields(QGroupBox* group);

    QLineEdit* field(int f) const { return fields_[static_cast<std::size_t>(f)]; }
    QLabel* label(int f) const { return labels_[static_cast<std::size_t>(f)]; }
    QCheckBox* dependant() const { return dependant_; }

    // Labels and enables the fields for the letter (all disabled and
    // unlabelled for a letter the editor does not know).
    void set_letter(char letter);
    // Shows a command's values, or empties every field.
    void show(const Zcmd* command);
    // The command the fields describe, with the letter given.
    Zcmd command(char letter) const;

private:
    std::array<QLabel*, kCommandFields> labels_{};
    std::array<QLineEdit*, kCommandFields> fields_{};
    QCheckBox* dependant_ = nullptr;
};

// "Create New Zcmd": the nine kind buttons and the fields of the new
// command. The kind chosen last is kept between openings.
class CreateZcmdDialog : public QDialog {
    Q_OBJECT
public:
    // While it is up, the workspace's status texts (what a field or OK
    // refuses) show on its own status line.
    CreateZcmdDialog(Workspace& ws, QWidget* parent);
    ~CreateZcmdDialog() override;

    char letter() const { return letter_; }
    // Relabels the fields for the kind and sets every number to 0.
    void choose(char letter);
    CommandFields& fields() { return *fields_; }
    // The command OK would add.
    Zcmd command() const { return fields_->command(letter_); }
    // The builder typed into a field: kept when `refusal` is empty, else
    // the field goes back to the text it had.
    void field_typed(int field, const std::string& refusal);
    QLabel* status_line() const { return status_line_; }

signals:
    // OK was pressed; the editor adds the command, and closes the dialog
    // when it was added.
    void add_wanted();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Workspace& ws_;
    QLabel* status_line_ = nullptr;
    std::unique_ptr<DialogStatus> status_;
    char letter_ = 'N';  // no kind chosen yet
    CommandFields* fields_ = nullptr;
    std::array<QString, kCommandFields> accepted_;  // each field's last text not refused
};

// "New Zedit": the zone number of the new zedit.
class NewZeditDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewZeditDialog(QWidget* parent);
    QLineEdit* zone_box() const { return box_; }

private:
    QLineEdit* box_ = nullptr;
};

class ZoneEditor : public EditorPane {
    Q_OBJECT
public:
    ZoneEditor(WorkspaceSignals& bridge, QWidget* area);

    // Zone selection pane.
    QLineEdit* zone_number_box() const { return zone_box_; }
    QTreeWidget* prototype_tree() const { return prototypes_; }
    NewZeditDialog* new_zedit_dialog() const { return new_zedit_; }
    // "Select Zone": the zone the number box names.
    void select_zone_from_box();
    // "New": opens New Zedit, its box filled in.
    void open_new_zedit();

    // Zone editor pane.
    QLineEdit* name_box() const { return name_; }
    QLineEdit* roleplay_box() const { return roleplay_; }
    QLineEdit* number_box(ZoneField field) const;
    QCheckBox* show_all_box() const { return show_all_; }
    QTreeWidget* command_tree() const { return commands_; }
    CommandFields& fields() const { return *fields_; }
    CreateZcmdDialog* new_command_dialog() const { return new_command_; }
    const std::optional<CommandRef>& selected_command() const { return selection_.ref(); }
    // Selects a command of the selected zone, as a click on its line does.
    void select_command(int index);
    // "New", "Delete" and "Copy" of the command group.
    void open_new_command();
    void delete_selected_command();
    void copy_selected_command();

    // True while "Hide" shrinks the pane to a strip, its controls hidden.
    bool text_hidden() const override;

    void refresh() override;

protected:
    void record_changed(const Change& change) override;

private:
    void build_selection_pane();
    void build_editor_pane();
    int selected_zone() const;
    // The selected zedit's names, numbers and trees.
    void fill_zone();
    void fill_prototypes();
    void fill_commands();
    void fill_command_fields();
    // The line of command `index` in the ZCmds tree is rebuilt.
    void rewrite_line(int index);
    QTreeWidgetItem* item_of(int index) const;
    void prototype_clicked(QTreeWidgetItem* item);
    void command_clicked();
    void zone_text_typed(ZoneField field, QLineEdit* box, QString& shown);
    void zone_number_typed(ZoneField field, QLineEdit* box, QString& shown);
    void field_typed(int field);
    void add_new_command();
    void new_zedit_accepted();
    // Objects and mobiles changed: their names in the trees, once the
    // event loop is back.
    void schedule_names();

    // Zone selection pane.
    QLineEdit* zone_box_ = nullptr;
    QTreeWidget* prototypes_ = nullptr;
    bool one_zone_tree_ = false;  // after New Zedit: the new zone's prototypes only
    NewZeditDialog* new_zedit_ = nullptr;

    // Zone editor pane.
    QLineEdit* name_ = nullptr;
    QLineEdit* roleplay_ = nullptr;
    QLineEdit* lifespan_ = nullptr;
    QLineEdit* reset_mode_ = nullptr;
    QLineEdit* top_ = nullptr;
    QString shown_name_, shown_roleplay_, shown_lifespan_, shown_reset_mode_, shown_top_;
    QCheckBox* hide_ = nullptr;
    QCheckBox* show_all_ = nullptr;
    QTreeWidget* commands_ = nullptr;
    CommandFields* fields_ = nullptr;
    std::array<QString, kCommandFields> shown_fields_;
    QList<QWidget*> hideable_;
    CreateZcmdDialog* new_command_ = nullptr;

    CommandSelection selection_;
    int shown_zone_ = -1;  // the zone the panes show; another clears the command
    bool filling_ = false;
    bool names_pending_ = false;
};

}  // namespace zs
