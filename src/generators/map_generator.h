// Map generator: a new area of connected rooms laid out on the map grid by a
// random walk. The walk runs on its own plan (rooms, their grid cells and
// exits, the cells found through a hashed position map) and touches no table,
// so it may run away from the window's thread; the planned rooms then join
// the world in one undoable step. It never looks at rooms of other zones:
// what a seed gives does not depend on what else is loaded.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zs {

class Random;
class Workspace;

// What the Generate Map dialog asks for.
struct MapRequest {
    int rooms = 0;         // "Number of Rooms:", N
    int zone = 0;          // "Starting Zone:"; vnums start at zone * 100
    int max_floors = 0;    // "Max Floors:"; 0 for no limit
    bool up_down = false;  // "Use Up/Down"
    std::string title;     // "Room Title:"; empty keeps the new-room title
};

// The longest room title the dialog takes.
inline constexpr std::size_t kMapTitleMax = 255;

// One room of a plan: its vnum, grid cell, and the plan index each exit leads
// to (-1: no exit), by direction north, east, south, west, up, down.
struct PlannedRoom {
    int vnum = 0;
    int x = 0, y = 0, floor = 0;
    std::array<int, 6> exits{-1, -1, -1, -1, -1, -1};
};

// The walk's result: rooms in vnum order, the first at the start cell.
struct MapPlan {
    std::vector<PlannedRoom> rooms;
    int lowest_floor = 0;
    int highest_floor = 0;
};

// The grid cell the walk starts on (x, y and floor alike).
inline constexpr int kMapStart = 9999;

// How a run reports: `progress` hears the fraction done (0 to 1) whenever the
// whole percentage changes; a set `cancel` stops the walk.
struct MapProgress {
    std::function<void(double)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

// What is wrong with a request taken alone (rooms, zone, vnum range, floors,
// title), as the message the builder sees; nothing when it may run.
std::optional<std::string> map_request_problem(const MapRequest& request);

// The zones the request fills: zone through zone + (rooms - 1) / 100.
std::vector<int> map_zones(const MapRequest& request);

// What stops the request in this world: a problem of the request itself, or
// "Zone already exists!" (with the zone and its file) when one of its zones
// has rooms loaded, or is not loaded while its world file is in the area
// directory. Reads only.
std::optional<std::string> map_world_problem(const Workspace& ws, const MapRequest& request);

// The walk. Nothing when the request has a problem or `cancel` was set.
// Touches nothing but its arguments.
std::optional<MapPlan> plan_map(const MapRequest& request, Random& random,
                                const MapProgress& report = {});

// Adds a plan's rooms, exits and title to the world as one step, "Generate
// Map of N Rooms at Zone Z"; every zone is checked before any block is
// reserved. A problem is shown as a message and nothing changes. True when
// the rooms were added.
bool add_planned_map(Workspace& ws, const MapRequest& request, const MapPlan& plan);

enum class MapResult { Added, Refused, Cancelled };

// The whole run on the caller's thread: the world check, the walk, the step.
MapResult generate_map(Workspace& ws, const MapRequest& request, Random& random,
                       const MapProgress& report = {});

}  // namespace zs
