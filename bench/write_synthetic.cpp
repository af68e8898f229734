// Writes the benchmarks' synthetic world into a directory, so that programs
// can be timed on it in fresh processes (see bench/README.md).
#include <cstdio>
#include <filesystem>

#include "synthetic.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zonesmith_write_synthetic DIR\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const auto w = zs::bench::write_synthetic_world(dir);
    std::printf(
        "%zu world files (%zu bytes), %zu object files (%zu bytes), %zu mobile files (%zu "
        "bytes), %zu zone files (%zu bytes) in %s\n",
        w.world.paths.size(), w.world.bytes, w.objects.paths.size(), w.objects.bytes,
        w.mobiles.paths.size(), w.mobiles.bytes, w.zones.paths.size(), w.zones.bytes,
        dir.string().c_str());
    return 0;
}
