// ZoneTable: the loaded zedits, in load order (new ones in front), with the
// selected zedit. Like the world table, slots shift: keep zone numbers.
#pragma once

#include <functional>
#include <vector>

#include "world/change.h"
#include "world/table_loading.h"
#include "world/zedit.h"

namespace zs {

template <class Table, class Record>
class RecordEntry;

class ZoneTable {
public:
    explicit ZoneTable(ChangeSink* sink = nullptr) : sink_(sink) {}
    ZoneTable(const ZoneTable&) = delete;
    ZoneTable& operator=(const ZoneTable&) = delete;

    int count() const { return static_cast<int>(zedits_.size()); }
    bool empty() const { return zedits_.empty(); }
    const Zedit& zedit(int slot) const { return zedits_[slot]; }
    int block_count() const { return blocks_; }

    // First slot holding a zedit with this number, or -1.
    int find_zedit(int number) const;

    int selected_slot() const { return selected_; }
    const Zedit* selected_zedit() const { return selected_ < 0 ? nullptr : &zedits_[selected_]; }
    // The selection is view state: it changes on a table that is only read.
    void select_slot(int slot) const;

    // Reserves a block for a zedit about to be loaded or created; false
    // when one with the number is loaded.
    bool reserve_zedit_block(int number);

    // Editor path: a new zedit in slot 0.
    int create_zedit(int number);
    // The builder removes the first zedit with the number.
    void delete_zedit(int number);

    // Reset-command array edits; positions out of range change nothing.
    bool insert_command(int slot, int position);
    bool remove_command(int slot, int position);

    void edit_zedit(int slot, const std::function<void(Zedit&)>& edit);

    // The `nth` zedit with a number; the first.
    int find_nth(int number, int nth) const;
    int find(int number) const { return find_zedit(number); }

private:
    // What a load does (TableLoading, and nothing else, reaches it).
    template <class T>
    friend class TableLoading;
    bool reserve_block(int number) { return reserve_zedit_block(number); }
    void release_block();
    // A finished zedit at the end; it becomes the selection.
    void append(Zedit zedit);
    // Removes every zedit from `keep` on, as a load rolled back (a read
    // gives one whole zedit or none, so no selection to put back).
    void truncate(int keep, int /*selected_before*/);
    // Removes every zedit with the number and gives the block back; true
    // when there was one.
    bool unload_zone(int number);
    void clear();

    // What undo and redo use, and nothing else (the history's entries are
    // friends): put a removed zedit back after the `after_nth` zedit with
    // `after_id` (kTableFront: in slot 0), give one the fields of an image,
    // remove one.
    template <class Table, class Record>
    friend class RecordEntry;
    int restore(int after_id, int after_nth, Zedit zedit);
    void erase(int slot, int /*successor*/) { delete_slot(slot, true); }
    void replace(int slot, const Zedit& image) {
        edit_zedit(slot, [&image](Zedit& z) { z = image; });
    }

    void notify(ChangeKind kind, int number, bool user_edit) const;
    EditRecorder* recorder(bool user_edit) const {
        return user_edit && sink_ ? sink_->recorder() : nullptr;
    }
    int nth_of(int slot) const;
    RecordPlace place_at(int slot) const;
    void insert_at(int slot, Zedit zedit);
    void delete_slot(int slot, bool user_edit);

    ChangeSink* sink_;
    std::vector<Zedit> zedits_;
    mutable int selected_ = -1;
    int blocks_ = 0;
};

}  // namespace zs
