// The description generator over 10,000 rooms of one title: composing every
// description and storing them as one step.
#include <benchmark/benchmark.h>

#include "generators/describe.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

constexpr int kRooms = 10000;

constexpr const char* kVocabulary =
    "title: A Dark Cave\n"
    "noun: cave\nadj:\ndark;damp;narrow;low~\nend_verb:\nechoes~\n"
    "noun:\noak;elm;ash~\ntype: general\nadj:\nold;gnarled~\n"
    "noun: stalactites\ntype: sight\nsp: plural countable\nadj:\njagged;pale~\nverb:\nhang over~\n"
    "noun: puddle\ntype: sight\nadj:\nmuddy;still~\nend_verb:\nglistens~\n"
    "noun: bats\ntype: sight\nsp: plural\n"
    "noun: moss\ntype: sight\nadj:\ngreen;thick~\n"
    "noun: dripping\ntype: sound\nadj:\nsteady;faint~\n"
    "noun: wind\ntype: sound\nend_verb:\nmoans~\n"
    "noun: mould\ntype: smell\nadj:\nmusty~\n"
    "noun: earth\ntype: smell\n"
    "noun: chill\ntype: temp\nadj:\nbitter~\n"
    "noun: cold\ntype: temp\n"
    "noun: breeze\ntype: temp\n";

void BM_GenerateDescriptions(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    for (int v = 0; v < kRooms; ++v) {
        Room r = make_new_room(static_cast<Vnum>(v), zone_of(v));
        r.title = "A Dark Cave";
        if (v % 100 != 99) {
            Exit e;
            e.destination = static_cast<Vnum>(v + 1);
            r.exits[kEast] = e;
        }
        TableLoad(ws).world().append(r);
    }
    Vocabulary vocabulary;
    RunMessages messages(ui);
    read_vocabulary(vocabulary, kVocabulary, "cave.txt", messages);
    Random random(1);
    for (auto _ : state) {
        DescriptionRun run = generate_descriptions(ws, random, vocabulary, messages);
        benchmark::DoNotOptimize(run);
        state.PauseTiming();
        ws.undo();
        ws.clear_history();
        state.ResumeTiming();
    }
    state.counters["rooms"] =
        benchmark::Counter(kRooms, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GenerateDescriptions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zs::bench
