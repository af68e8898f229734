// LoadAttempt: one try at loading a zone's file into a table. It remembers the
// table as it was, reserves the zone's block, and rolls everything back when
// the try fails, so that a failed load leaves the table exactly as before.
#pragma once

namespace zs {

template <class Table>
class LoadAttempt {
public:
    LoadAttempt(Table& table, int zone)
        : table_(table), zone_(zone), count_(table.count()), selected_(table.selected_slot()) {}

    // Reserves the zone's block (again, after a roll back).
    void begin() { reserved_ = table_.reserve_block(zone_); }

    // Removes whatever the try added and gives the block back.
    void roll_back() {
        table_.truncate(count_, selected_);
        if (reserved_) table_.release_block();
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
