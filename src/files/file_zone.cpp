#include "files/file_zone.h"

#include <algorithm>
#include <set>
#include <vector>

#include "files/area_io.h"
#include "files/scan.h"
#include "files/zone_batch.h"
#include "files/zone_commands.h"
#include "world/strfmt.h"
#include "world/text.h"
#include "world/workspace.h"

namespace zs {

namespace {

constexpr std::string_view kConvertQuestion =
    "Zedit failed to load.  Would you like to attempt to load\r\n"
    "the zedit in an older zone format and allow Zonesmith to\r\n"
    "automatically convert the file to the latest format?";

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

bool parse_zone(Workspace& ws, TextReader& reader) {
    UiPort& ui = ws.ui();
    std::string_view line;
    {
        // Nothing but blank and comment lines: an empty file.
        TextReader probe = reader;
        if (probe.read_line(line) == 0) {
            zone_load_error(ui, "Zone is empty!");
            return false;
        }
    }

    Zedit z;
    int consumed = reader.read_line(line);
    if (consumed == 0 || scan(line, "#%hd", &z.number) != 1) {
        zone_load_error(ui, strfmt("Format error in zone file, line %d", consumed));
        return false;
    }
    if (z.number < 0) {
        zone_load_error(ui, zone_number_error(z.number, reader.line_number()));
        return false;
    }
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
    if (!header_ok) {
        zone_load_error(ui, strfmt("Format error in 4-constant line of %s", z.name.c_str()));
        return false;
    }

    std::string_view bad;
    auto fields = [](Zcmd& c, std::string_view text) { return read_command_fields(c, text); };
    switch (read_command_lines(reader, z, fields, bad)) {
        case CommandsEnd::Marker:
            ws.zones().append(std::move(z));
            return true;
        case CommandsEnd::BadLine:
            zone_load_error(ui, strfmt("Format error in %s, line %d: '%s'", z.name.c_str(),
                                       reader.line_number(), std::string(bad).c_str()));
            return false;
        case CommandsEnd::EndOfFile:
            break;
    }
    zone_load_error(ui, strfmt("Format error in %s - premature end of file", z.name.c_str()));
    return false;
}

bool load_zone_file(Workspace& ws, const std::string& path) {
    UiPort& ui = ws.ui();
    ZoneTable& zones = ws.zones();
    int zone = zone_number_from_path(path);
    if (zone > 0 && zones.find_zedit(zone) >= 0) {
        ui.show_message(strfmt("Zone %d already loaded.", zone));
        return false;
    }
    bool reserved = zones.reserve_zedit_block(zone);

    ReadFailure why;
    std::optional<std::string> data = read_file_bytes(path, &why);
    if (!data) {
        if (reserved) zones.release_zedit_block();
        ui.show_message(read_failure_text(why, path, "Zone file not found."));
        return false;
    }
    TextReader reader(*data);
    if (!parse_zone(ws, reader)) {
        // parse_zone appends only a complete zedit, so only the block is to undo.
        if (reserved) zones.release_zedit_block();
        if (!ui.ask_yes_no(kConvertQuestion)) return false;
        if (!legacy_zone_chain(ws, *data, file_name_of(path), zone)) return false;
    }

    ws.zone_files().remember(TableKind::Zone, zone, path);
    ws.announce_loaded(TableKind::Zone, zone);
    ui.show_status(strfmt("Zedit file for zone %d loaded.", zones.zedit(zones.count() - 1).number));
    return true;
}

std::string zone_file_text(const Zedit& z, UiPort& ui) {
    AreaWriter w;
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
                ui.show_message(
                    strfmt("SYSERR: save_zedit: Unknown cmd '%c' - NOT saving", c.command));
                continue;
        }
        w.raw(kSavedComment).nl();
    }
    w.ch('S').nl().ch('$').nl();
    return std::move(w.bytes());
}

namespace {

// Saves the zedits with these numbers together, each into its own file; true
// when all were written.
bool save_zedits(Workspace& ws, const std::vector<int>& numbers) {
    return save_zone_batch(
        ws, TableKind::Zone, "zon", numbers,
        [&](std::size_t i) {
            return zone_file_text(ws.zones().zedit(ws.zones().find_zedit(numbers[i])), ws.ui());
        },
        [](std::size_t) { return 1; }, [](const SaveError&) { return "Error saving zedit file."; });
}

}  // namespace

bool save_zone_file(Workspace& ws, int zone) {
    if (ws.zones().find_zedit(zone) < 0) {
        ws.ui().show_message("Error saving zone -- zone number not found");
        return false;
    }
    return save_zedits(ws, {zone});
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

bool save_all_zedits(Workspace& ws) {
    const ZoneTable& zones = ws.zones();
    if (zones.empty()) return true;
    // Each zone number once, in the order it first stands in the table.
    std::vector<int> numbers;
    std::set<int> seen;
    for (int s = 0; s < zones.count(); ++s) {
        int number = zones.zedit(s).number;
        if (number >= 0 && seen.insert(number).second) numbers.push_back(number);
    }
    bool all_ok = save_zedits(ws, numbers);
    ws.ui().show_status(all_ok ? "All zedits saved to file." : "Error, not all zedits saved.");
    return all_ok;
}

}  // namespace zs
