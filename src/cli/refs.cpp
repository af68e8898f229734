// zonesmith-cli refs: what in the area directory's zones refers to rooms,
// objects or mobiles.
#include "cli/command.h"
#include "cli/commands.h"
#include "files/file_kinds.h"
#include "files/reference_places.h"
#include "world/box_numbers.h"
#include "world/references.h"

namespace zs::cli {

namespace {

std::optional<TableKind> kind_named(const std::string& word) {
    if (word == "room") return TableKind::World;
    if (word == "obj") return TableKind::Object;
    if (word == "mob") return TableKind::Mobile;
    return std::nullopt;
}

// Whether a record of the kind has the vnum.
bool loaded(const Workspace& ws, TableKind kind, int vnum) {
    switch (kind) {
        case TableKind::World:
            return ws.world().find_room(vnum) >= 0;
        case TableKind::Object:
            return ws.objects().find_object(vnum) >= 0;
        default:
            return ws.mobiles().find_mobile(vnum) >= 0;
    }
}

}  // namespace

int refs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.operands_required = true}, opt, err)) return 2;
    std::optional<TableKind> kind = kind_named(opt.operands[0]);
    if (!kind) return usage_error(err, opt.operands[0] + " is not room, obj or mob");
    if (opt.operands.size() < 2) return usage_error(err, "no VNUM given");
    std::vector<int> vnums;
    for (std::size_t i = 1; i < opt.operands.size(); ++i) {
        std::optional<long long> n = box_number(opt.operands[i]);
        if (!n || !vnum_in_range(*n)) return usage_error(err, opt.operands[i] + " is not a vnum");
        vnums.push_back(static_cast<int>(*n));
    }
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    RecordOrigins origins;
    bool all_loaded = load_zones_for_check(ws, zones_in_area_dir(ws), origins);
    bool found_all = true;
    for (int vnum : vnums) {
        std::vector<Reference> found = find_references(ws, *kind, vnum);
        if (found.empty() && !loaded(ws, *kind, vnum)) {
            err << "zonesmith-cli: " << file_kind(*kind).record_noun << ' ' << vnum
                << " is found nowhere in the zones of " << ws.area_dir().string() << '\n';
            found_all = false;
            continue;
        }
        out << reference_count_line(ws, *kind, vnum, found) << '\n';
        for (const Reference& r : found)
            out << reference_place_text(ws, origins, r) << '\n';
    }
    return all_loaded && found_all ? 0 : 1;
}

}  // namespace zs::cli
