// Area-file load and save over the synthetic world, per kind and whole, and
// room lookup.
#include <benchmark/benchmark.h>

#include <random>

#include "files/area_files.h"
#include "files/check.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "synthetic.h"
#include "world/references.h"
#include "world/search.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

using Loader = bool (*)(Workspace&, const std::string&);
using Saver = bool (*)(Workspace&);

void load_set(Workspace& ws, const FileSet& set, Loader load) {
    for (const auto& f : set.paths)
        load(ws, f);
}

// Loads every file of one kind into a fresh workspace.
void run_load(benchmark::State& state, const FileSet& set, Loader load) {
    NullUi ui;
    for (auto _ : state) {
        auto ws = std::make_unique<Workspace>(ui);
        load_set(*ws, set, load);
        state.PauseTiming();
        ws.reset();  // the teardown is not part of a load
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * set.bytes));
}

// Saves every zone of one kind as one change: format, write, flush, journal, rename.
void run_save(benchmark::State& state, const FileSet& set, Loader load, Saver save) {
    NullUi ui;
    Workspace ws(ui);
    load_set(ws, set, load);
    // A fresh folder each run: files an earlier run left there were not
    // loaded by this workspace, and saving would ask before replacing them.
    auto out = synthetic_world().dir / "saved";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    ws.set_area_dir(out);
    for (auto _ : state)
        if (!save(ws)) state.SkipWithError("not everything was saved");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * set.bytes));
}

void BM_LoadWorldFiles(benchmark::State& s) {
    run_load(s, synthetic_world().world, load_area_file);
}
void BM_LoadObjectFiles(benchmark::State& s) {
    run_load(s, synthetic_world().objects, load_area_file);
}
void BM_LoadMobileFiles(benchmark::State& s) {
    run_load(s, synthetic_world().mobiles, load_area_file);
}
void BM_LoadZoneFiles(benchmark::State& s) {
    run_load(s, synthetic_world().zones, load_area_file);
}
void BM_SaveWorldFiles(benchmark::State& s) {
    run_save(s, synthetic_world().world, load_area_file,
             [](Workspace& w) { return save_every_zone(w, TableKind::World); });
}
void BM_SaveObjectFiles(benchmark::State& s) {
    run_save(s, synthetic_world().objects, load_area_file,
             [](Workspace& w) { return save_every_zone(w, TableKind::Object); });
}
void BM_SaveMobileFiles(benchmark::State& s) {
    run_save(s, synthetic_world().mobiles, load_area_file,
             [](Workspace& w) { return save_every_zone(w, TableKind::Mobile); });
}
void BM_SaveZoneFiles(benchmark::State& s) {
    run_save(s, synthetic_world().zones, load_area_file,
             [](Workspace& w) { return save_every_zone(w, TableKind::Zone); });
}
BENCHMARK(BM_LoadWorldFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadObjectFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMobileFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadZoneFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWorldFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveObjectFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveMobileFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveZoneFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Rooms, objects, mobiles and zedits of all 327 zones. The memory the loaded
// world holds is measured in a fresh process by zonesmith_world_memory.
void BM_LoadWholeWorld(benchmark::State& state) {
    const auto& w = synthetic_world();
    NullUi ui;
    for (auto _ : state) {
        auto ws = std::make_unique<Workspace>(ui);
        load_set(*ws, w.world, load_area_file);
        load_set(*ws, w.objects, load_area_file);
        load_set(*ws, w.mobiles, load_area_file);
        load_set(*ws, w.zones, load_area_file);
        state.PauseTiming();
        ws.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(
        state.iterations() * (w.world.bytes + w.objects.bytes + w.mobiles.bytes + w.zones.bytes)));
}
BENCHMARK(BM_LoadWholeWorld)->Unit(benchmark::kMillisecond);

// Load Full Zone for every zone of the world (all four kinds each).
void BM_LoadAllZones(benchmark::State& state) {
    const auto& w = synthetic_world();
    NullUi ui;
    for (auto _ : state) {
        auto ws = std::make_unique<Workspace>(ui);
        ws->set_area_dir(w.dir);
        for (int zone = 0; zone < 327; ++zone)
            load_all(*ws, zone);
        state.PauseTiming();
        ws.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadAllZones)->Unit(benchmark::kMillisecond);

// Save All of the whole world: four kinds and the settings file, flushed.
void BM_SaveAll(benchmark::State& state) {
    const auto& w = synthetic_world();
    NullUi ui;
    Workspace ws(ui);
    ws.set_area_dir(w.dir);
    for (int zone = 0; zone < 327; ++zone)
        load_all(ws, zone);
    auto out = w.dir / "saved-all";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    ws.set_area_dir(out);
    for (auto _ : state)
        if (!save_all(ws)) state.SkipWithError("not everything was saved");
}
BENCHMARK(BM_SaveAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every zone of the synthetic world loaded as the checker loads them, with
// where each record came from.
struct CheckedWorld {
    NullUi ui;
    Workspace ws{ui};
    RecordOrigins origins;
    CheckedWorld() {
        ws.set_area_dir(synthetic_world().dir);
        std::vector<int> zones(327);
        for (int z = 0; z < 327; ++z)
            zones[static_cast<std::size_t>(z)] = z;
        load_zones_for_check(ws, zones, origins);
    }
};

// The area checker over the whole loaded world.
void BM_CheckWorld(benchmark::State& state) {
    CheckedWorld world;
    Workspace& ws = world.ws;
    std::size_t problems = 0;
    for (auto _ : state)
        problems = check_areas(ws, world.origins).size();
    state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckWorld)->Unit(benchmark::kMillisecond);

// View > Find over the whole loaded world: a text no record holds (every
// text read through), and a vnum.
void BM_FindInWorld(benchmark::State& state) {
    CheckedWorld world;
    Workspace& ws = world.ws;
    const char* query = state.range(0) ? "16350" : "no record holds this";
    std::size_t hits = 0;
    for (auto _ : state)
        hits = find_in_world(ws, query).size();
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindInWorld)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// View > References of a room over the whole loaded world.
void BM_RoomReferences(benchmark::State& state) {
    CheckedWorld world;
    Workspace& ws = world.ws;
    std::size_t refs = 0;
    for (auto _ : state)
        refs = find_references(ws, TableKind::World, 16350).size();
    state.counters["references"] = static_cast<double>(refs);
}
BENCHMARK(BM_RoomReferences)->Unit(benchmark::kMillisecond);

// The text of every zone built in memory, without the disk.
void BM_FormatAllZones(benchmark::State& state) {
    const auto& w = synthetic_world();
    NullUi ui;
    Workspace ws(ui);
    load_set(ws, w.world, load_area_file);
    for (auto _ : state)
        for (int zone = 0; zone < 327; ++zone)
            benchmark::DoNotOptimize(zone_file_text(ws, TableKind::World, zone));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * w.world.bytes));
}
BENCHMARK(BM_FormatAllZones)->Unit(benchmark::kMillisecond);

void BM_FindRoom(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    load_set(ws, synthetic_world().world, load_area_file);
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
