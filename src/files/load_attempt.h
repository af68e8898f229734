// LoadAttempt: one load of a zone's file into a table. It remembers the table
// as it was, reserves the zone's block, adopts what a read gave, and rolls
// everything back when the load fails, so that a failed load leaves the table
// exactly as before.
#pragma once

#include <cstddef>
#include <vector>

#include "files/diagnostic.h"

namespace zs {

// A read's sink that appends each record to the table and shows each
// diagnostic as the read meets it.
template <class Table, class Record>
class AppendingSink final : public ReadSink<Record> {
public:
    AppendingSink(Table& table, UiPort& ui) : table_(table), ui_(ui) {}
    void take(Record&& record) override { table_.append(std::move(record)); }
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
    void begin() { reserved_ = table_.reserve_block(zone_); }

    // Appends the records in order, showing each diagnostic once the records
    // read before it are in the table, then the rest.
    template <class Record>
    void adopt(std::vector<Record>& records, const Diagnostics& diagnostics, UiPort& ui) {
        std::size_t next = 0;
        for (const Diagnostic& d : diagnostics) {
            std::size_t upto = d.records_before == Diagnostic::kAfterAll
                                   ? records.size()
                                   : static_cast<std::size_t>(d.records_before);
            for (; next < upto && next < records.size(); ++next)
                table_.append(std::move(records[next]));
            show_diagnostic(ui, d);
        }
        for (; next < records.size(); ++next)
            table_.append(std::move(records[next]));
    }

    // Removes whatever the load added and gives the block back.
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
