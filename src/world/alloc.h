// The allocation rule: running out of memory ends the program at once with a
// "SYSERR:" line on the error output, so that nothing half-built is saved.
// Also how the heap is set up for loading worlds: loading is mostly first
// touches of fresh memory, so the heap grows in large steps on huge pages.
#pragma once

namespace zs {

// Installs the handler; programs call it first thing in main().
void install_allocation_failure_handler();

// Lets the heap grow in large steps and asks the system for huge pages on it,
// which cuts the page faults of filling it several hundredfold. Programs call
// it once at the start; without it nothing changes but speed.
void prepare_heap();

// Asks for huge pages on the part of the heap that has grown since the last
// call. Cheap; the loaders call it before each file.
void advise_heap_growth();

}  // namespace zs
