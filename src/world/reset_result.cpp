#include "world/reset_result.h"

#include <map>
#include <utility>

#include "world/names.h"
#include "world/strfmt.h"
#include "world/zone_commands.h"

namespace zs {

namespace {

// An object this reset loaded, and where it is now.
struct LoadedObject {
    int vnum;
    int room;  // the room it lies in, or -1 when carried or inside another
    int row;
    bool removed = false;
};

ResetRow made(int room, ResetWhat what, int vnum, int in, int index, int parent = -1) {
    ResetRow row;
    row.room = room;
    row.what = what;
    row.vnum = vnum;
    row.in = in;
    row.index = index;
    row.parent = parent;
    return row;
}

class Reset {
public:
    Reset(const Workspace& ws, const Zedit& z) : ws_(ws), z_(z) {}

    std::vector<ResetRow> run() {
        for (int i = 0; i < static_cast<int>(z_.commands.size()); ++i)
            step(z_.commands[static_cast<std::size_t>(i)], i);
        return std::move(rows_);
    }

private:
    void step(const Zcmd& c, int i) {
        int arg = room_argument(c.command);
        if (arg >= 0) current_room_ = c.arg[static_cast<std::size_t>(arg)];
        if (c.if_flag && !last_ran_) {
            skip(c, i, SkipReason::Dependent);
            return;
        }
        const auto& a = c.arg;
        switch (c.command) {
            case 'M':
                return load_mobile(c, i);
            case 'O':
                return load_object(c, i);
            case 'G':
            case 'E':
                return give(c, i);
            case 'P':
                return put(c, i);
            case 'R': {
                if (!ws_.world().find_room_record(a[0])) return skip(c, i, SkipReason::NotLoaded);
                for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
                    if (!it->removed && it->room == a[0] && it->vnum == a[1]) {
                        it->removed = true;
                        --object_count_[a[1]];
                        break;
                    }
                return add(made(a[0], ResetWhat::Remove, a[1], -1, i));
            }
            case 'D': {
                const Room* room = ws_.world().find_room_record(a[0]);
                if (!room) return skip(c, i, SkipReason::NotLoaded);
                if (a[1] < 0 || a[1] >= kNumDirections || a[2] < 0 ||
                    a[2] >= static_cast<int>(kDoorStateNames.size()))
                    return skip(c, i, SkipReason::BadValue);
                if (!room->exits[static_cast<std::size_t>(a[1])])
                    return skip(c, i, SkipReason::NoExit);
                return add(made(a[0], ResetWhat::Door, a[1], a[2], i));
            }
            case 'T':
            case 'V':
                // Scripts load nothing; the command runs.
                last_ran_ = true;
                return;
            default:
                return skip(c, i, SkipReason::Unknown);
        }
    }

    void load_mobile(const Zcmd& c, int i) {
        const auto& a = c.arg;
        if (!ws_.mobiles().find_record(a[0]) || !ws_.world().find_room_record(a[2]))
            return skip(c, i, SkipReason::NotLoaded);
        if (a[3] >= 100) return skip(c, i, SkipReason::NeverLoads);
        if (mobile_count_[a[0]] >= a[1] || (a[4] > 0 && mobiles_in_room_[{a[2], a[0]}] >= a[4]))
            return skip(c, i, SkipReason::MaxReached);
        ++mobile_count_[a[0]];
        ++mobiles_in_room_[{a[2], a[0]}];
        last_mobile_ = static_cast<int>(rows_.size());
        add(made(a[2], ResetWhat::Mob, a[0], -1, i));
    }

    void load_object(const Zcmd& c, int i) {
        const auto& a = c.arg;
        if (!ws_.objects().find_record(a[0]) || !ws_.world().find_room_record(a[2]))
            return skip(c, i, SkipReason::NotLoaded);
        if (a[3] >= 100) return skip(c, i, SkipReason::NeverLoads);
        int in_room = 0;
        for (const LoadedObject& o : objects_)
            in_room += !o.removed && o.room == a[2] && o.vnum == a[0];
        if (object_count_[a[0]] >= a[1] || (a[4] > 0 && in_room >= a[4]))
            return skip(c, i, SkipReason::MaxReached);
        add_object(a[0], a[2], made(a[2], ResetWhat::Obj, a[0], -1, i));
    }

