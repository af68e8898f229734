#include "files/file_wld.h"

#include <vector>

#include "files/area_io.h"
#include "files/file_kinds.h"
#include "files/scan.h"
#include "world/names.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

const WorldLayout kCurrentWorldLayout = {4, false, 1, 5, 3, 6, false};

namespace {

// Reads the rooms of one file. Errors carry an optional detail for the box.
class WorldParser {
public:
    WorldParser(ReadResult<Room>& out, TextReader& in, const WorldLayout& layout, bool converting)
        : out_(out), in_(in), layout_(layout), converting_(converting) {}

    // True on success; on failure `detail` may say more than the plain box.
    bool run(std::string& detail);
    // The file ended where a room could begin: a failure without the box.
    bool ended_between_rooms = false;

private:
    bool read_room(Vnum vnum, std::string& detail);
    bool read_exit(Room& room, std::string_view line, std::string& detail);
    // A silent try tells of no string error; the loader tells of those of the
    // try that wins.
    void note_string_error(std::size_t before) {
        if (!converting_ && in_.string_errors().size() > before)
            add_string_error(out_.diagnostics, in_.file_name(), in_.string_errors().back(),
                             out_.count());
    }
    Text text() {
        std::size_t before = in_.string_errors().size();
        Text t = in_.read_text();
        note_string_error(before);
        return t;
    }
    std::string string_text() {
        std::size_t before = in_.string_errors().size();
        std::string t = in_.read_tilde_text();
        note_string_error(before);
        return t;
    }
    bool vnum_field(long long value, Vnum& out, std::string& detail);
    std::string record(const Room& room) const { return strfmt("room %d", room.vnum); }

