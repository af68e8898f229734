#include "world/zone_ops.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "world/strfmt.h"

namespace zs {

// --- Apply Attributes ---------------------------------------------------------

bool apply_attributes(Workspace& ws, const ApplyAttributesChoices& c) {
    const WorldTable& world = ws.world();
    const Room* selected = world.selected_room();
    if (!selected) return false;
    const Room from = *selected;
    const int zone = from.zone;

    // The exit size is the selected room's, when all its exits agree on one
    // (0 for a room without exits).
    std::optional<std::int32_t> exit_size;
    bool sizes_differ = false;
    if (c.exit_size) {
        std::optional<std::int32_t> size;
        for (const auto& e : from.exits) {
            if (!e) continue;
            if (size && *size != e->exit_size) sizes_differ = true;
            if (!size) size = e->exit_size;
        }
        if (!sizes_differ) exit_size = size.value_or(0);
    }

    {
        Transaction tx(ws, strfmt("Apply Attributes to Zone %d", zone));
        tx.focus(TableKind::World, from.vnum);
        for (int slot : slots_of_zone(world, zone)) {
            tx.world().edit(slot, [&](Room& r) {
                if (c.room_flags && !(c.keep_room_flags && r.room_flags != 0))
                    r.room_flags = from.room_flags;
                if (c.climate) r.climate = from.climate;
                if (c.sector) r.sector = from.sector;
                if (c.nation && !(c.keep_nation && r.nation != -1)) r.nation = from.nation;
                if (c.room_size && !(c.keep_room_size && r.room_size != -1))
                    r.room_size = from.room_size;
                if (exit_size)
                    for (auto& e : r.exits)
                        if (e && !(c.keep_exit_size && e->exit_size != -1))
                            e->exit_size = *exit_size;
            });
        }
        tx.commit();
    }
    ws.request_redraw(true);
    if (sizes_differ)
        ws.ui().show_status(
            strfmt("Specified attributes copied to zone %d, but not Exit Size: the exits of "
                   "room %d differ in size.",
                   zone, from.vnum));
    else
        ws.ui().show_status(strfmt("Specified attributes copied to zone %d.", zone));
    return true;
}

// --- Renumbering --------------------------------------------------------------

namespace {

// The vnum arguments of reset commands: which argument (0 for arg1) names a
// room, an object or a mobile, per command letter.
enum class RefKind { Room, Object, Mobile };
struct CommandRef {
    char command;
    int arg;
    RefKind kind;
};
constexpr CommandRef kCommandRefs[] = {
    {'M', 0, RefKind::Mobile}, {'M', 2, RefKind::Room},   {'O', 0, RefKind::Object},
    {'O', 2, RefKind::Room},   {'E', 0, RefKind::Object}, {'G', 0, RefKind::Object},
    {'P', 0, RefKind::Object}, {'P', 2, RefKind::Object}, {'D', 0, RefKind::Room},
    {'R', 0, RefKind::Room},   {'R', 1, RefKind::Object}, {'V', 2, RefKind::Room},
};

// Object values that name other records: the key of a container.
struct ValueRef {
    int type;
    int value;
};
constexpr int kContainerType = 15;
constexpr ValueRef kObjectValueRefs[] = {{kContainerType, 2}};

// Moves vnums of the old zone to the new one and counts what it moved; notes
// the first vnum whose new number would pass 32767.
class Renumberer {
public:
    Renumberer(int old_zone, int new_zone) : old_(old_zone), new_(new_zone) {}

    bool in_old_zone(long long v) const { return v >= 0 && v / 100 == old_; }
    // A reference (0 and -1 stand for none where `none_below_1`).
    template <class Int>
    void reference(Int& v, bool none_below_1 = false) {
        if ((none_below_1 && v < 1) || !in_old_zone(v)) return;
        v = static_cast<Int>(moved(v));
        ++references;
    }
    // A record's own number; true when it moved.
    template <class Int>
    bool own(Int& v) {
        if (!in_old_zone(v)) return false;
        v = static_cast<Int>(moved(v));
        return true;
    }

