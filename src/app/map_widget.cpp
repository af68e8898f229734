#include "app/map_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "world/prototype_edits.h"
#include "world/room_text.h"
#include "world/workspace.h"

namespace zs {

MapWidget::MapWidget(Workspace& ws, MapSession& session, QWidget* parent)
    : QWidget(parent), ws_(ws), session_(session) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    clock_.start();
    pacer_.setSingleShot(true);
    connect(&pacer_, &QTimer::timeout, this, [this] {
        last_requested_ = clock_.elapsed();
        render_if_asked();
    });
}

void MapWidget::request_redraw() {
    asked_ = true;
    if (pacer_.isActive()) return;
    qint64 since = clock_.elapsed() - last_requested_;
    pacer_.start(static_cast<int>(std::max<qint64>(0, 34 - since)));
}

void MapWidget::set_bands(int split_line, int bottom_top) {
    split_line_ = split_line;
    bottom_top_ = bottom_top;
    session_.view().split_line = split_line;
    session_.view().client_width = width();
}

void MapWidget::render() {
    if (buffer_.size() != size()) buffer_ = QImage(size(), QImage::Format_RGB32);
    session_.apply_options(ws_.options());
    bool anything = ws_.world().selected_room() || ws_.zones().selected_zedit() ||
                    ws_.objects().current_object() || ws_.mobiles().current_mobile();
    renderer_.fill_background(buffer_, split_line_, std::max(split_line_, bottom_top_), anything);
    const WorldTable& world = ws_.world();
    renderer_.draw_map(buffer_, world, session_.lay_out(world), session_.view());
    draw_preview();
    ++redraws_;
    // This drawing answers every request made so far.
    asked_ = false;
    pacer_.stop();
    update();
}

void MapWidget::draw_preview() {
    int bottom = std::max(split_line_, bottom_top_);
    EditorKind editor = ws_.current_editor();
    if (editor == EditorKind::Room) {
        const Room* room = ws_.world().selected_room();
        if (!room) return;
        renderer_.draw_game_text(buffer_, split_line_ + kPreviewTitleTop, bottom,
                                 room->title.view(), true);
        renderer_.draw_game_text(buffer_, split_line_ + kPreviewBodyTop, bottom,
                                 room->description.view(), false);
        return;
    }
    if (editor != EditorKind::Object && editor != EditorKind::Mobile) return;
    // The short description on the title's line, the long description on
    // the next, the look description below them.
    TableKind table = editor == EditorKind::Mobile ? TableKind::Mobile : TableKind::Object;
    int vnum = current_proto(ws_, table);
    if (vnum < 0) return;
    auto text = [&](ProtoField field) { return *proto_text(ws_, table, vnum, field); };
    renderer_.draw_game_text(buffer_, split_line_ + kPreviewTitleTop, bottom,
                             text(ProtoField::ShortDescription), true);
    renderer_.draw_game_text(buffer_, split_line_ + kPreviewBodyTop, bottom,
                             text(ProtoField::LongDescription), true);
    renderer_.draw_game_text(buffer_, split_line_ + kPreviewBodyTop + kPreviewLineHeight, bottom,
                             text(ProtoField::LookDescription), false);
}

bool MapWidget::on_preview(int y) const {
    return ws_.current_editor() != EditorKind::Zone && y > split_line_;
}

void MapWidget::render_if_asked() {
    if (asked_) render();
}

void MapWidget::redraw(bool force) {
    if (force) {
        // An event often changes several things, each asking for a forced
        // redraw: they are all served by one drawing once the event is done.
        asked_ = true;
        if (!queued_) {
            queued_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    queued_ = false;
                    render_if_asked();
                },
                Qt::QueuedConnection);
        }
        return;
    }
    qint64 now = clock_.elapsed();
    if (now - last_unforced_ < 21) return;
    last_unforced_ = now;
    render();
}

