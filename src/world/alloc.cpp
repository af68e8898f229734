#include "world/alloc.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zs {

namespace {
[[noreturn]] void allocation_failed() {
    std::fputs("SYSERR: malloc failure\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// How much the heap grows at a time. Address space only: pages take memory
// when first written.
constexpr std::size_t kHeapStep = std::size_t{64} << 20;

bool heap_prepared = false;
// The heap below this address has been advised (or was there before).
std::uintptr_t advised_end = 0;
#endif
}  // namespace

void install_allocation_failure_handler() {
    std::set_new_handler(allocation_failed);
}

void prepare_heap() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    if (heap_prepared) return;
    heap_prepared = true;
    advised_end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kHeapStep));
    // Blocks up to a few megabytes, such as the buffers files are read into,
    // come from the heap too and are used again, instead of being mapped and
    // faulted in afresh each time.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    // Grow the heap now, before anything lies in the new part: a 2 MB range
    // that already holds small pages stays on small pages. An allocation just
    // larger than the free top of the heap makes it grow by a step.
    // Through a volatile pointer, or the compiler drops the pair as unused.
    void* volatile grown = std::malloc(mallinfo2().keepcost + 64);
    std::free(grown);
    advise_heap_growth();
#endif
}

void advise_heap_growth() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    if (!heap_prepared) return;
    auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    std::uintptr_t from = (advised_end + kHugePage - 1) & ~(kHugePage - 1);
    std::uintptr_t to = end & ~(kHugePage - 1);
    if (to <= from) return;
    // Advice is only advice: where the system has no huge pages to give,
    // nothing changes.
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    advised_end = to;
#endif
}

}  // namespace zs
