// The area checker: the problems a builder wants to know of before the game
// boots, found in the loaded tables. Each problem names the file and line it
// stands on, as the loading noted them, the record it is about and how grave
// it is: an error where the game would load something broken, a warning where
// the builder may have meant it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "world/change.h"

namespace zs {

class Workspace;

// Where loaded records came from: the file, and the line of each record's
// "#vnum" (or a command's own line).
class RecordOrigins {
public:
    struct Place {
        std::string file;
        int line = 0;
    };

    // Notes the records a file just added: slots [first, end) of the table of
    // `kind`, with the file's bytes to find their lines.
    void note_file(const Workspace& ws, TableKind kind, int first, int end, const std::string& file,
                   std::string_view bytes);

    // Notes the line of each "#vnum" of a file of `kind`, for records found
    // by their vnum: the places of a world that is edited after it loaded,
    // where slots move but vnums stay.
    void note_lines(TableKind kind, const std::string& file, std::string_view bytes);
    // Whether the lines of a zone's file of a kind were noted, and forgetting
    // them (the file was loaded again).
    bool noted(TableKind kind, int zone) const { return noted_.contains({kind, zone}); }
    void forget(TableKind kind, int zone);

    // The place of the record in `slot` of a table, found by slot when the
    // slot was noted, else by its vnum `id`; else the file of its kind and
    // zone ("30.wld") at line 0, or file "?" when `id` is not given.
    Place place(TableKind kind, int slot, int id = kNoId) const;

    static constexpr int kNoId = -100000;

private:
    std::map<std::pair<TableKind, int>, Place> places_;
    std::map<std::pair<TableKind, int>, Place> by_id_;
    std::set<std::pair<TableKind, int>> noted_;
};

enum class Severity {
    Error,    // the game would load something broken
    Warning,  // it may be meant
};

// "error", "warning": the words compilers use.
const char* severity_word(Severity severity);

struct Problem {
    std::string file;
    int line = 0;
    std::string message;
    Severity severity = Severity::Error;
    TableKind kind = TableKind::World;  // the table of the record it is about
    int vnum = -1;                      // that record's vnum (a zedit's number); -1: none
    int room = -1;                      // the room to show for it; -1: none
    // "file:line: message" ("file: message" at line 0).
    std::string text() const;
    // "file:line: error: message", the form editors and build tools read.
    std::string severity_text() const;
};

// Checks everything loaded. The tables must not have changed since the
// origins were noted.
std::vector<Problem> check_areas(const Workspace& ws, const RecordOrigins& origins);

// Loads the zones' files that exist in the area directory (.wld, .obj, .mob,
// .zon for each zone, in that order), noting where each record came from and
// counting the files loaded in `loaded`. Returns false when a file that
// exists did not load.
bool load_zones_for_check(Workspace& ws, const std::vector<int>& zones, RecordOrigins& origins,
                          int* loaded = nullptr);

// Notes the lines of the area directory's file of each zone and kind that has
// records loaded, when not noted yet: where the editor's findings stand.
void note_loaded_files(const Workspace& ws, RecordOrigins& origins);

// The zone numbers of the area files in the area directory, ascending: the
// files the game reads, named "<zone>.wld" and the like ("012.wld" is not).
std::vector<int> zones_in_area_dir(const Workspace& ws);

}  // namespace zs
