// The map renderer: room bitmaps, the map font, and the pixel writer that
// draws exits, up/down markers and the selection frame line by line.
#include "app/map_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "appkit/qt_ui.h"
#include "world/colour_codes.h"
#include "world/room_text.h"
#include "world/world_table.h"

namespace zs {

using namespace map_geometry;

namespace {

struct BitmapColours {
    QRgb fill;
    QRgb frame;
};

constexpr QRgb kPlainFrame = qRgb(128, 128, 128);

// Index 8 and 11 are both yellow: the colour file has always had two.
constexpr BitmapColours kBitmapColours[kRoomColours] = {
    {qRgb(192, 192, 192), kPlainFrame},
    {qRgb(192, 220, 192), kPlainFrame},
    {qRgb(219, 219, 219), kPlainFrame},
    {qRgb(255, 184, 149), kPlainFrame},
    {qRgb(203, 203, 203), qRgb(146, 146, 146)},
    {qRgb(220, 220, 220), qRgb(178, 178, 178)},
    {qRgb(236, 236, 236), qRgb(212, 212, 212)},
    {qRgb(247, 247, 247), qRgb(236, 236, 236)},
    {qRgb(255, 255, 0), kPlainFrame},
    {qRgb(128, 0, 0), kPlainFrame},
    {qRgb(255, 0, 0), kPlainFrame},
    {qRgb(255, 255, 0), kPlainFrame},
    {qRgb(0, 128, 0), kPlainFrame},
    {qRgb(0, 255, 0), kPlainFrame},
    {qRgb(0, 128, 128), kPlainFrame},
    {qRgb(0, 255, 255), kPlainFrame},
    {qRgb(0, 0, 128), kPlainFrame},
    {qRgb(0, 0, 255), kPlainFrame},
    {qRgb(128, 0, 128), kPlainFrame},
    {qRgb(255, 0, 255), kPlainFrame},
    {qRgb(0, 64, 64), kPlainFrame},
    {qRgb(0, 224, 128), kPlainFrame},
    {qRgb(0, 128, 192), kPlainFrame},
    {qRgb(166, 202, 240), kPlainFrame},
    {qRgb(0, 64, 128), kPlainFrame},
    {qRgb(128, 128, 192), kPlainFrame},
    {qRgb(128, 0, 192), kPlainFrame},
    {qRgb(224, 0, 128), kPlainFrame},
    {qRgb(128, 64, 0), kPlainFrame},
    {qRgb(224, 128, 64), kPlainFrame},
    {qRgb(0, 0, 0), kPlainFrame},
    {qRgb(255, 255, 255), kPlainFrame},
    {qRgb(64, 64, 64), kPlainFrame},
    {qRgb(255, 251, 240), kPlainFrame},
};

constexpr int kFrameWidth = 2;
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kDoorColour = qRgb(80, 80, 0);
constexpr QRgb kFlyColour = qRgb(0, 200, 200);
constexpr QRgb kSelectionColour = qRgb(200, 0, 0);

// Direct pixel access to a 32-bit image; every write is clipped.
class Canvas {
public:
    explicit Canvas(QImage& image)
        : bits_(image.bits()),
          stride_(image.bytesPerLine()),
          width_(image.width()),
          height_(image.height()) {}

    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits_ + y * stride_); }

    void put(int x, int y, QRgb colour) const {
        if (x >= 0 && x < width_ && y >= 0 && y < height_) row(y)[x] = colour;
    }

    // Darkens a pixel towards black by `alpha` (0..255), as a black glyph
    // would be composed over it.
    void darken(int x, int y, int alpha) const {
        if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
        QRgb& p = row(y)[x];
        int keep = 255 - alpha;
        p = qRgb(qRed(p) * keep / 255, qGreen(p) * keep / 255, qBlue(p) * keep / 255);
    }

    // Copies a 32-bit image with its top-left at (x, y).
    void blit(const QImage& src, int x, int y) const {
        int x0 = std::max(x, 0), x1 = std::min(x + src.width(), width_);
        int y0 = std::max(y, 0), y1 = std::min(y + src.height(), height_);
        if (x0 >= x1) return;
        for (int yy = y0; yy < y1; ++yy) {
            const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(yy - y)) + (x0 - x);
            std::memcpy(row(yy) + x0, s, static_cast<std::size_t>(x1 - x0) * sizeof(QRgb));
        }
    }

    // A line from (x0, y0) towards (x1, y1), the end point left out. With
    // `dotted`, only every other pixel is written, starting with the first.
    void line(int x0, int y0, int x1, int y1, QRgb colour, bool dotted = false) const {
        int dx = std::abs(x1 - x0), step_x = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), step_y = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (int n = 0; x0 != x1 || y0 != y1; ++n) {
            if (!dotted || n % 2 == 0) put(x0, y0, colour);
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += step_x;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += step_y;
            }
        }
    }

private:
    uchar* bits_;
    qsizetype stride_;
    int width_, height_;
};

