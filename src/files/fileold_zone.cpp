// Stock zone files. CircleMUD 3.x: "#zone", "name~", then "bottom top lifespan
// reset-mode" (CircleMUD 3.0 leaves out the bottom vnum). tbaMUD: "#zone",
// "builders~", "name~", then up to ten header fields: bottom, top, lifespan,
// reset mode, four zone-flag words, lowest and highest level. Commands are
// M O E P D with an if-flag and three numbers, G R with two, tbaMUD's T with
// two or three (attach type, trigger, room) and V with three and two words
// (attach type, context, room, name, value); a comment may follow.
//
// The zone's own range is its number: the bottom vnum, tbaMUD's zone flags
// and level range have no place in a zedit, and are named in a warning when
// they say more than that. tbaMUD's builders line is kept as the zedit's
// third text.
#include "files/fileold_zone.h"

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "files/zone_commands.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

// A "name~" line; false when the line has no "~".
bool tilde_line(TextReader& in, std::string& text) {
    std::string_view line;
    if (in.read_line(line) == 0) return false;
    std::size_t tilde = line.find('~');
    if (tilde == std::string_view::npos) return false;
    text = std::string(line.substr(0, tilde));
    return true;
}

bool read_header(std::string_view line, StockZoneLayout layout, Zedit& z, DroppedFields& dropped) {
    std::int32_t n[4];
    int got = scan_numbers(line, n, 4);
    if (layout == StockZoneLayout::TbaMud) {
        if (got != 4) return false;
    } else if (got == 3) {
        // CircleMUD 3.0: no bottom vnum.
        n[3] = n[2];
        n[2] = n[1];
        n[1] = n[0];
    } else if (got != 4) {
        return false;
    }
    if (n[1] < -32768 || n[1] > 32767) return false;
    z.top = static_cast<std::int16_t>(n[1]);
    z.lifespan = n[2];
    z.reset_mode = n[3];

    // What has no place, named when it says more than the zone number does.
    std::string record = strfmt("zone %d", z.number);
    if (got == 4 && n[0] != z.number * 100) dropped.add(record, strfmt("bottom vnum %d", n[0]));
    if (layout == StockZoneLayout::TbaMud) {
        std::string_view rest = line;
        long long skipped;
        for (int i = 0; i < 4; ++i)
            take_number(rest, skipped);
        std::string_view word;
        std::uint32_t flags = 0;
        for (int i = 0; i < 4 && next_word(rest, word); ++i)
            flags |= flags_from_word(word);
        if (flags != 0) dropped.add(record, "zone flags");
        long long lowest = -1, highest = -1;
        if (take_number(rest, lowest)) take_number(rest, highest);
        if (lowest != -1 || highest != -1)
            dropped.add(record, strfmt("level range %lld to %lld", lowest, highest));
    }
    return true;
}

bool read_command(std::string_view fields, StockZoneLayout layout, Zcmd& c) {
    auto& a = c.arg;
    std::int32_t n[4];
    switch (c.command) {
        case 'M':
        case 'O':
        case 'E':
        case 'P':
        case 'D':
            if (scan_numbers(fields, n, 4) != 4) return false;
            c.if_flag = n[0];
            a[0] = n[1];
            a[1] = n[2];
            a[2] = n[3];
            return true;
        case 'G':
        case 'R':
            if (scan_numbers(fields, n, 3) != 3) return false;
            c.if_flag = n[0];
            a[0] = n[1];
            a[1] = n[2];
            return true;
        case 'T': {
            if (layout != StockZoneLayout::TbaMud) return false;
            int got = scan_numbers(fields, n, 4);
            if (got < 3) return false;
            c.if_flag = n[0];
            a[0] = n[1];
            a[1] = n[2];
            a[2] = got == 4 ? n[3] : 0;
            return true;
        }
        case 'V': {
            if (layout != StockZoneLayout::TbaMud) return false;
            std::string_view name, value;
            if (scan(fields, " %d %d %d %d %s %s", &c.if_flag, &a[0], &a[1], &a[2], &name,
                     &value) != 6)
                return false;
            c.sarg1 = name;
            c.sarg2 = value;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

ReadResult<Zedit> read_stock_zone(std::string_view bytes, StockZoneLayout layout) {
    ReadResult<Zedit> result;
    ReadNotes& n = result.notes;
    TextReader in(bytes);
    Zedit z;
    std::string_view line;
    std::int16_t number;
    if (in.read_line(line) == 0 || scan(line, "#%hd", &number) != 1) return result;
    if (number < 0) {
        n.range_error = zone_number_error(number, in.line_number());
        n.range_error_line = in.line_number();
        return result;
    }
    z.number = number;
    if (layout == StockZoneLayout::TbaMud && !tilde_line(in, z.third_text)) return result;
    if (!tilde_line(in, z.name)) return result;
    if (in.read_line(line) == 0 || !read_header(line, layout, z, n.dropped)) return result;
    std::string_view bad;
    auto fields = [layout](Zcmd& c, std::string_view text) {
        return read_command(text, layout, c);
    };
    if (read_command_lines(in, z, fields, bad) != CommandsEnd::Marker) return result;
    result.records.push_back(std::move(z));
    result.ok = true;
    return result;
}

ReadResult<Zedit> read_older_zone(std::string_view bytes, std::string_view file_name) {
    // The layouts in the order they are tried, which is their numbering.
    constexpr StockZoneLayout kTried[] = {StockZoneLayout::TbaMud, StockZoneLayout::Circle};
    return read_first_fitting_layout<Zedit>(
        std::size(kTried), file_kind(TableKind::Zone), file_name,
        [&](std::size_t i) { return read_stock_zone(bytes, kTried[i]); });
}

}  // namespace zs
