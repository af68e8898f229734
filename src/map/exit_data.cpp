#include "map/exit_data.h"

#include <limits>
#include <string>

#include "map/map_session.h"
#include "world/box_numbers.h"
#include "world/edits.h"
#include "world/names.h"
#include "world/room_text.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

namespace {

bool valid_direction(int dir) {
    return dir >= 0 && dir < kNumDirections;
}

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// Whether a box read by its leading digits holds any: blanks, a sign, then
// a digit.
bool starts_with_number(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i != std::string_view::npos && (text[i] == '-' || text[i] == '+')) ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// The form's values, checked.
struct ExitValues {
    int target = 0;
    Vnum key = -1;
    std::int32_t lock_quality = 0;
    std::int32_t door_strength = 0;
    std::uint16_t flags = 0;
};

// Checks every field but "Exits to:"; nothing (with the reason in the status
// box) when one cannot be stored.
std::optional<ExitValues> checked_values(Workspace& ws, int vnum, int dir, const ExitForm& form) {
    std::string exit_name =
        strfmt("the %s exit of room %d", std::string(kDirectionWords[dir]).c_str(), vnum);
    auto refuse = [&](const std::string& why) {
        ws.ui().show_status(why);
        return std::nullopt;
    };
    ExitValues v;
    if (!blank(form.key_vnum)) {
        long long key = leading_number(form.key_vnum);
        if (!vnum_in_range(key))
            return refuse(strfmt("Error: Key Vnum %lld is not a vnum (%d to %d); %s is unchanged.",
                                 key, kVnumMin, kVnumMax, exit_name.c_str()));
        v.key = static_cast<Vnum>(key);
    }
    struct Int32Box {
        const char* label;
        const std::string& text;
        std::int32_t& out;
    };
    // Each is a 32-bit number in the area files; an empty box is 0.
    constexpr long long kLeast = std::numeric_limits<std::int32_t>::min();
    constexpr long long kMost = std::numeric_limits<std::int32_t>::max();
    for (const Int32Box& box : {Int32Box{"Lock Quality", form.lock_quality, v.lock_quality},
                                Int32Box{"Door Strength", form.door_strength, v.door_strength}}) {
        if (blank(box.text)) {
            box.out = 0;
            continue;
        }
        if (!starts_with_number(box.text))
            return refuse(strfmt("Error: %s \"%s\" is not a number; %s is unchanged.", box.label,
                                 box.text.c_str(), exit_name.c_str()));
        long long n = leading_number(box.text);
        if (n < kLeast || n > kMost)
            return refuse(strfmt("Error: %s %lld is out of range (%lld to %lld); %s is unchanged.",
                                 box.label, n, kLeast, kMost, exit_name.c_str()));
        box.out = static_cast<std::int32_t>(n);
    }
    for (const std::string* text : {&form.keywords, &form.door_description, &form.description})
        if (std::string why = room_text_refusal(*text); !why.empty()) return refuse(why);
    switch (form.door) {
        case DoorChoice::Door:
            v.flags = kExitIsDoor;
            break;
        case DoorChoice::PickproofDoor:
            v.flags = kExitIsDoor | kExitPickproof;
            break;
        default:
            v.flags = 0;
    }
    return v;
}

// Stores the form into an exit: a text only when its box is not empty.
void store_fields(Exit& e, const ExitValues& v, const ExitForm& form) {
    if (!form.keywords.empty()) e.door_keywords = form.keywords;
    if (!form.door_description.empty()) e.door_description = form.door_description;
    if (!form.description.empty()) e.description = form.description;
    e.lock_quality = v.lock_quality;
    e.door_strength = v.door_strength;
    e.key = v.key;
    e.exit_flags = v.flags;
    if (form.size) e.exit_size = *form.size;
}

std::string step_name(const char* what, int vnum, int dir) {
    return strfmt("%s %s Exit of Room %d", what, std::string(kDirectionWordsUpper[dir]).c_str(),
                  vnum);
}

EditOptions exit_edit() {
    EditOptions options;
    options.fields = field_bit(RoomField::Exits);
    return options;
}

}  // namespace

ExitForm show_exit(const Workspace& ws, int vnum, int dir) {
    ExitForm form;
    const Room* room = ws.world().find_room_record(vnum);
    if (!room || !valid_direction(dir) || !room->exits[dir]) return form;
    const Exit& e = *room->exits[dir];
    if (e.exit_flags & kExitPickproof)
        form.door = DoorChoice::PickproofDoor;
    else if (e.exit_flags & kExitIsDoor)
        form.door = DoorChoice::Door;
    else
        form.door = DoorChoice::NotADoor;
    form.exits_to = std::to_string(e.destination);
    form.key_vnum = std::to_string(e.key);
    form.lock_quality = std::to_string(e.lock_quality);
    form.door_strength = std::to_string(e.door_strength);
    form.keywords = e.door_keywords.str();
    form.door_description = e.door_description.str();
    form.description = e.description.str();
    if (const Room* target = ws.world().find_room_record(e.destination)) {
        const auto& back = target->exits[reverse_direction(dir)];
        form.one_way = back && back->destination != vnum;
    }
    if (e.exit_size >= -1 && e.exit_size < static_cast<int>(kSizeNames.size()))
        form.size = e.exit_size;
    return form;
}

