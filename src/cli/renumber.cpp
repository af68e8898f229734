// zonesmith-cli renumber: moves a zone with every reference to it, saved as one change.
#include "cli/commands.h"

#include "cli/command.h"
#include "files/area_files.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs::cli {

namespace {

// Messages of the renumbering go to stderr, but its report of success is the
// command's output, printed once every changed file is saved.
class RenumberUi : public CliUi {
public:
    RenumberUi(std::ostream& out, std::ostream& err, Answer answer)
        : CliUi(out, err, answer, Statuses::Hidden), out_(out) {}
    void show_message(std::string_view text, std::string_view caption) override {
        if (caption == "Success")
            success_.push_back(for_terminal(text));
        else
            CliUi::show_message(text, caption);
    }
    void print_success() {
        for (const auto& text : success_)
            out_ << text << '\n';
    }

private:
    std::ostream& out_;
    std::vector<std::string> success_;
};

}  // namespace

int renumber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             ProcessEnd process_end) {
    Options opt;
    if (!parse_options(args, {.output = true, .operands_required = true}, opt, err)) return 2;
    std::optional<long long> numbers[2];
    for (std::size_t i = 0; i < 2 && i < opt.operands.size(); ++i)
        numbers[i] = box_number(opt.operands[i]);
    if (opt.operands.size() != 2 || !numbers[0] || !numbers[1]) {
        return usage_error(err, "renumber takes two zone numbers, OLD and NEW");
    }
    fs::path dir = opt.dir ? *opt.dir : fs::path(".");
    fs::path out_dir = opt.out_dir ? *opt.out_dir : dir;
    if (!output_directory_ready(out_dir, err)) return 2;
    for (long long n : {*numbers[0], *numbers[1]})
        if (!zone_number_valid(n)) {
            err << strfmt("zonesmith-cli: %lld is not a zone number (0 to %d)\n", n, kHighestZone);
            return 1;
        }
    int old_zone = static_cast<int>(*numbers[0]), new_zone = static_cast<int>(*numbers[1]);

    RenumberUi ui(out, err, opt.answer);
    CommandWorkspace workspace(ui, process_end, dir);
    Workspace& ws = *workspace;
    RecordOrigins origins;
    bool all_loaded = load_zones_for_check(ws, zones_in_area_dir(ws), origins);
    if (!all_loaded || !ui.load_problems.empty()) {
        for (const auto& p : ui.load_problems)
            err << p.text() << '\n';
        err << "zonesmith-cli: not every area file of " << dir.string()
            << " loaded; nothing renumbered\n";
        return 1;
    }
    RenumberResult result = renumber_zone(ws, old_zone, new_zone, true);
    if (!result.done) return 1;

    // Saved as one change: in place the old zone's files go as the new ones
    // take their places; an output directory never had them.
    ws.set_area_dir(out_dir);
    if (!save_changed_zones(ws, WhenKept::SaveNothing)) {
        err << "zonesmith-cli: not every changed zone was saved\n";
        return 1;
    }
    ui.print_success();
    return 0;
}

}  // namespace zs::cli
