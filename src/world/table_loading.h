// TableLoading: a table opened for loading and unloading zones, with only
// what a load does to it (reserve and give back a zone's block, append a
// record as a file gives it, roll a failed load back, give a loaded record
// the colours of its layout file, unload a zone or the whole table). None of
// it is the builder's change: no step records it and no zone is marked
// modified. The tables keep these primitives private to it; the builder's
// changes are the tables' public mutators, which a workspace hands out only
// inside an open step (workspace.h). A workspace's tables are opened for
// loading by its TableLoad; a table of its own (a reader's test) by itself.
#pragma once

#include <utility>

namespace zs {

template <class Table>
class TableLoading {
public:
    explicit TableLoading(Table& table) : table_(table) {}

    const Table& table() const { return table_; }
    int count() const { return table_.count(); }
    int selected_slot() const { return table_.selected_slot(); }

    // Reserves a block for a zone about to be loaded; false (and nothing
    // changes) when the table already holds a record of the zone.
    bool reserve(int zone) { return table_.reserve_block(zone); }
    void release() { table_.release_block(); }
    // Adds a finished record at the end, as the file gave it.
    template <class Record>
    void append(Record&& record) {
        table_.append(std::forward<Record>(record));
    }
    // Removes every record from `keep` on (a failed load) and restores the
    // selection of before the load.
    void truncate(int keep, int selected_before) { table_.truncate(keep, selected_before); }
    // A load's own change of a record it added (the colours of its layout
    // file).
    template <class Fn>
    void edit_loaded(int slot, Fn&& fn) {
        table_.edit_loaded(slot, std::forward<Fn>(fn));
    }
    // Takes the zone's records out and gives its block back; true when any
    // went.
    bool unload(int zone) { return table_.unload_zone(zone); }
    void clear() { table_.clear(); }

private:
    Table& table_;
};

}  // namespace zs
