// The map's layout: rooms have no stored places; every redraw walks the exits
// outward from the selected room and puts each room on a grid cell by the
// steps of the first path that reaches it. This module works out those places
// and what a redraw draws, in world pixels; drawing itself is the view's.
#pragma once

#include <vector>

namespace zs {

class WorldTable;

// The map's pixel geometry.
namespace map_geometry {
constexpr int kCellStep = 20;  // between neighbouring rooms
constexpr int kBoxSize = 18;   // a room's box
constexpr int kRefLeft = 10, kRefTop = 10, kRefRight = 610, kRefBottom = 310;
constexpr int kClipCell = (kRefRight - kRefLeft) / 20;  // 30
constexpr int kFloorShift = kClipCell / 4;              // 7
constexpr int kStubInset = (kBoxSize - 4) / 2;          // 7
constexpr int kShadeOneDown = 5, kShadeTwoDown = 6, kShadeFurther = 7;
}  // namespace map_geometry

// What the view shows: scroll offset (world pixels at its top-left), the
// floor offset from the selected room's floor, and the view's size.
struct MapView {
    int scroll_x = 0;
    int scroll_y = 0;
    int floor_offset = 0;
    int client_width = 900;
    int split_line = 700 - 350;  // rooms reaching below it are not drawn
    int traverse_limit = -1;     // -1: follow every exit
};

// One room to draw, in drawing order.
struct MapItem {
    int slot;
    int x, y;   // world pixels, shifted for lower floors
    int shade;  // 0 on the shown floor, else 5, 6 or 7
    bool shown_floor;
};

// Places the rooms (world x, y and floor in each record, from the selected
// room's position) and lists what to draw. Nothing without a selected room.
std::vector<MapItem> lay_out_map(WorldTable& world, const MapView& view);

// The shown floor: the selected room's floor plus the floor offset.
int shown_floor(const WorldTable& world, const MapView& view);

// The room drawn on top (the last in table order) among those on the shown
// floor whose box holds the world point, edges included; -1 for none (or no
// selected room).
int room_at_point(const WorldTable& world, const MapView& view, int world_x, int world_y);

// Puts the selected room's box at the centre of the reference rectangle in the
// current view.
void centre_selected_room(WorldTable& world, const MapView& view);

}  // namespace zs
