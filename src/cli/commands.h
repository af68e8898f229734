// The commands of zonesmith-cli, one file each over the prologue of
// command.h. Each takes the command line (its name first) and gives the exit
// status; run_cli documents them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zs::cli {

using Args = std::vector<std::string>;

int convert(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int stats(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int check(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int renumber(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int resets(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int show(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int generate_descs(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int generate_map(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int download(const Args& args, std::ostream& out, std::ostream& err);
int refs(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);
int find(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end);

}  // namespace zs::cli
