// The edit history on the synthetic world: typing (every keystroke an edit
// that merges into the step of its box), a history of 1000 such steps and
// its memory, and undoing and redoing all of it.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "files/area_files.h"
#include "files/file_wld.h"
#include "synthetic.h"
#include "world/edits.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

struct TypedWorld {
    NullUi ui;
    Workspace ws{ui};
    TypedWorld() {
        for (const auto& f : synthetic_world().world.paths)
            load_area_file(ws, f);
    }
    // One step: ten keystrokes into the title of the room with `vnum`.
    void type_step(int vnum) {
        EditOptions typing;
        typing.merge = {TableKind::World, vnum, 1};
        for (char c : std::string("new title!"))
            edit_room(
                ws, vnum, "Typing", [c](Room& r) { r.title = r.title.str() + c; }, typing);
    }
};

constexpr int kSteps = 1000;

void BM_TypingHistory(benchmark::State& state) {
    TypedWorld w;
    double heap = 0, history = 0;
    for (auto _ : state) {
        std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < kSteps; ++i)
            w.type_step(i * 32);  // rooms spread over the whole world
        state.PauseTiming();
        heap = static_cast<double>(mallinfo2().uordblks - before);
        history = static_cast<double>(w.ws.history().bytes());
        while (w.ws.undo()) {
        }
        w.ws.clear_history();
        w.ws.modified().clear_all();
        state.ResumeTiming();
    }
    state.counters["keystrokes"] =
        benchmark::Counter(kSteps * 10.0, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["history_MB"] = history / 1e6;
    state.counters["heap_growth_MB"] = heap / 1e6;
    state.counters["bytes_per_step"] = history / kSteps;
}
BENCHMARK(BM_TypingHistory)->Unit(benchmark::kMillisecond);

void BM_UndoRedoAll(benchmark::State& state) {
    TypedWorld w;
    for (int i = 0; i < kSteps; ++i)
        w.type_step(i * 32);
    for (auto _ : state) {
        while (w.ws.undo()) {
        }
        while (w.ws.redo()) {
        }
    }
    state.counters["steps"] = static_cast<double>(w.ws.history().step_count());
}
BENCHMARK(BM_UndoRedoAll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zs::bench
