// zonesmith-cli convert: load the files named, save every zone in the current layouts.
#include "cli/commands.h"

#include "cli/command.h"
#include "files/area_files.h"

namespace zs::cli {

int convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.output = true, .operands_required = true}, opt, err)) return 2;
    fs::path out_dir = opt.out_dir ? *opt.out_dir : opt.dir ? *opt.dir : fs::path(".");
    if (!output_directory_ready(out_dir, err)) return 2;
    CliUi ui(out, err, opt.answer, Statuses::Shown);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    bool all_loaded = load_files(ws, ui, opt, err);
    ws.set_area_dir(out_dir);
    bool all_saved = save_everything(ws, WhenKept::SaveNothing);
    return all_loaded && all_saved ? 0 : 1;
}

}  // namespace zs::cli