    int references = 0;
    std::optional<std::pair<int, long long>> overflow;  // the vnum and where it would go

private:
    long long moved(long long v) {
        long long to = v - old_ * 100LL + new_ * 100LL;
        if (to > kVnumMax && !overflow) overflow = {static_cast<int>(v), to};
        // Kept in range in the image; a move that overflows is refused.
        return to > kVnumMax ? v : to;
    }
    int old_, new_;
};

template <class Record>
struct Rewrite {
    int slot;
    Record image;
};

// The new image of every record of `table` that `fn` changes.
template <class Table, class Record, class Fn>
std::vector<Rewrite<Record>> rewrites(const Table& table, Fn fn) {
    std::vector<Rewrite<Record>> out;
    for (int s = 0; s < table.count(); ++s) {
        Record r = table.record(s);
        if (fn(r)) out.push_back({s, std::move(r)});
    }
    return out;
}

// The refusal of a renumbering whose records have copies: two records of
// one vnum would both move, and the new zone's files would hold each twice.
// Names the first few; "" when there are none.
std::string duplicated_vnums(const Workspace& ws, int zone, int new_zone, bool whole_zone) {
    constexpr std::size_t kNamed = 5;
    std::vector<std::string> named;
    int total = 0;
    auto note = [&](const char* what, long long id) {
        if (named.size() < kNamed) named.push_back(strfmt("%s %lld", what, id));
        ++total;
    };
    auto in_table = [&](const auto& table, const char* what) {
        for (long long v = zone * 100LL; v <= std::min(zone * 100LL + 99, 1LL * kVnumMax); ++v)
            if (table.count_of(static_cast<int>(v)) > 1) note(what, v);
    };
    in_table(ws.world(), "room");
    if (whole_zone) {
        int zedits = 0;
        for (int s = 0; s < ws.zones().count(); ++s)
            zedits += ws.zones().zedit(s).number == zone;
        if (zedits > 1) note("zedit", zone);
        in_table(ws.objects(), "object");
        in_table(ws.mobiles(), "mobile");
    }
    if (total == 0) return "";
    const int more = total - static_cast<int>(named.size());
    std::string list;
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (i > 0) list += i + 1 == named.size() && more == 0 ? " and " : ", ";
        list += named[i];
    }
    if (more > 0) list += strfmt(" and %d more", more);
    return strfmt(
        "Error: zone %d was not renumbered: the loaded zones hold more than one record with each "
        "of these vnums: %s. Renumbered, zone %d would hold every copy; unload the copies first "
        "(Check Area names the files they came from).",
        zone, list.c_str(), new_zone);
}

}  // namespace

RenumberResult renumber_zone(Workspace& ws, int old_zone, int new_zone, bool whole_zone) {
    UiPort& ui = ws.ui();
    RenumberResult result;
    for (int zone : {old_zone, new_zone})
        if (!zone_number_valid(zone)) {
            ui.show_message(strfmt("Error: Invalid zone number %d; zones run from 0 to %d.", zone,
                                   kHighestZone));
            return result;
        }
    auto any_records = [&](int zone) {
        if (!whole_zone) return ws.world().has_zone(zone);
        return ws.world().has_zone(zone) || ws.zones().find_zedit(zone) >= 0 ||
               ws.objects().has_zone(zone) || ws.mobiles().has_zone(zone);
    };
    if (any_records(new_zone)) {
        ui.show_message("Zone to renumber to already exists!");
        return result;
    }
    if (!any_records(old_zone)) {
        ui.show_message("That zone does not seem to have been loaded.");
        return result;
    }
    if (std::string copies = duplicated_vnums(ws, old_zone, new_zone, whole_zone);
        !copies.empty()) {
        ui.show_message(copies);
        return result;
    }

    // Every new image is worked out before anything changes.
    Renumberer mv(old_zone, new_zone);
    auto rooms = rewrites<WorldTable, Room>(ws.world(), [&](Room& r) {
        bool own = mv.in_old_zone(r.vnum);
        if (!own && !whole_zone) return false;
        int refs = mv.references;
        if (mv.own(r.vnum)) ++result.rooms;
        mv.reference(r.fly_up_room, true);
        mv.reference(r.fly_down_room, true);
        mv.reference(r.fall_room, true);
        for (auto& e : r.exits) {
            if (!e) continue;
            mv.reference(e->destination);
            if (whole_zone) mv.reference(e->key, true);
        }
        return own || mv.references != refs;
    });
    std::vector<Rewrite<Zedit>> zedits;
    std::vector<Rewrite<ObjectPrototype>> objects;
    std::vector<Rewrite<MobilePrototype>> mobiles;
    if (whole_zone) {
        for (int s = 0; s < ws.zones().count(); ++s) {
            Zedit z = ws.zones().zedit(s);
            int refs = mv.references;
            bool own = z.number == old_zone;
            if (own) {
                z.number = static_cast<std::int16_t>(new_zone);
                mv.own(z.top);
                ++result.zedits;
            }
            for (Zcmd& c : z.commands)
                for (const CommandRef& ref : kCommandRefs)
                    if (c.command == ref.command) mv.reference(c.arg[ref.arg]);
            if (own || mv.references != refs) zedits.push_back({s, std::move(z)});
        }
        objects = rewrites<ObjectTable, ObjectPrototype>(ws.objects(), [&](ObjectPrototype& o) {
            int refs = mv.references;
            bool own = mv.own(o.vnum);
            result.objects += own;
            for (const ValueRef& ref : kObjectValueRefs)
                if (o.type == ref.type) mv.reference(o.values[ref.value], true);
            return own || mv.references != refs;
        });
        mobiles = rewrites<MobileTable, MobilePrototype>(ws.mobiles(), [&](MobilePrototype& m) {
            bool own = mv.own(m.vnum);
            result.mobiles += own;
            return own;
        });
    }
    if (mv.overflow) {
        ui.show_message(
            strfmt("Error: vnum %d would become %lld, above the highest vnum %d; "
                   "zone %d was not renumbered.",
                   mv.overflow->first, mv.overflow->second, kVnumMax, old_zone));
        return RenumberResult{};
    }

    {
        Transaction tx(ws, strfmt("Renumber Zone %d to %d", old_zone, new_zone));
        for (auto& w : rooms)
            tx.world().edit(w.slot, [&](Room& r) { r = std::move(w.image); });
        for (auto& w : zedits)
            tx.zones().edit_zedit(w.slot, [&](Zedit& z) { z = std::move(w.image); });
        for (auto& w : objects)
            tx.objects().edit(w.slot, [&](ObjectPrototype& o) { o = std::move(w.image); });
        for (auto& w : mobiles)
            tx.mobiles().edit(w.slot, [&](MobilePrototype& m) { m = std::move(w.image); });
        tx.commit();
    }
    result.references = mv.references;
    result.done = true;
    ws.request_redraw(true);
    if (!whole_zone) {
        ui.show_message(
            strfmt("All rooms and exits in zone %d renumbered to zone %d.", old_zone, new_zone),
            "Success");
    } else {
        ui.show_message(
            strfmt("Zone %d renumbered to zone %d: %s, %s, %s and %s moved; %s rewritten.",
                   old_zone, new_zone, counted(result.rooms, "room").c_str(),
                   counted(result.zedits, "zedit").c_str(),
                   counted(result.objects, "object").c_str(),
                   counted(result.mobiles, "mobile").c_str(),
                   counted(result.references, "reference").c_str()),
            "Success");
    }
    return result;
}

