// zonesmith-cli stats: per-zone counts of what the files named hold.
#include "cli/commands.h"

#include <map>

#include "cli/command.h"
#include "world/strfmt.h"

namespace zs::cli {

namespace {

struct ZoneCounts {
    int rooms = 0, exits = 0, extra_descriptions = 0, triggers = 0;
    int objects = 0, mobiles = 0, conversations = 0, skills = 0, commands = 0;
};

}  // namespace

int stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.operands_required = true}, opt, err)) return 2;
    // The loaders' status texts would be noise among the counts.
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    bool all_loaded = load_files(ws, ui, opt, err);

    std::map<int, ZoneCounts> zones;
    const WorldTable& world = ws.world();
    for (int s = 0; s < world.count(); ++s) {
        const Room& r = world.room(s);
        ZoneCounts& c = zones[r.zone];
        ++c.rooms;
        for (const auto& e : r.exits)
            c.exits += e.has_value();
        c.extra_descriptions += static_cast<int>(r.extra_descriptions.size());
        c.triggers += static_cast<int>(r.triggers.size());
    }
    for (int s = 0; s < ws.objects().count(); ++s)
        ++zones[ws.objects().record(s).zone].objects;
    for (int s = 0; s < ws.mobiles().count(); ++s) {
        const MobilePrototype& m = ws.mobiles().record(s);
        ZoneCounts& c = zones[m.zone];
        ++c.mobiles;
        c.conversations += m.conversation_count();
        c.skills += static_cast<int>(m.skills.size());
    }
    for (int s = 0; s < ws.zones().count(); ++s) {
        const Zedit& z = ws.zones().zedit(s);
        zones[z.number].commands += static_cast<int>(z.commands.size());
    }
    for (const auto& [zone, c] : zones) {
        out << strfmt(
            "zone %d: %d rooms, %d exits, %d extra descriptions, %d triggers, "
            "%d objects, %d mobiles, %d conversations, %d skills, %d commands\n",
            zone, c.rooms, c.exits, c.extra_descriptions, c.triggers, c.objects, c.mobiles,
            c.conversations, c.skills, c.commands);
    }
    return all_loaded ? 0 : 1;
}

}  // namespace zs::cli
