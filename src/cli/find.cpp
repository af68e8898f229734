// zonesmith-cli find: the rooms, objects, mobiles and reset commands of the
// area directory's zones that a text names.
#include "cli/command.h"
#include "cli/commands.h"
#include "world/search.h"

namespace zs::cli {

int find(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.operands_required = true}, opt, err)) return 2;
    // The words of the text may come as one operand or as several.
    std::string text;
    for (const std::string& word : opt.operands)
        text += (text.empty() ? "" : " ") + word;
    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    RecordOrigins origins;
    bool all_loaded = load_zones_for_check(ws, zones_in_area_dir(ws), origins);
    std::vector<SearchHit> hits = find_in_world(ws, text);
    for (const SearchHit& h : hits)
        out << hit_kind_word(h.table) << '\t' << (h.table == TableKind::Zone ? h.index : h.vnum)
            << '\t' << h.zone << '\t' << h.name << '\n';
    return all_loaded && !hits.empty() ? 0 : 1;
}

}  // namespace zs::cli
