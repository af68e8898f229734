// zonesmith-cli generate-descs: room descriptions from vocabulary files.
#include "cli/commands.h"

#include <ctime>

#include "cli/command.h"
#include "files/area_files.h"
#include "generators/describe.h"
#include "generators/grammar.h"
#include "generators/random.h"
#include "generators/run_messages.h"
#include "generators/vocabulary.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs::cli {

namespace {

// A vocabulary argument: FILE, or FILE:COLOR with a colour of one or two
// characters after the last colon.
std::pair<std::string, std::string> vocabulary_argument(const std::string& arg) {
    std::size_t colon = arg.rfind(':');
    if (colon == std::string::npos || colon == 0 || arg.size() - colon - 1 > 2 ||
        colon + 1 == arg.size())
        return {arg, ""};
    return {arg.substr(0, colon), arg.substr(colon + 1)};
}

}  // namespace

int generate_descs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   ProcessEnd process_end) {
    // --seed and --vocab are this command's own; the rest are the common
    // options.
    std::vector<std::string> rest;
    std::optional<std::uint64_t> seed;
    std::vector<std::pair<std::string, std::string>> vocabularies;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--seed") {
            std::optional<long long> n = has_value ? box_number(args[i + 1]) : std::nullopt;
            if (!n || *n < 0) return usage_error(err, "--seed needs a number of 0 or more");
            seed = static_cast<std::uint64_t>(*n);
            ++i;
        } else if (a == "--vocab") {
            if (!has_value) return usage_error(err, "--vocab needs a file");
            vocabularies.push_back(vocabulary_argument(args[++i]));
        } else {
            rest.push_back(a);
        }
    }
    Options opt;
    if (!parse_options(rest, {}, opt, err)) return 2;
    std::vector<int> zones;
    for (const std::string& z : opt.operands) {
        std::optional<long long> n = box_number(z);
        if (!n || !zone_number_valid(*n)) return usage_error(err, z + " is not a zone number");
        zones.push_back(static_cast<int>(*n));
    }
    if (zones.empty()) return usage_error(err, "no zones given");
    if (vocabularies.empty()) return usage_error(err, "no vocabulary file given (--vocab FILE)");

    CliUi ui(out, err, opt.answer, Statuses::Hidden);
    CommandWorkspace workspace(ui, process_end, opt.dir);
    Workspace& ws = *workspace;
    bool ok = true;
    for (int zone : zones) {
        fs::path file = ws.area_dir() / strfmt("%d.wld", zone);
        if (!load_area_file(ws, file.string())) {
            err << "zonesmith-cli: " << file.string() << " was not loaded\n";
            ok = false;
        }
    }
    RunMessages messages(ui);
    ok = check_all_templates(messages) && ok;
    Vocabulary vocabulary;
    for (const auto& [file, colour] : vocabularies)
        if (!read_vocabulary_file(vocabulary, file, colour, messages)) {
            err << "zonesmith-cli: " << file << " was not read\n";
            ok = false;
        }
    // A zone or vocabulary file that did not load leaves every file as it was.
    if (!ok) {
        err << "zonesmith-cli: nothing was generated\n";
        return 1;
    }
    Random random(seed ? *seed : static_cast<std::uint64_t>(std::time(nullptr)));
    DescriptionRun run = generate_descriptions(ws, random, vocabulary, messages, zones);
    bool saved = save_everything(ws, WhenKept::SaveNothing);
    // Told once the descriptions are in their files.
    if (saved)
        out << strfmt("%d room description%s generated.\n", run.described,
                      run.described == 1 ? "" : "s");
    return ok && saved && !run.stopped ? 0 : 1;
}

}  // namespace zs::cli
