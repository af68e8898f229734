#include "world/map_layout.h"

#include <algorithm>
#include <cstdlib>

#include "world/names.h"
#include "world/world_table.h"

namespace zs {

using namespace map_geometry;

namespace {

// Directions in the order the walk takes them, with their grid steps.
struct Step {
    int dir;
    int dn, de, du;
};
constexpr Step kSteps[] = {{kNorth, 1, 0, 0}, {kSouth, -1, 0, 0}, {kEast, 0, 1, 0},
                           {kWest, 0, -1, 0}, {kUp, 0, 0, 1},     {kDown, 0, 0, -1}};

// The room an exit (or, up and down, a fly room) leads to; -1 for none.
int step_target(const WorldTable& world, const Room& r, int dir) {
    if (!(r.walk_mask & (1u << dir))) return -1;
    return world.find_room(r.walk_to[dir]);
}

// The depth-first walk, with an explicit stack so that a long chain of rooms
// cannot exhaust the call stack. Each frame is one room being walked: it is
// placed on entry, then its directions are taken one by one, each child walked
// to the end before the next direction, exactly as a recursive walk would.
class Traversal {
public:
    Traversal(WorldTable& world, int limit, int origin_x, int origin_y)
        : world_(world), limit_(limit), ox_(origin_x), oy_(origin_y) {}

    // The lowest floor a room was placed on.
    int lowest_floor() const { return lowest_; }

    void walk(int slot, int came, int n, int e, int u) {
        enter(slot, came, n, e, u);
        while (!stack_.empty()) {
            Frame& f = stack_.back();
            if (f.next == 6) {
                stack_.pop_back();
                continue;
            }
            const Step& s = kSteps[f.next++];
            if (f.came >= 0 && s.dir == reverse_direction(f.came)) continue;
            int target = step_target(world_, world_.room(f.slot), s.dir);
            int n2 = f.n + s.dn, e2 = f.e + s.de, u2 = f.u + s.du;
            enter(target, s.dir, n2, e2, u2);  // may grow the stack: f is not used after
        }
    }

private:
    struct Frame {
        int slot, came, n, e, u;
        int next;  // the next direction to take, index into kSteps
    };

    void enter(int slot, int came, int n, int e, int u) {
        if (slot < 0 || world_.room(slot).visited) return;
        if (limit_ >= 0 && std::abs(n) + std::abs(e) + std::abs(u) > limit_) return;
        world_.set_map_place(slot, ox_ + kCellStep * e, oy_ - kCellStep * n, u);
        world_.set_visited(slot, true);
        lowest_ = std::min(lowest_, u);
        stack_.push_back({slot, came, n, e, u, 0});
    }

    WorldTable& world_;
    int limit_;
    int ox_, oy_;
    std::vector<Frame> stack_;
    int lowest_ = 0;
};

}  // namespace

int shown_floor(const WorldTable& world, const MapView& view) {
    const Room* sel = world.selected_room();
    return sel ? sel->floor + view.floor_offset : view.floor_offset;
}

std::vector<MapItem> lay_out_map(WorldTable& world, const MapView& view) {
    std::vector<MapItem> items;
    int selected = world.selected_slot();
    if (selected < 0) return items;
    for (int s = 0; s < world.count(); ++s) {
        world.set_visited(s, false);
        if (s != selected) world.set_map_place(s, kNotPlaced, kNotPlaced, world.room(s).floor);
    }
    world.set_visited(selected, true);
    const Room& sel = world.room(selected);
    // The selected room is the walk's origin: its steps count from zero.
    world.set_map_place(selected, sel.x, sel.y, 0);
    Traversal walk(world, view.traverse_limit, sel.x, sel.y);
    for (const Step& s : kSteps) {
        int target = step_target(world, world.room(selected), s.dir);
        walk.walk(target, s.dir, s.dn, s.de, s.du);
    }

    int top = shown_floor(world, view);
    int lowest = std::min(top, walk.lowest_floor());
    // Floors from the lowest up to the shown one, each in table order: one
    // pass collects the placed rooms of those floors, a stable sort by floor
    // keeps table order within each.
    std::vector<std::pair<int, int>> order;  // floor, slot
    for (int s = 0; s < world.count(); ++s) {
        const Room& r = world.room(s);
        if ((r.x == kNotPlaced && r.y == kNotPlaced) || r.floor < lowest || r.floor > top) continue;
        order.emplace_back(r.floor, s);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto [f, s] : order) {
        int shade = f == top       ? 0
                    : f == top - 1 ? kShadeOneDown
                    : f == top - 2 ? kShadeTwoDown
                                   : kShadeFurther;
        const Room& r = world.room(s);
        int x = r.x + kFloorShift * (top - f);
        int y = r.y + kFloorShift * (top - f);
        bool visible = x <= view.client_width + view.scroll_x && x + kClipCell >= view.scroll_x &&
                       y + kBoxSize <= view.split_line + view.scroll_y &&
                       y + kClipCell >= view.scroll_y;
        world.set_shade(s, shade);
        if (visible) items.push_back({s, x, y, shade, f == top});
    }
    return items;
}

int room_at_point(const WorldTable& world, const MapView& view, int px, int py) {
    if (!world.selected_room()) return -1;
    int floor = shown_floor(world, view);
    // Rooms that share a cell are drawn in table order, so the last one is
    // the one on top: search from the end.
    for (int s = world.count() - 1; s >= 0; --s) {
        const Room& r = world.room(s);
        if (r.floor != floor || (r.x == kNotPlaced && r.y == kNotPlaced)) continue;
        if (r.x <= px && px <= r.x + kBoxSize && r.y <= py && py <= r.y + kBoxSize) return s;
    }
    return -1;
}

void centre_selected_room(WorldTable& world, const MapView& view) {
    int s = world.selected_slot();
    if (s < 0) return;
    int x = view.scroll_x + (kCellStep - kBoxSize) / 2 + (kRefRight - kRefLeft) / 2;
    int y = view.scroll_y + 1 + (kRefBottom - kRefTop) / 2;
    world.set_map_place(s, x, y, world.room(s).floor);
}

}  // namespace zs
