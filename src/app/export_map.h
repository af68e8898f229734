// Map images: the map laid out from one room exactly as the view lays it out,
// drawn into an image that holds every room drawn, and written as a PNG.
#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string_view>

#include "map/map_layout.h"

namespace zs {

class Workspace;
class WorldTable;
struct MapView;

// Maps wider or taller than this are not made into one image.
constexpr int kMaxImageSide = 16384;

// The map of the selected room's floor (plus `floor_offset`) at a zoom
// (quarters of the default grid), with a margin of 10 pixels (at that zoom)
// around the rooms drawn. Null when no room is selected or the map is larger
// than kMaxImageSide.
QImage map_image(const WorldTable& world, int floor_offset, int traverse_limit,
                 int zoom = kZoomDefault);

// The zoom of a --scale value: 0.5 to 4 in quarters ("1.5", "2", "0.75").
std::optional<int> zoom_of_scale(std::string_view text);

// zonesmith --export-map FILE.png --room VNUM [--floor N] [--scale S] [--dir DIR] [ZONE...]
// Loads the zones (all of the area directory when none is named), writes the
// image and returns the exit status; needs no display.
int export_map_main(int argc, char** argv);

}  // namespace zs
