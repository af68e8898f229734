// TextTools: the row of controls every text pane shares (room, object and
// mobile): "Hide", "Format", "Clear", the seventeen colour buttons and the
// paint colour's swatch beside "Color:". A colour button sets the paint
// colour all text panes share (kept by WorkspaceSignals); what Hide,
// Format, Clear and a double-clicked colour button do is the pane's.
#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QHBoxLayout;
class QLabel;

namespace zs {

class WorkspaceSignals;

class TextTools : public QWidget {
    Q_OBJECT
public:
    TextTools(WorkspaceSignals& bridge, QWidget* parent);

    // The paint colour the colour buttons chose ("&R"), empty at first.
    const QString& paint_colour() const;
    QLabel* swatch() const { return swatch_; }
    // True while "Hide" is ticked.
    bool hide_ticked() const;
    // The row, for a pane's own buttons after the stretch at its end.
    QHBoxLayout* row() const { return row_; }

signals:
    void hide_toggled(bool hidden);
    void format_pressed();
    void clear_pressed();
    // A colour button was pressed (`twice`: double-clicked); the paint
    // colour is already its code.
    void colour_pressed(const QString& code, bool twice);

private:
    void choose(const QString& code, bool twice);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QHBoxLayout* row_ = nullptr;
    QCheckBox* hide_ = nullptr;
    QLabel* swatch_ = nullptr;
    WorkspaceSignals& bridge_;
};

}  // namespace zs
