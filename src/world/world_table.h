// WorldTable: every loaded room, grouped by zone, in load or insertion order,
// with the selected room and the block bookkeeping of the loaders. Records are
// reached by slot; slots shift when rooms are inserted or removed, so nothing
// outside one call should hold on to a slot or a reference: keep the vnum.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "world/change.h"
#include "world/room.h"
#include "world/vnum_index.h"

namespace zs {

class WorldTable {
public:
    explicit WorldTable(ChangeSink* sink = nullptr) : sink_(sink) {}
    WorldTable(const WorldTable&) = delete;
    WorldTable& operator=(const WorldTable&) = delete;

    int count() const { return static_cast<int>(rooms_.size()); }
    bool empty() const { return rooms_.empty(); }
    const Room& room(int slot) const { return *rooms_[slot]; }
    int block_count() const { return blocks_; }

    // First slot in use holding the vnum, or -1. Constant time.
    int find_room(int vnum) const { return index_.first(vnum); }
    const Room* find_room_record(int vnum) const {
        int s = find_room(vnum);
        return s < 0 ? nullptr : rooms_[s].get();
    }
    bool has_zone(int zone) const;

    int selected_slot() const { return selected_; }
    const Room* selected_room() const { return selected_ < 0 ? nullptr : rooms_[selected_].get(); }
    void select_slot(int slot);  // -1 clears the selection

    // Reserves a block for a zone about to be loaded or created; false (and
    // nothing changes) when the table already holds a room of the zone.
    bool reserve_room_block(int zone);
    // Gives a block back without removing rooms (a load that never started).
    void release_room_block();

    // Loader path: adds a finished record at the end. The first room loaded
    // while nothing is selected becomes the selection.
    void append(Room room);
    // Removes every room from `count` on (rolls back a failed load) and
    // restores the given selection when it still exists.
    void truncate(int count, int selected_before);

    // Editor path: a new room with the editor's defaults, placed after the
    // nearest lower vnum of its zone. Returns its slot.
    int create_room(Vnum vnum, int zone);
    // Adds or replaces the exit of a room in one direction.
    void create_exit(int slot, Vnum destination, int direction);
    // Removes a room; with remove_incoming, exits leading to it go as well.
    // Deleting the selected room selects the first loaded exit target.
    void delete_room(int vnum, bool remove_incoming);
    void delete_zone_rooms(int zone) { remove_zone(zone, true); }
    void unload_zone_rooms(int zone) { remove_zone(zone, false); }
    // Empties the table.
    void clear();

    // The one way to change fields of a loaded room.
    void edit_room(int slot, const std::function<void(Room&)>& edit, bool user_edit = true);

private:
    void remove_zone(int zone, bool remove_incoming);
    void erase_slot(int slot);
    void emit(ChangeKind kind, int vnum, bool user_edit) const;

    ChangeSink* sink_;
    std::vector<std::unique_ptr<Room>> rooms_;
    VnumIndex index_;
    int selected_ = -1;
    int blocks_ = 0;
};

}  // namespace zs