    // G and E: to the mobile loaded last.
    void give(const Zcmd& c, int i) {
        const auto& a = c.arg;
        if (last_mobile_ < 0) return skip(c, i, SkipReason::NoMobile);
        const ResetRow& mob = rows_[static_cast<std::size_t>(last_mobile_)];
        if (!ws_.objects().find_record(a[0])) return skip(c, i, SkipReason::NotLoaded, mob.room);
        if (c.command == 'E' && (a[2] < 0 || a[2] >= static_cast<int>(kWearPositionNames.size())))
            return skip(c, i, SkipReason::BadValue, mob.room);
        if (a[3] >= 100) return skip(c, i, SkipReason::NeverLoads, mob.room);
        if (object_count_[a[0]] >= a[1]) return skip(c, i, SkipReason::MaxReached, mob.room);
        ResetWhat what = c.command == 'E' ? ResetWhat::Equip : ResetWhat::Give;
        add_object(a[0], -1, made(mob.room, what, a[0], mob.vnum, i, last_mobile_));
    }

    // P: into the object with the container's vnum that was loaded last.
    void put(const Zcmd& c, int i) {
        const auto& a = c.arg;
        const LoadedObject* container = nullptr;
        for (auto it = objects_.rbegin(); it != objects_.rend() && !container; ++it)
            if (!it->removed && it->vnum == a[2]) container = &*it;
        if (!container) return skip(c, i, SkipReason::NoContainer);
        int room = rows_[static_cast<std::size_t>(container->row)].room;
        int parent = container->row;
        if (!ws_.objects().find_record(a[0])) return skip(c, i, SkipReason::NotLoaded, room);
        if (a[3] >= 100) return skip(c, i, SkipReason::NeverLoads, room);
        if (object_count_[a[0]] >= a[1]) return skip(c, i, SkipReason::MaxReached, room);
        add_object(a[0], -1, made(room, ResetWhat::Put, a[0], a[2], i, parent));
    }

    void add_object(int vnum, int lies_in, ResetRow row) {
        ++object_count_[vnum];
        objects_.push_back({vnum, lies_in, static_cast<int>(rows_.size())});
        add(std::move(row));
    }

    void add(ResetRow row) {
        rows_.push_back(std::move(row));
        last_ran_ = true;
    }

    void skip(const Zcmd& c, int i, SkipReason why) { skip(c, i, why, current_room_); }
    void skip(const Zcmd& c, int i, SkipReason why, int room) {
        rows_.push_back(
            {room, ResetWhat::Skip, -1, -1, i, -1, why, command_line(ws_, c, i, false)});
        last_ran_ = false;
    }

    const Workspace& ws_;
    const Zedit& z_;
    std::vector<ResetRow> rows_;
    std::vector<LoadedObject> objects_;
    std::map<int, int> mobile_count_, object_count_;
    std::map<std::pair<int, int>, int> mobiles_in_room_;  // (room, vnum)
    int last_mobile_ = -1;                                // its row
    int current_room_ = -1;
    bool last_ran_ = false;
};

}  // namespace

std::vector<ResetRow> simulate_reset(const Workspace& ws, int zone) {
    int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return {};
    return Reset(ws, ws.zones().zedit(slot)).run();
}

std::string_view reset_what_word(ResetWhat what) {
    switch (what) {
        case ResetWhat::Mob:
            return "mob";
        case ResetWhat::Obj:
            return "obj";
        case ResetWhat::Give:
            return "give";
        case ResetWhat::Equip:
            return "equip";
        case ResetWhat::Put:
            return "put";
        case ResetWhat::Door:
            return "door";
        case ResetWhat::Remove:
            return "remove";
        case ResetWhat::Skip:
            break;
    }
    return "skip";
}

std::string_view skip_reason_text(SkipReason why) {
    switch (why) {
        case SkipReason::None:
            return "";
        case SkipReason::Dependent:
            return "the command before it did not run";
        case SkipReason::MaxReached:
            return "its max is reached";
        case SkipReason::NeverLoads:
            return "its chance not to load is 100%";
        case SkipReason::NoMobile:
            return "no mobile was loaded before it";
        case SkipReason::NoContainer:
            return "its container was not loaded";
        case SkipReason::NotLoaded:
            return "a room, mobile or object it names is not loaded";
        case SkipReason::NoExit:
            return "the room has no exit that way";
        case SkipReason::BadValue:
            return "a position, direction or state past its table";
        case SkipReason::Unknown:
            return "an unknown command";
    }
    return "";
}

std::string reset_row_line(const ResetRow& row) {
    if (row.what == ResetWhat::Skip) return "skip\t" + row.text;
    if (row.what == ResetWhat::Door)
        return strfmt("%d\tdoor\t%s\t%s", row.room,
                      std::string(kDirectionWords[static_cast<std::size_t>(row.vnum)]).c_str(),
                      std::string(kDoorStateNames[static_cast<std::size_t>(row.in)]).c_str());
    std::string in = row.in < 0 ? "-" : std::to_string(row.in);
    return strfmt("%d\t%s\t%d\t%s", row.room, std::string(reset_what_word(row.what)).c_str(),
                  row.vnum, in.c_str());
}

}  // namespace zs
