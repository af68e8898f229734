// What the builder does on the map, without any widget: selecting and
// creating rooms with the mouse, linking neighbours, walking with the arrow
// keys, panning, zooming, changing floors and room colours, what hovering a
// room tells, and the attribute clipboard. MapSession owns the map's state
// that is not world data (the view with its zoom and the selected room's
// place, the last layout drawn, the clipboard, the direction waiting for the
// Create New Room dialog); the window translates its events into these calls
// and draws on request.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "map/map_layout.h"

namespace zs {

struct Options;
class Workspace;
class WorldTable;

// The keys that walk the map.
enum class MapKey { Up, Right, Down, Left, Home, End };

// The direction a walking key goes: north, east, south, west, up, down.
int key_direction(MapKey key);

// Modifier keys held during a click.
struct KeyMods {
    bool shift = false;
    bool ctrl = false;
};

// What the window has to do after a right click.
enum class RightClickResult {
    Done,
    OpenCreateDialog,  // ask for the new room's vnum (see MapSession::create_room_from_dialog)
};

// The smallest vnum of the zone (zone*100 .. zone*100+99) that no loaded room
// has. Nothing when all are used or the zone has no usable vnums; with
// `report`, the reason goes to the status box.
std::optional<int> lowest_free_vnum(Workspace& ws, int zone, bool report);

// Joins two rooms both ways: the to-room gets the reverse exit back, then the
// from-room the exit in `dir`. Existing exits are replaced. False (with a
// status) when either room is not loaded.
bool link_rooms(Workspace& ws, int from_vnum, int to_vnum, int dir);

// The Create New Room dialog's label, "Exit North to Vnum:" and so on.
std::string dialog_label(int dir);

// The number in the dialog's vnum box: leading digits as atoi reads them;
// an empty or non-numeric box gives 0.
int dialog_vnum(std::string_view box_text);

// What hovering a room tells: its vnum and title, then its zone, with the
// zone's name when its zedit is loaded. Colour codes are left out.
std::string room_hover_text(const Workspace& ws, int slot);

class MapSession {
public:
    explicit MapSession(const Options& options);

    MapView& view() { return view_; }
    const MapView& view() const { return view_; }
    // Takes the settings the map copies from the options (the traverse limit).
    void apply_options(const Options& options);

    // Lays the map out for a redraw and keeps the layout: clicks hit the
    // rooms where this drawing put them.
    const MapLayout& lay_out(const WorldTable& world);
    const MapLayout& layout() const { return layout_; }
    // Where a room stands on the map: the anchor for the room put there,
    // else its place in the last layout (not placed when that did not reach
    // it). Only x, y and floor are filled in.
    RoomPlace place_of(int vnum) const;
    // Puts the selected room's box at a world point (the anchor).
    void place_selected(const WorldTable& world, int x, int y);

    // Selection. Shows the floor of the room, and its zone in the zone editor
    // when that zone's zedit is loaded. The room keeps the place the last
    // layout gave it, so the view does not jump; a room whose box would not
    // lie wholly in the view is centred in it.
    void select_room(Workspace& ws, int slot);

    // Mouse, in client pixels.
    void left_button_down(Workspace& ws, int px, int py, bool shift);
    void mouse_move(Workspace& ws, int px, int py);
    // The room the last drawing shows at a client point (-1 for none).
    int room_under(const WorldTable& world, int px, int py) const;
    void left_button_up(Workspace& ws);
    bool dragging() const { return dragging_; }
    RightClickResult right_button_down(Workspace& ws, int px, int py, KeyMods mods);
    // The modifier the last right-click used to choose up or down; the window
    // clears its flag, so that each such click needs the key pressed again.
    KeyMods used_mods() const { return used_mods_; }
    void wheel(Workspace& ws, int delta, bool shift);
    // Page Up and Page Down, the floor buttons: the floor shown, from the
    // selected room's.
    void change_floor(Workspace& ws, int by);

    // Zoom (quarters of the default grid, within kZoomMin..kZoomMax) about a
    // client point: the room under it stays under it. Nothing moves but the
    // anchor, the selected room's place at the new size.
    void zoom_at(Workspace& ws, int zoom, int px, int py);
    // As many zoom steps in (> 0) or out (< 0) as asked.
    void zoom_by(Workspace& ws, int steps, int px, int py);
    // The client point the keyboard zooms about: the selected room's centre,
    // or the middle of the map without one.
    std::pair<int, int> selected_centre(const WorldTable& world) const;

    // Arrow keys, Home and End: steps through an exit of the selected room;
    // with Shift the room stepped into takes the colour of the room left.
    void move_by_key(Workspace& ws, MapKey key, bool shift);
    void move(Workspace& ws, int dir, bool shift);

    // Creating rooms next to the selected one.
    void create_room_in_direction(Workspace& ws, int dir);
    std::optional<int> pending_direction() const { return pending_direction_; }
    std::optional<int> dialog_default_vnum(Workspace& ws) const;
    void create_room_with_vnum(Workspace& ws, int vnum, int dir);
    // OK in the dialog: the box's text and the direction the click chose.
    void create_room_from_dialog(Workspace& ws, std::string_view box_text);
    // OK in the New Room dialog: a room with the vnum typed, without exits,
    // selected and centred. An empty box does nothing; a vnum outside 1 to
    // 32767 or one that is loaded already is refused. True when it was made.
    bool create_room_by_number(Workspace& ws, std::string_view box_text);

    // The attribute clipboard (Ctrl+C, Ctrl+R, Ctrl+G, Ctrl+V).
    void copy_sector_climate_flags(Workspace& ws);
    void copy_title_colour(Workspace& ws);
    void copy_room_colour(Workspace& ws);
    void paste(Workspace& ws);

private:
    struct Clipboard {
        int sector = -1;
        int climate = -1;
        std::optional<std::uint32_t> room_flags;
        char title_colour = 'z';
        int room_colour = -1;
    };

    bool below_split(const Workspace& ws, int py) const;
    // The room a click at a world point hits, in the last layout; laid out
    // afresh first when the selection, its place or the table's size changed
    // since (a click that comes before the redraw that such a change asked
    // for).
    int room_at(const WorldTable& world, int world_x, int world_y);
    // Selects a room whose box stands at (x, y); not placed, or outside the
    // view, it is centred.
    void select_room_at(Workspace& ws, int slot, int x, int y);
    void create_linked_room(Workspace& ws, int vnum, int zone, int dir);
    // False when the room must not be made: the builder declined to load the
    // zone's world file first, or it failed to load.
    bool zone_ready_for_new_room(Workspace& ws, int zone);

    MapView view_;
    MapLayout layout_;
    Clipboard clipboard_;
    std::optional<int> pending_direction_;
    bool dragging_ = false;
    KeyMods used_mods_;
    int drag_x_ = 0, drag_y_ = 0;
};

}  // namespace zs
