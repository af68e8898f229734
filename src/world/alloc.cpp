#include "world/alloc.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace zs {

namespace {
[[noreturn]] void allocation_failed() {
    std::fputs("SYSERR: malloc failure\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}
}  // namespace

void install_allocation_failure_handler() {
    std::set_new_handler(allocation_failed);
}

}  // namespace zs
