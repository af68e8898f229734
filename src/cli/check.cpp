// zonesmith-cli check: what should be looked at before the game boots.
#include "cli/commands.h"

#include "cli/command.h"
#include "files/scan.h"
#include "world/box_numbers.h"
#include "world/zone_ops.h"

namespace zs::cli {

int check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.strict = true}, opt, err)) return 2;
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    std::vector<int> zones;
    for (const auto& z : opt.operands) {
        std::optional<long long> n = box_number(z);
        if (!n || !zone_number_valid(*n)) {
            return usage_error(err, z + " is not a zone number");
        }
        zones.push_back(static_cast<int>(*n));
    }
    if (zones.empty()) zones = zones_in_area_dir(ws);
    RecordOrigins origins;
    int files_loaded = 0;
    bool all_loaded = load_zones_for_check(ws, zones, origins, &files_loaded);
    if (files_loaded == 0) {
        // Nothing to check is not a clean bill of health.
        err << "zonesmith-cli: nothing was loaded: ";
        if (!all_loaded)
            err << "no area file of " << ws.area_dir().string() << " loaded\n";
        else if (zones.empty())
            err << ws.area_dir().string()
                << " holds no area files named by a zone number (such as 12.wld)\n";
        else
            err << ws.area_dir().string() << " holds no area files of the zones named\n";
        return 1;
    }
    std::vector<Problem> problems = std::move(ui.load_problems);
    for (Problem& p : check_areas(ws, origins))
        problems.push_back(std::move(p));
    bool fails = !all_loaded;
    for (const auto& p : problems) {
        out << p.severity_text() << '\n';
        fails |= p.severity == Severity::Error || opt.strict;
    }
    return fails ? 1 : 0;
}

}  // namespace zs::cli
