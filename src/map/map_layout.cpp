#include "map/map_layout.h"

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

// The room an exit (or, up and down, a fly room) leads to, and its vnum;
// slot -1 for none.
struct Target {
    int slot;
    Vnum vnum;
};
Target step_target(const WorldTable& world, const WalkLinks& l, int dir) {
    if (!(l.mask & (1u << dir))) return {-1, 0};
    return {world.find_room(l.to[dir]), l.to[dir]};
}

// The depth-first walk, with an explicit stack so that a long chain of rooms
// cannot exhaust the call stack. Each frame is one room being walked: it is
// placed on entry, then its directions are taken one by one, each child walked
// to the end before the next direction, exactly as a recursive walk would.
class Traversal {
public:
    Traversal(const WorldTable& world, std::vector<RoomPlace>& places,
              const std::vector<WalkLinks>& links, int limit, int origin_x, int origin_y, int cell)
        : world_(world),
          places_(places),
          links_(links),
          limit_(limit),
          ox_(origin_x),
          oy_(origin_y),
          cell_(cell) {}

    // The lowest floor a room was placed on.
    int lowest_floor() const { return lowest_; }

    void walk(Target t, int came, int n, int e, int u) {
        enter(t, came, n, e, u);
        while (!stack_.empty()) {
            Frame& f = stack_.back();
            if (f.next == 6) {
                stack_.pop_back();
                continue;
            }
            const Step& s = kSteps[f.next++];
            if (f.came >= 0 && s.dir == reverse_direction(f.came)) continue;
            Target target = step_target(world_, links_[f.slot], s.dir);
            int n2 = f.n + s.dn, e2 = f.e + s.de, u2 = f.u + s.du;
            enter(target, s.dir, n2, e2, u2);  // may grow the stack: f is not used after
        }
    }

private:
    struct Frame {
        int slot, came, n, e, u;
        int next;  // the next direction to take, index into kSteps
    };

    void enter(Target t, int came, int n, int e, int u) {
        if (t.slot < 0 || places_[t.slot].reached) return;
        if (limit_ >= 0 && std::abs(n) + std::abs(e) + std::abs(u) > limit_) return;
        RoomPlace& p = places_[t.slot];
        p.x = ox_ + cell_ * e;
        p.y = oy_ - cell_ * n;
        p.floor = u;
        p.vnum = t.vnum;
        p.reached = true;
        lowest_ = std::min(lowest_, u);
        stack_.push_back({t.slot, came, n, e, u, 0});
    }

    const WorldTable& world_;
    std::vector<RoomPlace>& places_;
    const std::vector<WalkLinks>& links_;
    int limit_;
    int ox_, oy_;
    int cell_;
    std::vector<Frame> stack_;
    int lowest_ = 0;
};

// The rooms that share the selected room's cell on the shown floor and come
// after it move to just before it, so that it is drawn over them; every other
// room keeps its place in the order.
void put_selected_on_top(MapLayout& out) {
    auto& items = out.items;
    auto sel = std::find_if(items.begin(), items.end(), [&](const MapItem& i) {
        return i.slot == out.selected_slot && i.shown_floor;
    });
    if (sel == items.end()) return;
    const int x = sel->x, y = sel->y;
    auto shares_cell = [&](const MapItem& i) { return i.shown_floor && i.x == x && i.y == y; };
    for (auto i = items.begin(); i != items.end(); ++i)
        if (i != sel && shares_cell(*i)) i->under_selected = true;
    std::stable_partition(sel, items.end(), [&](const MapItem& i) {
        return i.under_selected;  // those after the selected room, kept in their order
    });
}

}  // namespace

int next_zoom(int zoom, int steps) {
    int result = zoom;
    for (int z : kZoomSteps)
        if (steps > 0 && z > result) {
            result = z;
            --steps;
        }
    for (auto z = std::rbegin(kZoomSteps); z != std::rend(kZoomSteps); ++z)
        if (steps < 0 && *z < result) {
            result = *z;
            ++steps;
        }
    return std::clamp(result, kZoomMin, kZoomMax);
}

const RoomPlace* MapLayout::find(int vnum) const {
    for (const RoomPlace& p : places)
        if (p.reached && p.vnum == vnum) return &p;
    return nullptr;
}

MapLayout lay_out_map(const WorldTable& world, const MapView& view) {
    MapLayout layout;
    lay_out_map(world, view, layout);
    return layout;
}

