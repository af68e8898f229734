// WorldTable: every loaded room, with the room operations of the editor on
// top of the shared table scheme (see vnum_table.h).
#pragma once

#include "world/room.h"
#include "world/vnum_table.h"

namespace zs {

class WorldTable : public VnumTable<Room> {
public:
    explicit WorldTable(ChangeSink* sink = nullptr) : VnumTable(TableKind::World, sink) {}

    const Room& room(int slot) const { return record(slot); }
    int find_room(int vnum) const { return find(vnum); }
    const Room* find_room_record(int vnum) const { return find_record(vnum); }
    const Room* selected_room() const { return selected(); }
    bool reserve_room_block(int zone) { return reserve_block(zone); }

    // A new room with the editor's defaults, placed after the nearest lower
    // vnum of its zone. Returns its slot.
    int create_room(Vnum vnum, int zone) { return insert_sorted(make_new_room(vnum, zone)); }
    // A new room after every loaded one, as an undoable edit like
    // create_room: for many rooms made at once into zones that have none
    // yet (a generated map), added in vnum order. Their zones then stand as
    // loaded zones do, and no record moves. Returns its slot.
    int append_new_room(Room room) {
        int slot = count();
        insert_at(slot, std::move(room));
        return slot;
    }
    // Adds or replaces the exit of a room in one direction.
    void create_exit(int slot, Vnum destination, int direction);
    // The builder removes a room, and the exits leading to it. Deleting the
    // selected room selects the first loaded exit target.
    void delete_room(int vnum) { remove_room(vnum, true); }
    // The builder removes the zone's rooms; true when it had any.
    bool delete_zone_rooms(int zone) { return remove_zone(zone, true); }

private:
    template <class T>
    friend class TableLoading;
    // Unloads the zone's rooms; true when it had any (only then is its block
    // given back).
    bool unload_zone(int zone) { return remove_zone(zone, false); }

    // With `by_builder`, exits leading to the room go as well and the step
    // records the removal; without, the room is unloaded.
    void remove_room(int vnum, bool by_builder);
    bool remove_zone(int zone, bool by_builder);
};

}  // namespace zs