// Up/down markers: a three-pixel shaft with a doubled head, centred on
// (x0, y0).
constexpr int kArrowHalf = 4, kArrowHead = 2;

void arrow_up(const Canvas& c, int x0, int y0, QRgb colour) {
    const int h = kArrowHalf, q = kArrowHead;
    const int t = y0 - h, b = y0 + h, m = (2 * y0 - h) / 2;
    for (int x = x0 - 1; x <= x0 + 1; ++x)
        c.line(x, t, x, b, colour);
    c.line(x0 - q, m, x0, t, colour);
    c.line(x0 + q, m, x0, t, colour);
    c.line(x0, t - 1, x0, b, colour);
    c.line(x0 - q, m - 1, x0, t - 1, colour);
    c.line(x0 + q, m - 1, x0, t - 1, colour);
}

void arrow_down(const Canvas& c, int x0, int y0, QRgb colour) {
    const int h = kArrowHalf, q = kArrowHead;
    const int t = y0 - h, b = y0 + h, m = (h + 2 * y0) / 2;
    for (int x = x0 - 1; x <= x0 + 1; ++x)
        c.line(x, t, x, b, colour);
    c.line(x0 - q, m, x0, b, colour);
    c.line(x0 + q, m, x0, b, colour);
    c.line(x0, t, x0, b + 2, colour);
    c.line(x0 - q, m + 1, x0, b + 1, colour);
    c.line(x0 + q, m + 1, x0, b + 1, colour);
}

// The four compass exits of a room whose box centre is (cx, cy): a stub from
// just inside the box out across the gap, and for a door three bars along the
// box's inner edge on that side.
void draw_exits(const Canvas& c, const Room& r, int cx, int cy) {
    constexpr int kHalf = kBoxSize / 2;  // 9
    constexpr int kIn = kStubInset;      // 7
    constexpr int kOut = kHalf + 4;      // 13
    auto is_door = [&](int dir) { return (r.exits[dir]->exit_flags & kExitIsDoor) != 0; };
    if (r.exits[kNorth]) {
        c.line(cx, cy - kOut, cx, cy - kIn, kBlack);
        if (is_door(kNorth))
            for (int k = 0; k < 3; ++k)
                c.line(cx - kHalf, cy - kHalf + k, cx + kHalf, cy - kHalf + k, kDoorColour);
    }
    if (r.exits[kSouth]) {
        c.line(cx, cy + kIn, cx, cy + kOut, kBlack);
        if (is_door(kSouth))
            for (int k = 0; k < 3; ++k)
                c.line(cx - kHalf, cy + kHalf - 1 - k, cx + kHalf, cy + kHalf - 1 - k, kDoorColour);
    }
    if (r.exits[kEast]) {
        c.line(cx + kIn, cy, cx + kOut, cy, kBlack);
        if (is_door(kEast))
            for (int k = 0; k < 3; ++k)
                c.line(cx + kHalf - 1 - k, cy - kHalf, cx + kHalf - 1 - k, cy + kHalf, kDoorColour);
    }
    if (r.exits[kWest]) {
        c.line(cx - kOut, cy, cx - kIn, cy, kBlack);
        if (is_door(kWest))
            for (int k = 0; k < 3; ++k)
                c.line(cx - kHalf + k, cy - kHalf, cx - kHalf + k, cy + kHalf, kDoorColour);
    }
}

void draw_markers(const Canvas& c, const Room& r, int sx, int sy) {
    const int left = sx + 1, right = sx + kBoxSize - 2;
    const int top = sy + 3, bottom = sy + kBoxSize - 4;
    if (r.exits[kUp]) arrow_up(c, left, top, kBlack);
    if (r.exits[kDown]) arrow_down(c, right, bottom, kBlack);
    if (r.fly_up_room > 0) arrow_up(c, right, top, kFlyColour);
    if (r.fly_down_room > 0) arrow_down(c, left, bottom, kFlyColour);
}

// The selection frame: one pixel outside the box all round, dotted.
void draw_selection(const Canvas& c, int sx, int sy) {
    const int lo_x = sx - 1, hi_x = sx + kBoxSize, lo_y = sy - 1, hi_y = sy + kBoxSize;
    c.line(lo_x, lo_y, lo_x, hi_y, kSelectionColour, true);
    c.line(hi_x, lo_y, hi_x, hi_y, kSelectionColour, true);
    c.line(lo_x, lo_y, hi_x, lo_y, kSelectionColour, true);
    c.line(lo_x, hi_y, hi_x, hi_y, kSelectionColour, true);
}

bool is_32_bit(const QImage& image) {
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return true;
        default:
            return false;
    }
}

}  // namespace

MapRenderer::MapRenderer() {
    for (int i = 0; i < kRoomColours; ++i) {
        QImage bitmap(kBoxSize, kBoxSize, QImage::Format_RGB32);
        bitmap.fill(kBitmapColours[i].frame);
        for (int y = kFrameWidth; y < kBoxSize - kFrameWidth; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
            std::fill(line + kFrameWidth, line + kBoxSize - kFrameWidth, kBitmapColours[i].fill);
        }
        bitmaps_[i] = bitmap;
    }
    font_.setFamilies({QStringLiteral("DejaVu Serif")});
    font_.setStyleHint(QFont::Serif);
    font_.setPixelSize(10);
    font_.setStyleStrategy(QFont::NoAntialias);
    fixed_font_ = game_text_font();
}

