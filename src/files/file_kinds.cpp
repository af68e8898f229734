#include "files/file_kinds.h"

#include "files/area_io.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "files/fileold_mob.h"
#include "files/fileold_obj.h"
#include "files/fileold_wld.h"
#include "files/fileold_zone.h"
#include "files/load_command.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

namespace {

const FileKind kFileKinds[] = {
    {TableKind::World,
     EditorKind::Room,
     "wld",
     "wld_zs",
     "Quor world files (*.wld)",
     "*.wld",
     "LastR:",
     "Wld file not found.",
     "Zone %d is already loaded.",
     "There was an error loading the world file.",
     "",
     "Zone failed to load.  Would you like to attempt to load\r\n"
     "the zone in an older world format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "room",
     "rooms",
     "Error saving zone file.",
     "All zones saved to file.",
     "Error, not all zones saved.",
     "Error saving Zonesmith file.",
     nullptr,
     nullptr,
     "No zone selected; nothing saved.",
     "Zone %d saved to file.",
     "Error, zone not saved.",
     "All rooms unloaded."},
    {TableKind::Object,
     EditorKind::Object,
     "obj",
     nullptr,
     "Quor object files (*.obj)",
     "*.obj",
     "LastO:",
     "Obj file not found.",
     "Objs for zone %d already loaded.",
     "There was an error loading the obj file.",
     "Error loading obj file.",
     "Objs failed to load.  Would you like to attempt to load\r\n"
     "the objs in an older object format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "object",
     "objects",
     "Error saving object file.",
     "All objects saved to file.",
     "Error, not all objects saved.",
     nullptr,
     nullptr,
     nullptr,
     "No object selected; nothing saved.",
     "Objects for zone %d saved to file.",
     "Error, objects not saved.",
     "All objects unloaded."},
    {TableKind::Mobile,
     EditorKind::Mobile,
     "mob",
     nullptr,
     "Quor mobile files (*.mob)",
     "*.mob",
     "LastM:",
     "Mob file not found.",
     "Mobs for zone %d already loaded.",
     "There was an error loading the mob file.",
     "Error loading mob file.",
     "Mobs failed to load.  Would you like to attempt to load\r\n"
     "the mobs in an older mobile format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     "Conversion successful.  Please save the mob file immediately\r\n"
     "so that the file is in the correct format.",
     "mobile",
     "mobiles",
     "Error saving mobile file.",
     "All mobiles saved to file.",
     "Error, not all mobiles saved.",
     nullptr,
     "save_mobs: Cannot open mob file!",
     nullptr,
     "No mobile selected; nothing saved.",
     "Mobiles for zone %d saved to file.",
     "Error, mobiles not saved.",
     "All mobiles unloaded."},
    {TableKind::Zone,
     EditorKind::Zone,
     "zon",
     nullptr,
     "Quor zone files (*.zon)",
     "*.zon",
     "LastZ:",
     "Zone file not found.",
     "Zone %d already loaded.",
     "There was an error loading the zone file.",
     "Error loading zone file.",
     "Zedit failed to load.  Would you like to attempt to load\r\n"
     "the zedit in an older zone format and allow Zonesmith to\r\n"
     "automatically convert the file to the latest format?",
     kConversionSuccess.data(),
     "zone",
     "zones",
     "Error saving zedit file.",
     "All zedits saved to file.",
     "Error, not all zedits saved.",
     nullptr,
     nullptr,
     "Error saving zone -- zone number not found",
     "No zedit selected; nothing saved.",
     "Zedit for zone %d saved to file.",
     "Error, zedit not saved.",
     "All zedits unloaded."},
};

constexpr std::string_view kStockQuestion =
    "Hmmm.. this doesn't fit Quor's world format, but it seems to be\r\n"
    "a stock circle world file.  Would you like to load it up in the\r\n"
    "stock format and convert it to Quor's format?";

// The status after a load of objects or mobiles: the zone of the last
// record, or that the file held none.
template <class Table>
std::string prototypes_loaded(const Table& table, const char* none, const char* loaded) {
    if (!table.selected()) return none;
    return strfmt(loaded, table.record(table.count() - 1).zone);
}

class WorldKind final : public VnumKind<WorldTable, Room> {
public:
    using VnumKind::VnumKind;
    ReadResult<Room> read_current(std::string_view bytes, std::string_view file_name, int,
                                  ReadSink<Room>* sink) const override {
        return read_world(bytes, file_name, sink);
    }
    ReadResult<Room> read_older(std::string_view bytes, std::string_view file_name,
                                const std::vector<TextReader::StringError>& shown) const override {
        return read_older_world(bytes, file_name, shown);
    }
    WriteResult write(const WorldTable& world, const std::vector<int>& slots) const override {
        return write_world(world, slots);
    }
    std::string write_side(const WorldTable& world, const std::vector<int>& slots) const override {
        return write_room_colours(world, slots);
    }
    TableLoading<WorldTable> loading(Workspace& ws) const override { return TableLoad(ws).world(); }
    const WorldTable& table_of(const Workspace& ws) const override { return ws.world(); }
    // The CircleMUD family (tbaMUD, then stock) needs a question of its own,
    // asked with the rooms read.
    bool keep_older(UiPort& ui, int layout) const override {
        return !is_stock_world_layout(layout) || ui.ask_yes_no(kStockQuestion);
    }
    std::string loaded_status(const Workspace& ws, int zone) const override {
        const WorldTable& world = ws.world();
        int shown = world.empty() ? zone : world.room(world.count() - 1).zone;
        return strfmt("World file for zone %d loaded.", shown);
    }
    // The layout side file beside the world file gives the rooms' colours.
    void after_load(Workspace& ws, const std::string& path) const override {
        if (path.size() < 3) return;
        std::optional<std::string> data =
            read_file_bytes(path.substr(0, path.size() - 3) + words().side_extension);
        if (!data) return;
        // The colours are part of the load: no step, nothing modified.
        TableLoading<WorldTable> world = loading(ws);
        for (const RoomColour& c : read_room_colours(*data)) {
            int slot = world.table().find_room(c.vnum);
            int colour = c.colour;
            if (slot >= 0) world.edit_loaded(slot, [colour](Room& r) { r.room_colour = colour; });
        }
    }
    std::optional<int> current_zone(const Workspace& ws) const override {
        const Room* r = ws.world().selected_room();
        return r ? std::optional<int>(r->zone) : std::nullopt;
    }
};

class ObjectKind final : public VnumKind<ObjectTable, ObjectPrototype> {
public:
    using VnumKind::VnumKind;
    ReadResult<ObjectPrototype> read_current(std::string_view bytes, std::string_view file_name,
                                             int, ReadSink<ObjectPrototype>* sink) const override {
        return read_objects(bytes, file_name, sink);
    }
    ReadResult<ObjectPrototype> read_older(
        std::string_view bytes, std::string_view file_name,
        const std::vector<TextReader::StringError>& shown) const override {
        return read_older_objects(bytes, file_name, shown);
    }
    WriteResult write(const ObjectTable& objects, const std::vector<int>& slots) const override {
        return write_objects(objects, slots);
    }
    TableLoading<ObjectTable> loading(Workspace& ws) const override {
        return TableLoad(ws).objects();
    }
    const ObjectTable& table_of(const Workspace& ws) const override { return ws.objects(); }
    std::string loaded_status(const Workspace& ws, int) const override {
        return prototypes_loaded(ws.objects(), "Object file loaded, but no objects found in file.",
                                 "Object file for zone %d loaded.");
    }
    std::optional<int> current_zone(const Workspace& ws) const override {
        const ObjectPrototype* o = ws.objects().current_object();
        return o ? std::optional<int>(o->zone) : std::nullopt;
    }
};

class MobileKind final : public VnumKind<MobileTable, MobilePrototype> {
public:
    using VnumKind::VnumKind;
    ReadResult<MobilePrototype> read_current(std::string_view bytes, std::string_view file_name,
                                             int numbered_from,
                                             ReadSink<MobilePrototype>* sink) const override {
        return read_mobiles(bytes, file_name, numbered_from, sink);
    }
    ReadResult<MobilePrototype> read_older(
        std::string_view bytes, std::string_view file_name,
        const std::vector<TextReader::StringError>& shown) const override {
        return read_older_mobiles(bytes, file_name, shown);
    }
    WriteResult write(const MobileTable& mobiles, const std::vector<int>& slots) const override {
        return write_mobiles(mobiles, slots);
    }
    TableLoading<MobileTable> loading(Workspace& ws) const override {
        return TableLoad(ws).mobiles();
    }
    const MobileTable& table_of(const Workspace& ws) const override { return ws.mobiles(); }
    std::string loaded_status(const Workspace& ws, int) const override {
        return prototypes_loaded(ws.mobiles(), "Mobile file loaded, but no mobiles found in file.",
                                 "Mobile file for zone %d loaded.");
    }
    std::optional<int> current_zone(const Workspace& ws) const override {
        const MobilePrototype* m = ws.mobiles().current_mobile();
        return m ? std::optional<int>(m->zone) : std::nullopt;
    }
};

// A zone file holds one zedit, known by its number.
class ZoneKind final : public RecordKind<ZoneTable, Zedit> {
public:
    using RecordKind::RecordKind;
    ReadResult<Zedit> read_current(std::string_view bytes, std::string_view file_name, int,
                                   ReadSink<Zedit>* sink) const override {
        return read_zone(bytes, file_name, sink);
    }
    ReadResult<Zedit> read_older(std::string_view bytes, std::string_view file_name,
                                 const std::vector<TextReader::StringError>&) const override {
        return read_older_zone(bytes, file_name);
    }
    WriteResult write(const ZoneTable& zones, const std::vector<int>& slots) const override {
        return zs::write_zone(zones.zedit(slots.front()));
    }
    TableLoading<ZoneTable> loading(Workspace& ws) const override { return TableLoad(ws).zones(); }
    const ZoneTable& table_of(const Workspace& ws) const override { return ws.zones(); }
    std::string loaded_status(const Workspace& ws, int) const override {
        const ZoneTable& zones = ws.zones();
        return strfmt("Zedit file for zone %d loaded.", zones.zedit(zones.count() - 1).number);
    }
    ZoneTexts write_zone(const Workspace& ws, int zone) const override {
        return {write(ws.zones(), {ws.zones().find_zedit(zone)}), {}};
    }
    // Each zone number once, in the order it first stands in the table.
    std::vector<int> zones_with_records(const Workspace& ws) const override {
        std::vector<int> numbers;
        for (int s = 0; s < ws.zones().count(); ++s) {
            int number = ws.zones().zedit(s).number;
            if (number >= 0 && std::find(numbers.begin(), numbers.end(), number) == numbers.end())
                numbers.push_back(number);
        }
        return numbers;
    }
    int records_in_zone(const Workspace&, int) const override { return 1; }
    int id_of(const Workspace& ws, int slot) const override {
        return static_cast<int>(ws.zones().zedit(slot).number);
    }
    std::optional<int> current_zone(const Workspace& ws) const override {
        const Zedit* z = ws.zones().selected_zedit();
        return z ? std::optional<int>(z->number) : std::nullopt;
    }
};

const WorldKind kWorldKind(kFileKinds[0]);
const ObjectKind kObjectKind(kFileKinds[1]);
const MobileKind kMobileKind(kFileKinds[2]);
const ZoneKind kZoneKind(kFileKinds[3]);
const AreaKind* const kAreaKinds[] = {&kWorldKind, &kObjectKind, &kMobileKind, &kZoneKind};

}  // namespace

std::span<const FileKind> file_kinds() {
    return kFileKinds;
}

const FileKind& file_kind(TableKind table) {
    for (const auto& k : kFileKinds)
        if (k.table == table) return k;
    return kFileKinds[0];
}

const FileKind& file_kind(EditorKind editor) {
    for (const auto& k : kFileKinds)
        if (k.editor == editor) return k;
    return kFileKinds[0];
}

const FileKind* file_kind_of_path(std::string_view path) {
    if (path.size() < 3) return nullptr;
    for (const auto& k : kFileKinds)
        if (path[path.size() - 3] == k.extension[0]) return &k;
    return nullptr;
}

std::span<const AreaKind* const> area_kinds() {
    return kAreaKinds;
}

const AreaKind& area_kind(TableKind table) {
    for (const AreaKind* k : kAreaKinds)
        if (k->table() == table) return *k;
    return *kAreaKinds[0];
}

}  // namespace zs
