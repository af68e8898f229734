// MapRenderer: draws the laid-out map into a back buffer image. It owns the
// room bitmaps, the map font and the pixel-exact line drawing of exits,
// markers and the selection frame.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <array>
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
    // (screen = world - scroll). Draws nothing without a selected room and
    // never touches the background: the caller fills it first.
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

    // The room bitmaps: fill and frame colour of each of the kRoomColours.
    static QColor room_fill(int index);
    static QColor room_frame(int index);
    const QImage& room_bitmap(int index) const { return bitmaps_[index]; }
    const QFont& map_font() const { return font_; }

private:
    // A room number pre-rendered as pixel offsets from the text's top-left.
    struct TextPixel {
        int dx, dy, alpha;
    };
    const std::vector<TextPixel>& number_pixels(int number);

    std::array<QImage, kRoomColours> bitmaps_;
    QFont font_;
    QFont fixed_font_;
    // Room numbers within a zone run from -99 to 99.
    std::array<std::optional<std::vector<TextPixel>>, 199> numbers_;
};

}  // namespace zs
