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

    // A line from (x0, y0) towards (x1, y1), the end point left out. With a
    // `dash` length, dashes of that many pixels and gaps as long alternate,
    // starting with a dash.
    void line(int x0, int y0, int x1, int y1, QRgb colour, int dash = 0) const {
        int dx = std::abs(x1 - x0), step_x = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), step_y = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (int n = 0; x0 != x1 || y0 != y1; ++n) {
            if (dash == 0 || (n / dash) % 2 == 0) put(x0, y0, colour);
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

// The sizes of what is drawn for one room at one zoom; at the default zoom
// those of the grid as it has always been drawn.
struct RoomShapes {
    explicit RoomShapes(MapScale s)
        : box(s.box()),
          pen(s.pen()),
          stub_in(s.of(kStubInset)),
          stub_out(s.of(kBoxSize / 2 + 4)),
          door(s.of(3)),
          arrow_half(s.of(4)),
          arrow_head(s.of(2)),
          marker_side(s.of(1)),
          marker_top(s.of(3)),
          marker_right(s.of(2)),
          marker_bottom(s.of(4)) {}
    int box;
    int pen;            // width of stubs, frame and arrow heads
    int stub_in;        // from the box's centre to where a stub starts
    int stub_out;       // ... and to where it ends
    int door;           // depth of a door bar
    int arrow_half;     // half an arrow's height
    int arrow_head;     // half its head's width
    int marker_side;    // from the box's left edge to the left markers' shaft
    int marker_top;     // from its top to the upper markers' centre
    int marker_right;   // from its right edge to the right markers' shaft
    int marker_bottom;  // from its bottom to the lower markers' centre
};

// Up/down markers: a shaft 2 pen + 1 wide with a head pen + 1 deep, centred
// on (x0, y0); at the default zoom a three-pixel shaft and a doubled head.
void arrow_up(const Canvas& c, const RoomShapes& k, int x0, int y0, QRgb colour) {
    const int h = k.arrow_half, q = k.arrow_head;
    const int t = y0 - h, b = y0 + h, m = (2 * y0 - h) / 2;
    for (int x = x0 - k.pen; x <= x0 + k.pen; ++x)
        c.line(x, t, x, b, colour);
    for (int d = 0; d <= k.pen; ++d) {
        c.line(x0 - q, m - d, x0, t - d, colour);
        c.line(x0 + q, m - d, x0, t - d, colour);
        c.line(x0, t - d, x0, b, colour);
    }
}

void arrow_down(const Canvas& c, const RoomShapes& k, int x0, int y0, QRgb colour) {
    const int h = k.arrow_half, q = k.arrow_head;
    const int t = y0 - h, b = y0 + h, m = (h + 2 * y0) / 2;
    for (int x = x0 - k.pen; x <= x0 + k.pen; ++x)
        c.line(x, t, x, b, colour);
    for (int d = 0; d <= k.pen; ++d) {
        c.line(x0 - q, m + d, x0, b + d, colour);
        c.line(x0 + q, m + d, x0, b + d, colour);
        c.line(x0, t, x0, b + 1 + d, colour);
    }
}

// The four compass exits of a room whose box has its top-left at (sx, sy):
// a stub from just inside the box out across the gap, and for a door bars
// along the box's inner edge on that side.
void draw_exits(const Canvas& c, const Room& r, const RoomShapes& k, int sx, int sy) {
    const int cx = sx + k.box / 2, cy = sy + k.box / 2;
    const int in = k.stub_in, out = k.stub_out, end_x = sx + k.box, end_y = sy + k.box;
    // A stub as wide as the pen, centred on its line.
    const int first = -(k.pen / 2), last = first + k.pen;
    auto is_door = [&](int dir) { return (r.exits[dir]->exit_flags & kExitIsDoor) != 0; };
    if (r.exits[kNorth]) {
        for (int w = first; w < last; ++w)
            c.line(cx + w, cy - out, cx + w, cy - in, kBlack);
        if (is_door(kNorth))
            for (int d = 0; d < k.door; ++d)
                c.line(sx, sy + d, end_x, sy + d, kDoorColour);
    }
    if (r.exits[kSouth]) {
        for (int w = first; w < last; ++w)
            c.line(cx + w, cy + in, cx + w, cy + out, kBlack);
        if (is_door(kSouth))
            for (int d = 0; d < k.door; ++d)
                c.line(sx, end_y - 1 - d, end_x, end_y - 1 - d, kDoorColour);
    }
    if (r.exits[kEast]) {
        for (int w = first; w < last; ++w)
            c.line(cx + in, cy + w, cx + out, cy + w, kBlack);
        if (is_door(kEast))
            for (int d = 0; d < k.door; ++d)
                c.line(end_x - 1 - d, sy, end_x - 1 - d, end_y, kDoorColour);
    }
    if (r.exits[kWest]) {
        for (int w = first; w < last; ++w)
            c.line(cx - out, cy + w, cx - in, cy + w, kBlack);
        if (is_door(kWest))
            for (int d = 0; d < k.door; ++d)
                c.line(sx + d, sy, sx + d, end_y, kDoorColour);
    }
}

void draw_markers(const Canvas& c, const Room& r, const RoomShapes& k, int sx, int sy) {
    const int left = sx + k.marker_side, right = sx + k.box - k.marker_right;
    const int top = sy + k.marker_top, bottom = sy + k.box - k.marker_bottom;
    if (r.exits[kUp]) arrow_up(c, k, left, top, kBlack);
    if (r.exits[kDown]) arrow_down(c, k, right, bottom, kBlack);
    if (r.fly_up_room > 0) arrow_up(c, k, right, top, kFlyColour);
    if (r.fly_down_room > 0) arrow_down(c, k, left, bottom, kFlyColour);
}

// The selection frame: dotted, a pen wide, one pen outside the box all round.
void draw_selection(const Canvas& c, const RoomShapes& k, int sx, int sy) {
    for (int w = 1; w <= k.pen; ++w) {
        const int lo_x = sx - w, hi_x = sx + k.box - 1 + w;
        const int lo_y = sy - w, hi_y = sy + k.box - 1 + w;
        c.line(lo_x, lo_y, lo_x, hi_y, kSelectionColour, k.pen);
        c.line(hi_x, lo_y, hi_x, hi_y, kSelectionColour, k.pen);
        c.line(lo_x, lo_y, hi_x, lo_y, kSelectionColour, k.pen);
        c.line(lo_x, hi_y, hi_x, hi_y, kSelectionColour, k.pen);
    }
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
    font_.setFamilies({QStringLiteral("DejaVu Serif")});
    font_.setStyleHint(QFont::Serif);
    font_.setPixelSize(10);
    font_.setStyleStrategy(QFont::NoAntialias);
    fixed_font_ = game_text_font();
    art(kZoomDefault);
}

MapRenderer::ZoomArt& MapRenderer::art(int zoom) {
    auto found = art_.find(zoom);
    if (found != art_.end()) return found->second;
    // Drawn anew at each zoom, so that boxes and numbers stay sharp.
    const MapScale scale{zoom};
    const int box = scale.box(), frame = scale.of(kFrameWidth);
    ZoomArt& a = art_[zoom];
    for (int i = 0; i < kRoomColours; ++i) {
        QImage bitmap(box, box, QImage::Format_RGB32);
        bitmap.fill(kBitmapColours[i].frame);
        for (int y = frame; y < box - frame; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
            std::fill(line + frame, line + box - frame, kBitmapColours[i].fill);
        }
        a.bitmaps[i] = bitmap;
    }
    a.font = font_;
    a.font.setPixelSize(scale.of(10));
    // Boxes large enough for the whole vnum and the title's start.
    a.detail_font = font_;
    a.detail_font.setStyleStrategy(QFont::PreferAntialias);
    a.detail_font.setPixelSize(std::max(8, box / 4));
    a.title_font = a.detail_font;
    a.title_font.setPixelSize(std::max(7, box / 5));
    return a;
}

QColor MapRenderer::room_fill(int index) {
    return QColor(kBitmapColours[index].fill);
}

QColor MapRenderer::room_frame(int index) {
    return QColor(kBitmapColours[index].frame);
}

const std::vector<MapRenderer::TextPixel>& MapRenderer::number_pixels(ZoomArt& zoom_art,
                                                                      int number) {
    auto& cached = zoom_art.numbers[static_cast<std::size_t>(number + 99)];
    if (cached) return *cached;
    // Rendered once onto a transparent scratch image with room to spare on
    // every side, then kept as the glyph pixels relative to the text's top.
    const QString text = QString::number(number);
    const QFontMetrics metrics(zoom_art.font);
    const int pad = 4;
    QImage scratch(metrics.horizontalAdvance(text) + 4 * pad, metrics.height() + 2 * pad,
                   QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(zoom_art.font);
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

void MapRenderer::draw_details(QImage& target, const ZoomArt& a, const Room& r, int sx, int sy,
                               int box, int frame) {
    const QRect inner(sx + frame + 1, sy + frame, box - 2 * frame - 2, box - 2 * frame);
    QPainter p(&target);
    p.setClipRect(inner);
    p.setPen(Qt::black);
    p.setFont(a.detail_font);
    const QFontMetrics vnum_metrics(a.detail_font);
    p.drawText(inner.left(), inner.top() + vnum_metrics.ascent(), QString::number(r.vnum));
    // As many whole lines of the title as fit below the number.
    std::string title;
    for (const Glyph& g : visible_glyphs(r.title.view()))
        if (g.line == 0) title += g.ch;
    const QFontMetrics title_metrics(a.title_font);
    const int top = inner.top() + vnum_metrics.height();
    const int lines = (inner.bottom() + 1 - top) / std::max(1, title_metrics.lineSpacing());
    if (lines <= 0 || title.empty()) return;
    p.setFont(a.title_font);
    p.drawText(QRect(inner.left(), top, inner.width(), lines * title_metrics.lineSpacing()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
}

void MapRenderer::draw_map(QImage& target, const WorldTable& world, const MapLayout& layout,
                           const MapView& view) {
    if (world.selected_slot() < 0 || target.isNull()) return;
    if (!is_32_bit(target)) target.convertTo(QImage::Format_RGB32);
    const Canvas canvas(target);
    const int selected = layout.selected_slot;
    const MapScale scale{layout.zoom};
    const RoomShapes shapes(scale);
    ZoomArt& a = art(layout.zoom);
    const bool details = layout.zoom >= kZoomDetails;
    const int number_y = scale.of(3), one_digit_x = scale.of(7), two_digit_x = scale.of(4);
    const bool numbers = layout.zoom >= kZoomNumbers;
    for (const MapItem& item : layout.items) {
        const Room& r = world.room(item.slot);
        const int sx = item.x - view.scroll_x, sy = item.y - view.scroll_y;
        if (item.shown_floor) {
            int colour = r.room_colour >= 0 && r.room_colour < kRoomColours ? r.room_colour : 0;
            canvas.blit(a.bitmaps[colour], sx, sy);
            if (details) {
                // A box off the buffer has no text to show.
                if (QRect(sx, sy, shapes.box, shapes.box).intersects(target.rect()))
                    draw_details(target, a, r, sx, sy, shapes.box, scale.of(kFrameWidth));
            } else if (numbers) {
                const int number = r.vnum - zone_of(r.vnum) * 100;
                const int tx = sx + (number >= 0 && number <= 9 ? one_digit_x : two_digit_x);
                const int ty = sy + number_y;
                for (const TextPixel& p : number_pixels(a, number))
                    canvas.darken(tx + p.dx, ty + p.dy, p.alpha);
            }
        } else {
            int shade = item.shade >= kShadeOneDown && item.shade <= kShadeFurther ? item.shade
                                                                                   : kShadeFurther;
            canvas.blit(a.bitmaps[shade], sx, sy);
        }
        if (item.slot == selected) draw_selection(canvas, shapes, sx, sy);
        if (item.shown_floor) {
            draw_exits(canvas, r, shapes, sx, sy);
            if (!item.under_selected) draw_markers(canvas, r, shapes, sx, sy);
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
