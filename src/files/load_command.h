// The one load command and the one unload command of every area-file kind:
// a file by its kind, or a kind's file, read and adopted into the kind's
// table (refuse a loaded zone once, then load_records: read, offer the older
// layouts, adopt, remember the file, announce, status), and a zone's records of a
// kind taken out again.
#pragma once

#include <string>
#include <string_view>

#include "files/area_io.h"
#include "files/area_kind.h"
#include "files/load_attempt.h"
#include "files/load_notes.h"
#include "world/ui_port.h"
#include "world/workspace.h"

namespace zs {

// Loads a file with the kind its name gives (file_kind_of_path); true when
// it loaded. A name of no kind gets a box.
bool load_area_file(Workspace& ws, const std::string& path);
// The same with the file's bytes read already; `path` names the file.
bool load_area_bytes(Workspace& ws, const std::string& path, std::string_view bytes);
// Loads a file of the kind: the box for a zone loaded already, the file's
// bytes (or the box saying why there are none), then the kind's load.
bool load_file_of_kind(Workspace& ws, const AreaKind& kind, const std::string& path);
// The same for a file whose zone the caller has found not loaded: no box.
bool load_file_of_unloaded_zone(Workspace& ws, const AreaKind& kind, const std::string& path);
// The kind's load of bytes read already, after the box for a zone loaded
// already.
bool load_bytes_of_kind(Workspace& ws, const AreaKind& kind, const std::string& path,
                        std::string_view bytes);

// True, after the box, when `zone` (above 0) has records of the kind loaded.
bool refuse_loaded_zone(Workspace& ws, const FileKind& kind, int zone);

// Takes the zone's records of the kind out of its table, with their unsaved
// changes, so that its file can be loaded again; the tables drop the
// history steps that touched them. Not a step. True when records went.
bool unload_zone_of_kind(Workspace& ws, TableKind table, int zone);

// The load of every kind, of a zone not loaded (the callers above see to
// that): the file's records appended to the kind's table as
// the read of the current layout meets them; when that read fails, the
// table as it was, and, when the builder agrees, the older layouts' read
// adopted instead.
template <class Table, class Record>
bool load_records(Workspace& ws, const RecordKind<Table, Record>& kind, const std::string& path,
                  std::string_view bytes) {
    UiPort& ui = ws.ui();
    const FileKind& words = kind.words();
    TableLoading<Table> table = kind.loading(ws);
    const int zone = zone_number_from_path(path);
    LoadAttempt attempt(table, zone);
    const std::string name = file_name_of(path);
    attempt.begin();
    AppendingSink<Table, Record> sink(table, ui);
    ReadResult<Record> read = kind.read_current(bytes, name, table.count(), &sink);
    read.flush();
    if (!read.ok) {
        attempt.roll_back();
        if (!ui.ask_yes_no(words.convert_question)) return false;
        ReadResult<Record> older = kind.read_older(bytes, name, read.string_errors);
        if (!older.ok) {
            show_diagnostics(ui, older.diagnostics);
            return false;
        }
        attempt.begin();
        if (!attempt.adopt(older.records, older.diagnostics, ui,
                           [&] { return kind.keep_older(ui, older.layout); })) {
            attempt.roll_back();
            return false;
        }
        ui.show_message(words.conversion_success, "Success");
    }
    ws.zone_files().remember(words.table, zone, path);
    ws.announce_loaded(words.table, zone);
    ui.show_status(kind.loaded_status(ws, zone));
    kind.after_load(ws, path);
    return true;
}

template <class Table, class Record>
bool RecordKind<Table, Record>::load_bytes(Workspace& ws, const std::string& path,
                                           std::string_view bytes) const {
    return load_records(ws, *this, path, bytes);
}

}  // namespace zs
