// Zedit (a zone header with its reset commands) and zcmd (one reset command).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zs {

struct Zcmd {
    char command = 'N';  // M O E G P D R T V; '*' comment; 'N' new, kind not chosen
    std::int32_t if_flag = 0;
    std::array<std::int32_t, 6> arg{};  // arg1 .. arg6
    std::int32_t line = 0;              // line in the file it was read from
    std::string sarg1;
    std::string sarg2;
    bool operator==(const Zcmd&) const = default;
};

struct Zedit {
    std::string name;
    std::string roleplay_name;
    std::int32_t lifespan = 0;
    std::int16_t top = 0;
    std::int32_t reset_mode = 0;
    std::int16_t number = -1;
    // The reset commands, without the end marker that files carry.
    std::vector<Zcmd> commands;
    std::string third_text;
    std::int32_t zone_value = 0;
    bool operator==(const Zedit&) const = default;
};

Zedit make_new_zedit(int number);

}  // namespace zs
