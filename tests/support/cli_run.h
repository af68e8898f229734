// Runs zonesmith-cli's commands in the test's own process and keeps what
// they printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zs::test {

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    int status = run_cli(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace zs::test
