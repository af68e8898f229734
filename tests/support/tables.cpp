#include "support/tables.h"

namespace zs::test {

Tables tables_of(const Workspace& ws) {
    Tables t;
    for (int s = 0; s < ws.world().count(); ++s)
        t.rooms.push_back(ws.world().room(s));
    for (int s = 0; s < ws.zones().count(); ++s)
        t.zedits.push_back(ws.zones().zedit(s));
    for (int s = 0; s < ws.objects().count(); ++s)
        t.objects.push_back(ws.objects().record(s));
    for (int s = 0; s < ws.mobiles().count(); ++s)
        t.mobiles.push_back(ws.mobiles().record(s));
    return t;
}

Room room_with_exits(int vnum, std::initializer_list<std::pair<int, int>> exits) {
    Room r = make_new_room(static_cast<Vnum>(vnum), zone_of(vnum));
    for (auto [dir, to] : exits) {
        Exit e;
        e.destination = static_cast<Vnum>(to);
        r.exits[dir] = e;
    }
    return r;
}

::testing::AssertionResult same_tables(const Tables& a, const Tables& b) {
    if (a.rooms.size() != b.rooms.size())
        return ::testing::AssertionFailure()
               << a.rooms.size() << " rooms against " << b.rooms.size();
    for (std::size_t i = 0; i < a.rooms.size(); ++i)
        if (!(a.rooms[i] == b.rooms[i]))
            return ::testing::AssertionFailure()
                   << "room in slot " << i << " differs (" << a.rooms[i].vnum << " against "
                   << b.rooms[i].vnum << ")";
    if (a.zedits != b.zedits) return ::testing::AssertionFailure() << "zedits differ";
    if (a.objects != b.objects) return ::testing::AssertionFailure() << "objects differ";
    if (a.mobiles != b.mobiles) return ::testing::AssertionFailure() << "mobiles differ";
    return ::testing::AssertionSuccess();
}

}  // namespace zs::test