void lay_out_map(const WorldTable& world, const MapView& view, MapLayout& out) {
    out.places.clear();
    out.items.clear();
    out.selected_slot = world.selected_slot();
    out.shown_floor = view.floor_offset;
    out.zoom = view.zoom;
    const MapScale scale = view.scale();
    const int selected = out.selected_slot;
    if (selected < 0) return;
    out.places.resize(static_cast<std::size_t>(world.count()));
    const std::vector<WalkLinks>& links = out.walks.links(world);
    // The selected room is the walk's origin: its steps count from zero.
    RoomPlace& sel = out.places[selected];
    sel.x = view.anchor_x;
    sel.y = view.anchor_y;
    sel.vnum = world.room(selected).vnum;
    sel.reached = true;
    Traversal walk(world, out.places, links, view.traverse_limit, view.anchor_x, view.anchor_y,
                   scale.cell());
    for (const Step& s : kSteps) {
        Target target = step_target(world, links[selected], s.dir);
        walk.walk(target, s.dir, s.dn, s.de, s.du);
    }

    const int top = out.shown_floor;
    const int lowest = std::min(top, walk.lowest_floor());
    // Floors from the lowest up to the shown one, each in table order: one
    // pass collects the placed rooms of those floors, a stable sort by floor
    // keeps table order within each.
    std::vector<std::pair<int, int>> order;  // floor, slot
    for (int s = 0; s < world.count(); ++s) {
        const RoomPlace& p = out.places[s];
        if (!p.placed() || p.floor < lowest || p.floor > top) continue;
        order.emplace_back(p.floor, s);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto [f, s] : order) {
        int shade = f == top       ? 0
                    : f == top - 1 ? kShadeOneDown
                    : f == top - 2 ? kShadeTwoDown
                                   : kShadeFurther;
        RoomPlace& p = out.places[s];
        int x = p.x + scale.floor_shift() * (top - f);
        int y = p.y + scale.floor_shift() * (top - f);
        bool visible = x <= view.client_width + view.scroll_x &&
                       x + scale.clip_cell() >= view.scroll_x &&
                       y + scale.box() <= view.split_line + view.scroll_y &&
                       y + scale.clip_cell() >= view.scroll_y;
        p.shade = shade;
        if (visible) out.items.push_back({s, x, y, shade, f == top});
    }
    put_selected_on_top(out);
}

int room_at_point(const MapLayout& layout, const WorldTable& world, const MapView& view, int px,
                  int py) {
    if (!world.selected_room()) return -1;
    const int floor = view.floor_offset;
    const int box = view.scale().box();
    auto holds = [&](const RoomPlace& p) {
        return p.floor == floor && p.placed() && p.x <= px && px <= p.x + box && p.y <= py &&
               py <= p.y + box;
    };
    // The selected room is drawn over the rooms of its cell.
    const int sel = layout.selected_slot;
    if (sel >= 0 && static_cast<std::size_t>(sel) < layout.places.size() &&
        holds(layout.places[sel]) && sel < world.count() &&
        world.room(sel).vnum == layout.places[sel].vnum)
        return sel;
    // Rooms that share a cell are drawn in table order, so the last one is
    // the one on top: search from the end.
    for (int s = static_cast<int>(layout.places.size()) - 1; s >= 0; --s) {
        const RoomPlace& p = layout.places[s];
        if (holds(p)) {
            // The world may have changed since the layout: the room is found
            // again by its vnum, and one deleted since lets the point through.
            if (s < world.count() && world.room(s).vnum == p.vnum) return s;
            int now = world.find_room(p.vnum);
            if (now >= 0) return now;
        }
    }
    return -1;
}

void centre_selected_room(const WorldTable& world, MapView& view) {
    const Room* sel = world.selected_room();
    if (!sel) return;
    // At the default zoom the box's top-left lands on (301, 151).
    const int centre_x = (kCellStep - kBoxSize) / 2 + (kRefRight - kRefLeft) / 2 + kBoxSize / 2;
    const int centre_y = 1 + (kRefBottom - kRefTop) / 2 + kBoxSize / 2;
    const int half = view.scale().box() / 2;
    view.set_anchor(sel->vnum, view.scroll_x + centre_x - half, view.scroll_y + centre_y - half);
}

}  // namespace zs