QColor MapRenderer::room_fill(int index) {
    return QColor(kBitmapColours[index].fill);
}

QColor MapRenderer::room_frame(int index) {
    return QColor(kBitmapColours[index].frame);
}

const std::vector<MapRenderer::TextPixel>& MapRenderer::number_pixels(int number) {
    auto& cached = numbers_[static_cast<std::size_t>(number + 99)];
    if (cached) return *cached;
    // Rendered once onto a transparent scratch image with room to spare on
    // every side, then kept as the glyph pixels relative to the text's top.
    const QString text = QString::number(number);
    const QFontMetrics metrics(font_);
    const int pad = 4;
    QImage scratch(metrics.horizontalAdvance(text) + 4 * pad, metrics.height() + 2 * pad,
                   QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font_);
        p.setPen(Qt::black);
        p.drawText(pad, pad + metrics.ascent(), text);
    }
    std::vector<TextPixel> pixels;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x)
            if (int a = qAlpha(line[x]); a > 0) pixels.push_back({x - pad, y - pad, a});
    }
    cached = std::move(pixels);
    return *cached;
}

void MapRenderer::draw_map(QImage& target, const WorldTable& world, const MapLayout& layout,
                           const MapView& view) {
    if (world.selected_slot() < 0 || target.isNull()) return;
    if (!is_32_bit(target)) target.convertTo(QImage::Format_RGB32);
    const Canvas canvas(target);
    const int selected = layout.selected_slot;
    for (const MapItem& item : layout.items) {
        const Room& r = world.room(item.slot);
        const int sx = item.x - view.scroll_x, sy = item.y - view.scroll_y;
        if (item.shown_floor) {
            int colour = r.room_colour >= 0 && r.room_colour < kRoomColours ? r.room_colour : 0;
            canvas.blit(bitmaps_[colour], sx, sy);
            const int number = r.vnum - zone_of(r.vnum) * 100;
            const int tx = sx + (number >= 0 && number <= 9 ? 7 : 4), ty = sy + 3;
            for (const TextPixel& p : number_pixels(number))
                canvas.darken(tx + p.dx, ty + p.dy, p.alpha);
        } else {
            int shade = item.shade >= kShadeOneDown && item.shade <= kShadeFurther ? item.shade
                                                                                   : kShadeFurther;
            canvas.blit(bitmaps_[shade], sx, sy);
        }
        if (item.slot == selected) draw_selection(canvas, sx, sy);
        if (item.shown_floor) {
            draw_exits(canvas, r, sx + kBoxSize / 2, sy + kBoxSize / 2);
            draw_markers(canvas, r, sx, sy);
        }
    }
}

void MapRenderer::fill_background(QImage& target, int split_line, int bottom_top,
                                  bool anything_selected) {
    if (target.isNull()) return;
    if (!is_32_bit(target)) target.convertTo(QImage::Format_RGB32);
    const Canvas canvas(target);
    const int bottom = std::clamp(bottom_top, 0, target.height());
    const int split = anything_selected ? std::clamp(split_line, 0, bottom) : bottom;
    for (int y = 0; y < bottom; ++y) {
        QRgb* line = canvas.row(y);
        std::fill(line, line + target.width(), y < split ? kWhite : kBlack);
    }
}

QImage MapRenderer::render(const WorldTable& world, const MapView& view, int width, int height) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    fill_background(image, view.split_line, image.height(), world.selected_slot() >= 0);
    draw_map(image, world, lay_out_map(world, view), view);
    return image;
}

void MapRenderer::draw_game_text(QImage& target, int top, int bottom, std::string_view text,
                                 bool one_line) {
    if (target.isNull() || text.empty() || top >= bottom) return;
    QPainter p(&target);
    p.setClipRect(0, top, target.width(), bottom - top);
    p.setFont(fixed_font_);
    const int ascent = QFontMetrics(fixed_font_).ascent();
    // Lines are 15 pixels apart; the glyph's top sits at the line's top.
    const int last_line = (bottom - top) / kPreviewLineHeight;
    char colour = 0;
    for (const Glyph& g : visible_glyphs(text)) {
        if (g.line > last_line || (one_line && g.line > 0)) break;
        if (g.ch == ' ') continue;
        if (g.colour != colour) {
            colour = g.colour;
            Rgb c = preview_colour(colour);
            p.setPen(QColor(c.r, c.g, c.b));
        }
        p.drawText(QPoint(kPreviewLeft + g.column * kPreviewCharWidth,
                          top + g.line * kPreviewLineHeight + ascent),
                   QString(QChar::fromLatin1(g.ch)));
    }
}

}  // namespace zs
