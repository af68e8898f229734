// The name tables that room fields index into: sectors, climates, sizes,
// directions, room flags, mine kinds and mine materials.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace zs {

struct Material {
    int number;  // rows with a number of 0 or less are not offered
    std::string_view name;
};

extern const std::array<std::string_view, 10> kSectorNames;
extern const std::array<std::string_view, 8> kClimateNames;
extern const std::array<std::string_view, 4> kMineKindNames;
extern const std::array<std::string_view, 8> kSizeNames;
extern const std::array<std::string_view, 6> kDirectionWords;       // "north" ...
extern const std::array<std::string_view, 6> kDirectionWordsUpper;  // "North" ...
extern const std::array<std::string_view, 26> kRoomFlagNames;
extern const std::array<std::string_view, 2> kNationNames;

constexpr int reverse_direction(int dir) {
    constexpr int kReverse[6] = {2, 3, 0, 1, 5, 4};
    return kReverse[dir];
}

// Material rows of a mine kind (1 metal, 2 stone, 3 gem); empty for others.
std::span<const Material> mine_materials(int mine_kind);

}  // namespace zs
