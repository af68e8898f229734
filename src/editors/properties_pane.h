// PropertiesPane: every field of the current object or mobile beside its four
// texts, built from the properties catalogue with no code of its own per
// field. The fields sit on one tab per group (Main, Values, Flags, Affects,
// Lists, Other numbers, Texts, Blocks): a number or text is a label (which
// follows the record, as an object's values follow its type), a box and a
// hint; a flag word is 32 check boxes named by their letters; the trigger
// and skill lists have boxes and buttons to add and remove members. Typing
// in a box stores at once, one step per burst of typing in one box; a
// refusal, a warning or a note goes to the status line, and a refused box
// shows the stored value again once the builder leaves it. The pane finds
// the record by vnum each time and holds no pointer into the tables.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "world/proto_fields.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace zs {

class EditorPane;

class PropertiesPane : public QWidget {
    Q_OBJECT
public:
    // The fields of the table `editor` edits (objects or mobiles).
    PropertiesPane(EditorPane& editor, QWidget* parent);

    // Fills every box from the current record, the boxes built again when
    // its fields are not those shown; stores nothing.
    void refresh();

    // Wide enough for a label, its box and a hint side by side: the
    // splitter beside the text pane starts from it.
    QSize sizeHint() const override;
    // Never so narrow that a label, a box and a hint no longer fit side by
    // side: a window too narrow for it and the texts scrolls sideways.
    QSize minimumSizeHint() const override;

    QTabWidget* tabs() const { return tabs_; }
    // The box of a Number, Text or List field ("Weight box"); null when
    // the field has none.
    QWidget* box(int id) const;
    QLabel* label(int id) const;
    QLabel* hint(int id) const;
    // A Flags field's check box of bit 0 to 31.
    QCheckBox* flag_box(int id, int bit) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        PropField field;
        QLabel* label = nullptr;
        QWidget* box = nullptr;  // QLineEdit, or QPlainTextEdit for a text
        QLabel* hint = nullptr;
        std::array<QCheckBox*, 32> flags{};
    };

    int vnum() const;
    const Row* row(int id) const;
    void build(const std::vector<PropField>& fields);
    QWidget* add_list_controls(const PropField& field, QWidget* page);
    // Fills the rows from the record; the box of `skip` keeps what is typed.
    void fill(int skip);
    void fill_row(const Row& r, bool with_box);
    void typed(int id);
    void box_left(int id);
    void flag_clicked(int id, int bit, bool on);
    void show_result(const PropResult& result);
    void add_trigger();
    void remove_trigger();
    void set_skill();
    void remove_skill();

    EditorPane& editor_;
    TableKind kind_;
    QTabWidget* tabs_ = nullptr;
    std::vector<Row> rows_;
    std::vector<int> built_ids_;
    QLineEdit* trigger_box_ = nullptr;
    QLineEdit* skill_box_ = nullptr;
    QLineEdit* skill_value_box_ = nullptr;
    bool filling_ = false;
    int storing_ = -1;  // the field whose box is storing its typing
    // The status line shows what the pane last said; a store that has nothing
    // to say clears it, so a warning of a half-typed vnum does not outlive it.
    bool said_ = false;
};

}  // namespace zs
