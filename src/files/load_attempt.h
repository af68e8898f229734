// How the load command fills a table opened for loading (TableLoading):
// AppendingSink, which appends each record as a read meets it, and
// LoadAttempt, one load of a zone's file into a table that leaves the table
// exactly as before when the load fails.
#pragma once

#include <cstddef>
#include <vector>

#include "files/diagnostic.h"
#include "world/table_loading.h"
#include "world/ui_port.h"

namespace zs {

// A read's sink that appends each record to the table and shows each
// diagnostic as the read meets it.
template <class Table, class Record>
class AppendingSink final : public ReadSink<Record> {
public:
    AppendingSink(TableLoading<Table> table, UiPort& ui) : table_(table), ui_(ui) {}
    void take(Record&& record) override { table_.append(std::move(record)); }
    void tell(const Diagnostic& diagnostic) override { show_diagnostic(ui_, diagnostic); }

private:
    TableLoading<Table> table_;
    UiPort& ui_;
};

template <class Table>
class LoadAttempt {
public:
    LoadAttempt(TableLoading<Table> table, int zone)
        : table_(table), zone_(zone), count_(table.count()), selected_(table.selected_slot()) {}

    // Reserves the zone's block (again, after a roll back).
    void begin() { reserved_ = table_.reserve(zone_); }

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
                table_.append(std::move(records[next]));
            asked = true;
            return keep();
        };
        for (const Diagnostic& d : diagnostics) {
            std::size_t upto = d.records_before == Diagnostic::kAfterAll
                                   ? records.size()
                                   : static_cast<std::size_t>(d.records_before);
            if (upto >= records.size() && !asked && !all_in()) return false;
            for (; next < upto && next < records.size(); ++next)
                table_.append(std::move(records[next]));
            show_diagnostic(ui, d);
        }
        return asked || all_in();
    }

    // Removes whatever the load added and gives the block back.
    void roll_back() {
        table_.truncate(count_, selected_);
        if (reserved_) table_.release();
        reserved_ = false;
    }

private:
    TableLoading<Table> table_;
    int zone_;
    int count_;
    int selected_;
    bool reserved_ = false;
};

}  // namespace zs
