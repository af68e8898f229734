// A synthetic world for the benchmarks: 327 zones of 100 rooms (every vnum
// 0..32699), each room with four exits, two extra descriptions and a five-line
// description, written in the current layouts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zs::bench {

struct SyntheticWorld {
    std::filesystem::path dir;
    std::vector<std::string> world_files;  // one per zone
    std::size_t world_bytes = 0;
};

// Writes the world into a fresh temporary directory once and returns it.
const SyntheticWorld& synthetic_world();

}  // namespace zs::bench