void MapWidget::paintEvent(QPaintEvent*) {
    if (buffer_.size() != size()) render();
    QPainter p(this);
    p.drawImage(0, 0, buffer_);
}

void MapWidget::set_preview_band(int height) {
    preview_band_ = height;
    set_bands(this->height() - preview_band_, this->height());
}

void MapWidget::resizeEvent(QResizeEvent*) {
    set_bands(height() - preview_band_, height());
    redraw(true);
}

void MapWidget::focusOutEvent(QFocusEvent* event) {
    clear_modifiers();
    QWidget::focusOutEvent(event);
}

KeyMods MapWidget::held(Qt::KeyboardModifiers event_modifiers) const {
    return {shift && event_modifiers.testFlag(Qt::ShiftModifier),
            ctrl && event_modifiers.testFlag(Qt::ControlModifier)};
}

void MapWidget::mousePressEvent(QMouseEvent* e) {
    setFocus();
    QPoint p = e->position().toPoint();
    KeyMods mods = held(e->modifiers());
    if (on_preview(p.y()) && (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)) {
        emit preview_clicked(p, e->button() == Qt::RightButton);
        return;
    }
    if (e->button() == Qt::LeftButton) {
        session_.left_button_down(ws_, p.x(), p.y(), mods.shift);
    } else if (e->button() == Qt::RightButton) {
        RightClickResult r = session_.right_button_down(ws_, p.x(), p.y(), mods);
        // The key that chose up or down must be pressed again for the next one.
        if (session_.used_mods().shift) shift = false;
        if (session_.used_mods().ctrl) ctrl = false;
        if (r == RightClickResult::OpenCreateDialog) emit create_dialog_wanted();
    }
}

void MapWidget::mouseMoveEvent(QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    if (p.x() < -10 || p.y() < -10 || p.x() > width() + 10 || p.y() > height() + 10) return;
    session_.mouse_move(ws_, p.x(), p.y());
}

void MapWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) session_.left_button_up(ws_);
}

void MapWidget::keyPressEvent(QKeyEvent* e) {
    static const std::pair<int, MapKey> kMoves[] = {
        {Qt::Key_Up, MapKey::Up},     {Qt::Key_Right, MapKey::Right}, {Qt::Key_Down, MapKey::Down},
        {Qt::Key_Left, MapKey::Left}, {Qt::Key_Home, MapKey::Home},   {Qt::Key_End, MapKey::End}};
    for (auto [key, move] : kMoves)
        if (e->key() == key) {
            session_.move_by_key(ws_, move, held(e->modifiers()).shift);
            return;
        }
    if (e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown) {
        session_.change_floor(ws_, e->key() == Qt::Key_PageUp ? 1 : -1);
        return;
    }
    QWidget::keyPressEvent(e);
}

void MapWidget::wheelEvent(QWheelEvent* e) {
    if (e->modifiers().testFlag(Qt::ControlModifier)) {
        // Fine-grained wheels and touchpads send parts of a notch: a step
        // for each whole one.
        wheel_zoom_ += e->angleDelta().y();
        const int steps = wheel_zoom_ / 120;
        wheel_zoom_ -= steps * 120;
        QPoint p = e->position().toPoint();
        if (steps != 0) session_.zoom_by(ws_, steps, p.x(), p.y());
        return;
    }
    session_.wheel(ws_, e->angleDelta().y(), held(e->modifiers()).shift);
}

void MapWidget::zoom_by_key(int steps) {
    auto [x, y] = session_.selected_centre(ws_.world());
    if (steps == 0)
        session_.zoom_at(ws_, kZoomDefault, x, y);
    else
        session_.zoom_by(ws_, steps, x, y);
}

bool MapWidget::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QPoint p = help->pos();
    const int slot = p.y() > split_line_ ? -1 : session_.room_under(ws_.world(), p.x(), p.y());
    if (slot < 0) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), QString::fromStdString(room_hover_text(ws_, slot)), this);
    return true;
}

}  // namespace zs
