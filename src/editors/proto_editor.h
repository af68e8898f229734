// ProtoEditor: the object editor and the mobile editor, one implementation
// over the table they edit. The selection pane on the right holds the vnum
// field with "Select" and "New" and the tree of loaded records by zone; the
// text pane along the bottom holds the shared text tools and the record's
// four texts (keywords, short, long and look description) in the fixed font,
// with the record's properties (PropertiesPane) beside them, or below them
// while the window is too narrow for both side by side.
// Typing stores into the current record at once, each burst of typing in one
// field one undoable step; a text the area files cannot hold is refused. The
// tree keeps its own items by vnum and relabels a record's item when its
// short description changes.
#pragma once

#include <QHash>
#include <QString>
#include <array>

#include "editors/editor_pane.h"
#include "world/prototype_edits.h"

class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zs {

class PropertiesPane;
class TextTools;

class ProtoEditor : public EditorPane {
    Q_OBJECT
public:
    // `kind` is EditorKind::Object or EditorKind::Mobile.
    ProtoEditor(EditorKind kind, WorkspaceSignals& bridge, QWidget* area);

    QLineEdit* vnum_field() const { return vnum_; }
    QTreeWidget* tree() const { return tree_; }
    // Fields 1 to 3 (keywords, short and long description) are one line.
    QLineEdit* line_field(ProtoField field) const;
    QPlainTextEdit* look_field() const { return look_; }
    TextTools* tools() const { return tools_; }
    PropertiesPane* properties() const { return properties_; }

    bool text_hidden() const override;
    void preview_clicked(int split_line, QPoint point, bool right) override;
    // Fills both panes from the current record, the tree rebuilt (its labels
    // follow "Color Codes in Trees"); stores nothing.
    void refresh() override;

    // "New": the modal New Object / New Mobile dialog with the suggested
    // vnum; OK makes the record.
    void open_new_dialog();

protected:
    void record_changed(const Change& change) override;
    // Once the builder leaves the look description, it shows the text as
    // stored: the lines that typing wrapped are shown wrapped.
    void box_left(QWidget* box) override;
    // The text pane's row of tools, for an editor's own buttons.
    QHBoxLayout* tool_row() const;

private:
    void fill_fields();
    void rebuild_tree();
    void relabel(int vnum);
    void select_current_item();
    void item_chosen(QTreeWidgetItem* item);
    // A field was typed in: stores its text, or puts the field back as it
    // was when the text is refused.
    void typed(ProtoField field);
    void format_pressed(bool clear);

    TableKind table_kind_;
    QLineEdit* vnum_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::array<QLineEdit*, 3> lines_{};
    QPlainTextEdit* look_ = nullptr;
    TextTools* tools_ = nullptr;
    PropertiesPane* properties_ = nullptr;
    // What each field showed after its last accepted change.
    std::array<QString, kProtoFieldCount> shown_;
    // The look description the field was last filled with: typing keeps the
    // lines of it that it did not touch.
    std::string filled_look_;
    // The tree's record items by vnum; the records hold none.
    QHash<int, QTreeWidgetItem*> items_;
    bool filling_ = false;    // the widgets are being filled from the table
    bool tree_stale_ = true;  // records came or went since the tree was built
    bool rebuild_queued_ = false;
};

}  // namespace zs
