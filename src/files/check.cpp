#include "files/check.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <tuple>

#include "files/area_io.h"
#include "files/area_kind.h"
#include "files/check_prototypes.h"
#include "files/file_kinds.h"
#include "files/load_command.h"
#include "files/scan.h"
#include "world/names.h"
#include "world/numbers.h"
#include "world/strfmt.h"
#include "world/text.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {

const char* severity_word(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string Problem::text() const {
    if (line <= 0) return strfmt("%s: %s", file.c_str(), message.c_str());
    return strfmt("%s:%d: %s", file.c_str(), line, message.c_str());
}

std::string Problem::severity_text() const {
    if (line <= 0)
        return strfmt("%s: %s: %s", file.c_str(), severity_word(severity), message.c_str());
    return strfmt("%s:%d: %s: %s", file.c_str(), line, severity_word(severity), message.c_str());
}

namespace {

// The line of each "#vnum" in a file's bytes, the first one of a vnum winning.
std::map<int, int> vnum_lines(std::string_view bytes) {
    std::map<int, int> lines;
    int line = 0;
    std::size_t pos = static_cast<std::size_t>(without_bom(bytes).data() - bytes.data());
    while (pos < bytes.size()) {
        ++line;
        std::size_t nl = bytes.find('\n', pos);
        std::string_view l =
            bytes.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        if (l.size() > 1 && l[0] == '#') {
            std::string_view rest = l.substr(1);
            long long v;
            if (take_number(rest, v) && vnum_in_range(v)) lines.emplace(static_cast<int>(v), line);
        }
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return lines;
}

}  // namespace

void RecordOrigins::note_file(const Workspace& ws, TableKind kind, int first, int end,
                              const std::string& file, std::string_view bytes) {
    std::map<int, int> lines = vnum_lines(bytes);
    for (int s = first; s < end; ++s) {
        int id = area_kind(kind).id_of(ws, s);
        auto it = lines.find(id);
        places_[{kind, s}] = {file, it == lines.end() ? 1 : it->second};
    }
}

void RecordOrigins::note_lines(TableKind kind, const std::string& file, std::string_view bytes) {
    if (int zone = zone_number_from_path(file); zone >= 0) noted_.insert({kind, zone});
    for (auto [id, line] : vnum_lines(bytes))
        by_id_.try_emplace({kind, id}, Place{file, line});
}

void RecordOrigins::forget(TableKind kind, int zone) {
    noted_.erase({kind, zone});
    // The ids of the zone's records: its vnums, or its own number.
    int first = kind == TableKind::Zone ? zone : zone * 100;
    int last = kind == TableKind::Zone ? zone : zone * 100 + 99;
    by_id_.erase(by_id_.lower_bound({kind, first}), by_id_.upper_bound({kind, last}));
}

RecordOrigins::Place RecordOrigins::place(TableKind kind, int slot, int id) const {
    if (auto it = places_.find({kind, slot}); it != places_.end()) return it->second;
    if (id == kNoId) return {"?", 0};
    if (auto it = by_id_.find({kind, id}); it != by_id_.end()) return it->second;
    int zone = kind == TableKind::Zone ? id : zone_of(id);
    return {strfmt("%d.%s", zone, file_kind(kind).extension), 0};
}

namespace {

class Checker {
public:
    Checker(const Workspace& ws, const RecordOrigins& origins) : ws_(ws), origins_(origins) {}

    std::vector<Problem> run() {
        rooms();
        zone_headers();
        commands();
        duplicates();
        return std::move(problems_);
    }

private:
    // A problem of the record in `slot`; `room` is the room to show for it
    // (a room's own vnum for a room's problem), `line` a line of its own.
    void report(TableKind kind, int slot, Severity severity, std::string message, int room = -1,
                int line = 0) {
        int id = area_kind(kind).id_of(ws_, slot);
        RecordOrigins::Place p = origins_.place(kind, slot, id);
        if (kind == TableKind::World) room = id;
        problems_.push_back(
            {p.file, line > 0 ? line : p.line, std::move(message), severity, kind, id, room});
    }
    void error(TableKind kind, int slot, std::string message, int room = -1, int line = 0) {
        report(kind, slot, Severity::Error, std::move(message), room, line);
    }
    void warning(TableKind kind, int slot, std::string message) {
        report(kind, slot, Severity::Warning, std::move(message));
    }

    void long_text(TableKind kind, int slot, const char* what, int vnum, std::string_view text) {
        if (text.size() > kMaxTextLength)
            error(kind, slot,
                  strfmt("%s %d: %s is %zu characters long; the game keeps %zu", kind_word(kind),
                         vnum, what, text.size(), kMaxTextLength));
    }

    static const char* kind_word(TableKind kind) { return file_kind(kind).record_noun; }

    // The zone number a file's name gives, or -1 when it gives none.
    static int file_zone(const std::string& file) {
        std::string name = std::filesystem::path(file).filename().string();
        if (name.empty() || !(name[0] == '-' || (name[0] >= '0' && name[0] <= '9'))) return -1;
        return zone_number_from_path(name);
    }

    void rooms() {
        const WorldTable& world = ws_.world();
        for (int s = 0; s < world.count(); ++s) {
            const Room& r = world.room(s);
            int zone = file_zone(origins_.place(TableKind::World, s).file);
            // The game loads a room from any file; only this editor's saving
            // goes by zone.
            if (zone >= 0 && r.zone != zone)
                warning(TableKind::World, s,
                        strfmt("room %d lies outside zone %d of its file", r.vnum, zone));
            for (int d = 0; d < kNumDirections; ++d) {
                const auto& e = r.exits[d];
                if (!e) continue;
                const char* dir = kDirectionWords[d].data();
                if ((e->exit_flags & kExitIsDoor) && e->door_keywords.empty())
                    warning(TableKind::World, s,
                            strfmt("room %d: the door %s has no keywords", r.vnum, dir));
                // Only a door takes a key; 0 and -1 stand for none.
                if ((e->exit_flags & kExitIsDoor) && e->key != -1 && e->key != 0 &&
                    ws_.objects().find_object(e->key) < 0)
                    error(TableKind::World, s,
                          strfmt("room %d: the door %s needs key %d, which no loaded zone holds",
                                 r.vnum, dir, e->key));
                if (e->destination == -1) continue;  // an exit that leads nowhere on purpose
                int target = world.find_room(e->destination);
                if (target < 0) {
                    error(
                        TableKind::World, s,
                        strfmt("room %d: the exit %s leads to room %d, which no loaded zone holds",
                               r.vnum, dir, e->destination));
                    continue;
                }
                const auto& back = world.room(target).exits[reverse_direction(d)];
                if (!back || back->destination != r.vnum)
                    warning(
                        TableKind::World, s,
                        strfmt("room %d: the exit %s to room %d is one-way (no exit %s leads back)",
                               r.vnum, dir, e->destination,
                               kDirectionWords[reverse_direction(d)].data()));
            }
            long_text(TableKind::World, s, "the title", r.vnum, r.title);
            long_text(TableKind::World, s, "the description", r.vnum, r.description);
            for (const auto& ed : r.extra_descriptions)
                long_text(TableKind::World, s, "an extra description", r.vnum, ed.description);
        }
        for (int s = 0; s < ws_.objects().count(); ++s) {
            const ObjectPrototype& o = ws_.objects().record(s);
            long_text(TableKind::Object, s, "the look description", o.vnum, o.look_description);
            for (const auto& ed : o.extra_descriptions)
                long_text(TableKind::Object, s, "an extra description", o.vnum, ed.description);
        }
        for (int s = 0; s < ws_.mobiles().count(); ++s) {
            const MobilePrototype& m = ws_.mobiles().record(s);
            long_text(TableKind::Mobile, s, "the long description", m.vnum, m.long_description);
            long_text(TableKind::Mobile, s, "the description", m.vnum, m.description);
        }
    }

    // The header of each zedit: texts the game reads back, numbers it
    // knows.
    void zone_headers() {
        const ZoneTable& zones = ws_.zones();
        for (int s = 0; s < zones.count(); ++s) {
            const Zedit& z = zones.zedit(s);
            const std::pair<const char*, const std::string*> texts[] = {
                {"name", &z.name}, {"RP name", &z.roleplay_name}, {"third text", &z.third_text}};
            for (auto [what, text] : texts)
                if (text->size() > kMaxZoneTextLength)
                    error(TableKind::Zone, s,
                          strfmt("zone %d: the %s is %zu characters long; the game reads back "
                                 "%zu at most",
                                 z.number, what, text->size(), kMaxZoneTextLength));
            const std::tuple<const char*, ZoneField, long long> numbers[] = {
                {"top", ZoneField::Top, z.top},
                {"reset mode", ZoneField::ResetMode, z.reset_mode},
                {"lifespan", ZoneField::Lifespan, z.lifespan}};
            for (auto [what, field, value] : numbers)
                if (FieldRange range = zone_number_range(z.number, field); !range.holds(value))
                    warning(TableKind::Zone, s,
                            strfmt("zone %d: the %s %lld lies outside %lld to %lld", z.number, what,
                                   value, range.low, range.high));
        }
    }

    // The numbers of a command that its fields could not be given: a vnum
    // past 16 bits is an error, any other a warning. True when field `f`
    // was reported.
    bool out_of_range(int slot, const Zcmd& c, int f, int room) {
        std::optional<FieldRange> range = command_field_range(c.command, f);
        const std::int32_t value = c.arg[static_cast<std::size_t>(f)];
        if (!range || range->holds(value)) return false;
        std::string label = field_name(c.command, f);
        label[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(label[0])));
        report(TableKind::Zone, slot,
               command_field_is_vnum(c.command, f) ? Severity::Error : Severity::Warning,
               strfmt("%c command: %s %d lies outside %lld to %lld", c.command, label.c_str(),
                      value, range->low, range->high),
               room, c.line);
        return true;
    }

    void commands() {
        const ZoneTable& zones = ws_.zones();
        for (int s = 0; s < zones.count(); ++s) {
            const Zedit& z = zones.zedit(s);
            for (const Zcmd& c : z.commands) {
                // The room a command puts something into, when it names one.
                int into = -1;
                switch (c.command) {
                    case 'M':
                    case 'O':
                        into = c.arg[2];
                        break;
                    case 'D':
                    case 'R':
                        into = c.arg[0];
                        break;
                    default:
                        break;
                }
                // A vnum outside what vnums hold is not looked for as well.
                bool odd[kFirstTextField] = {};
                for (int f = 0; f < kFirstTextField; ++f)
                    odd[f] = out_of_range(s, c, f, into);
                auto need = [&](const char* what, int vnum, bool loaded, int f) {
                    if (!loaded && !odd[f])
                        error(TableKind::Zone, s,
                              strfmt("%c command: %s %d is not in any loaded zone", c.command, what,
                                     vnum),
                              into, c.line);
                };
                const auto& a = c.arg;
                auto room = [&](int f) { need("room", a[f], ws_.world().find_room(a[f]) >= 0, f); };
                auto object = [&](int f) {
                    need("object", a[f], ws_.objects().find_object(a[f]) >= 0, f);
                };
                auto mobile = [&](int f) {
                    need("mobile", a[f], ws_.mobiles().find_mobile(a[f]) >= 0, f);
                };
                switch (c.command) {
                    case 'M':
                        mobile(0);
                        room(2);
                        break;
                    case 'O':
                        object(0);
                        room(2);
                        break;
                    case 'G':
                    case 'E':
                        object(0);
                        break;
                    case 'P':
                        object(0);
                        object(2);
                        break;
                    case 'D':
                        room(0);
                        break;
                    case 'R':
                        room(0);
                        object(1);
                        break;
                    default:
                        break;
                }
            }
        }
    }

    template <class Table>
    void duplicates_in(const Table& table, TableKind kind) {
        for (int s = 0; s < table.count(); ++s) {
            int vnum = table.record(s).vnum;
            int first = table.find(vnum);
            if (first == s) continue;
            RecordOrigins::Place other = origins_.place(kind, first, vnum);
            error(kind, s,
                  strfmt("%s %d is also in %s, line %d", kind_word(kind), vnum, other.file.c_str(),
                         other.line));
        }
    }

    void duplicates() {
        duplicates_in(ws_.world(), TableKind::World);
        duplicates_in(ws_.objects(), TableKind::Object);
        duplicates_in(ws_.mobiles(), TableKind::Mobile);
    }

    const Workspace& ws_;
    const RecordOrigins& origins_;
    std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> check_areas(const Workspace& ws, const RecordOrigins& origins) {
    std::vector<Problem> problems = Checker(ws, origins).run();
    check_prototype_fields(ws, origins, problems);
    return problems;
}

std::vector<int> zones_in_area_dir(const Workspace& ws) {
    std::set<int> zones;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ws.area_dir(), ec)) {
        std::string name = entry.path().filename().string();
        std::string ext = entry.path().extension().string();
        if (ext.size() != 4 || ext[0] != '.' ||
            std::none_of(file_kinds().begin(), file_kinds().end(),
                         [&](const FileKind& k) { return ext.substr(1) == k.extension; }))
            continue;
        std::string stem = entry.path().stem().string();
        if (stem.empty() || stem.find_first_not_of("0123456789") != std::string::npos ||
            stem.size() > 5 || (stem.size() > 1 && stem[0] == '0'))
            continue;
        zones.insert(*whole_number<int>(stem));
    }
    return {zones.begin(), zones.end()};
}

void note_loaded_files(const Workspace& ws, RecordOrigins& origins) {
    for (const AreaKind* kind : area_kinds()) {
        const FileKind& k = kind->words();
        std::set<int> zones;
        for (int s = 0, n = kind->count(ws); s < n; ++s) {
            int id = kind->id_of(ws, s);
            zones.insert(k.table == TableKind::Zone ? id : zone_of(id));
        }
        for (int zone : zones) {
            if (origins.noted(k.table, zone)) continue;
            std::string name = strfmt("%d.%s", zone, k.extension);
            std::optional<std::string> bytes = read_file_bytes(ws.area_dir() / name);
            // A zone with no file yet is noted too: its records stand at line 0.
            origins.note_lines(k.table, name, bytes ? *bytes : std::string());
        }
    }
}

bool load_zones_for_check(Workspace& ws, const std::vector<int>& zones, RecordOrigins& origins,
                          int* loaded) {
    bool all = true;
    for (int zone : zones) {
        for (const AreaKind* kind : area_kinds()) {
            const FileKind& k = kind->words();
            std::string name = strfmt("%d.%s", zone, k.extension);
            std::filesystem::path path = ws.area_dir() / name;
            ReadFailure why;
            std::optional<std::string> bytes = read_file_bytes(path, &why);
            if (!bytes) {
                // A zone need not have every kind; anything else is a fault.
                if (why != ReadFailure::NotFound) {
                    ws.ui().show_message(read_failure_text(why, path, ""));
                    all = false;
                }
                continue;
            }
            int before = kind->count(ws);
            // The bytes read here are the ones loaded and noted.
            if (!load_bytes_of_kind(ws, *kind, path.string(), *bytes)) {
                all = false;
                continue;
            }
            origins.note_file(ws, k.table, before, kind->count(ws), name, *bytes);
            if (loaded) ++*loaded;
        }
    }
    return all;
}

}  // namespace zs
