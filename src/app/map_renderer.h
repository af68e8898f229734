// MapRenderer: draws the laid-out map into a back buffer image at the
// layout's zoom. It owns the room bitmaps and map fonts of each zoom drawn
// and the pixel-exact line drawing of exits, markers and the selection frame.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <array>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "map/map_layout.h"
#include "world/room.h"

namespace zs {

class WorldTable;

class MapRenderer {
public:
    // Builds the room bitmaps and the map font; needs a QGuiApplication.
    MapRenderer();

    // Draws the rooms, exits and markers of a layout of `world` into `target`
    // (screen = world - scroll), at the zoom the layout was made for. Draws nothing without a
    // selected room and never touches the background: the caller fills it first.
    void draw_map(QImage& target, const WorldTable& world, const MapLayout& layout,
                  const MapView& view);

    // The map's background: with a selection, white above the split line and
    // black from it down to bottom_top; without one, white down to bottom_top.
    static void fill_background(QImage& target, int split_line, int bottom_top,
                                bool anything_selected);

    // Game text in its colours, as the colour previews below the split line
    // show it: in the fixed font from `top`, 8 pixels a character and 15 a
    // line, colour codes not drawn; rows from `bottom` down are left alone.
    // `one_line` draws the first line only (a title).
    void draw_game_text(QImage& target, int top, int bottom, std::string_view text, bool one_line);

    // The whole map as a fresh image of the given size, background included
    // (used to export the map): laid out from the view's anchor and drawn.
    QImage render(const WorldTable& world, const MapView& view, int width, int height);

    // Below this zoom boxes are too small for a number.
    static constexpr int kZoomNumbers = 3;
    // From this zoom on, boxes show the whole vnum and the title's start
    // instead of the number within the zone.
    static constexpr int kZoomDetails = 10;

    // The room bitmaps: fill and frame colour of each of the kRoomColours.
    static QColor room_fill(int index);
    static QColor room_frame(int index);
    const QFont& map_font() const { return font_; }

private:
    // A room number pre-rendered as pixel offsets from the text's top-left.
    struct TextPixel {
        int dx, dy, alpha;
    };
    // What rooms are drawn with at one zoom.
    struct ZoomArt {
        std::array<QImage, kRoomColours> bitmaps;
        QFont font;         // room numbers
        QFont detail_font;  // whole vnums
        QFont title_font;
        // Room numbers within a zone run from -99 to 99.
        std::array<std::optional<std::vector<TextPixel>>, 199> numbers;
    };
    ZoomArt& art(int zoom);
    const std::vector<TextPixel>& number_pixels(ZoomArt& art, int number);
    void draw_details(QImage& target, const ZoomArt& art, const Room& r, int sx, int sy, int box,
                      int frame);

    QFont font_;
    QFont fixed_font_;
    std::map<int, ZoomArt> art_;  // by zoom
};

}  // namespace zs
