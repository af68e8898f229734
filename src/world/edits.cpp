#include "world/edits.h"

#include "world/strfmt.h"

namespace zs {

namespace {

template <class Table, class Record>
bool edit_in(Workspace& ws, const Table& lookup, Table& (OpenTables::*table)(), TableKind kind,
             int id, std::string name, const std::function<void(Record&)>& fn,
             const EditOptions& options) {
    int slot = lookup.find(id);
    if (slot < 0) return false;
    Transaction tx(ws, std::move(name), options);
    tx.focus(kind, id);
    (tx.*table)().edit(slot, fn);
    tx.commit();
    return true;
}

}  // namespace

bool delete_room(Workspace& ws, int vnum) {
    if (ws.world().find_room(vnum) < 0) return false;
    Transaction tx(ws, strfmt("Delete Room %d", vnum));
    tx.focus(TableKind::World, vnum);
    tx.world().delete_room(vnum);
    tx.commit();
    return true;
}

bool edit_room(Workspace& ws, int vnum, std::string name, const std::function<void(Room&)>& fn,
               EditOptions options) {
    return edit_in(ws, ws.world(), &OpenTables::world, TableKind::World, vnum, std::move(name), fn,
                   options);
}

bool edit_object(Workspace& ws, int vnum, std::string name,
                 const std::function<void(ObjectPrototype&)>& fn, EditOptions options) {
    return edit_in(ws, ws.objects(), &OpenTables::objects, TableKind::Object, vnum, std::move(name),
                   fn, options);
}

bool edit_mobile(Workspace& ws, int vnum, std::string name,
                 const std::function<void(MobilePrototype&)>& fn, EditOptions options) {
    return edit_in(ws, ws.mobiles(), &OpenTables::mobiles, TableKind::Mobile, vnum, std::move(name),
                   fn, options);
}

bool edit_zedit(Workspace& ws, int zone, std::string name, const std::function<void(Zedit&)>& fn,
                EditOptions options) {
    int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return false;
    Transaction tx(ws, std::move(name), options);
    tx.focus(TableKind::Zone, zone);
    tx.zones().edit_zedit(slot, fn);
    tx.commit();
    return true;
}

}  // namespace zs
