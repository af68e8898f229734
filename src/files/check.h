// The area checker: the problems a builder wants to know of before the game
// boots, found in the loaded tables. Each problem names the file and line it
// stands on, as the loading noted them.
#pragma once

#include <map>
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

    // The place of the record in `slot` of a table; file "?" when unknown.
    Place place(TableKind kind, int slot) const;

private:
    std::map<std::pair<TableKind, int>, Place> places_;
};

struct Problem {
    std::string file;
    int line;
    std::string message;
    std::string text() const;  // "file:line: message"
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

// The zone numbers of the area files in the area directory, ascending: the
// files the game reads, named "<zone>.wld" and the like ("012.wld" is not).
std::vector<int> zones_in_area_dir(const Workspace& ws);

}  // namespace zs
