// RecordEntry: how a change of one record of a table stands in the history
// (edits/history.h): its images before and after, keyed by table and id
// (vnum, or zone number for zedits) and its place among records with the
// same id. Undo and redo put the images back through the table's own
// primitives; the entry holds no slot and no pointer into the table.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

#include "edits/history.h"
#include "world/change.h"
#include "world/mobile.h"
#include "world/object.h"
#include "world/room.h"
#include "world/zedit.h"

namespace zs {

// Approximate heap bytes of a record image, for the history's memory bound.
std::size_t footprint(const Room& r);
std::size_t footprint(const ObjectPrototype& o);
std::size_t footprint(const MobilePrototype& m);
std::size_t footprint(const Zedit& z);

inline int record_id(const Zedit& z) {
    return z.number;
}
template <class Record>
int record_id(const Record& r) {
    return r.vnum;
}
inline int record_zone(const Zedit& z) {
    return z.number;
}
template <class Record>
int record_zone(const Record& r) {
    return r.zone;
}

template <class Table, class Record>
class RecordEntry : public StepEntry {
public:
    // `before` is null for a record being added, `after` for one removed.
    RecordEntry(Table& table, TableKind kind, const Record* before, const Record* after,
                const RecordPlace& place)
        : table_(table), kind_(kind), place_(place) {
        if (before) before_ = std::make_unique<const Record>(*before);
        if (after) after_ = std::make_unique<const Record>(*after);
    }

    void apply(bool forward) override {
        const Record* from = forward ? before_.get() : after_.get();
        const Record* to = forward ? after_.get() : before_.get();
        if (from) {
            int slot =
                table_.find_nth(record_id(*from), forward ? place_.before_nth : place_.after_nth);
            if (slot < 0) return;
            if (to)
                table_.replace(slot, *to);
            else
                table_.erase(slot, -1);
        } else if (to) {
            table_.restore(place_.after_id, place_.after_id_nth, *to);
        }
    }

    std::size_t bytes() const override {
        return sizeof(*this) + (before_ ? footprint(*before_) : 0) +
               (after_ ? footprint(*after_) : 0);
    }

    void add_zones(std::vector<ZoneKey>& out) const override {
        for (const Record* r : {before_.get(), after_.get()})
            if (r) out.push_back({static_cast<int>(kind_), record_zone(*r)});
    }

    void add_records(std::vector<RecordKey>& out) const override {
        for (const Record* r : {before_.get(), after_.get()})
            if (r) out.push_back({static_cast<int>(kind_), record_id(*r)});
    }

    bool absorb(StepEntry& later) override {
        auto* other = dynamic_cast<RecordEntry*>(&later);
        if (!other || !before_ || !after_ || !other->after_) return false;
        after_ = std::move(other->after_);
        return true;
    }

private:
    Table& table_;
    TableKind kind_;
    RecordPlace place_;
    std::unique_ptr<const Record> before_;  // null: the step added the record
    std::unique_ptr<const Record> after_;   // null: the step removed it
};

}  // namespace zs
