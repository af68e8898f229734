#include "map/map_session.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "world/box_numbers.h"
#include "world/colour_codes.h"
#include "world/edits.h"
#include "world/names.h"
#include "world/numbers.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

using namespace map_geometry;

namespace {

bool valid_direction(int dir) {
    return dir >= 0 && dir < kNumDirections;
}

std::string word(int dir) {
    return std::string(kDirectionWords[dir]);
}

// Room colours run 0..33 and wrap both ways; a colour outside (from a damaged
// layout file) restarts at the near end.
int next_colour(int c) {
    return c < 0 || c >= kRoomColours - 1 ? 0 : c + 1;
}
int previous_colour(int c) {
    return c <= 0 || c >= kRoomColours ? kRoomColours - 1 : c - 1;
}

// Whether a box at (x, y) lies wholly in the view, above the split line.
bool in_view(int x, int y, const MapView& view) {
    const int box = view.scale().box();
    return x >= view.scroll_x && x + box < view.scroll_x + view.client_width &&
           y >= view.scroll_y && y + box <= view.scroll_y + view.split_line;
}

// The direction from a room at (sx, sy) to a room exactly one cell away on
// the same floor; -1 for any other place.
int neighbour_direction(const MapScale& scale, int sx, int sy, int rx, int ry) {
    const int cell = scale.cell();
    if (rx == sx && ry == sy - cell) return kNorth;
    if (rx == sx && ry == sy + cell) return kSouth;
    if (ry == sy && rx == sx + cell) return kEast;
    if (ry == sy && rx == sx - cell) return kWest;
    return -1;
}

// The direction of an empty world point beside the box at (sx, sy): the gap
// of one cell straight above, below, left or right of it; -1 elsewhere.
int gap_direction(const MapScale& scale, int sx, int sy, int wx, int wy) {
    const int cell = scale.cell(), box = scale.box();
    if (sx <= wx && wx <= sx + box) {
        if (sy - cell < wy && wy < sy) return kNorth;
        if (sy + box < wy && wy < sy + box + cell) return kSouth;
        return -1;
    }
    if (sy <= wy && wy <= sy + box) {
        if (sx - cell < wx && wx < sx) return kWest;
        if (sx + box < wx && wx < sx + box + cell) return kEast;
    }
    return -1;
}

// Shift+click, Shift+wheel and Shift+arrow colour a room; repeated changes
// of one room's colour are one step.
void colour_room(Workspace& ws, int vnum, int colour) {
    EditOptions options;
    options.fields = field_bit(RoomField::Colour);
    options.merge = {TableKind::World, vnum, static_cast<int>(RoomField::Colour)};
    edit_room(
        ws, vnum, strfmt("Color Room %d", vnum), [colour](Room& r) { r.room_colour = colour; },
        options);
}

}  // namespace

int key_direction(MapKey key) {
    switch (key) {
        case MapKey::Up:
            return kNorth;
        case MapKey::Right:
            return kEast;
        case MapKey::Down:
            return kSouth;
        case MapKey::Left:
            return kWest;
        case MapKey::Home:
            return kUp;
        case MapKey::End:
            return kDown;
    }
    return kNorth;
}

std::optional<int> lowest_free_vnum(Workspace& ws, int zone, bool report) {
    const WorldTable& world = ws.world();
    std::optional<int> free;
    bool usable = zone * 100 <= kVnumMax;
    for (int i = 0; usable && i < 100; ++i) {
        int v = zone * 100 + i;
        if (v > kVnumMax) break;
        if (world.find_room(v) < 0) {
            free = v;
            break;
        }
    }
    if (usable && !free) {
        if (report) ws.ui().show_status(strfmt("Error: Zone %d has run out of vnums.", zone));
        return std::nullopt;
    }
    if (!free || *free <= 0) {
        if (report) ws.ui().show_status(strfmt("Error: Zone %d does not exist.", zone));
        return std::nullopt;
    }
    return free;
}

