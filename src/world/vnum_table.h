// VnumTable: the table scheme that rooms, objects and mobiles share. Records
// of a zone stand together; loaders append, editors insert after the nearest
// lower vnum of the zone. The table has a selected (current) record and the
// block bookkeeping of the loaders, and finds a vnum in constant time.
// Records are reached by slot; slots shift when records are inserted or
// removed, so nothing outside one call should hold on to a slot: keep the vnum.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "world/change.h"
#include "world/room.h"
#include "world/table_loading.h"
#include "world/vnum_index.h"

namespace zs {

template <class Table, class Record>
class RecordEntry;

template <class Record>
class VnumTable {
public:
    VnumTable(TableKind kind, ChangeSink* sink) : kind_(kind), sink_(sink) {}
    VnumTable(const VnumTable&) = delete;
    VnumTable& operator=(const VnumTable&) = delete;

    int count() const { return static_cast<int>(records_.size()); }
    // Counts the changes of records (not of the selection): indexes derived
    // from the records, such as the map's walk, rebuild when it moves.
    std::uint64_t revision() const { return revision_; }
    // The slot of the record the latest change edited in place (no record
    // added, removed or renumbered), so that such an index refreshes just
    // that record; -1 after any other change.
    int edited_slot() const { return edited_slot_; }
    bool empty() const { return records_.empty(); }
    const Record& record(int slot) const { return *records_[slot]; }
    int block_count() const { return blocks_; }

    // First slot in use holding the vnum, or -1.
    int find(int vnum) const { return index_.first(vnum); }
    const Record* find_record(int vnum) const {
        int s = find(vnum);
        return s < 0 ? nullptr : records_[s].get();
    }
    // How many records carry the vnum (more than one only in damaged files).
    unsigned count_of(int vnum) const { return index_.count(vnum); }
    bool has_zone(int zone) const {
        // Division truncates, so zone 0 runs from -99 to 99.
        int lo = std::max(zone > 0 ? zone * 100 : zone * 100 - 99, kVnumMin);
        int hi = std::min(zone < 0 ? zone * 100 : zone * 100 + 99, kVnumMax);
        for (int v = lo; v <= hi; ++v)
            if (index_.first(v) >= 0) return true;
        return false;
    }

    int selected_slot() const { return selected_; }
    const Record* selected() const { return selected_ < 0 ? nullptr : records_[selected_].get(); }
    // The selection is view state, not a record: it changes on a table that
    // is only read (a workspace hands its tables out const).
    void select_slot(int slot) const {
        int next = (slot >= 0 && slot < count()) ? slot : -1;
        if (next == selected_ && next < 0) return;
        selected_ = next;
        if (sink_)
            sink_->on_change(
                {kind_, ChangeKind::Selection, next < 0 ? -1 : records_[next]->vnum, false});
    }

    // Reserves a block for a zone about to be loaded, or about to get its
    // first records from the builder; false (and nothing changes) when the
    // table already holds a record of the zone.
    bool reserve_block(int zone) {
        if (has_zone(zone)) return false;
        ++blocks_;
        // Grows by doubling: a reserve of just one block more on every load
        // would move the whole table each time.
        std::size_t wanted = static_cast<std::size_t>(blocks_) * 100 + 1;
        if (records_.capacity() < wanted)
            records_.reserve(std::max(wanted, 2 * records_.capacity()));
        return true;
    }
    // Editor path: inserts a record after the nearest lower vnum of its zone,
    // or at slot 0 when the zone has none. Returns the slot.
    int insert_sorted(Record record) {
        int slot = sorted_slot(record);
        insert_at(slot, std::move(record));
        return slot;
    }

    // The slot of the `nth` record (from 0) carrying the vnum, or -1.
    int find_nth(int vnum, int nth) const {
        int s = find(vnum);
        if (s < 0 || nth <= 0) return nth < 0 ? -1 : s;
        for (++s; s < count(); ++s)
            if (records_[s]->vnum == vnum && --nth == 0) return s;
        return -1;
    }
    // Which of the records carrying its vnum the record in `slot` is.
    int nth_of(int slot) const {
        int vnum = records_[slot]->vnum;
        if (index_.count(vnum) <= 1) return 0;
        int n = 0;
        for (int s = find(vnum); s < slot; ++s)
            n += records_[s]->vnum == vnum;
        return n;
    }

