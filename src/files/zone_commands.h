// The command part of a zone file, shared by the current and the stock zone
// readers: command lines up to "S" or "$", blanks before the letter allowed,
// "*" lines and blank lines passed over, each command with its line number.
#pragma once

#include <string_view>

#include "files/scan.h"
#include "world/text.h"
#include "world/zedit.h"

namespace zs {

enum class CommandsEnd { Marker, EndOfFile, BadLine };

// Reads commands into `z` with `read_fields(command, text after the letter)`,
// which says whether the fields were right. On BadLine, `bad_line` holds the
// line and the command's line number is the reader's.
template <class ReadFields>
CommandsEnd read_command_lines(TextReader& in, Zedit& z, ReadFields read_fields,
                               std::string_view& bad_line) {
    std::string_view line;
    while (in.read_line(line) > 0) {
        std::size_t start = 0;
        while (start < line.size() && is_scan_blank(line[start]))
            ++start;
        if (start == line.size()) continue;
        char letter = line[start];
        if (letter == '*') continue;
        if (letter == 'S' || letter == '$') return CommandsEnd::Marker;
        Zcmd c;
        c.command = letter;
        c.line = in.line_number();
        if (!read_fields(c, line.substr(start + 1))) {
            bad_line = line;
            return CommandsEnd::BadLine;
        }
        z.commands.push_back(std::move(c));
    }
    return CommandsEnd::EndOfFile;
}

}  // namespace zs
