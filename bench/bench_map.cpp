// The map over the whole synthetic world (a 181 x 181 grid of rooms with
// exits both ways): the layout of one redraw, a whole redraw of a 900 x 700
// view, a right-click room creation in a zone with 99 rooms, and the refresh
// of the problems dock over the whole world.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTreeWidget>

#include "app/map_renderer.h"
#include "app/problems_panel.h"
#include "appkit/workspace_signals.h"
#include "files/area_files.h"
#include "files/file_wld.h"
#include "map/map_layout.h"
#include "map/map_session.h"
#include "synthetic.h"
#include "world/workspace.h"

namespace zs::bench {
namespace {

// The synthetic world loaded, room 16380 (mid-grid) selected and centred.
struct LoadedWorld {
    NullUi ui;
    Workspace ws{ui};
    MapView view;
    LoadedWorld() {
        for (const auto& f : synthetic_world().world.paths)
            load_area_file(ws, f);
        ws.world().select_slot(ws.world().find_room(16380));
        view.client_width = 900 - 206;
        view.split_line = 700 - 350;
        centre_selected_room(ws.world(), view);
    }
};

void BM_MapLayout(benchmark::State& state) {
    LoadedWorld w;
    MapLayout layout;  // reused, as the map session reuses its own
    for (auto _ : state) {
        lay_out_map(w.ws.world(), w.view, layout);
        benchmark::DoNotOptimize(layout.items.size());
    }
}
BENCHMARK(BM_MapLayout)->Unit(benchmark::kMillisecond);

// Redraws a 900x700 view of the world as a paint does; the rooms laid out.
std::size_t redraw(benchmark::State& state, LoadedWorld& w) {
    MapRenderer renderer;
    QImage buffer(900, 700, QImage::Format_RGB32);
    MapLayout layout;
    for (auto _ : state) {
        MapRenderer::fill_background(buffer, w.view.split_line, 700 - 156, true);
        lay_out_map(w.ws.world(), w.view, layout);
        renderer.draw_map(buffer, w.ws.world(), layout, w.view);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    return layout.items.size();
}

void BM_MapRedraw(benchmark::State& state) {
    LoadedWorld w;
    redraw(state, w);
}
BENCHMARK(BM_MapRedraw)->Unit(benchmark::kMillisecond);

// The same redraw at a zoom (quarters of the default grid): fewer rooms in
// the view as it grows, each drawn larger; from 10 on with vnums and titles.
void BM_MapRedrawAtZoom(benchmark::State& state) {
    LoadedWorld w;
    w.view.zoom = static_cast<int>(state.range(0));
    centre_selected_room(w.ws.world(), w.view);
    state.counters["rooms"] = static_cast<double>(redraw(state, w));
}
BENCHMARK(BM_MapRedrawAtZoom)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(12)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);

// A zone of 99 rooms in a row; a right-click east of the last one.
void BM_RightClickCreate(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    TableLoad(ws).world().reserve(50);
    for (int i = 0; i < 99; ++i) {
        Room r = make_new_room(static_cast<Vnum>(5000 + i), 50);
        auto exit_to = [](int vnum) {
            Exit e;
            e.destination = static_cast<Vnum>(vnum);
            return e;
        };
        if (i > 0) r.exits[kWest] = exit_to(5000 + i - 1);
        if (i < 98) r.exits[kEast] = exit_to(5000 + i + 1);
        TableLoad(ws).world().append(std::move(r));
    }
    MapSession session(ws.options());
    session.view().client_width = 694;
    session.view().split_line = 350;
    int last = ws.world().find_room(5098);
    session.select_room(ws, last);
    centre_selected_room(ws.world(), session.view());
    session.lay_out(ws.world());
    int px = session.view().anchor_x - session.view().scroll_x + 25;
    int py = session.view().anchor_y - session.view().scroll_y + 9;
    for (auto _ : state) {
        session.right_button_down(ws, px, py, {});
        state.PauseTiming();
        {
            Transaction tx(ws, "Delete Room 5099");
            tx.world().delete_room(5099);
            tx.commit();
        }
        session.select_room(ws, ws.world().find_room(5098));
        session.lay_out(ws.world());  // the redraw that follows in the window
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RightClickCreate)->Unit(benchmark::kMicrosecond);

// What the problems dock does after an edit step once the builder pauses:
// the checker over all four kinds of the 327 zones, then the list filled
// anew. The files' lines are noted by the first check, before the loop.
void BM_ProblemsRefresh(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    ws.set_area_dir(synthetic_world().dir);
    for (const FileSet* set : {&synthetic_world().world, &synthetic_world().objects,
                               &synthetic_world().mobiles, &synthetic_world().zones})
        for (const auto& f : set->paths)
            load_area_file(ws, f);
    WorkspaceSignals workspace_signals(ws);
    ProblemsPanel panel(
        workspace_signals, [](int) {}, [](const QString&) {});
    panel.check_now();
    for (auto _ : state)
        panel.check_now();
    state.counters["problems"] = static_cast<double>(panel.list()->topLevelItemCount());
}
BENCHMARK(BM_ProblemsRefresh)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zs::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
