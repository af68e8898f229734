// A synthetic world for the benchmarks: 327 zones of 100 rooms (every vnum
// 0..32699, a 181 x 181 grid with exits both ways), each room with four exits,
// two extra descriptions and a five-line description; per zone 50 objects,
// 30 mobiles (every third with conversations, every mobile with skills) and a
// zone file of 60 reset commands. All written in the current layouts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zs::bench {

// Each kind's files, one per zone, and their total size.
struct FileSet {
    std::vector<std::string> paths;
    std::size_t bytes = 0;
};

struct SyntheticWorld {
    std::filesystem::path dir;
    FileSet world, objects, mobiles, zones;
};

// Writes the world into a fresh temporary directory once and returns it.
const SyntheticWorld& synthetic_world();

// Writes the world into `dir` (which must exist).
SyntheticWorld write_synthetic_world(const std::filesystem::path& dir);

}  // namespace zs::bench