bool link_rooms(Workspace& ws, int from_vnum, int to_vnum, int dir) {
    const WorldTable& world = ws.world();
    if (!valid_direction(dir)) return false;
    int from = world.find_room(from_vnum);
    int to = world.find_room(to_vnum);
    if (from < 0 || to < 0) {
        ws.ui().show_status("Error on exit creation: room does not exist.");
        return false;
    }
    Transaction tx(ws, strfmt("Link Rooms %d and %d", from_vnum, to_vnum));
    tx.focus(TableKind::World, from_vnum);
    tx.world().create_exit(to, static_cast<Vnum>(from_vnum), reverse_direction(dir));
    tx.world().create_exit(world.find_room(from_vnum), static_cast<Vnum>(to_vnum), dir);
    tx.commit();
    ws.ui().show_status(
        strfmt("Exit created %s from %d to %d.", word(dir).c_str(), from_vnum, to_vnum));
    ws.request_redraw(true);
    return true;
}

std::string dialog_label(int dir) {
    if (!valid_direction(dir)) return {};
    return strfmt("Exit %s to Vnum:", std::string(kDirectionWordsUpper[dir]).c_str());
}

int dialog_vnum(std::string_view text) {
    return static_cast<int>(std::clamp(leading_number(text), -1'000'000'000LL, 1'000'000'000LL));
}

std::string room_hover_text(const Workspace& ws, int slot) {
    const WorldTable& world = ws.world();
    if (slot < 0 || slot >= world.count()) return {};
    const Room& r = world.room(slot);
    auto plain = [](std::string_view text) {
        std::string out;
        for (const Glyph& g : visible_glyphs(text))
            if (g.line == 0) out += g.ch;
        return out;
    };
    std::string text = strfmt("Room %d", r.vnum);
    if (std::string title = plain(r.title.view()); !title.empty()) text += ": " + title;
    text += strfmt("\nZone %d", static_cast<int>(r.zone));
    if (int z = ws.zones().find_zedit(r.zone); z >= 0)
        if (std::string name = plain(ws.zones().zedit(z).name); !name.empty()) text += ": " + name;
    return text;
}

MapSession::MapSession(const Options& options) {
    apply_options(options);
}

void MapSession::apply_options(const Options& options) {
    view_.traverse_limit = options.traverse_limit;
}

bool MapSession::below_split(const Workspace& ws, int py) const {
    // Below the split line the room, object and mobile editors show their
    // colour preview; the map does not take those clicks.
    return ws.current_editor() != EditorKind::Zone && py > view_.split_line;
}

const MapLayout& MapSession::lay_out(const WorldTable& world) {
    lay_out_map(world, view_, layout_);
    return layout_;
}

RoomPlace MapSession::place_of(int vnum) const {
    RoomPlace at;
    if (view_.anchor_vnum == vnum) {
        at.x = view_.anchor_x;
        at.y = view_.anchor_y;
        at.vnum = static_cast<Vnum>(vnum);
        at.reached = true;
        return at;
    }
    const RoomPlace* p = layout_.find(vnum);
    return p && p->placed() ? *p : at;
}

int MapSession::room_at(const WorldTable& world, int wx, int wy) {
    const Room* sel = world.selected_room();
    bool current = layout_.places.size() == static_cast<std::size_t>(world.count());
    if (current && sel && layout_.selected_slot >= 0) {
        const RoomPlace& from = layout_.places[static_cast<std::size_t>(layout_.selected_slot)];
        current = from.vnum == sel->vnum && view_.anchor_vnum == sel->vnum &&
                  from.x == view_.anchor_x && from.y == view_.anchor_y &&
                  layout_.zoom == view_.zoom;
    } else {
        current = current && !sel && layout_.selected_slot < 0;
    }
    if (!current) lay_out(world);
    return room_at_point(layout_, world, view_, wx, wy);
}

void MapSession::place_selected(const WorldTable& world, int x, int y) {
    if (const Room* sel = world.selected_room()) view_.set_anchor(sel->vnum, x, y);
}

void MapSession::select_room(Workspace& ws, int slot) {
    const WorldTable& world = ws.world();
    if (slot < 0 || slot >= world.count()) return;
    // The room keeps the place it was drawn at (or put at, for the anchor's).
    RoomPlace at = place_of(world.room(slot).vnum);
    select_room_at(ws, slot, at.x, at.y);
}

