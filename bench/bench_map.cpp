// The map over the whole synthetic world (a 181 x 181 grid of rooms with
// exits both ways): the layout of one redraw, a whole redraw of a 900 x 700
// view, and a right-click room creation in a zone with 99 rooms.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "app/map_renderer.h"
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
            load_world_file(ws, f);
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

void BM_MapRedraw(benchmark::State& state) {
    LoadedWorld w;
    MapRenderer renderer;
    QImage buffer(900, 700, QImage::Format_RGB32);
    MapLayout layout;
    for (auto _ : state) {
        MapRenderer::fill_background(buffer, w.view.split_line, 700 - 156, true);
        lay_out_map(w.ws.world(), w.view, layout);
        renderer.draw_map(buffer, w.ws.world(), layout, w.view);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_MapRedraw)->Unit(benchmark::kMillisecond);

// A zone of 99 rooms in a row; a right-click east of the last one.
void BM_RightClickCreate(benchmark::State& state) {
    NullUi ui;
    Workspace ws(ui);
    ws.world().reserve_room_block(50);
    for (int i = 0; i < 99; ++i) {
        Room r = make_new_room(static_cast<Vnum>(5000 + i), 50);
        auto exit_to = [](int vnum) {
            Exit e;
            e.destination = static_cast<Vnum>(vnum);
            return e;
        };
        if (i > 0) r.exits[kWest] = exit_to(5000 + i - 1);
        if (i < 98) r.exits[kEast] = exit_to(5000 + i + 1);
        ws.world().append(std::move(r));
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
        ws.world().delete_room(5099, true);
        session.select_room(ws, ws.world().find_room(5098));
        session.lay_out(ws.world());  // the redraw that follows in the window
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RightClickCreate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zs::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
