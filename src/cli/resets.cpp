// zonesmith-cli resets: what one reset of each zone named loads.
#include "cli/commands.h"

#include <set>

#include "cli/command.h"
#include "world/box_numbers.h"
#include "world/reset_result.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs::cli {

namespace {

// The zones whose rooms, objects and mobiles the commands of `zone` name.
std::set<int> zones_named_by(const Workspace& ws, int zone) {
    std::set<int> named;
    auto name = [&named](int vnum) {
        if (vnum >= 0) named.insert(zone_of(vnum));
    };
    int slot = ws.zones().find_zedit(zone);
    if (slot < 0) return named;
    for (const Zcmd& c : ws.zones().zedit(slot).commands) {
        const auto& a = c.arg;
        switch (c.command) {
            case 'M':
            case 'O':
            case 'P':  // the room, or the container
                name(a[0]);
                name(a[2]);
                break;
            case 'G':
            case 'E':
            case 'D':
            case 'R':  // the object, or the room
                name(a[0]);
                break;
            default:
                break;
        }
    }
    return named;
}

}  // namespace

int resets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {}, opt, err)) return 2;
    std::vector<int> zones;
    for (const auto& z : opt.operands) {
        std::optional<long long> n = box_number(z);
        if (!n || !zone_number_valid(*n)) {
            return usage_error(err, z + " is not a zone number");
        }
        zones.push_back(static_cast<int>(*n));
    }
    if (zones.empty()) {
        return usage_error(err, "no zones given");
    }
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    RecordOrigins origins;
    bool all_loaded = load_zones_for_check(ws, zones, origins);
    // What a reset loads from other zones counts only when those are loaded.
    std::set<int> tried(zones.begin(), zones.end());
    std::vector<int> more;
    for (int zone : zones)
        for (int named : zones_named_by(ws, zone))
            if (tried.insert(named).second) more.push_back(named);
    all_loaded = load_zones_for_check(ws, more, origins) && all_loaded;
    for (const auto& p : ui.load_problems)
        err << p.text() << '\n';
    all_loaded = all_loaded && ui.load_problems.empty();
    for (int zone : zones) {
        if (ws.zones().find_zedit(zone) < 0) {
            // A file that is there but did not load has said why already.
            std::error_code ec;
            bool there = fs::exists(ws.area_dir() / strfmt("%d.zon", zone), ec);
            err << strfmt(there ? "zonesmith-cli: zone %d's zone file %d.zon in %s did not load\n"
                                : "zonesmith-cli: zone %d has no zone file %d.zon in %s\n",
                          zone, zone, opt.dir ? opt.dir->string().c_str() : ".");
            all_loaded = false;
            continue;
        }
        for (const ResetRow& row : simulate_reset(ws, zone))
            out << reset_row_line(row) << '\n';
    }
    return all_loaded ? 0 : 1;
}

}  // namespace zs::cli