void MapSession::select_room_at(Workspace& ws, int slot, int x, int y) {
    const WorldTable& world = ws.world();
    world.select_slot(slot);
    view_.floor_offset = 0;
    const Room& r = world.room(slot);
    int vnum = r.vnum;
    int zone = r.zone;
    view_.set_anchor(vnum, x, y);
    // A room that would stand outside the view (walked off its edge, never
    // placed, or placed beyond the traverse limit) is brought to its centre;
    // a room already in view keeps its place, so the view does not jump.
    if (!in_view(x, y, view_)) centre_selected_room(world, view_);
    int zedit = ws.zones().find_zedit(zone);
    if (zedit >= 0) ws.zones().select_slot(zedit);
    ws.ui().show_status(strfmt("Room %d selected.", vnum));
}

void MapSession::left_button_down(Workspace& ws, int px, int py, bool shift) {
    if (below_split(ws, py)) return;
    const WorldTable& world = ws.world();
    int hit = room_at(world, px + view_.scroll_x, py + view_.scroll_y);
    if (hit >= 0) {
        select_room(ws, hit);
        ws.request_redraw(true);
    }
    if (shift && world.selected_slot() >= 0) {
        colour_room(ws, world.selected_room()->vnum,
                    next_colour(world.selected_room()->room_colour));
        ws.request_redraw(true);
    }
    dragging_ = true;
    drag_x_ = px;
    drag_y_ = py;
}

void MapSession::mouse_move(Workspace& ws, int px, int py) {
    if (!dragging_) return;
    view_.scroll_x -= px - drag_x_;
    view_.scroll_y -= py - drag_y_;
    drag_x_ = px;
    drag_y_ = py;
    ws.request_redraw(false);
}

int MapSession::room_under(const WorldTable& world, int px, int py) const {
    return room_at_point(layout_, world, view_, px + view_.scroll_x, py + view_.scroll_y);
}

void MapSession::left_button_up(Workspace& ws) {
    dragging_ = false;
    ws.request_redraw(true);
}

void MapSession::wheel(Workspace& ws, int delta, bool shift) {
    if (delta != 120 && delta != -120) return;
    const WorldTable& world = ws.world();
    if (shift) {
        if (const Room* r = world.selected_room())
            colour_room(ws, r->vnum,
                        delta > 0 ? next_colour(r->room_colour) : previous_colour(r->room_colour));
    } else {
        view_.floor_offset += delta > 0 ? 1 : -1;
    }
    ws.request_redraw(true);
}

void MapSession::change_floor(Workspace& ws, int by) {
    view_.floor_offset += by;
    ws.request_redraw(true);
}

void MapSession::zoom_at(Workspace& ws, int zoom, int px, int py) {
    zoom = std::clamp(zoom, kZoomMin, kZoomMax);
    const int old_cell = view_.scale().cell();
    if (zoom == view_.zoom) return;
    view_.zoom = zoom;
    ws.request_redraw(true);
    if (view_.anchor_x == kNotPlaced && view_.anchor_y == kNotPlaced) return;
    // Every room stands a whole number of cells from the anchor: moving the
    // anchor so that its distance from the point scales with the cell keeps
    // the point at the same place in the room under it.
    const int wx = px + view_.scroll_x, wy = py + view_.scroll_y;
    const int cell = view_.scale().cell();
    auto scaled = [&](int from_point) {
        return static_cast<int>(std::lround(static_cast<double>(from_point) * cell / old_cell));
    };
    view_.anchor_x = wx - scaled(wx - view_.anchor_x);
    view_.anchor_y = wy - scaled(wy - view_.anchor_y);
}

void MapSession::zoom_by(Workspace& ws, int steps, int px, int py) {
    zoom_at(ws, next_zoom(view_.zoom, steps), px, py);
}

std::pair<int, int> MapSession::selected_centre(const WorldTable& world) const {
    const int half = view_.scale().box() / 2;
    if (world.selected_room() && view_.anchor_x != kNotPlaced)
        return {view_.anchor_x - view_.scroll_x + half, view_.anchor_y - view_.scroll_y + half};
    return {view_.client_width / 2, view_.split_line / 2};
}