RenumberResult renumber_zone_from_boxes(Workspace& ws, std::string_view old_box,
                                        std::string_view new_box, bool whole_zone) {
    bool old_bad = false, new_bad = false;
    std::optional<long long> old_zone = box_number(old_box, &old_bad);
    std::optional<long long> new_zone = box_number(new_box, &new_bad);
    if ((!old_zone && !old_bad) || (!new_zone && !new_bad)) {
        ws.ui().show_message("That zone does not seem to have been loaded.");
        return {};
    }
    for (auto [zone, box] : {std::pair{old_zone, old_box}, std::pair{new_zone, new_box}})
        if (!zone || !zone_number_valid(*zone)) {
            ws.ui().show_message(
                strfmt("Error: Invalid zone number \"%.*s\"; zones run from 0 "
                       "to %d.",
                       static_cast<int>(box.size()), box.data(), kHighestZone));
            return {};
        }
    return renumber_zone(ws, static_cast<int>(*old_zone), static_cast<int>(*new_zone), whole_zone);
}

// --- Delete Zone --------------------------------------------------------------

bool delete_zone(Workspace& ws, std::string_view box) {
    bool bad = false;
    std::optional<long long> number = box_number(box, &bad);
    if (!number && !bad) return false;  // an empty box closes without asking
    if (!number || !zone_number_valid(*number)) {
        ws.ui().show_status(strfmt("Error: Invalid zone number \"%.*s\"; zones run from 0 to %d.",
                                   static_cast<int>(box.size()), box.data(), kHighestZone));
        return false;
    }
    int zone = static_cast<int>(*number);
    if (!ws.ui().ask_yes_no(kDeleteZoneWarning, "Warning")) return false;
    if (!ws.world().has_zone(zone)) {
        ws.ui().show_status(strfmt("Zone %d does not exist.", zone));
        return false;
    }
    {
        Transaction tx(ws, strfmt("Delete Zone %d", zone));
        tx.world().delete_zone_rooms(zone);
        tx.commit();
    }
    ws.request_redraw(true);
    ws.ui().show_status(strfmt("Zone %d deleted.", zone));
    return true;
}

}  // namespace zs