    ReadResult<Room>& out_;
    TextReader& in_;
    const WorldLayout& layout_;
    bool converting_;
};

bool WorldParser::vnum_field(long long value, Vnum& out, std::string& detail) {
    if (!vnum_in_range(value)) {
        detail = vnum_field_error(value, in_.line_number());
        return false;
    }
    out = static_cast<Vnum>(value);
    return true;
}

bool WorldParser::run(std::string& detail) {
    std::string_view line;
    for (;;) {
        if (in_.read_line(line) == 0) {
            ended_between_rooms = true;
            return false;
        }
        if (line[0] == '$') return true;
        long long number;
        std::string_view rest = line.substr(1);
        if (line[0] != '#' || !take_number(rest, number)) return false;
        if (layout_.ends_at_99999 && number == 99999) return true;
        if (!record_vnum_in_range(number)) {
            detail = record_vnum_error(number, in_.line_number());
            return false;
        }
        in_.set_record("room", number);
        if (!read_room(static_cast<Vnum>(number), detail)) return false;
    }
}

bool WorldParser::read_room(Vnum vnum, std::string& detail) {
    Room room;
    room.vnum = vnum;
    room.zone = static_cast<std::int16_t>(zone_of(vnum));
    room.title = text();
    room.description = text();
    if (layout_.room_texts >= 3) room.extra_text = text();
    if (layout_.room_texts >= 4) room.side_text = text();

    std::string_view line;
    if (in_.read_line(line) == 0) return false;
    std::string_view flags;
    // "zone flags sector" in the stock layout; today's line adds climate,
    // mine kind, fly up, fly down, fall, height and nation.
    std::string_view rest = line;
    long long zone_field;
    if (!take_number(rest, zone_field) || zone_field < INT32_MIN || zone_field > INT32_MAX ||
        !next_word(rest, flags) || !flag_word_fits(flags))
        return false;
    if (layout_.stock_room_line) {
        // tbaMUD's second to fourth flag words: the game keeps 32 room flags.
        for (int i = 1; i < layout_.flag_words; ++i) {
            std::string_view more;
            if (!next_word(rest, more) || !flag_word_fits(more)) return false;
            if (flags_from_word(more) != 0)
                out_.notes.dropped.add(record(room), "room flags beyond the first 32");
        }
        if (scan_numbers(rest, &room.sector, 1) != 1) return false;
        room.nation = 0;
    } else {
        std::int32_t f[8];
        if (scan_numbers(rest, f, 8) != 8) return false;
        room.sector = f[0];
        room.climate = f[1];
        room.mine_kind = f[2];
        room.fly_up_room = f[3];
        room.fly_down_room = f[4];
        room.fall_room = f[5];
        room.height = f[6];
        room.nation = f[7];
    }
    room.room_flags = flags_from_word(flags);

    if (layout_.line_b_fields > 0) {
        if (in_.read_line(line) == 0) return false;
        std::int32_t b[5] = {0, 0, 0, -1, 0};
        if (scan_numbers(line, b, layout_.line_b_fields) != layout_.line_b_fields) return false;
        room.mine_amount = b[0];
        room.mine_reset = b[1];
        room.mine_resource = b[2];
        room.room_size = b[3];
        room.reserved_value = b[4];
    }

    for (;;) {
        if (in_.read_line(line) == 0) return false;
        switch (line[0]) {
            case 'D':
                if (!read_exit(room, line, detail)) return false;
                break;
            case 'E': {
                ExtraDescription ed;
                ed.keyword = string_text();
                ed.description = string_text();
                room.extra_descriptions.push_back(std::move(ed));
                break;
            }
            case 'S': {
                while (in_.peek_non_blank() == 'T') {
                    in_.read_line(line);
                    std::string_view word;
                    std::int32_t trigger;
                    // A trigger line without a number is passed over.
                    if (scan(line, "%s %d", &word, &trigger) == 2) room.add_trigger(trigger);
                }
                out_.add(std::move(room));
                return true;
            }
            default:
                return false;
        }
    }
}

bool WorldParser::read_exit(Room& room, std::string_view line, std::string& detail) {
    std::int32_t dir;
    if (scan(line.substr(1), "%d", &dir) != 1 || dir < 0 || dir >= kNumDirections) return false;
    Exit e;
    e.description = text();
    e.door_keywords = text();
    if (layout_.exit_texts >= 3) e.door_description = text();
    if (in_.read_line(line) == 0) return false;
    long long f[6] = {0, -1, 0, 0, 0, -1};
    std::string_view rest = line;
    for (int i = 0; i < layout_.exit_fields; ++i)
        if (!take_number(rest, f[i])) return false;
    for (int i : {0, 3, 4, 5})
        if (f[i] < INT32_MIN || f[i] > INT32_MAX) return false;
    const char* dir_word = kDirectionWords[dir].data();
    if (converting_) {
        // Other worlds number their rooms and objects past 16 bits: such an
        // exit cannot be held, and the rest of the room still can.
        if (!vnum_in_range(f[2]) || !vnum_in_range(f[1])) {
            out_.notes.dropped.add(
                record(room),
                !vnum_in_range(f[2])
                    ? strfmt("the exit %s to room %lld (outside -32768 to 32767)", dir_word, f[2])
                    : strfmt("the exit %s with key %lld (outside -32768 to 32767)", dir_word,
                             f[1]));
            return true;
        }
        if (f[0] < 0 || f[0] > 2)
            out_.notes.dropped.add(record(room),
                                   strfmt("door kind %lld of the exit %s", f[0], dir_word));
    }
    if (!vnum_field(f[1], e.key, detail) || !vnum_field(f[2], e.destination, detail)) return false;
    e.exit_flags = exit_flags_from_door_kind(static_cast<int>(f[0]));
    e.lock_quality = static_cast<std::int32_t>(f[3]);
    e.door_strength = static_cast<std::int32_t>(f[4]);
    e.exit_size = static_cast<std::int32_t>(f[5]);
    room.exits[dir] = std::move(e);
    return true;
}

}  // namespace