bool apply_exit(Workspace& ws, int vnum, int dir, const ExitForm& form) {
    const WorldTable& world = ws.world();
    const Room* room = world.find_room_record(vnum);
    if (!room || !valid_direction(dir)) return false;
    if (blank(form.exits_to)) return true;
    if (!starts_with_number(form.exits_to)) {
        ws.ui().show_status(
            strfmt("Error: Exits to \"%s\" is not a number; the %s exit of room %d "
                   "is unchanged.",
                   form.exits_to.c_str(), std::string(kDirectionWords[dir]).c_str(), vnum));
        return false;
    }
    long long target = leading_number(form.exits_to);
    if (!vnum_in_range(target)) {
        ws.ui().show_status(
            strfmt("Error: Exits to %lld is not a vnum (%d to %d); the %s exit of room %d is "
                   "unchanged.",
                   target, kVnumMin, kVnumMax, std::string(kDirectionWords[dir]).c_str(), vnum));
        return false;
    }
    std::optional<ExitValues> values = checked_values(ws, vnum, dir, form);
    if (!values) return false;

    const std::optional<Exit>& old = room->exits[dir];
    const Room* target_room = world.find_room_record(static_cast<int>(target));
    // An exit may keep a target whose zone is not loaded, and a one-way exit
    // may lead into one; anything else must lead to a loaded room.
    bool kept = old && old->destination == target;
    if (!target_room && !kept && !(form.one_way && target >= 1)) {
        ws.ui().show_status(strfmt("Error: Room %lld does not exist!", target));
        return false;
    }
    const int back = reverse_direction(dir);
    bool pair = false;
    bool new_return = false;  // the pair's return exit is made here
    if (!form.one_way && target_room) {
        const auto& return_exit = target_room->exits[back];
        if (return_exit && return_exit->destination != vnum) {
            ws.ui().show_status(strfmt("Error: Room %lld already has a return exit.", target));
            return false;
        }
        pair = !old;
        new_return = pair && !return_exit;
    }

    Transaction tx(ws, step_name("Edit", vnum, dir), exit_edit());
    tx.focus(TableKind::World, vnum);
    if (new_return) {
        link_rooms(ws, vnum, static_cast<int>(target), dir);
    } else if (!old) {
        // A return exit that is there already keeps its texts and door data.
        tx.world().create_exit(world.find_room(vnum), static_cast<Vnum>(target), dir);
    }
    tx.world().edit(world.find_room(vnum), [&](Room& r) {
        r.exits[dir]->destination = static_cast<Vnum>(target);
        store_fields(*r.exits[dir], *values, form);
    });
    if (new_return)
        tx.world().edit(world.find_room(static_cast<int>(target)),
                        [&](Room& r) { store_fields(*r.exits[back], *values, form); });
    tx.commit();
    ws.request_redraw(true);
    return true;
}

bool one_way_allowed(const Workspace& ws, int vnum, int dir, std::string_view exits_to) {
    if (!valid_direction(dir) || blank(exits_to)) return true;
    long long target = leading_number(exits_to);
    if (!vnum_in_range(target)) return true;
    const Room* target_room = ws.world().find_room_record(static_cast<int>(target));
    if (!target_room) return true;
    const auto& back = target_room->exits[reverse_direction(dir)];
    return !(back && back->destination == vnum);
}

bool copy_door_data(Workspace& ws, int vnum, int dir, const ExitForm& form) {
    const WorldTable& world = ws.world();
    const Room* room = world.find_room_record(vnum);
    if (!room || !valid_direction(dir)) return false;
    if (!room->exits[dir]) {
        ws.ui().show_status(strfmt("Exit data NOT copied; room %d has no %s exit.", vnum,
                                   std::string(kDirectionWords[dir]).c_str()));
        return false;
    }
    const int target = room->exits[dir]->destination;
    const Room* target_room = world.find_room_record(target);
    if (!target_room) {
        ws.ui().show_status(strfmt("Exit data NOT copied; room %d is not loaded.", target));
        return false;
    }
    const int back = reverse_direction(dir);
    if (target_room->exits[back] && target_room->exits[back]->destination != vnum) {
        ws.ui().show_status("Exit data NOT copied; return exit goes elsewhere.");
        return false;
    }
    std::optional<ExitValues> values = checked_values(ws, vnum, dir, form);
    if (!values) return false;

    Transaction tx(ws, step_name("Copy Door Data of", vnum, dir), exit_edit());
    tx.focus(TableKind::World, vnum);
    tx.world().edit(world.find_room(target), [&](Room& r) {
        if (!r.exits[back]) r.exits[back] = Exit{};
        r.exits[back]->destination = static_cast<Vnum>(vnum);
        store_fields(*r.exits[back], *values, form);
    });
    tx.commit();
    ws.request_redraw(true);
    return true;
}

}  // namespace zs
