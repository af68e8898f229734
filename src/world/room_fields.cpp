#include "world/room_fields.h"

#include <algorithm>
#include <climits>

#include "world/box_numbers.h"
#include "world/names.h"
#include "world/strfmt.h"

namespace zs {

namespace {

const char* field_name(RoomField field) {
    switch (field) {
        case RoomField::Sector:
            return "Sector";
        case RoomField::Climate:
            return "Climate";
        case RoomField::MineKind:
            return "Mine Type";
        case RoomField::MineMaterial:
            return "Mine Material";
        case RoomField::MineAmount:
            return "Mine Amount";
        case RoomField::MineReset:
            return "Mine Reset";
        case RoomField::FlyUp:
            return "Fly Up Room";
        case RoomField::FlyDown:
            return "Fly Down Room";
        case RoomField::Fall:
            return "Fall Room";
        case RoomField::Height:
            return "Height";
        case RoomField::Nation:
            return "Nation";
        default:
            return nullptr;
    }
}

// The room's field a pane control stores into; null for other fields.
std::int32_t* field_of(Room& r, RoomField field) {
    switch (field) {
        case RoomField::Sector:
            return &r.sector;
        case RoomField::Climate:
            return &r.climate;
        case RoomField::MineKind:
            return &r.mine_kind;
        case RoomField::MineMaterial:
            return &r.mine_resource;
        case RoomField::MineAmount:
            return &r.mine_amount;
        case RoomField::MineReset:
            return &r.mine_reset;
        case RoomField::FlyUp:
            return &r.fly_up_room;
        case RoomField::FlyDown:
            return &r.fly_down_room;
        case RoomField::Fall:
            return &r.fall_room;
        case RoomField::Height:
            return &r.height;
        case RoomField::Nation:
            return &r.nation;
        default:
            return nullptr;
    }
}

}  // namespace

int box_int(std::string_view text) {
    return static_cast<int>(std::clamp<long long>(leading_number(text), INT_MIN, INT_MAX));
}

int mine_number_from_box(std::string_view text) {
    int n = box_int(text);
    return n < 0 ? 0 : n;
}

int fly_room_from_box(std::string_view text) {
    int n = box_int(text);
    return n < 1 ? -1 : n;
}

int height_from_box(std::string_view text) {
    int n = box_int(text);
    return n < 1 ? 0 : n;
}

std::vector<OfferedMaterial> offered_materials(int mine_kind) {
    std::vector<OfferedMaterial> out;
    auto rows = mine_materials(mine_kind);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].number > 0) out.push_back({static_cast<int>(i), rows[i].name});
    return out;
}

std::string room_flag_list(std::uint32_t flags) {
    std::string out;
    for (std::size_t bit = 0; bit < kRoomFlagNames.size(); ++bit)
        if (flags & (1u << bit)) {
            out += kRoomFlagNames[bit];
            out += ' ';
        }
    return out;
}

bool guard_room_flags(Workspace& ws, int vnum, EditOptions options) {
    const Room* room = ws.world().find_room_record(vnum);
    if (!room || !damaged_flags(room->room_flags)) return false;
    std::string name = strfmt("Clear Flags of Room %d", vnum);
    if (const HistoryStep* undone = ws.history().redo_step(); undone && undone->name == name)
        return false;
    options.fields = field_bit(RoomField::Flags);
    options.merge = {};
    edit_room(
        ws, vnum, name, [](Room& r) { r.room_flags &= ~kGuardedFlags; }, options);
    ws.ui().show_message(kFlagBugMessage);
    return true;
}

bool set_room_field(Workspace& ws, int vnum, RoomField field, int value, EditOptions options) {
    const Room* room = ws.world().find_room_record(vnum);
    const char* name = field_name(field);
    if (!room || !name) return false;
    Room probe = *room;
    *field_of(probe, field) = value;
    bool resets_material = field == RoomField::MineKind && (value != room->mine_kind || value == 0);
    if (resets_material) probe.mine_resource = 0;
    if (probe == *room) return false;
    options.fields = field_bit(field);
    if (resets_material) options.fields |= field_bit(RoomField::MineMaterial);
    return edit_room(
        ws, vnum, strfmt("Edit %s of Room %d", name, vnum),
        [&](Room& r) {
            *field_of(r, field) = value;
            if (resets_material) r.mine_resource = 0;
        },
        options);
}

bool store_room_box(Workspace& ws, int vnum, RoomField field, std::string_view text,
                    EditOptions options) {
    int value;
    switch (field) {
        case RoomField::MineAmount:
        case RoomField::MineReset:
            value = mine_number_from_box(text);
            break;
        case RoomField::FlyUp:
        case RoomField::FlyDown:
        case RoomField::Fall:
            value = fly_room_from_box(text);
            break;
        case RoomField::Height:
            // The area files hold a 32-bit height: a longer number is refused
            // rather than cut to the largest.
            if (long long n = leading_number(text); n > INT_MAX) {
                ws.ui().show_status(
                    strfmt("Error: Height %lld is out of range (0 to %d); the height of room %d is "
                           "unchanged.",
                           n, INT_MAX, vnum));
                return false;
            }
            value = height_from_box(text);
            break;
        default:
            return false;
    }
    return set_room_field(ws, vnum, field, value, options);
}

bool delete_exit(Workspace& ws, int vnum, int dir, EditOptions options) {
    if (dir < 0 || dir >= kNumDirections) return false;
    const Room* room = ws.world().find_room_record(vnum);
    if (!room || !room->exits[dir]) return false;
    int target = room->exits[dir]->destination;
    int back = reverse_direction(dir);
    options.fields = field_bit(RoomField::Exits);
    options.merge = {};
    Transaction tx(
        ws,
        strfmt("Delete %s Exit of Room %d", std::string(kDirectionWordsUpper[dir]).c_str(), vnum),
        options);
    tx.focus(TableKind::World, vnum);
    const Room* other = ws.world().find_room_record(target);
    if (other && other->exits[back] && other->exits[back]->destination == vnum)
        edit_room(
            ws, target, {}, [back](Room& r) { r.exits[back].reset(); }, options);
    edit_room(
        ws, vnum, {}, [dir](Room& r) { r.exits[dir].reset(); }, options);
    tx.commit();
    ws.request_redraw(true);
    return true;
}

}  // namespace zs
