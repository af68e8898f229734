// zonesmith-cli entry point; the commands live in cli.cpp.
#include <iostream>

#include "cli/cli.h"
#include "files/area_change.h"
#include "world/alloc.h"

int main(int argc, char** argv) {
    zs::install_allocation_failure_handler();
    zs::prepare_heap();
    zs::ignore_file_size_signal();
    std::vector<std::string> args(argv + 1, argv + argc);
    return zs::run_cli(args, std::cout, std::cerr, zs::ProcessEnd::WithCommand);
}