    // The one way the builder changes fields of a loaded record.
    void edit(int slot, const std::function<void(Record&)>& fn) { edit_record(slot, fn, true); }

protected:
    // What a load does (TableLoading, and nothing else, reaches it).
    template <class T>
    friend class TableLoading;

    void release_block() {
        if (blocks_ > 0) --blocks_;
    }

    // Loader path: adds a finished record at the end. The first record loaded
    // while nothing is selected becomes the selection.
    void append(Record record) {
        int slot = count();
        record.zone = static_cast<decltype(record.zone)>(zone_of(record.vnum));
        index_.appended(record.vnum, slot);
        int vnum = record.vnum;
        records_.push_back(std::make_unique<Record>(std::move(record)));
        notify(ChangeKind::Added, vnum, false);
        if (selected_ < 0) select_slot(slot);
    }

    // Removes every record from `keep` on (rolls back a failed load) and
    // restores the selection of before the load.
    void truncate(int keep, int selected_before) {
        keep = std::clamp(keep, 0, count());
        for (int s = count() - 1; s >= keep; --s) {
            int vnum = records_[s]->vnum;
            index_.removed_last(vnum, s);
            records_.pop_back();
            notify(ChangeKind::Removed, vnum, false);
        }
        if (selected_ >= keep || selected_before != selected_)
            select_slot(selected_before < keep ? selected_before : -1);
    }

    void clear() {
        bool had_selection = selected_ >= 0;
        records_.clear();
        index_.clear();
        blocks_ = 0;
        selected_ = -1;
        notify(ChangeKind::Cleared, -1, false);
        if (had_selection) notify(ChangeKind::Selection, -1, false);
    }

    // A load's own change of a record it added (the colours of its layout
    // file): part of the load, so no step records it and no zone is marked.
    void edit_loaded(int slot, const std::function<void(Record&)>& fn) {
        edit_record(slot, fn, false);
    }

    // What undo and redo use, and nothing else (the history's entries are
    // friends): they put records back as they were, inside the step being
    // undone or redone.
    template <class Table, class R>
    friend class RecordEntry;

    // Puts a removed record back after the `after_nth` record with
    // `after_id` (kTableFront: in slot 0). When that record is gone, the
    // record goes where the editor would insert it. Returns the slot.
    int restore(int after_id, int after_nth, Record record) {
        int slot = 0;
        if (after_id != kTableFront) {
            int before = find_nth(after_id, after_nth);
            slot = before >= 0 ? before + 1 : sorted_slot(record);
        }
        insert_at(slot, std::move(record));
        return slot;
    }

    // Gives the record in `slot` the fields of `image`, number included.
    void replace(int slot, const Record& image) {
        edit(slot, [&image](Record& r) { r = image; });
    }

    // The builder removes the record in `slot`; if it was selected,
    // `successor` (a slot before the removal, or -1) becomes the selection.
    void erase(int slot, int successor) { erase_slot(slot, successor, true); }

    void edit_record(int slot, const std::function<void(Record&)>& fn, bool user_edit) {
        if (slot < 0 || slot >= count()) return;
        Record& r = *records_[slot];
        int before = r.vnum;
        EditRecorder* rec = recorder(user_edit);
        std::optional<Record> image;
        RecordPlace place;
        if (rec) {
            image = r;
            place.before_nth = nth_of(slot);
        }
        fn(r);
        // Vnums are 16-bit everywhere; an edit cannot take one outside.
        if (!vnum_in_range(r.vnum)) r.vnum = static_cast<decltype(r.vnum)>(before);
        if (r.vnum != before) {
            // A new number: the index is rebuilt.
            r.zone = static_cast<decltype(r.zone)>(zone_of(r.vnum));
            index_.clear();
            for (int s = 0; s < count(); ++s)
                index_.appended(records_[s]->vnum, s);
        }
        if (rec) {
            place.after_nth = nth_of(slot);
            rec->record(kind_, &*image, &r, place);
        }
        notify(ChangeKind::Edited, r.vnum, user_edit,
               r.vnum != before ? before : Change::kNoPreviousId, r.vnum != before ? -1 : slot);
    }

