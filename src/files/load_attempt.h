// Every change the load and unload commands make to a table, in one place:
// reserving a zone's block, appending what a read gave, rolling a failed
// load back, unloading a zone or a whole table (the overloads of
// table_loading), and LoadAttempt, one load of a zone's file into a table
// that leaves the table exactly as before when the load fails.
#pragma once

#include <cstddef>
#include <vector>

#include "files/diagnostic.h"
#include "world/mobile.h"
#include "world/object.h"
#include "world/world_table.h"
#include "world/zone_table.h"

namespace zs {

namespace table_loading {

// The tables of rooms, objects and mobiles.
template <class Table>
bool reserve(Table& table, int zone) {
    return table.reserve_block(zone);
}
template <class Table>
void release(Table& table) {
    table.release_block();
}
template <class Table, class Record>
void append(Table& table, Record&& record) {
    table.append(std::forward<Record>(record));
}
template <class Table>
void truncate(Table& table, int keep, int selected_before) {
    table.truncate(keep, selected_before);
}
inline bool unload(WorldTable& world, int zone) {
    return world.unload_zone_rooms(zone);
}
template <class Table>
bool unload(Table& prototypes, int zone) {
    return prototypes.unload_zone(zone);
}
template <class Table>
void clear(Table& table) {
    table.clear();
}
// A room's colour from the layout side file; not an edit of the builder.
inline void set_colour(WorldTable& world, Vnum vnum, int colour) {
    int slot = world.find_room(vnum);
    if (slot >= 0) world.edit_loaded(slot, [colour](Room& r) { r.room_colour = colour; });
}

// The zedits.
inline bool reserve(ZoneTable& zones, int zone) {
    return zones.reserve_zedit_block(zone);
}
inline void release(ZoneTable& zones) {
    zones.release_zedit_block();
}
inline void truncate(ZoneTable& zones, int keep, int /*selected_before*/) {
    // The zedits the load appended go again (a read gives one whole zedit
    // or none).
    zones.truncate(keep);
}
inline bool unload(ZoneTable& zones, int zone) {
    bool had = zones.find_zedit(zone) >= 0;
    zones.unload_zedit(zone);
    return had;
}

}  // namespace table_loading

// A read's sink that appends each record to the table and shows each
// diagnostic as the read meets it.
template <class Table, class Record>
class AppendingSink final : public ReadSink<Record> {
public:
    AppendingSink(Table& table, UiPort& ui) : table_(table), ui_(ui) {}
    void take(Record&& record) override { table_loading::append(table_, std::move(record)); }
    void tell(const Diagnostic& diagnostic) override { show_diagnostic(ui_, diagnostic); }

private:
    Table& table_;
    UiPort& ui_;
};

template <class Table>
class LoadAttempt {
public:
    LoadAttempt(Table& table, int zone)
        : table_(table), zone_(zone), count_(table.count()), selected_(table.selected_slot()) {}

    // Reserves the zone's block (again, after a roll back).
    void begin() { reserved_ = table_loading::reserve(table_, zone_); }

    // Appends the records in order, showing each diagnostic once the records
    // read before it are in the table. Once every record is in, before the
    // diagnostics that come after them all, `keep()` is asked: false stops
    // there (the caller rolls back) and adopt gives false.
    template <class Record, class Keep>
    bool adopt(std::vector<Record>& records, const Diagnostics& diagnostics, UiPort& ui,
               Keep keep) {
        std::size_t next = 0;
        bool asked = false;
        auto all_in = [&] {
            for (; next < records.size(); ++next)
                table_loading::append(table_, std::move(records[next]));
            asked = true;
            return keep();
        };
        for (const Diagnostic& d : diagnostics) {
            std::size_t upto = d.records_before == Diagnostic::kAfterAll
                                   ? records.size()
                                   : static_cast<std::size_t>(d.records_before);
            if (upto >= records.size() && !asked && !all_in()) return false;
            for (; next < upto && next < records.size(); ++next)
                table_loading::append(table_, std::move(records[next]));
            show_diagnostic(ui, d);
        }
        return asked || all_in();
    }

    // Removes whatever the load added and gives the block back.
    void roll_back() {
        table_loading::truncate(table_, count_, selected_);
        if (reserved_) table_loading::release(table_);
        reserved_ = false;
    }

private:
    Table& table_;
    int zone_;
    int count_;
    int selected_;
    bool reserved_ = false;
};

}  // namespace zs
