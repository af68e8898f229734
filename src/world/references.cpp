#include "world/references.h"

#include <algorithm>
#include <set>

#include "world/colour_codes.h"
#include "world/names.h"
#include "world/object_fields.h"
#include "world/search.h"
#include "world/strfmt.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {

namespace {

template <class Table>
std::vector<int> slots_by_vnum(const Table& table) {
    std::vector<int> slots;
    for (int s = 0; s < table.count(); ++s)
        slots.push_back(s);
    std::stable_sort(slots.begin(), slots.end(),
                     [&](int a, int b) { return table.record(a).vnum < table.record(b).vnum; });
    return slots;
}

// The zone table's slots by zone number.
std::vector<int> zone_slots(const ZoneTable& zones) {
    std::vector<int> slots;
    for (int s = 0; s < zones.count(); ++s)
        slots.push_back(s);
    std::stable_sort(slots.begin(), slots.end(),
                     [&](int a, int b) { return zones.zedit(a).number < zones.zedit(b).number; });
    return slots;
}

// A prototype's short description as the game shows it, or "" when it is
// not loaded.
template <class Table>
std::string shown_name(const Table& table, int vnum) {
    const auto* p = table.find_record(vnum);
    return p ? visible_text(p->short_description) : std::string();
}

// What one command of a zone does to the record asked about, walked in
// order so that a command that follows a room or a mobile knows them.
struct CommandWalk {
    int room = -1;    // the room of the last command that acts in one
    int mobile = -1;  // the mobile of the last M
};

class Finder {
public:
    Finder(const Workspace& ws, TableKind kind, int vnum) : ws_(ws), kind_(kind), vnum_(vnum) {}

    std::vector<Reference> run() {
        if (kind_ == TableKind::World) rooms_to_room();
        if (kind_ == TableKind::Object) doors_keyed();
        commands();
        if (kind_ == TableKind::Object) containers_keyed();
        return std::move(refs_);
    }

private:
    void add_room_ref(const Room& r, std::string what) {
        refs_.push_back(
            {TableKind::World, r.vnum, -1, 0, r.vnum, strfmt("room %d: %s", r.vnum, what.c_str())});
    }

    void rooms_to_room() {
        const WorldTable& world = ws_.world();
        const Room* target = world.find_room_record(vnum_);
        for (int s : slots_by_vnum(world)) {
            const Room& r = world.room(s);
            for (int d = 0; d < kNumDirections; ++d) {
                const auto& e = r.exits[static_cast<std::size_t>(d)];
                if (!e || e->destination != vnum_) continue;
                const char* dir = kDirectionWords[static_cast<std::size_t>(d)].data();
                std::string what = strfmt("exit %s leads here", dir);
                if (target) {
                    const int back = reverse_direction(d);
                    const auto& b = target->exits[static_cast<std::size_t>(back)];
                    if (!b || b->destination != r.vnum)
                        what += strfmt(", one-way (no exit %s leads back)",
                                       kDirectionWords[static_cast<std::size_t>(back)].data());
                }
                add_room_ref(r, what);
            }
            if (r.fly_up_room == vnum_) add_room_ref(r, "its fly up room");
            if (r.fly_down_room == vnum_) add_room_ref(r, "its fly down room");
            if (r.fall_room == vnum_) add_room_ref(r, "its fall room");
        }
    }

    void doors_keyed() {
        const WorldTable& world = ws_.world();
        for (int s : slots_by_vnum(world)) {
            const Room& r = world.room(s);
            for (int d = 0; d < kNumDirections; ++d) {
                const auto& e = r.exits[static_cast<std::size_t>(d)];
                if (e && (e->exit_flags & kExitIsDoor) && e->key == vnum_)
                    add_room_ref(r, strfmt("key of the door %s",
                                           kDirectionWords[static_cast<std::size_t>(d)].data()));
            }
        }
    }

    void containers_keyed() {
        const ObjectTable& objects = ws_.objects();
        for (int s : slots_by_vnum(objects)) {
            const ObjectPrototype& o = objects.record(s);
            if (o.type != kItemContainer || o.values[kObjKeyValue] != vnum_) continue;
            refs_.push_back({TableKind::Object, o.vnum, -1, 0, -1,
                             strfmt("object %d (%s): key of the container", o.vnum,
                                    visible_text(o.short_description).c_str())});
        }
    }