    // Removes the record in `slot`: the builder's removal with `user_edit`,
    // else an unload, which no step records.
    void erase_slot(int slot, int successor, bool user_edit) {
        if (EditRecorder* rec = recorder(user_edit))
            rec->record(kind_, records_[slot].get(), static_cast<const Record*>(nullptr),
                        place_at(slot));
        int vnum = records_[slot]->vnum;
        bool was_selected = selected_ == slot;
        records_.erase(records_.begin() + slot);
        index_.erased(vnum, slot, count(), [this](int s) { return records_[s]->vnum; });
        // Settle the selection before anyone hears of the removal.
        if (was_selected)
            selected_ = -1;
        else if (selected_ > slot)
            --selected_;
        notify(ChangeKind::Removed, vnum, user_edit);
        if (was_selected) {
            if (successor > slot) --successor;
            if (successor >= 0 && successor < count())
                select_slot(successor);
            else
                notify(ChangeKind::Selection, -1, false);
        }
    }

    EditRecorder* recorder(bool user_edit) const {
        return user_edit && sink_ ? sink_->recorder() : nullptr;
    }
    // The place of the record in `slot` for an add or a removal.
    RecordPlace place_at(int slot) const {
        RecordPlace place;
        place.before_nth = place.after_nth = nth_of(slot);
        if (slot > 0) {
            place.after_id = records_[slot - 1]->vnum;
            place.after_id_nth = nth_of(slot - 1);
        }
        return place;
    }

    // Where the editor inserts a record: after the nearest lower vnum of its
    // zone, or at slot 0 when the zone has none.
    int sorted_slot(const Record& record) const {
        int slot = count();
        while (slot > 0) {
            const Record& before = *records_[slot - 1];
            if (before.zone == record.zone && before.vnum < record.vnum) break;
            --slot;
        }
        return slot;
    }

    void insert_at(int slot, Record record) {
        int vnum = record.vnum;
        records_.insert(records_.begin() + slot, std::make_unique<Record>(std::move(record)));
        index_.inserted(vnum, slot, count(), [this](int s) { return records_[s]->vnum; });
        if (selected_ >= slot) ++selected_;
        if (EditRecorder* rec = recorder(true))
            rec->record(kind_, static_cast<const Record*>(nullptr), records_[slot].get(),
                        place_at(slot));
        notify(ChangeKind::Added, vnum, true);
    }
    void notify(ChangeKind kind, int vnum, bool user_edit, int previous = Change::kNoPreviousId,
                int edited_slot = -1) {
        if (kind != ChangeKind::Selection) {
            ++revision_;
            edited_slot_ = edited_slot;
        }
        if (sink_) sink_->on_change({kind_, kind, vnum, user_edit, previous});
    }

private:
    TableKind kind_;
    ChangeSink* sink_;
    std::vector<std::unique_ptr<Record>> records_;
    VnumIndex index_;
    mutable int selected_ = -1;
    int blocks_ = 0;
    std::uint64_t revision_ = 0;
    int edited_slot_ = -1;
};

// The slots of each zone's records, zones in the order their first record
// stands in the table, slots in table order.
using ZoneSlots = std::vector<std::pair<int, std::vector<int>>>;

template <class Table>
ZoneSlots slots_by_zone(const Table& table) {
    ZoneSlots zones;
    std::map<int, std::size_t> position;
    for (int s = 0; s < table.count(); ++s) {
        int zone = table.record(s).zone;
        if (zone < 0) continue;  // zone numbers of files are never negative
        auto [it, fresh] = position.emplace(zone, zones.size());
        if (fresh) zones.push_back({zone, {}});
        zones[it->second].second.push_back(s);
    }
    return zones;
}

// The slots of one zone's records, in table order.
template <class Table>
std::vector<int> slots_of_zone(const Table& table, int zone) {
    std::vector<int> found;
    for (int s = 0; s < table.count(); ++s)
        if (table.record(s).zone == zone) found.push_back(s);
    return found;
}

}  // namespace zs
