#include "files/file_zone.h"

#include <algorithm>
#include <set>
#include <vector>

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "files/zone_commands.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

// Written after every command; the reader ignores whatever follows the fields.
constexpr std::string_view kSavedComment = " \t(This was saved in Zonesmith)";

// A one-line text: everything before the first "~", or the whole line.
std::string line_text(std::string_view line) {
    return std::string(line.substr(0, line.find('~')));
}

// Reads the fields that follow a command's letter into `c`; false when the
// number of fields read is not one this kind of command takes.
bool read_command_fields(Zcmd& c, std::string_view fields) {
    // If-flag first, then the arguments.
    std::int32_t n[7];
    auto take = [&](int count) {
        c.if_flag = n[0];
        std::copy(n + 1, n + count, c.arg.begin());
    };
    switch (c.command) {
        case 'D':
            if (scan_numbers(fields, n, 4) != 4) return false;
            take(4);
            return true;
        case 'R':
            if (scan_numbers(fields, n, 3) != 3) return false;
            take(3);
            return true;
        case 'G': {
            // Stock files write G with three numbers: it then has no third argument.
            int got = scan_numbers(fields, n, 5);
            if (got != 5 && got != 3) return false;
            take(got);
            return true;
        }
        case 'V': {
            auto& a = c.arg;
            std::string_view word1, word2;
            if (scan(fields, " %d %d %d %d %d %s %s", &c.if_flag, &a[0], &a[1], &a[2], &a[3],
                     &word1, &word2) != 7)
                return false;
            c.sarg1 = word1;
            c.sarg2 = word2;
            return true;
        }
        default:
            if (scan_numbers(fields, n, 7) != 7) return false;
            take(7);
            return true;
    }
}

}  // namespace

ReadResult<Zedit> read_zone(std::string_view bytes, std::string_view /*file_name*/,
                            ReadSink<Zedit>* sink) {
    ReadResult<Zedit> result(sink);
    // The detail, and the line it names.
    auto fail = [&result](const std::string& detail, int line = 0) {
        add_load_error(result.diagnostics, file_kind(TableKind::Zone), detail,
                       Diagnostic::kAfterAll, line);
        return result;
    };
    TextReader reader(bytes);
    std::string_view line;
    {
        // Nothing but blank and comment lines: an empty file.
        TextReader probe = reader;
        if (probe.read_line(line) == 0) return fail("Zone is empty!");
    }

    Zedit z;
    int consumed = reader.read_line(line);
    if (consumed == 0 || scan(line, "#%hd", &z.number) != 1)
        return fail(strfmt("Format error in zone file, line %d", consumed), consumed);
    if (z.number < 0)
        return fail(zone_number_error(z.number, reader.line_number()), reader.line_number());
    bool header_ok = true;
    for (std::string* text : {&z.name, &z.roleplay_name, &z.third_text}) {
        if (reader.read_line(line) == 0) {
            header_ok = false;
            break;
        }
        *text = line_text(line);
    }
    header_ok =
        header_ok && reader.read_line(line) > 0 &&
        scan(line, " %hd %d %d %d ", &z.top, &z.lifespan, &z.reset_mode, &z.zone_value) == 4;
    if (!header_ok) return fail(strfmt("Format error in 4-constant line of %s", z.name.c_str()));

    std::string_view bad;
    auto fields = [](Zcmd& c, std::string_view text) { return read_command_fields(c, text); };
    switch (read_command_lines(reader, z, fields, bad)) {
        case CommandsEnd::Marker:
            result.add(std::move(z));
            result.ok = true;
            return result;
        case CommandsEnd::BadLine:
            return fail(strfmt("Format error in %s, line %d: '%s'", z.name.c_str(),
                               reader.line_number(), std::string(bad).c_str()),
                        reader.line_number());
        case CommandsEnd::EndOfFile:
            break;
    }
    return fail(strfmt("Format error in %s - premature end of file", z.name.c_str()));
}

WriteResult write_zone(const Zedit& z) {
    AreaWriter w;
    Diagnostics diagnostics;
    auto text_or = [&w](const std::string& text, std::string_view fallback) {
        w.raw(text.empty() ? fallback : std::string_view(text)).ch('~').nl();
    };
    w.ch('#').num(z.number).nl();
    text_or(z.name, "undefined");
    text_or(z.roleplay_name, "a nameless area");
    text_or(z.third_text, "none");
    w.num(z.top).sp(z.lifespan).sp(z.reset_mode).sp(z.zone_value).nl();

    for (const Zcmd& c : z.commands) {
        const auto& a = c.arg;
        switch (c.command) {
            case 'M':
            case 'O':
            case 'E':
            case 'P':
            case 'D':
            case 'T':
                w.ch(c.command).sp(c.if_flag);
                for (std::int32_t v : a)
                    w.sp(v);
                break;
            case 'G':
            case 'R':
                // Their third number is never read back: always -1 on disk.
                w.ch(c.command).sp(c.if_flag).sp(a[0]).sp(a[1]).sp(-1).sp(a[3]).sp(a[4]).sp(a[5]);
                break;
            case 'V':
                // A word is read with %s, which needs at least one character:
                // an empty word goes out as "none" so that the line reads back.
                w.ch('V').sp(c.if_flag).sp(a[0]).sp(a[1]).sp(a[2]).sp(a[3]).ch(' ');
                w.raw(c.sarg1.empty() ? "none" : std::string_view(c.sarg1)).ch(' ');
                w.raw(c.sarg2.empty() ? "none" : std::string_view(c.sarg2));
                break;
            case '*':
                continue;
            default:
                add_message(diagnostics,
                            strfmt("SYSERR: save_zedit: Unknown cmd '%c' - NOT saving", c.command));
                continue;
        }
        w.raw(kSavedComment).nl();
    }
    w.ch('S').nl().ch('$').nl();
    return {std::move(w.bytes()), std::move(diagnostics)};
}

}  // namespace zs