void MapSession::move_by_key(Workspace& ws, MapKey key, bool shift) {
    move(ws, key_direction(key), shift);
}

void MapSession::move(Workspace& ws, int dir, bool shift) {
    const WorldTable& world = ws.world();
    const Room* from = world.selected_room();
    if (!from || !valid_direction(dir) || !from->exits[dir]) return;
    int target = world.find_room(from->exits[dir]->destination);
    if (target < 0) return;
    int colour = from->room_colour;
    if (shift && world.room(target).room_colour != colour)
        colour_room(ws, world.room(target).vnum, colour);
    select_room(ws, target);
    ws.request_redraw(true);
}

RightClickResult MapSession::right_button_down(Workspace& ws, int px, int py, KeyMods mods) {
    used_mods_ = {};
    const WorldTable& world = ws.world();
    if (!world.selected_room()) {
        // An empty map starts with room 100 of zone 1.
        if (world.find_room(100) < 0 && !zone_ready_for_new_room(ws, 1))
            return RightClickResult::Done;
        int existing = world.find_room(100);
        if (existing >= 0) {
            select_room(ws, existing);
            if (view_.anchor_x == kNotPlaced && view_.anchor_y == kNotPlaced)
                centre_selected_room(world, view_);
            ws.request_redraw(true);
            return RightClickResult::Done;
        }
        {
            Transaction tx(ws, "Create Room 100");
            tx.world().reserve_room_block(1);
            tx.world().create_room(100, 1);
            tx.commit();
        }
        select_room(ws, world.find_room(100));
        centre_selected_room(world, view_);
        ws.request_redraw(true);
        ws.ui().show_status(strfmt("New room %d created.", 100));
        return RightClickResult::Done;
    }
    if (below_split(ws, py)) return RightClickResult::Done;

    int wx = px + view_.scroll_x;
    int wy = py + view_.scroll_y;
    int selected = world.selected_slot();
    const Room& sel = world.room(selected);
    const int sx = view_.anchor_x, sy = view_.anchor_y;
    int hit = room_at(world, wx, wy);
    int dir = -1;
    if (hit >= 0 && hit != selected) {
        const Room& other = world.room(hit);
        RoomPlace at = place_of(other.vnum);
        dir = neighbour_direction(view_.scale(), sx, sy, at.x, at.y);
        if (dir < 0) return RightClickResult::Done;
        if (sel.exits[dir]) {
            ws.ui().show_status(strfmt("Error: room %d already has an exit to the %s.", sel.vnum,
                                       word(dir).c_str()));
            return RightClickResult::Done;
        }
        int back = reverse_direction(dir);
        if (other.exits[back]) {
            ws.ui().show_status(strfmt("Error: room %d already has an exit to the %s.", other.vnum,
                                       word(back).c_str()));
            return RightClickResult::Done;
        }
        link_rooms(ws, sel.vnum, other.vnum, dir);
        return RightClickResult::Done;
    }
    if (hit == selected) {
        // On the selected room itself: Shift goes up, Ctrl down.
        if (mods.shift) {
            dir = kUp;
            used_mods_.shift = true;
        } else if (mods.ctrl) {
            dir = kDown;
            used_mods_.ctrl = true;
        } else {
            return RightClickResult::Done;
        }
    } else {
        dir = gap_direction(view_.scale(), sx, sy, wx, wy);
        if (dir < 0) return RightClickResult::Done;
    }
    if (ws.options().prompt_for_vnum) {
        pending_direction_ = dir;
        return RightClickResult::OpenCreateDialog;
    }
    create_room_in_direction(ws, dir);
    return RightClickResult::Done;
}

void MapSession::create_room_in_direction(Workspace& ws, int dir) {
    const Room* sel = ws.world().selected_room();
    if (!sel || !valid_direction(dir)) return;
    if (sel->exits[dir]) {
        ws.ui().show_status(
            strfmt("Error: Room %d already has exit %s.", sel->vnum, word(dir).c_str()));
        return;
    }
    int zone = sel->zone;
    std::optional<int> vnum = lowest_free_vnum(ws, zone, true);
    if (!vnum) return;
    create_linked_room(ws, *vnum, zone, dir);
}

