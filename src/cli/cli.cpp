#include "cli/cli.h"

#include <filesystem>
#include <map>
#include <set>

#include "files/area_files.h"
#include "files/file_wld.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

namespace {

constexpr const char* kUsage =
    "usage: zonesmith-cli convert [--yes] [-o DIR] FILE...\n"
    "       zonesmith-cli stats [--yes] FILE...\n";

// Line breaks of message texts are CR LF; a terminal wants LF.
std::string for_terminal(std::string_view text) {
    std::string s(text);
    std::erase(s, '\r');
    return s;
}

// Status texts go to stdout, message boxes and questions to stderr (caption
// first); every question is answered the same way.
class CliUi : public UiPort {
public:
    CliUi(std::ostream& out, std::ostream& err, bool yes, bool statuses = true)
        : out_(out), err_(err), yes_(yes), statuses_(statuses) {}
    void show_status(std::string_view text) override {
        if (statuses_) out_ << for_terminal(text) << '\n';
    }
    void show_message(std::string_view text, std::string_view caption) override {
        if (!caption.empty()) err_ << caption << ": ";
        err_ << for_terminal(text) << '\n';
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        show_message(text, caption);
        err_ << (yes_ ? "-> Yes" : "-> No") << '\n';
        return yes_;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool yes_;
    bool statuses_;
};

struct Options {
    bool yes = false;
    std::filesystem::path out_dir = ".";
    std::vector<std::string> files;
};

bool parse_options(const std::vector<std::string>& args, bool allow_out_dir, Options& opt,
                   std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--yes" || a == "-y") {
            opt.yes = true;
        } else if (allow_out_dir && (a == "-o" || a == "--output")) {
            if (++i >= args.size()) {
                err << "zonesmith-cli: " << a << " needs a directory\n";
                return false;
            }
            opt.out_dir = args[i];
        } else if (a.size() > 1 && a[0] == '-') {
            err << "zonesmith-cli: unknown option " << a << '\n';
            return false;
        } else {
            opt.files.push_back(a);
        }
    }
    if (opt.files.empty()) {
        err << "zonesmith-cli: no files given\n";
        return false;
    }
    return true;
}

bool load_all_files(Workspace& ws, const Options& opt, std::ostream& err) {
    bool all = true;
    for (const auto& f : opt.files) {
        if (!load_area_file(ws, f)) {
            err << "zonesmith-cli: " << f << " was not loaded\n";
            all = false;
        }
    }
    return all;
}

int convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options opt;
    if (!parse_options(args, true, opt, err)) {
        err << kUsage;
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(opt.out_dir, ec);
    if (!std::filesystem::is_directory(opt.out_dir)) {
        err << "zonesmith-cli: cannot use output directory " << opt.out_dir.string() << '\n';
        return 2;
    }
    CliUi ui(out, err, opt.yes);
    Workspace ws(ui);
    bool all_loaded = load_all_files(ws, opt, err);
    ws.set_area_dir(opt.out_dir);
    bool all_saved = save_everything(ws);
    return all_loaded && all_saved ? 0 : 1;
}

struct ZoneCounts {
    int rooms = 0, exits = 0, extra_descriptions = 0, triggers = 0;
    int objects = 0, mobiles = 0, conversations = 0, skills = 0, commands = 0;
};

int stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options opt;
    if (!parse_options(args, false, opt, err)) {
        err << kUsage;
        return 2;
    }
    // The loaders' status texts would be noise among the counts.
    CliUi ui(out, err, opt.yes, false);
    Workspace ws(ui);
    bool all_loaded = load_all_files(ws, opt, err);

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

}  // namespace

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    if (args[0] == "convert") return convert(args, out, err);
    if (args[0] == "stats") return stats(args, out, err);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return 0;
    }
    err << "zonesmith-cli: unknown command " << args[0] << '\n' << kUsage;
    return 2;
}

}  // namespace zs
