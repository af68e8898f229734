// The allocation rule: running out of memory ends the program at once with a
// "SYSERR:" line on the error output, so that nothing half-built is saved.
#pragma once

namespace zs {

// Installs the handler; programs call it first thing in main().
void install_allocation_failure_handler();

}  // namespace zs
