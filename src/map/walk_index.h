// WalkIndex: where the map's walk goes from each room, by slot of the world
// table, packed small so that a layout reads one short array instead of every
// room's exits. Derived from the rooms' exits and fly rooms: refreshed for
// the one room when the world's latest change edited just that room, rebuilt
// after any other change, so that no room carries it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "world/room.h"

namespace zs {

class WorldTable;

// Where the walk goes from one room: a bit per direction, and the vnum it
// leads to (for up and down the fly room when there is no exit).
struct WalkLinks {
    std::uint8_t mask = 0;
    std::array<Vnum, kNumDirections> to{};
    bool operator==(const WalkLinks&) const = default;
};

WalkLinks walk_links(const Room& room);

class WalkIndex {
public:
    // The links of every room of `world`, by slot: the ones kept when the
    // world has not changed since they were made, else made anew.
    const std::vector<WalkLinks>& links(const WorldTable& world);

private:
    const WorldTable* world_ = nullptr;
    std::uint64_t revision_ = 0;
    std::vector<WalkLinks> links_;
};

}  // namespace zs
