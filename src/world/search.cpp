#include "world/search.h"

#include <algorithm>
#include <optional>

#include "world/box_numbers.h"
#include "world/colour_codes.h"
#include "world/names.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {

namespace {

constexpr char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A text as find compares it: every run of blanks one space, and in lower
// case unless `keep_case`. The records' texts are compared as the game shows
// them (visible_text); the typed text is taken as typed, since the builder
// types what is seen.
std::string folded(std::string_view text, bool keep_case = false) {
    std::string out;
    out.reserve(text.size());
    bool blank = true;  // drops leading blanks
    for (char c : text) {
        if (is_text_blank(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += keep_case ? c : lower(c);
    }
    return out;
}

// The words around a match: up to this many characters on each side.
constexpr std::size_t kContext = 24;

// "field: ...words around the match..." of the text as find compared it.
std::string excerpt(std::string_view field, std::string_view text, std::size_t at,
                    std::size_t length) {
    std::string shown = folded(visible_text(text), true);
    std::size_t from = at > kContext ? at - kContext : 0;
    std::size_t to = std::min(shown.size(), at + length + kContext);
    std::string out(field);
    out += ": ";
    if (from > 0) out += "...";
    out.append(shown, from, to - from);
    if (to < shown.size()) out += "...";
    return out;
}

class Finder {
public:
    Finder(const Workspace& ws, std::string_view query) : ws_(ws), needle_(folded(query)) {
        if (std::optional<long long> n = box_number(query)) vnum_ = *n;
    }

    std::vector<SearchHit> run() {
        if (needle_.empty()) return {};
        rooms();
        objects();
        mobiles();
        commands();
        return std::move(hits_);
    }

private:
    // Looks for the text in the field; true (and the hit noted) when found.
    bool field(SearchHit& hit, std::string_view name, std::string_view text) {
        if (vnum_ || text.empty()) return false;
        std::string hay = folded(visible_text(text));
        std::size_t at = hay.find(needle_);
        if (at == std::string::npos) return false;
        hit.where = excerpt(name, text, at, needle_.size());
        push(hit);
        return true;
    }
    // A hit's name is made only for a hit: most records are none.
    void push(SearchHit& hit) {
        if (hit.name.empty()) hit.name = visible_text(name_);
        hits_.push_back(std::move(hit));
    }
    bool vnum(SearchHit& hit, int v) {
        if (!vnum_ || *vnum_ != v) return false;
        hit.where = "vnum";
        push(hit);
        return true;
    }

    template <class Table>
    static std::vector<int> slots_by_vnum(const Table& table) {
        std::vector<int> slots;
        for (int s = 0; s < table.count(); ++s)
            slots.push_back(s);
        std::stable_sort(slots.begin(), slots.end(),
                         [&](int a, int b) { return table.record(a).vnum < table.record(b).vnum; });
        return slots;
    }

    void rooms() {
        const WorldTable& world = ws_.world();
        for (int s : slots_by_vnum(world)) {
            const Room& r = world.room(s);
            name_ = r.title.view();
            SearchHit hit{TableKind::World, r.vnum, -1, r.zone, {}, {}};
            if (vnum(hit, r.vnum) || field(hit, "title", r.title.view()) ||
                field(hit, "description", r.description.view()) ||
                field(hit, "side text", r.side_text.view()) || extras(hit, r.extra_descriptions))
                continue;
            for (int d = 0; d < kNumDirections; ++d) {
                const auto& e = r.exits[static_cast<std::size_t>(d)];
                if (!e) continue;
                std::string dir(kDirectionWords[static_cast<std::size_t>(d)]);
                if (field(hit, "exit " + dir, e->description.view()) ||
                    field(hit, "door " + dir, e->door_keywords.view()) ||
                    field(hit, "door " + dir, e->door_description.view()))
                    break;
            }
        }
    }

    bool extras(SearchHit& hit, const std::vector<ExtraDescription>& extras) {
        for (const ExtraDescription& x : extras)
            if (field(hit, "extra description", x.keyword) ||
                field(hit, "extra description " + x.keyword, x.description))
                return true;
        return false;
    }

    void objects() {
        const ObjectTable& objects = ws_.objects();
        for (int s : slots_by_vnum(objects)) {
            const ObjectPrototype& o = objects.record(s);
            name_ = o.short_description;
            SearchHit hit{TableKind::Object, o.vnum, -1, zone_of(o.vnum), {}, {}};
            if (vnum(hit, o.vnum) || field(hit, "short description", o.short_description) ||
                field(hit, "keywords", o.keywords) ||
                field(hit, "long description", o.long_description) ||
                field(hit, "look description", o.look_description))
                continue;
            extras(hit, o.extra_descriptions);
        }
    }

    void mobiles() {
        const MobileTable& mobiles = ws_.mobiles();
        for (int s : slots_by_vnum(mobiles)) {
            const MobilePrototype& m = mobiles.record(s);
            name_ = m.short_description;
            SearchHit hit{TableKind::Mobile, m.vnum, -1, zone_of(m.vnum), {}, {}};
            if (vnum(hit, m.vnum) || field(hit, "short description", m.short_description) ||
                field(hit, "keywords", m.keywords) ||
                field(hit, "long description", m.long_description) ||
                field(hit, "description", m.description))
                continue;
            field(hit, "greeting", m.greeting);
        }
    }

    // Whether a command names the vnum in one of its fields that holds one.
    static bool names_vnum(const Zcmd& c, long long v) {
        for (int f = 0; f < 6; ++f)
            if ((command_field_is_vnum(c.command, f) || f == room_argument(c.command)) &&
                c.arg[static_cast<std::size_t>(f)] == v)
                return true;
        return false;
    }

    void commands() {
        const ZoneTable& zones = ws_.zones();
        std::vector<int> slots;
        for (int s = 0; s < zones.count(); ++s)
            slots.push_back(s);
        std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) {
            return zones.zedit(a).number < zones.zedit(b).number;
        });
        for (int s : slots) {
            const Zedit& z = zones.zedit(s);
            for (std::size_t i = 0; i < z.commands.size(); ++i) {
                const Zcmd& c = z.commands[i];
                if (c.command == '*') continue;
                const int index = static_cast<int>(i);
                if (vnum_ && !names_vnum(c, *vnum_)) continue;
                std::string line = command_text(ws_, c, index);
                SearchHit hit{TableKind::Zone, z.number, index, z.number, line, {}};
                if (vnum_) {
                    hit.where = "vnum";
                    push(hit);
                    continue;
                }
                field(hit, "command", line);
            }
        }
    }

    const Workspace& ws_;
    std::string needle_;
    std::optional<long long> vnum_;
    std::string_view name_;  // the name of the record being looked at
    std::vector<SearchHit> hits_;
};

}  // namespace

std::vector<SearchHit> find_in_world(const Workspace& ws, std::string_view query) {
    return Finder(ws, query).run();
}

std::string command_text(const Workspace& ws, const Zcmd& command, int index) {
    std::string line = command_line(ws, command, index, false);
    // "12 - " and the blank of " then ".
    if (std::size_t dash = line.find(" - "); dash != std::string::npos) {
        std::size_t start = line.find_first_not_of(' ', dash + 3);
        line.erase(0, start == std::string::npos ? line.size() : start);
    }
    return line;
}

int command_room(const Zedit& z, int index) {
    int room = -1;
    for (int i = 0; i <= index && i < static_cast<int>(z.commands.size()); ++i) {
        const Zcmd& c = z.commands[static_cast<std::size_t>(i)];
        if (int ra = room_argument(c.command); ra >= 0) room = c.arg[static_cast<std::size_t>(ra)];
    }
    return room;
}

const char* hit_kind_word(TableKind table) {
    switch (table) {
        case TableKind::World:
            return "room";
        case TableKind::Object:
            return "obj";
        case TableKind::Mobile:
            return "mob";
        case TableKind::Zone:
            return "reset";
    }
    return "?";
}

}  // namespace zs