std::optional<int> MapSession::dialog_default_vnum(Workspace& ws) const {
    const Room* sel = ws.world().selected_room();
    if (!sel) return std::nullopt;
    return lowest_free_vnum(ws, sel->zone, false);
}

void MapSession::create_room_with_vnum(Workspace& ws, int vnum, int dir) {
    const WorldTable& world = ws.world();
    if (vnum <= 0 || vnum > kVnumMax) {
        ws.ui().show_status("Error: Invalid vnum.");
        return;
    }
    const Room* sel = world.selected_room();
    if (!sel || !valid_direction(dir)) return;
    if (sel->exits[dir]) {
        ws.ui().show_status(
            strfmt("Error: Room %d already has exit %s.", sel->vnum, word(dir).c_str()));
        return;
    }
    int zone = zone_of(vnum);
    if (world.find_room(vnum) < 0 && !zone_ready_for_new_room(ws, zone)) return;
    if (world.find_room(vnum) >= 0) {
        ws.ui().show_status(strfmt("Error: Room %d already exists.", vnum));
        return;
    }
    // Loading the zone may have moved the selection's slot.
    sel = world.selected_room();
    if (!sel || sel->exits[dir]) return;
    create_linked_room(ws, vnum, zone, dir);
}

bool MapSession::zone_ready_for_new_room(Workspace& ws, int zone) {
    // A zone that is not loaded but has a world file in the area directory:
    // a room made now would stand alone in the zone, and saving it would
    // replace the file. Its rooms are loaded first, or nothing is made.
    AreaFileAccess* files = ws.area_files();
    if (ws.world().has_zone(zone) || !files || !files->zone_file_exists(TableKind::World, zone))
        return true;
    std::string question = strfmt(
        "Zone %d is not loaded, but its world file %d.wld is in the area directory.\r\n"
        "Load zone %d before creating the new room in it?",
        zone, zone, zone);
    if (!ws.ui().ask_yes_no(question)) {
        ws.ui().show_status(strfmt("No room created; zone %d is not loaded.", zone));
        return false;
    }
    return files->load_zone_file(TableKind::World, zone);
}

void MapSession::create_room_from_dialog(Workspace& ws, std::string_view box_text) {
    if (!pending_direction_) return;
    create_room_with_vnum(ws, dialog_vnum(box_text), *pending_direction_);
}

bool MapSession::create_room_by_number(Workspace& ws, std::string_view box_text) {
    // Blanks before the number and line ends after it; a '+' is no sign here.
    const std::string_view text = strip_blanks(box_text, " \t", " \t\r\n");
    if (box_text.find_first_not_of(" \t") == std::string_view::npos) return false;
    std::optional<long long> vnum = whole_number(text, Sign::MinusOnly);
    if (!vnum) {
        ws.ui().show_status(
            strfmt("Error: Invalid vnum \"%.*s\": not a number; room vnums run "
                   "from 1 to %d.",
                   static_cast<int>(text.size()), text.data(), kVnumMax));
        return false;
    }
    if (*vnum < 1 || *vnum > kVnumMax) {
        ws.ui().show_status(
            strfmt("Error: Invalid vnum %lld; room vnums run from 1 to %d.", *vnum, kVnumMax));
        return false;
    }
    const WorldTable& world = ws.world();
    int v = static_cast<int>(*vnum);
    int zone = zone_of(v);
    if (world.find_room(v) < 0 && !zone_ready_for_new_room(ws, zone)) return false;
    if (world.find_room(v) >= 0) {
        ws.ui().show_status(strfmt("Error: room %d already exists.", v));
        return false;
    }
    {
        Transaction tx(ws, strfmt("Create Room %d", v));
        tx.focus(TableKind::World, v);
        tx.world().reserve_room_block(zone);
        tx.world().create_room(static_cast<Vnum>(v), zone);
        tx.commit();
    }
    select_room(ws, world.find_room(v));
    centre_selected_room(world, view_);
    ws.request_redraw(true);
    ws.ui().show_status(strfmt("New room %d created.", v));
    return true;
}

