// printf-style formatting into a std::string, for the program's message texts.
#pragma once

#include <string>

namespace zs {

std::string strfmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zs
