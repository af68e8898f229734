// Room, exit and extra-description records: the rows of the world table.
// Texts are byte strings; an empty text is an absent one. Line breaks inside
// texts are CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "world/record_text.h"

namespace zs {

using Vnum = std::int16_t;

// Zone number of a vnum: integer division, as the game does it.
constexpr int zone_of(int vnum) {
    return vnum / 100;
}

constexpr int kVnumMin = -32768;
constexpr int kVnumMax = 32767;
constexpr bool vnum_in_range(long long v) {
    return v >= kVnumMin && v <= kVnumMax;
}
// A record's own vnum must also give a zone of 0 or above (zones are saved
// by number from 0 up), so -99 to 32767.
constexpr int kRecordVnumMin = -99;
constexpr bool record_vnum_in_range(long long v) {
    return v >= kRecordVnumMin && v <= kVnumMax;
}

constexpr int kNumDirections = 6;
constexpr int kMaxTriggers = 100;
constexpr int kRoomColours = 34;  // map bitmaps 0..33

enum Direction { kNorth = 0, kEast = 1, kSouth = 2, kWest = 3, kUp = 4, kDown = 5 };

// Exit flag bits.
constexpr std::uint16_t kExitIsDoor = 1u << 0;
constexpr std::uint16_t kExitClosed = 1u << 1;
constexpr std::uint16_t kExitLocked = 1u << 2;
constexpr std::uint16_t kExitPickproof = 1u << 3;
constexpr std::uint16_t kExitHidden = 1u << 4;

// Door kinds as files store them.
std::uint16_t exit_flags_from_door_kind(int door_kind);
int door_kind_from_exit_flags(std::uint16_t flags);

struct ExtraDescription {
    std::string keyword;
    std::string description;
    bool operator==(const ExtraDescription&) const = default;
};

struct Exit {
    Text description;
    Text door_description;
    Text door_keywords;
    std::uint16_t exit_flags = 0;
    Vnum key = -1;
    std::int32_t door_strength = 0;
    std::int32_t lock_quality = 0;
    std::int32_t exit_size = -1;
    // Last, beside the flag that says whether a room has the exit at all: the
    // map's walk reads just these two.
    Vnum destination = 0;
    bool operator==(const Exit&) const = default;
};

struct Room {
    Vnum vnum = 0;
    std::int16_t zone = -1;
    std::int32_t sector = 0;
    Text title;
    Text description;
    Text side_text;
    std::vector<ExtraDescription> extra_descriptions;  // file order
    std::array<std::optional<Exit>, kNumDirections> exits;
    std::uint32_t room_flags = 0;
    std::int32_t climate = 0;
    Text extra_text;
    std::int32_t mine_kind = 0;
    std::int32_t mine_resource = 0;
    std::int32_t mine_amount = 0;
    std::int32_t mine_reset = 0;
    std::int32_t fly_up_room = -1;
    std::int32_t fly_down_room = -1;
    std::int32_t fall_room = -1;
    std::int32_t height = 0;
    std::int32_t nation = -1;
    std::int32_t room_size = -1;
    std::int32_t reserved_value = 0;
    // Attached trigger vnums in slot order; empty slots are not kept, and a
    // room holds at most kMaxTriggers of them.
    std::vector<std::int32_t> triggers;

    // The map bitmap the room is drawn with; the layout file keeps it.
    std::int32_t room_colour = 0;

    // Everything a world file carries plus the room colour: what an edit
    // changed and what undo puts back.
    bool operator==(const Room&) const = default;

    // Adds a trigger to the first empty slot; dropped when all are taken.
    void add_trigger(std::int32_t trigger_vnum);
};

// The defaults of a room made in the editor.
Room make_new_room(Vnum vnum, int zone);

}  // namespace zs
