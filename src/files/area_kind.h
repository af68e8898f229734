// AreaKind: what the load, save and unload commands ask of an area-file kind,
// and RecordKind, the one shape every kind (world, objects, mobiles, zones)
// implements: its reader of the current layout, its readers of the older
// layouts in order, its writer, its table, and its words (FileKind). The four
// implementations live beside the kinds' table (file_kinds.cpp); the
// commands that use them in load_command.h and save_command.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/diagnostic.h"
#include "files/file_kinds.h"
#include "files/load_attempt.h"
#include "world/vnum_table.h"

namespace zs {

class UiPort;
class Workspace;

class AreaKind {
public:
    explicit AreaKind(const FileKind& words) : words_(words) {}
    virtual ~AreaKind() = default;
    AreaKind(const AreaKind&) = delete;
    AreaKind& operator=(const AreaKind&) = delete;

    const FileKind& words() const { return words_; }
    TableKind table() const { return words_.table; }

    // Loads a file's bytes into the table (load_records); `path` names the
    // file and its zone, which has no records of the kind loaded (see
    // load_bytes_of_kind). True when the file's records are in the table.
    virtual bool load_bytes(Workspace& ws, const std::string& path,
                            std::string_view bytes) const = 0;
    // Takes the zone's records (every record) out of the table; not a step.
    virtual bool unload_zone(Workspace& ws, int zone) const = 0;
    virtual void unload_all(Workspace& ws) const = 0;

    // The zone's file text in the current layout, with what the writer has
    // to tell, and the text of its side file (empty: the side file goes).
    struct ZoneTexts {
        WriteResult file;
        std::string side;
    };
    virtual ZoneTexts write_zone(const Workspace& ws, int zone) const = 0;

    // The zones with records, in the order their first record stands in the
    // table; how many records a zone holds.
    virtual std::vector<int> zones_with_records(const Workspace& ws) const = 0;
    virtual int records_in_zone(const Workspace& ws, int zone) const = 0;
    // How many records the table holds, and the vnum (a zedit's number) of
    // the record in a slot.
    virtual int count(const Workspace& ws) const = 0;
    virtual int id_of(const Workspace& ws, int slot) const = 0;
    // The zone of the editor's current record; nothing when none is.
    virtual std::optional<int> current_zone(const Workspace& ws) const = 0;

private:
    const FileKind& words_;
};

// One kind over its table and record. The readers and the writer are pure;
// load_bytes is the one load command (load_records) over them.
template <class Table, class Record>
class RecordKind : public AreaKind {
public:
    using AreaKind::AreaKind;
    using TableType = Table;
    using RecordType = Record;

    // The current layout, telling of what it meets as it goes; messages
    // number records from `numbered_from`, the records the table held.
    virtual ReadResult<Record> read_current(std::string_view bytes, std::string_view file_name,
                                            int numbered_from, ReadSink<Record>* sink) const = 0;
    // The older layouts in order: the read of the first that fits, with what
    // the conversion has to tell (string errors that `shown` did not meet,
    // what was left out); when none fits, a failed read whose diagnostics
    // are the kind's error box.
    virtual ReadResult<Record> read_older(
        std::string_view bytes, std::string_view file_name,
        const std::vector<TextReader::StringError>& shown) const = 0;
    // The file text of the records in these slots, and the text of their
    // side file (none but the world's has one).
    virtual WriteResult write(const Table& records, const std::vector<int>& in_zone) const = 0;
    virtual std::string write_side(const Table& /*records*/,
                                   const std::vector<int>& /*in_zone*/) const {
        return {};
    }

    // The kind's table opened for loading, and to be read.
    virtual TableLoading<Table> loading(Workspace& ws) const = 0;
    virtual const Table& table_of(const Workspace& ws) const = 0;
    // Asked once an older layout's records are in the table; false takes
    // them out again.
    virtual bool keep_older(UiPort& /*ui*/, int /*layout*/) const { return true; }
    // The status after a load of the zone's file.
    virtual std::string loaded_status(const Workspace& ws, int zone) const = 0;
    // What follows a load: reading a side file.
    virtual void after_load(Workspace& /*ws*/, const std::string& /*path*/) const {}

    bool load_bytes(Workspace& ws, const std::string& path, std::string_view bytes) const override;
    bool unload_zone(Workspace& ws, int zone) const override { return loading(ws).unload(zone); }
    void unload_all(Workspace& ws) const override { loading(ws).clear(); }
    int count(const Workspace& ws) const override { return table_of(ws).count(); }
};

// A kind whose records carry vnums in a VnumTable.
template <class Table, class Record>
class VnumKind : public RecordKind<Table, Record> {
public:
    using RecordKind<Table, Record>::RecordKind;
    using RecordKind<Table, Record>::table_of;

    typename AreaKind::ZoneTexts write_zone(const Workspace& ws, int zone) const override {
        const Table& records = table_of(ws);
        const std::vector<int> in_zone = slots_of_zone(records, zone);
        return {this->write(records, in_zone), this->write_side(records, in_zone)};
    }
    std::vector<int> zones_with_records(const Workspace& ws) const override {
        std::vector<int> zones;
        for (const auto& z : slots_by_zone(table_of(ws)))
            zones.push_back(z.first);
        return zones;
    }
    int records_in_zone(const Workspace& ws, int zone) const override {
        return static_cast<int>(slots_of_zone(table_of(ws), zone).size());
    }
    int id_of(const Workspace& ws, int slot) const override {
        return static_cast<int>(table_of(ws).record(slot).vnum);
    }
};

}  // namespace zs
