// printf-style formatting into a std::string, for the program's message texts.
#pragma once

#include <string>

namespace zs {

std::string strfmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "1 command", "2 commands": a count and its noun, plural past one.
std::string counted(int n, const char* noun);

}  // namespace zs
