// zonesmith-cli: batch work on area files with the editor's own loaders and
// writers, and no window. run_cli picks the command by name; each command
// has a file of its own (commands.h) over the shared prologue of command.h.
//   convert [--yes] [--dir DIR] [-o DIR] FILE...  load, then save in the current layouts
//   stats [--yes] [--dir DIR] FILE...             per-zone counts of what the files hold
//   check [--yes] [--strict] [--dir DIR] [ZONE...]  errors and warnings to look at first
//   renumber [--yes] [--dir DIR] [-o DIR] OLD NEW  moves a zone with every reference to it
//   resets [--yes] [--dir DIR] ZONE...           what a reset of each zone loads
//   generate-descs [--dir DIR] --vocab FILE... ZONE...  descriptions from vocabularies
//   generate-map [--dir DIR] [--seed S] ZONE ROOMS [FLOORS]  a random map into empty zones
//   download --host HOST --user USER [--dir DIR] ZONE[:KINDS]...  area files from the server
// `zonesmith-cli COMMAND --help` gives each command's whole usage.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zs {

// Whether the process ends with the command: then the loaded world is left
// for the system to reclaim at exit instead of being freed record by record.
enum class ProcessEnd { Continues, WithCommand };

// Runs one command line (without the program name); returns the exit status:
// for convert and stats 0 when every file loaded, without a text the game
// cannot hold, and 1 otherwise; for check 0 when it loaded something and found
// no error (with --strict: no warning either), and 1 otherwise; for renumber
// 0 when the zone moved and every changed file was saved, and 1 otherwise; for
// generate-map 0 when the rooms were made and saved, and 1 otherwise; 2
// for a usage error.
int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            ProcessEnd process_end = ProcessEnd::Continues);

}  // namespace zs
