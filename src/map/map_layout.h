// The map's layout: rooms have no stored places; every redraw walks the exits
// outward from the selected room and puts each room on a grid cell by the
// steps of the first path that reaches it. This module works out those places
// and what a redraw draws, in world pixels, from a world it only reads;
// drawing itself is the view's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "map/walk_index.h"
#include "world/room.h"

namespace zs {

class WorldTable;

// A place that no layout gave: the x and y of a room the walk did not reach.
constexpr int kNotPlaced = -9999;

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

// Zoom, in quarters of the grid above: 4 draws it as it is, 8 twice as large.
// The steps that zooming in and out go through, smallest first.
constexpr int kZoomSteps[] = {2, 3, 4, 5, 6, 8, 10, 12, 16};
constexpr int kZoomDefault = 4, kZoomMin = 2, kZoomMax = 16;

// The grid's pixel sizes at one zoom; at kZoomDefault exactly those of
// map_geometry.
struct MapScale {
    int zoom = kZoomDefault;

    // A length of the default grid at this zoom, rounded to the nearest pixel.
    constexpr int of(int pixels) const { return (pixels * zoom * 2 + kZoomDefault) / 8; }
    constexpr int cell() const { return 5 * zoom; }
    constexpr int box() const { return of(map_geometry::kBoxSize); }
    constexpr int clip_cell() const { return of(map_geometry::kClipCell); }
    constexpr int floor_shift() const { return of(map_geometry::kFloorShift); }
    // The width of lines: one pixel up to twice the size, then as the zoom.
    constexpr int pen() const { return zoom < 2 * kZoomDefault ? 1 : zoom / kZoomDefault; }
};

// The next zoom step in (`steps` > 0) or out from `zoom`, as many steps as
// asked and within the limits.
int next_zoom(int zoom, int steps);

// What the view shows: scroll offset (world pixels at its top-left), the
// floor offset from the selected room's floor, and the view's size; and the
// anchor, where the selected room's box stands in world pixels, from which
// the walk places every other room. World pixels are those of the map at
// the view's zoom: the walk puts neighbours a scaled cell apart, and a zoom
// moves the anchor, never the rooms' steps from it.
struct MapView {
    int scroll_x = 0;
    int scroll_y = 0;
    int floor_offset = 0;
    int client_width = 900;
    int split_line = 700 - 350;  // rooms reaching below it are not drawn
    int traverse_limit = -1;     // -1: follow every exit
    int zoom = kZoomDefault;     // quarters of the default grid
    int anchor_x = kNotPlaced;
    int anchor_y = kNotPlaced;
    std::optional<int> anchor_vnum;  // the room that was put there

    void set_anchor(int vnum, int x, int y) {
        anchor_vnum = vnum;
        anchor_x = x;
        anchor_y = y;
    }
    MapScale scale() const { return MapScale{zoom}; }
};

// One room's place in a layout.
struct RoomPlace {
    int x = kNotPlaced, y = kNotPlaced;  // world pixels of the box's top-left
    int floor = 0;                       // relative to the selected room
    int shade = 0;                       // 0 on the shown floor, else 5, 6 or 7
    Vnum vnum = 0;                       // set for the rooms reached
    bool reached = false;                // the walk got to the room
    bool placed() const { return reached && (x != kNotPlaced || y != kNotPlaced); }
};

// One room to draw, in drawing order.
struct MapItem {
    int slot;
    int x, y;   // world pixels, shifted for lower floors
    int shade;  // 0 on the shown floor, else 5, 6 or 7
    bool shown_floor;
    // Under the selected room, which shares its cell: drawn before it and
    // without the up and down markers that would reach out past its box.
    bool under_selected = false;
};

// One layout of the world: every room's place and the list of what to draw,
// at the view's zoom. The selected room is drawn after the other rooms of its
// cell, so that it shows on top of them; elsewhere a room later in the table
// covers one before it.
// Slots are those of the world as it was laid out; once the world changes,
// rooms are found again by vnum.
struct MapLayout {
    std::vector<RoomPlace> places;  // by slot; empty without a selected room
    std::vector<MapItem> items;     // drawing order: lowest floor first
    int selected_slot = -1;
    int shown_floor = 0;  // relative to the selected room
    int zoom = kZoomDefault;

    // Where the walk goes from each room, kept with the layout so that a
    // redraw of an unchanged world does not work it out again.
    WalkIndex walks;

    // A room's place by vnum; null when the walk did not reach the room.
    const RoomPlace* find(int vnum) const;
};

// Places the rooms from the anchor and lists what to draw into `out`, whose
// storage is reused. Nothing without a selected room.
void lay_out_map(const WorldTable& world, const MapView& view, MapLayout& out);
MapLayout lay_out_map(const WorldTable& world, const MapView& view);

// The room drawn on top (the selected room, else the last in table order)
// among those that `layout`
// put on the view's shown floor and whose box holds the world point, edges
// included: its slot in `world`, where rooms since deleted are passed over.
// -1 for none, or when `world` has no selected room.
int room_at_point(const MapLayout& layout, const WorldTable& world, const MapView& view,
                  int world_x, int world_y);

// Puts the anchor, and so the selected room's box, at the centre of the
// reference rectangle in the current view (the box's centre stays there at
// every zoom). Nothing without a selected room.
void centre_selected_room(const WorldTable& world, MapView& view);

}  // namespace zs