    // Whether the command refers to the record asked about.
    bool refers(const Zcmd& c, const CommandWalk& walk) const {
        const auto& a = c.arg;
        switch (kind_) {
            case TableKind::World:
                return room_argument(c.command) >= 0 &&
                       a[static_cast<std::size_t>(room_argument(c.command))] == vnum_ &&
                       walk.room == vnum_;
            case TableKind::Object:
                switch (c.command) {
                    case 'O':
                    case 'E':
                    case 'G':
                        return a[0] == vnum_;
                    case 'P':
                        return a[0] == vnum_ || a[2] == vnum_;
                    case 'R':
                        return a[1] == vnum_;
                    default:
                        return false;
                }
            case TableKind::Mobile:
                return c.command == 'M' && a[0] == vnum_;
            case TableKind::Zone:
                return false;
        }
        return false;
    }

    // The command's line with where it acts, or on whom: "..., in room
    // 3009", "..., on mobile 3001 (the baker)".
    std::string described(std::string line, const Zcmd& c, const CommandWalk& walk) const {
        if (c.command == 'E' || c.command == 'G') {
            if (walk.mobile < 0) return line + ", with no mobile loaded before it";
            std::string name = shown_name(ws_.mobiles(), walk.mobile);
            return line + (name.empty() ? strfmt(", on mobile %d", walk.mobile)
                                        : strfmt(", on mobile %d (%s)", walk.mobile, name.c_str()));
        }
        if (c.command == 'P' || walk.room < 0) return line;
        if (!line.empty() && line.back() == '.') line.pop_back();
        constexpr std::string_view kFromRoom = "from room";
        if (c.command == 'R' && line.ends_with(kFromRoom)) return line + strfmt(" %d", walk.room);
        return line + strfmt(", in room %d", walk.room);
    }

    void commands() {
        const ZoneTable& zones = ws_.zones();
        for (int s : zone_slots(zones)) {
            const Zedit& z = zones.zedit(s);
            CommandWalk walk;
            for (std::size_t i = 0; i < z.commands.size(); ++i) {
                const Zcmd& c = z.commands[i];
                if (int ra = room_argument(c.command); ra >= 0)
                    walk.room = c.arg[static_cast<std::size_t>(ra)];
                if (c.command == 'M') walk.mobile = c.arg[0];
                if (!refers(c, walk)) continue;
                const int index = static_cast<int>(i);
                std::string line = described(command_text(ws_, c, index), c, walk);
                refs_.push_back({TableKind::Zone, z.number, index, c.line, walk.room,
                                 strfmt("zone %d command %d: %s", z.number, index, line.c_str())});
            }
        }
    }

    const Workspace& ws_;
    TableKind kind_;
    int vnum_;
    std::vector<Reference> refs_;
};

}  // namespace

std::vector<Reference> find_references(const Workspace& ws, TableKind kind, int vnum) {
    return Finder(ws, kind, vnum).run();
}

std::string reference_count_line(const Workspace& ws, TableKind kind, int vnum,
                                 const std::vector<Reference>& found) {
    if (kind == TableKind::World) {
        int exits = 0, commands = 0;
        std::set<int> zones;
        const WorldTable& world = ws.world();
        for (int s = 0; s < world.count(); ++s)
            for (const auto& e : world.room(s).exits)
                if (e && e->destination == vnum) {
                    ++exits;
                    zones.insert(world.room(s).zone);
                }
        for (const Reference& r : found)
            commands += r.table == TableKind::Zone;
        return strfmt("Room %d: reached by %s from %s, %s act%s in it", vnum,
                      counted(exits, "exit").c_str(),
                      counted(static_cast<int>(zones.size()), "zone").c_str(),
                      counted(commands, "command").c_str(), commands == 1 ? "s" : "");
    }
    // The commands that load the object or mobile.
    int loads = 0, max = 0;
    std::set<int> zones;
    const ZoneTable& table = ws.zones();
    for (int s = 0; s < table.count(); ++s) {
        const Zedit& z = table.zedit(s);
        for (const Zcmd& c : z.commands) {
            bool loading = kind == TableKind::Mobile ? c.command == 'M'
                                                     : c.command == 'O' || c.command == 'E' ||
                                                           c.command == 'G' || c.command == 'P';
            if (!loading || c.arg[0] != vnum) continue;
            ++loads;
            zones.insert(z.number);
            max = std::max(max, c.arg[1]);
        }
    }
    const char* title = kind == TableKind::Mobile ? "Mobile" : "Object";
    if (loads == 0) return strfmt("%s %d: loaded by no command", title, vnum);
    return strfmt("%s %d: loaded by %s in %s, max %d", title, vnum,
                  counted(loads, "command").c_str(),
                  counted(static_cast<int>(zones.size()), "zone").c_str(), max);
}

}  // namespace zs
