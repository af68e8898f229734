#include "files/file_zone.h"

#include <algorithm>
#include <set>
#include <vector>

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "files/zone_batch.h"
#include "files/zone_commands.h"
#include "world/strfmt.h"
#include "world/text.h"
#include "world/workspace.h"

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

ReadResult<Zedit> read_zone(std::string_view bytes, std::string_view /*file_name*/) {
    ReadResult<Zedit> result;
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
            result.records.push_back(std::move(z));
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

bool load_zone_file(Workspace& ws, const std::string& path) {
    return file_kind(TableKind::Zone).load(ws, path);
}

bool load_zone_bytes(Workspace& ws, const std::string& path, std::string_view bytes) {
    UiPort& ui = ws.ui();
    const FileKind& kind = file_kind(TableKind::Zone);
    ZoneTable& zones = ws.zones();
    int zone = zone_number_from_path(path);
    if (refuse_loaded_zone(ws, kind, zone)) return false;

    std::string name = file_name_of(path);
    // A read gives one complete zedit or none: only a zedit that read is
    // appended, so a failure has nothing to undo.
    ReadResult<Zedit> read = read_zone(bytes, name);
    show_diagnostics(ui, read.diagnostics);
    if (!read.ok) {
        if (!ui.ask_yes_no(kind.convert_question)) return false;
        read = read_older_zone(bytes, name);
        if (read.ok) zones.reserve_zedit_block(zone);
        for (Zedit& z : read.records)
            zones.append(std::move(z));
        show_diagnostics(ui, read.diagnostics);
        if (!read.ok) return false;
        ui.show_message(kind.conversion_success, "Success");
    } else {
        zones.reserve_zedit_block(zone);
        for (Zedit& z : read.records)
            zones.append(std::move(z));
    }

    ws.zone_files().remember(TableKind::Zone, zone, path);
    ws.announce_loaded(TableKind::Zone, zone);
    ui.show_status(strfmt("Zedit file for zone %d loaded.", zones.zedit(zones.count() - 1).number));
    return true;
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

std::string zone_file_text(const Zedit& z, UiPort& ui) {
    WriteResult written = write_zone(z);
    show_diagnostics(ui, written.diagnostics);
    return std::move(written.bytes);
}

void stage_zedit_files(Workspace& ws, AreaChange& change, const std::vector<int>& numbers,
                       Staging& out) {
    stage_zone_batch(
        change, "zon", numbers,
        [&](std::size_t i) {
            return zone_file_text(ws.zones().zedit(ws.zones().find_zedit(numbers[i])), ws.ui());
        },
        [](const SaveError&) { return file_kind(TableKind::Zone).save_error; }, out);
}

bool save_zone_file(Workspace& ws, int zone) {
    if (ws.zones().find_zedit(zone) < 0) {
        ws.ui().show_message("Error saving zone -- zone number not found");
        return false;
    }
    return save_zone_files(ws, TableKind::Zone, {zone});
}

bool save_current_zedit(Workspace& ws) {
    const Zedit* selected = ws.zones().selected_zedit();
    if (!selected) {
        ws.ui().show_status("No zedit selected; nothing saved.");
        return false;
    }
    int zone = selected->number;
    if (!save_zone_file(ws, zone)) {
        ws.ui().show_status("Error, zedit not saved.");
        return false;
    }
    ws.ui().show_status(strfmt("Zedit for zone %d saved to file.", zone));
    return true;
}

}  // namespace zs