void MapSession::create_linked_room(Workspace& ws, int vnum, int zone, int dir) {
    const WorldTable& world = ws.world();
    int from_vnum = world.selected_room()->vnum;
    {
        // The room and both exits are one step.
        Transaction tx(ws, strfmt("Create Room %d", vnum));
        tx.focus(TableKind::World, vnum);
        tx.world().reserve_room_block(zone);
        tx.world().create_room(static_cast<Vnum>(vnum), zone);  // slots move from here on
        link_rooms(ws, from_vnum, vnum, dir);
        tx.commit();
    }
    // One layout from the old selection gives the new room its cell beside it.
    lay_out(world);
    int slot = world.find_room(vnum);
    const RoomPlace& at = layout_.places[static_cast<std::size_t>(slot)];
    int x = at.x, y = at.y;
    if (!at.placed()) {
        // Beyond the traverse limit (a limit of 0): one step from the old room.
        const int cell = view_.scale().cell();
        x = view_.anchor_x + (dir == kEast ? cell : dir == kWest ? -cell : 0);
        y = view_.anchor_y + (dir == kSouth ? cell : dir == kNorth ? -cell : 0);
    }
    select_room_at(ws, slot, x, y);
    ws.ui().show_status(strfmt("Room %d created.", vnum));
    ws.request_redraw(true);
}

void MapSession::copy_sector_climate_flags(Workspace& ws) {
    const Room* sel = ws.world().selected_room();
    if (!sel) return;
    clipboard_ = {};
    clipboard_.sector = sel->sector;
    clipboard_.climate = sel->climate;
    clipboard_.room_flags = sel->room_flags;
    ws.ui().show_status(strfmt("Sector, climate, flags copied from %d.", sel->vnum));
}

void MapSession::copy_title_colour(Workspace& ws) {
    const Room* sel = ws.world().selected_room();
    if (!sel) return;
    clipboard_ = {};
    std::string_view t = sel->title;
    clipboard_.title_colour = t.size() >= 2 && t[0] == '&' ? t[1] : 'w';
    ws.ui().show_status(strfmt("Room title color copied from %d.", sel->vnum));
}

void MapSession::copy_room_colour(Workspace& ws) {
    const Room* sel = ws.world().selected_room();
    if (!sel) return;
    clipboard_ = {};
    clipboard_.room_colour = sel->room_colour;
    ws.ui().show_status(strfmt("Room color copied from %d.", sel->vnum));
}

void MapSession::paste(Workspace& ws) {
    const WorldTable& world = ws.world();
    const Room* sel = world.selected_room();
    if (!sel) return;
    int vnum = sel->vnum;
    const Clipboard& c = clipboard_;

    if (c.title_colour != 'z') {
        if (sel->title.empty()) return;
        // The title opens with the colour code and closes with "&n".
        std::string t = sel->title.str();
        if (t[0] != '&')
            t = std::string{'&', c.title_colour} + t;
        else if (t.size() >= 2)
            t[1] = c.title_colour;
        else
            t += c.title_colour;
        if (t[t.size() - 2] != '&')
            t += "&n";
        else
            t.back() = 'n';
        edit_room(ws, vnum, strfmt("Paste Title Color to Room %d", vnum),
                  [&t](Room& r) { r.title = std::move(t); });
        ws.ui().show_status(strfmt("Room title color pasted to %d.", vnum));
        return;
    }
    if (c.room_colour >= 0) {
        edit_room(ws, vnum, strfmt("Paste Room Color to Room %d", vnum),
                  [&c](Room& r) { r.room_colour = c.room_colour; });
        ws.ui().show_status(strfmt("Room color pasted to %d.", vnum));
        ws.request_redraw(true);
        return;
    }
    if (c.sector >= 0 || c.climate >= 0 || c.room_flags) {
        edit_room(ws, vnum, strfmt("Paste Sector, Climate, Flags to Room %d", vnum), [&c](Room& r) {
            if (c.sector >= 0) r.sector = c.sector;
            if (c.climate >= 0) r.climate = c.climate;
            if (c.room_flags) r.room_flags = *c.room_flags;
        });
    }
    ws.ui().show_status(strfmt("Sector, climate, flags pasted to %d.", vnum));
}

}  // namespace zs
