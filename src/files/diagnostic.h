// What a pure reader or writer has to tell the builder, as values: the status
// texts, message boxes and load problems the UiPort is to be given, in the
// order it is to be given them. Readers and writers collect them; the load
// and save commands show them. Also the records a read gave.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "files/load_notes.h"
#include "world/text.h"

namespace zs {

class UiPort;
struct FileKind;

struct Diagnostic {
    enum class Kind {
        Status,   // the status box's text
        Message,  // a message box: text and caption (empty: the default caption)
        Problem,  // a fault that did not stop the load, for tools that list them
    };
    Kind kind = Kind::Message;
    std::string text;
    std::string caption;  // a message's caption; a problem's file name
    int line = 0;         // where the fault stands, when the text names a line
    // How many of the read's records come before it: a loader adopting the
    // records shows it once those are in the table, as a reader that appended
    // as it went would have. kAfterAll: after every record.
    static constexpr int kAfterAll = -1;
    int records_before = kAfterAll;
    bool operator==(const Diagnostic&) const = default;
};

using Diagnostics = std::vector<Diagnostic>;

// Hands the diagnostics to the UiPort in order.
void show_diagnostics(UiPort& ui, const Diagnostics& diagnostics);

// Shows one diagnostic.
void show_diagnostic(UiPort& ui, const Diagnostic& d);

// A kind's load-error box with the detail on its second line, then the
// kind's status text if it has one; `line` is the line the detail names.
void add_load_error(Diagnostics& out, const FileKind& kind, std::string_view detail = {},
                    int records_before = Diagnostic::kAfterAll, int line = 0);
// The same for the out-of-range vnum of the notes, if any.
void add_load_error(Diagnostics& out, const FileKind& kind, const ReadNotes& notes);
// The "String Error" box for a string error the reader met.
void add_string_error(Diagnostics& out, std::string_view file_name,
                      const TextReader::StringError& error,
                      int records_before = Diagnostic::kAfterAll);
// A message box with the default caption, shown after `records_before` records.
void add_message(Diagnostics& out, std::string text, int records_before = Diagnostic::kAfterAll);
// The load problem of a string error, for tools that list them.
void add_load_problem(Diagnostics& out, std::string_view file_name,
                      const TextReader::StringError& error);

// Takes a read's records and diagnostics as the reader meets them, in the
// order it meets them: a loader appends and shows as the read goes.
template <class Record>
class ReadSink {
public:
    virtual ~ReadSink() = default;
    virtual void take(Record&& record) = 0;
    virtual void tell(const Diagnostic& diagnostic) = 0;
};

// What one read of a file's bytes gave: the records in file order, what is
// to be told, and whether the read succeeded. A failed read's records are
// those read before the failure. A read with a sink hands its records to
// the sink instead, each diagnostic too, and keeps only the diagnostics.
template <class Record>
struct ReadResult {
    explicit ReadResult(ReadSink<Record>* to = nullptr) : sink(to) {}

    std::vector<Record> records;
    Diagnostics diagnostics;
    bool ok = false;
    // What an older layout's read left out, and the out-of-range vnum that
    // failed a read.
    ReadNotes notes;
    // The string errors the read met, to tell apart those already shown when
    // an older layout's read is told of after the current one's.
    std::vector<TextReader::StringError> string_errors;
    // Which older layout won (an index into that kind's list); -1 for the
    // current layout.
    int layout = -1;

    // The reader's side: a record read, and the records read so far.
    void add(Record&& record) {
        if (!sink) {
            records.push_back(std::move(record));
            return;
        }
        flush();
        sink->take(std::move(record));
        ++taken;
    }
    int count() const { return sink ? taken : static_cast<int>(records.size()); }
    // Hands the sink the diagnostics it has not had yet.
    void flush() {
        if (!sink) return;
        for (; told < diagnostics.size(); ++told)
            sink->tell(diagnostics[told]);
    }

private:
    ReadSink<Record>* sink;
    int taken = 0;
    std::size_t told = 0;
};

// What a writer made: the file's bytes, and what it has to tell of records
// it could not write.
struct WriteResult {
    std::string bytes;
    Diagnostics diagnostics;
};

// After a read that won: each string error it met goes to the list of load
// problems, and gets its box first unless the read of the current layout,
// whose boxes were shown already, met the same one.
void add_string_errors(Diagnostics& out, std::string_view file_name,
                       const std::vector<TextReader::StringError>& errors,
                       const std::vector<TextReader::StringError>& shown);

// The end of every reader: a read that won reports its string errors (with
// `report`), the result keeps them, and the sink has what is left to tell.
template <class Record>
void finish_read(ReadResult<Record>& result, const TextReader& reader, std::string_view file_name,
                 bool report) {
    if (report && result.ok)
        add_string_errors(result.diagnostics, file_name, reader.string_errors(),
                          reader.string_errors());
    result.string_errors = reader.string_errors();
    result.flush();
}

// Tries the older layouts of a kind one after another, each reading the
// file from its start: `try_layout(i)` reads with the i-th and, when the read
// fits, adds what only its layout has to tell. The read of the first that
// fits, its layout `i`, with the warning of the fields it left out; when none
// fits, a failed read whose diagnostics are the kind's error box (with the
// last out-of-range vnum a try met).
template <class Record, class TryLayout>
ReadResult<Record> read_first_fitting_layout(std::size_t layouts, const FileKind& kind,
                                             std::string_view file_name, TryLayout try_layout) {
    ReadNotes range_error;
    for (std::size_t i = 0; i < layouts; ++i) {
        ReadResult<Record> read = try_layout(i);
        if (read.ok) {
            read.layout = static_cast<int>(i);
            read.notes.dropped.add_warning(read.diagnostics, file_name);
            return read;
        }
        if (!read.notes.range_error.empty()) range_error = std::move(read.notes);
    }
    ReadResult<Record> failed;
    add_load_error(failed.diagnostics, kind, range_error);
    return failed;
}

}  // namespace zs
