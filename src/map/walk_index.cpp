#include "map/walk_index.h"

#include "world/world_table.h"

namespace zs {

WalkLinks walk_links(const Room& room) {
    WalkLinks out;
    for (int d = 0; d < kNumDirections; ++d) {
        int to = -1;
        if (room.exits[d])
            to = room.exits[d]->destination;
        else if (d == kUp && room.fly_up_room > 0 && vnum_in_range(room.fly_up_room))
            to = room.fly_up_room;
        else if (d == kDown && room.fly_down_room > 0 && vnum_in_range(room.fly_down_room))
            to = room.fly_down_room;
        if (room.exits[d] || to > 0) {
            out.mask = static_cast<std::uint8_t>(out.mask | (1u << d));
            out.to[d] = static_cast<Vnum>(to);
        }
    }
    return out;
}

const std::vector<WalkLinks>& WalkIndex::links(const WorldTable& world) {
    const auto count = static_cast<std::size_t>(world.count());
    const bool same = world_ == &world && links_.size() == count;
    if (same && revision_ == world.revision()) return links_;
    // Typing in a box edits one room at a time: just that room is refreshed.
    const int edited = world.edited_slot();
    if (same && revision_ + 1 == world.revision() && edited >= 0 && edited < world.count()) {
        revision_ = world.revision();
        links_[static_cast<std::size_t>(edited)] = walk_links(world.room(edited));
        return links_;
    }
    world_ = &world;
    revision_ = world.revision();
    links_.resize(count);
    for (int s = 0; s < world.count(); ++s)
        links_[static_cast<std::size_t>(s)] = walk_links(world.room(s));
    return links_;
}

}  // namespace zs
