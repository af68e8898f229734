// MapWidget: the map view. It draws the map through the renderer into a back
// buffer and shows it in one copy, turns mouse, wheel and key events into
// map-session calls, and shows the tooltip of the room under the pointer.
// Redraws are paced: requested redraws at most every 33 ms, unforced ones
// skipped within 21 ms of the last, forced ones always, once the event that
// asked for them has been handled; whatever asked, one drawing serves every
// request made before it.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "app/map_renderer.h"
#include "map/map_session.h"

namespace zs {

class Workspace;

class MapWidget : public QWidget {
    Q_OBJECT
public:
    MapWidget(Workspace& ws, MapSession& session, QWidget* parent);

    // Asks for a redraw; it is done once 33 ms have passed since the last
    // requested one.
    void request_redraw();
    // Forced: redraws as soon as the current event has been handled, once
    // however often it is asked. Unforced: redraws now, unless the last
    // unforced redraw was within 21 ms.
    void redraw(bool force);
    // The split line and where the bottom pane begins, in this widget's pixels.
    void set_bands(int split_line, int bottom_top);
    // The colour preview band's height: the split line lies that far above
    // the widget's foot, whatever its height.
    void set_preview_band(int height);
    int split_line() const { return split_line_; }
    // Zoom steps from the keyboard: about the selected room. 0 gives back
    // the default grid.
    void zoom_by_key(int steps);
    const QImage& back_buffer() const { return buffer_; }
    int redraw_count() const { return redraws_; }

    // Shift and Ctrl as the window follows them: set when the key goes down,
    // cleared when it comes up, when a shortcut or right-click uses it, and
    // when the map or the window loses the focus or a popup closes.
    // A mouse or key event counts a modifier only when its own modifiers hold
    // it too.
    bool shift = false;
    bool ctrl = false;
    void clear_modifiers() { shift = ctrl = false; }
    // The flags that an event whose modifiers are these may use.
    KeyMods held(Qt::KeyboardModifiers event_modifiers) const;

signals:
    // A right click that needs the Create New Room dialog.
    void create_dialog_wanted();
    // A click below the split line, on the colour preview (the zone editor
    // has none); the point is in this widget's pixels.
    void preview_clicked(QPoint point, bool right);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Keys released while the map is without the focus never reach it: Shift
    // and Ctrl start afresh.
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Ctrl with the wheel zooms about the pointer.
    void wheelEvent(QWheelEvent* event) override;
    // A room's tooltip names it: vnum, title and zone.
    bool event(QEvent* event) override;
    // The arrows, Home and End walk the selection through the selected
    // room's exits (Shift with them as with a click); Page Up and Page Down
    // change the floor.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab is no way out of the map.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void render();
    // The current editor's colour preview of its record, below the split line.
    void draw_preview();
    bool on_preview(int y) const;
    // Draws if anything asked for a drawing since the last one.
    void render_if_asked();

    Workspace& ws_;
    MapSession& session_;
    MapRenderer renderer_;
    QImage buffer_;
    QTimer pacer_;
    QElapsedTimer clock_;
    qint64 last_unforced_ = -1000;
    qint64 last_requested_ = -1000;
    int split_line_ = 0;
    int bottom_top_ = 0;
    int preview_band_ = 0;
    int redraws_ = 0;
    bool asked_ = false;   // a redraw was asked for since the last drawing
    bool queued_ = false;  // a forced redraw waits for the event to end
    int wheel_zoom_ = 0;   // Ctrl+wheel turned by less than a notch so far
};

}  // namespace zs
