// zonesmith-cli generate-map: a random map of new rooms in empty zones.
#include "cli/commands.h"

#include <chrono>

#include "cli/command.h"
#include "files/load_command.h"
#include "files/save_command.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"

namespace zs::cli {

int generate_map(const Args& args, std::ostream& out, std::ostream& err, ProcessEnd process_end) {
    // --seed is this command's own; the rest are the common options.
    std::vector<std::string> rest;
    std::optional<std::uint64_t> seed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--seed") {
            rest.push_back(args[i]);
            continue;
        }
        std::optional<long long> n = ++i < args.size() ? box_number(args[i]) : std::nullopt;
        if (!n || *n < 0) {
            return usage_error(err, "--seed needs a number of 0 or more");
        }
        seed = static_cast<std::uint64_t>(*n);
    }
    Options opt;
    if (!parse_options(rest, {}, opt, err)) return 2;
    if (opt.operands.size() < 2 || opt.operands.size() > 3) {
        return usage_error(err, "generate-map takes ZONE, ROOMS and optionally FLOORS");
    }
    MapRequest request;
    if (!int_operand(opt.operands[0], "zone number", request.zone, err) ||
        !int_operand(opt.operands[1], "number of rooms", request.rooms, err))
        return 2;
    if (opt.operands.size() == 3) {
        if (!int_operand(opt.operands[2], "number of floors", request.max_floors, err)) return 2;
        request.up_down = true;
    }
    if (!seed) {
        seed = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                              std::chrono::system_clock::now().time_since_epoch())
                                              .count());
        out << "Seed " << *seed << ".\n";
    }
    CliUi ui(out, err, opt.answer, Statuses::Shown);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    // Rooms in the zones' world files count as rooms of the zones.
    if (!map_request_problem(request))
        for (int zone : map_zones(request)) {
            fs::path file = ws.area_dir() / strfmt("%d.wld", zone);
            if (fs::exists(file) && !load_area_file(ws, file.string())) {
                err << "zonesmith-cli: " << file.string() << " was not loaded; nothing generated\n";
                return 1;
            }
        }
    Random random(*seed);
    // What the generator reports is printed once its rooms are saved (or
    // when it refused to make them).
    ui.hold_statuses();
    if (generate_map(ws, request, random) != MapResult::Added) {
        ui.print_held();
        return 1;
    }
    if (!save_zone_files(ws, TableKind::World, map_zones(request), WhenKept::SaveNothing)) {
        err << "zonesmith-cli: the generated rooms were not saved\n";
        return 1;
    }
    ui.print_held();
    return 0;
}

}  // namespace zs::cli
