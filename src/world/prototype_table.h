// PrototypeTable: the table scheme of object and mobile prototypes. Removing
// the current record hands the selection to the first other record of its
// zone, else to the first other record.
#pragma once

#include "world/vnum_table.h"

namespace zs {

template <class Record>
class PrototypeTable : public VnumTable<Record> {
public:
    using VnumTable<Record>::VnumTable;

    // The builder removes the record.
    void remove(int vnum) { remove_record(vnum, true); }

private:
    template <class T>
    friend class TableLoading;

    // Removes the zone's records and gives its block back; true when any went.
    bool unload_zone(int zone) {
        bool removed = false;
        for (int s = 0; s < this->count();) {
            if (this->record(s).zone == zone) {
                remove_record(this->record(s).vnum, false);
                removed = true;
            } else {
                ++s;
            }
        }
        this->release_block();
        if (this->selected_slot() < 0 && !this->empty()) this->select_slot(0);
        return removed;
    }

    void remove_record(int vnum, bool user_edit) {
        int slot = this->find(vnum);
        if (slot < 0) return;
        int successor = this->selected_slot() == slot ? successor_of(slot) : -1;
        this->erase_slot(slot, successor, user_edit);
    }
    int successor_of(int slot) const {
        int zone = this->record(slot).zone;
        for (int s = 0; s < this->count(); ++s)
            if (s != slot && this->record(s).zone == zone) return s;
        for (int s = 0; s < this->count(); ++s)
            if (s != slot) return s;
        return -1;
    }
};

}  // namespace zs
