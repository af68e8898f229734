// zonesmith-cli: batch work on area files with the editor's own loaders and
// writers, and no window.
//   convert [--yes] [-o DIR] FILE...   load files, save them in the current layouts
//   stats [--yes] FILE...              per-zone counts of what the files hold
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zs {

// Runs one command line (without the program name); returns the exit status:
// 0 when every file loaded, 1 otherwise, 2 for a usage error.
int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zs
