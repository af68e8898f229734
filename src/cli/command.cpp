#include "cli/command.h"

#include <climits>

#include "files/load_command.h"
#include "net/download_report.h"
#include "world/box_numbers.h"

namespace zs::cli {

const char* const kUsage =
    "usage: zonesmith-cli convert [--yes] [--dir DIR] [-o DIR] FILE...\n"
    "       zonesmith-cli stats [--yes] [--dir DIR] FILE...\n"
    "       zonesmith-cli check [--yes] [--strict] [--dir DIR] [ZONE...]\n"
    "       zonesmith-cli renumber [--yes] [--dir DIR] [-o DIR] OLD NEW\n"
    "       zonesmith-cli resets [--yes] [--dir DIR] ZONE...\n"
    "       zonesmith-cli show [--yes] [--dir DIR] obj|mob VNUM...\n"
    "       zonesmith-cli refs [--yes] [--dir DIR] room|obj|mob VNUM...\n"
    "       zonesmith-cli find [--yes] [--dir DIR] TEXT...\n"
    "       zonesmith-cli generate-descs [--yes] [--dir DIR] [--seed S] --vocab FILE[:COLOR]... "
    "ZONE...\n"
    "       zonesmith-cli generate-map [--dir DIR] [--seed S] ZONE ROOMS [FLOORS]\n"
    "       zonesmith-cli download --host HOST [--port PORT] --user USER [--dir DIR]\n"
    "                     [--timeout SECONDS] ZONE[:KINDS]...\n"
    "       zonesmith-cli COMMAND --help\n"
    "       zonesmith-cli --version\n";

std::string from_server(std::string_view text) {
    return net::escape_unprintable(text);
}

int usage_error(std::ostream& err, const std::string& why) {
    err << "zonesmith-cli: " << why << '\n' << kUsage;
    return 2;
}

bool output_directory_ready(const fs::path& dir, std::ostream& err) {
    std::error_code made;
    fs::create_directories(dir, made);
    std::error_code looked;
    if (fs::is_directory(dir, looked)) return true;
    std::error_code cause = made ? made : looked;
    if (!cause) cause = std::make_error_code(std::errc::not_a_directory);
    err << "zonesmith-cli: cannot use output directory " << dir.string() << ": " << cause.message()
        << '\n';
    return false;
}

std::string for_terminal(std::string_view text) {
    std::string s(text);
    std::erase(s, '\r');
    return s;
}

namespace {

bool read_options(const std::vector<std::string>& args, const OptionRules& rules, Options& opt,
                  std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto directory = [&](std::optional<fs::path>& into) {
            if (++i >= args.size()) {
                err << "zonesmith-cli: " << a << " needs a directory\n";
                return false;
            }
            into = args[i];
            return true;
        };
        if (a == "--yes" || a == "-y") {
            opt.answer = Answer::Yes;
        } else if (a == "--dir") {
            if (!directory(opt.dir)) return false;
        } else if (rules.strict && a == "--strict") {
            opt.strict = true;
        } else if (rules.output && (a == "-o" || a == "--output")) {
            if (!directory(opt.out_dir)) return false;
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            err << "zonesmith-cli: unknown option " << a << '\n';
            return false;
        } else {
            opt.operands.push_back(a);
        }
    }
    if (rules.operands_required && opt.operands.empty()) {
        err << "zonesmith-cli: no files given\n";
        return false;
    }
    if (opt.dir && !fs::is_directory(*opt.dir)) {
        err << "zonesmith-cli: " << opt.dir->string() << " is not a directory\n";
        return false;
    }
    return true;
}

}  // namespace

bool parse_options(const std::vector<std::string>& args, const OptionRules& rules, Options& opt,
                   std::ostream& err) {
    if (read_options(args, rules, opt, err)) return true;
    err << kUsage;
    return false;
}

bool load_files(Workspace& ws, CliUi& ui, const Options& opt, std::ostream& err) {
    bool all = true;
    for (const auto& f : opt.operands) {
        fs::path path = opt.dir && fs::path(f).is_relative() ? *opt.dir / f : fs::path(f);
        std::size_t problems = ui.load_problems.size();
        if (!load_area_file(ws, path.string())) {
            err << "zonesmith-cli: " << path.string() << " was not loaded\n";
            all = false;
        } else if (ui.load_problems.size() > problems) {
            err << "zonesmith-cli: " << path.string() << " was loaded with errors\n";
            all = false;
        }
    }
    return all;
}

bool int_operand(const std::string& text, const char* what, int& value, std::ostream& err) {
    std::optional<long long> n = box_number(text);
    if (!n || *n < INT_MIN || *n > INT_MAX) {
        err << "zonesmith-cli: " << text << " is not a " << what << '\n' << kUsage;
        return false;
    }
    value = static_cast<int>(*n);
    return true;
}

}  // namespace zs::cli
