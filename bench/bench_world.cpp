// World file load and save over the synthetic world, and room lookup.
#include <benchmark/benchmark.h>

#include <random>

#include "files/file_wld.h"
#include "synthetic.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

void load_world(Workspace& ws) {
    for (const auto& f : synthetic_world().world_files)
        load_world_file(ws, f);
}

void BM_LoadAllWorldFiles(benchmark::State& state) {
    const auto& world = synthetic_world();
    NullUi ui;
    for (auto _ : state) {
        Workspace ws(ui);
        load_world(ws);
        benchmark::DoNotOptimize(ws.world().count());
        state.PauseTiming();
        {
            Workspace gone(ui);  // keep the destruction of `ws` out of the timing
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * world.world_bytes));
}
BENCHMARK(BM_LoadAllWorldFiles)->Unit(benchmark::kMillisecond);

void BM_SaveAllZones(benchmark::State& state) {
    const auto& world = synthetic_world();
    NullUi ui;
    Workspace ws(ui);
    load_world(ws);
    auto out = world.dir / "saved";
    std::filesystem::create_directories(out);
    ws.set_area_dir(out);
    for (auto _ : state)
        benchmark::DoNotOptimize(save_all_worlds(ws));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * world.world_bytes));
}
BENCHMARK(BM_SaveAllZones)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text of every zone built in memory, without the disk.
void BM_FormatAllZones(benchmark::State& state) {
    const auto& world = synthetic_world();
    NullUi ui;
    Workspace ws(ui);
    load_world(ws);
    for (auto _ : state)
        for (int zone = 0; zone < 327; ++zone)
            benchmark::DoNotOptimize(world_file_text(ws, zone));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * world.world_bytes));
}
BENCHMARK(BM_FormatAllZones)->Unit(benchmark::kMillisecond);

void BM_FindRoom(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    load_world(ws);
    std::mt19937 rng(7);
    std::vector<int> vnums(4096);
    for (auto& v : vnums)
        v = static_cast<int>(rng() % 32700);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ws.world().find_room(vnums[i++ & 4095]));
}
BENCHMARK(BM_FindRoom);

}  // namespace
}  // namespace zs::bench
