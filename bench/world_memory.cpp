// Loads the whole synthetic world (rooms, zedits, objects and mobiles of all
// 327 zones) in a fresh process and prints the time it took and the peak
// resident memory of the process. The files are written by a child process
// first, so that their making does not count.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "synthetic.h"
#include "world/alloc.h"
#include "world/workspace.h"

int main() {
    zs::prepare_heap();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zonesmith-memory-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    pid_t child = ::fork();
    if (child == 0) {
        zs::bench::write_synthetic_world(dir);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);

    zs::NullUi ui;
    zs::Workspace ws(ui);
    auto start = std::chrono::steady_clock::now();
    for (int zone = 0; zone < 327; ++zone) {
        std::string base = (dir / std::to_string(zone)).string();
        zs::load_area_file(ws, base + ".wld");
        zs::load_area_file(ws, base + ".obj");
        zs::load_area_file(ws, base + ".mob");
        zs::load_area_file(ws, base + ".zon");
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "loaded %d rooms, %d objects, %d mobiles, %d zedits in %.3f s; peak resident %.1f MB\n",
        ws.world().count(), ws.objects().count(), ws.mobiles().count(), ws.zones().count(), seconds,
        static_cast<double>(usage.ru_maxrss) / 1024.0);
    fs::remove_all(dir);
    return 0;
}