ReadResult<Room> read_world_layout(std::string_view bytes, std::string_view file_name,
                                   const WorldLayout& layout, bool report, ReadSink<Room>* sink) {
    ReadResult<Room> result(sink);
    if (!sink) result.records.reserve(static_cast<std::size_t>(record_lines(bytes)));
    TextReader reader(bytes);
    reader.set_file_name(std::string(file_name));
    std::string detail;
    WorldParser parser(result, reader, layout, !report);
    result.ok = parser.run(detail);
    if (!detail.empty()) result.notes.range_error_line = reader.line_number();
    result.notes.range_error = std::move(detail);
    if (report && !result.ok && !parser.ended_between_rooms)
        add_load_error(result.diagnostics, file_kind(TableKind::World), result.notes);
    finish_read(result, reader, file_name, report);
    return result;
}

ReadResult<Room> read_world(std::string_view bytes, std::string_view file_name,
                            ReadSink<Room>* sink) {
    return read_world_layout(bytes, file_name, kCurrentWorldLayout, true, sink);
}

WriteResult write_world(const WorldTable& world, const std::vector<int>& slots) {
    AreaWriter w;
    auto text_or = [&w](std::string_view t, std::string_view fallback) {
        if (t.empty())
            w.raw(fallback);
        else
            w.text(t);
        w.ch('~').nl();
    };
    for (int s : slots) {
        const Room& r = world.room(s);
        w.ch('#').num(r.vnum).nl();
        text_or(r.title, "Untitled");
        text_or(r.description, "Empty room.");
        text_or(r.extra_text, "none");
        text_or(r.side_text, "");
        w.num(r.zone).ch(' ');
        append_flag_word(w.bytes(), r.room_flags);
        w.sp(r.sector).sp(r.climate).sp(r.mine_kind).sp(r.fly_up_room).sp(r.fly_down_room);
        w.sp(r.fall_room).sp(r.height).sp(r.nation).nl();
        w.num(r.mine_amount).sp(r.mine_reset).sp(r.mine_resource).sp(r.room_size);
        w.sp(r.reserved_value).nl();
        for (int d = 0; d < kNumDirections; ++d) {
            const auto& e = r.exits[d];
            if (!e) continue;
            w.ch('D').num(d).nl();
            text_or(e->description, "");
            text_or(e->door_keywords, "");
            text_or(e->door_description, "");
            w.num(door_kind_from_exit_flags(e->exit_flags)).sp(e->key).sp(e->destination);
            w.sp(e->lock_quality).sp(e->door_strength).sp(e->exit_size).nl();
        }
        for (const auto& ed : r.extra_descriptions) {
            w.ch('E').nl();
            text_or(ed.keyword, "");
            text_or(ed.description, "");
        }
        w.ch('S').nl();
        for (std::int32_t t : r.triggers)
            w.raw("T ").num(t).nl();
    }
    w.raw("$~").nl();
    return {std::move(w.bytes()), {}};
}

std::string write_room_colours(const WorldTable& world, const std::vector<int>& slots) {
    AreaWriter w;
    for (int s : slots) {
        const Room& r = world.room(s);
        if (r.room_colour > 0) w.raw("Col: ").num(r.vnum).sp(r.room_colour).nl();
    }
    return std::move(w.bytes());
}

std::vector<RoomColour> read_room_colours(std::string_view bytes) {
    std::vector<RoomColour> colours;
    TextReader reader(bytes);
    std::string_view line;
    while (reader.read_line(line) > 0) {
        if (!line.starts_with("Col:")) continue;
        std::int32_t vnum, colour;
        if (scan(line, "Col: %d %d", &vnum, &colour) != 2) continue;
        // Colours index the map's bitmaps; anything else is damage.
        if (colour < 0 || colour >= kRoomColours || !vnum_in_range(vnum)) continue;
        colours.push_back({static_cast<Vnum>(vnum), colour});
    }
    return colours;
}

}  // namespace zs
