// The generators: a 10,000-room map, the walk alone and the whole run that
// adds the rooms to an empty world as one step.
#include <benchmark/benchmark.h>

#include <memory>

#include "generators/map_generator.h"
#include "generators/random.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

MapRequest big_map(bool up_down) {
    MapRequest r;
    r.rooms = 10000;
    r.zone = 100;  // vnums 10000 to 19999
    r.up_down = up_down;
    r.max_floors = up_down ? 5 : 0;
    return r;
}

void BM_PlanMap10k(benchmark::State& state) {
    MapRequest request = big_map(state.range(0) != 0);
    std::uint64_t seed = 1;
    for (auto _ : state) {
        Random random(seed++);
        benchmark::DoNotOptimize(plan_map(request, random));
    }
}
BENCHMARK(BM_PlanMap10k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GenerateMap10k(benchmark::State& state) {
    MapRequest request = big_map(state.range(0) != 0);
    std::uint64_t seed = 1;
    NullUi ui;
    for (auto _ : state) {
        state.PauseTiming();
        auto ws = std::make_unique<Workspace>(ui);
        Random random(seed++);
        state.ResumeTiming();
        if (generate_map(*ws, request, random) != MapResult::Added)
            state.SkipWithError("the map was not generated");
        state.PauseTiming();
        ws.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GenerateMap10k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zs::bench
