#include "cli/cli.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "files/area_change.h"
#include "files/area_files.h"
#include "files/area_io.h"
#include "files/check.h"
#include "files/save_command.h"
#include "files/scan.h"
#include "generators/describe.h"
#include "generators/grammar.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "generators/run_messages.h"
#include "generators/vocabulary.h"
#include "net/connection.h"
#include "net/download_report.h"
#include "net/event_queue.h"
#include "world/reset_result.h"
#include "world/strfmt.h"
#include "world/workspace.h"
#include "world/zone_ops.h"
#include "zonesmith_version.h"

namespace zs {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: zonesmith-cli convert [--yes] [--dir DIR] [-o DIR] FILE...\n"
    "       zonesmith-cli stats [--yes] [--dir DIR] FILE...\n"
    "       zonesmith-cli check [--yes] [--strict] [--dir DIR] [ZONE...]\n"
    "       zonesmith-cli renumber [--yes] [--dir DIR] [-o DIR] OLD NEW\n"
    "       zonesmith-cli resets [--yes] [--dir DIR] ZONE...\n"
    "       zonesmith-cli generate-descs [--yes] [--dir DIR] [--seed S] --vocab FILE[:COLOR]... "
    "ZONE...\n"
    "       zonesmith-cli generate-map [--dir DIR] [--seed S] ZONE ROOMS [FLOORS]\n"
    "       zonesmith-cli download --host HOST [--port PORT] --user USER [--dir DIR]\n"
    "                     [--timeout SECONDS] ZONE[:KINDS]...\n"
    "       zonesmith-cli COMMAND --help\n"
    "       zonesmith-cli --version\n";

// What `zonesmith-cli COMMAND --help` prints.
std::string command_help(const std::string& usage, const std::string& what,
                         const std::string& more_options = "") {
    return "usage: zonesmith-cli " + usage + '\n' + what +
           "  -y, --yes         answer every question of the loaders with Yes (default: No)\n"
           "  --dir DIR         the area directory (default: the working directory)\n" +
           more_options + "  -h, --help        show this help\n";
}

const std::map<std::string, std::string> kCommandHelp = {
    {"convert", command_help("convert [--yes] [--dir DIR] [-o DIR] FILE...",
                             "Loads each FILE (relative ones from the area directory) with the "
                             "loader its\nextension names and saves every zone loaded in the "
                             "current layouts.\n",
                             "  -o, --output DIR  where to save (default: the area directory)\n")},
    {"stats", command_help("stats [--yes] [--dir DIR] FILE...",
                           "Loads each FILE and prints per zone what the files hold.\n")},
    {"check",
     command_help("check [--yes] [--strict] [--dir DIR] [ZONE...]",
                  "Loads the ZONEs (all zones of the area directory when none is named) and\n"
                  "lists what should be looked at before the game boots, one line each:\n"
                  "  file:line: error: message    the game would load something broken\n"
                  "  file:line: warning: message  it may be meant (a one-way exit, a door\n"
                  "                               without keywords)\n"
                  "Exits with 1 when it found an error (or a file did not load), else 0.\n",
                  "  --strict          exit with 1 on warnings too\n")},
    {"renumber",
     command_help("renumber [--yes] [--dir DIR] [-o DIR] OLD NEW",
                  "Loads every zone of the area directory, moves zone OLD's rooms, zedit, "
                  "objects\nand mobiles to zone NEW, rewrites every reference to them in "
                  "every zone (exits,\nkeys, reset commands, container keys) and saves the "
                  "zones that changed. In place\n(without -o) OLD's files are removed in the "
                  "same change, made whole or not at all.\n",
                  "  -o, --output DIR  where to save (default: the area directory)\n")},
    {"resets",
     command_help("resets [--yes] [--dir DIR] ZONE...",
                  "Loads the ZONEs and the zones whose rooms, objects and mobiles their reset\n"
                  "commands name, and lists what one reset of each ZONE loads into an empty\n"
                  "world, a line per command in command order:\n"
                  "  room<TAB>what<TAB>vnum<TAB>in  what is mob, obj, give, equip, put, door or\n"
                  "                                remove; in is the carrier or container vnum\n"
                  "                                (- for none); a door shows its direction\n"
                  "                                and state\n"
                  "  skip<TAB>command              a command that does not fire, as the zone\n"
                  "                                editor shows it\n"
                  "Exits with 1 when a ZONE has no zone file or a file did not load, else 0.\n")},
    {"generate-descs",
     command_help("generate-descs [--yes] [--dir DIR] [--seed S] --vocab FILE[:COLOR]... ZONE...",
                  "Loads the ZONEs' world files, reads the vocabulary FILEs in order (COLOR, at\n"
                  "most two characters such as &g, colours the titles of the file before it) and\n"
                  "replaces the description of every room whose name is a title, then saves the\n"
                  "ZONEs. The same seed gives the same bytes. Exits with 1 when a file did not\n"
                  "load or a description failed, else 0.\n",
                  "  --seed S          the random numbers' seed (default: the time)\n"
                  "  --vocab FILE[:C]  a vocabulary file and its titles' colour; repeatable\n")},
    {"generate-map",
     command_help("generate-map [--dir DIR] [--seed S] ZONE ROOMS [FLOORS]",
                  "Generates ROOMS connected rooms by a random walk on the map grid, numbered\n"
                  "from ZONE * 100 on (spilling into the zones after ZONE), and saves their\n"
                  "world files. With FLOORS the walk also goes up and down, over at most FLOORS\n"
                  "floors (0: no limit). The zones must have no rooms yet. The same seed gives\n"
                  "the same files. Exits with 1 when nothing was generated or a file was not\n"
                  "saved, else 0.\n",
                  "  --seed S          the random seed (default: the time in seconds; printed)\n")},
    {"download",
     "usage: zonesmith-cli download --host HOST [--port PORT] --user USER [--dir DIR]\n"
     "                              [--timeout SECONDS] ZONE[:KINDS]...\n"
     "Logs in to the game server and downloads the area files of each ZONE (a number\n"
     "from 1 to 999) into the area directory: KINDS picks them from w (world), m\n"
     "(mobiles), o (objects) and z (zone), all four when left out. The password is\n"
     "read from the environment variable ZONESMITH_PASSWORD. Each file's progress\n"
     "and result is printed as it happens. Only the files asked for are taken, each\n"
     "once: a file the server sends unasked or again is refused and ends the\n"
     "download. What the server names is printed with every byte that is not\n"
     "printable ASCII as \\xHH, and a message it makes the client repeat once with\n"
     "its count. Exits with 0 when every requested file arrived whole and nothing\n"
     "was refused, else 1.\n"
     "  --host HOST       the game server\n"
     "  --port PORT       its port (default: 9987)\n"
     "  --user USER       the account's name\n"
     "  --dir DIR         where the files go (default: the working directory)\n"
     "  --timeout SECONDS bounds every wait for the server (default: the link's own,\n"
     "                    at most 30 s); a file fails when nothing of it comes for\n"
     "                    that long, or it comes slower than 1 KB/s over it\n"
     "  -h, --help        show this help\n"},
};

// Every name or text that came from the game server, as the terminal gets
// it: each byte that is not printable ASCII escaped ("\x9b"), so that nothing
// the server sends can move the cursor, recolour or reverse the line.
std::string from_server(std::string_view text) {
    return net::escape_unprintable(text);
}

// A usage error: the reason, then the usage; exit status 2.
int usage_error(std::ostream& err, const std::string& why) {
    err << "zonesmith-cli: " << why << '\n' << kUsage;
    return 2;
}

// Makes the output directory when it is not there; false, with the cause,
// when it cannot be made or is not a directory.
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
    CliUi(std::ostream& out, std::ostream& err, bool yes, bool statuses)
        : out_(out), err_(err), yes_(yes), statuses_(statuses) {}
    void show_status(std::string_view text) override {
        if (!statuses_) return;
        if (holding_)
            held_.push_back(for_terminal(text));
        else
            out_ << for_terminal(text) << '\n';
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
    void load_problem(std::string_view file, int line, std::string_view message) override {
        load_problems.push_back({std::string(file), line, std::string(message)});
    }

    // Faults that did not stop a load, as the checker lists problems.
    std::vector<Problem> load_problems;

    // Statuses that report success are held until the files are saved:
    // printed then, or never when the save fails.
    void hold_statuses() { holding_ = true; }
    void print_held() {
        for (const auto& text : held_)
            out_ << text << '\n';
        held_.clear();
        holding_ = false;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool yes_;
    bool statuses_;
    bool holding_ = false;
    std::vector<std::string> held_;
};

// The workspace of a command. When the process ends with the command, the
// world is left to the system: freeing a whole world block by block only
// costs time. (It stays reachable, so leak checkers do not report it.)
class CommandWorkspace {
public:
    CommandWorkspace(UiPort& ui, bool process_ends)
        : ws_(std::make_unique<Workspace>(ui)), process_ends_(process_ends) {}
    ~CommandWorkspace() {
        [[maybe_unused]] static Workspace* left_to_the_system = nullptr;
        if (process_ends_) left_to_the_system = ws_.release();
    }
    CommandWorkspace(const CommandWorkspace&) = delete;
    CommandWorkspace& operator=(const CommandWorkspace&) = delete;
    Workspace& operator*() { return *ws_; }

private:
    std::unique_ptr<Workspace> ws_;
    bool process_ends_;
};

struct Options {
    bool yes = false;
    bool strict = false;              // --strict: check fails on warnings too
    std::optional<fs::path> dir;      // --dir: the area directory
    std::optional<fs::path> out_dir;  // -o: where convert saves
    std::vector<std::string> operands;
};

// Parses the options of a command; false (with a message) for a usage error.
bool parse_options(const std::vector<std::string>& args, bool takes_output, bool needs_operands,
                   bool takes_strict, Options& opt, std::ostream& err) {
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
            opt.yes = true;
        } else if (a == "--dir") {
            if (!directory(opt.dir)) return false;
        } else if (takes_strict && a == "--strict") {
            opt.strict = true;
        } else if (takes_output && (a == "-o" || a == "--output")) {
            if (!directory(opt.out_dir)) return false;
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            err << "zonesmith-cli: unknown option " << a << '\n';
            return false;
        } else {
            opt.operands.push_back(a);
        }
    }
    if (needs_operands && opt.operands.empty()) {
        err << "zonesmith-cli: no files given\n";
        return false;
    }
    if (opt.dir && !fs::is_directory(*opt.dir)) {
        err << "zonesmith-cli: " << opt.dir->string() << " is not a directory\n";
        return false;
    }
    return true;
}

// Loads the files named, relative ones from the area directory. A file that
// loaded with a fault (a text the game cannot hold) counts as not loaded.
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

int convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool process_ends) {
    Options opt;
    if (!parse_options(args, true, true, false, opt, err)) {
        err << kUsage;
        return 2;
    }
    fs::path out_dir = opt.out_dir ? *opt.out_dir : opt.dir ? *opt.dir : fs::path(".");
    if (!output_directory_ready(out_dir, err)) return 2;
    CliUi ui(out, err, opt.yes, true);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (opt.dir) ws.set_area_dir(*opt.dir);
    bool all_loaded = load_files(ws, ui, opt, err);
    ws.set_area_dir(out_dir);
    bool all_saved = save_everything(ws, WhenKept::SaveNothing);
    return all_loaded && all_saved ? 0 : 1;
}

struct ZoneCounts {
    int rooms = 0, exits = 0, extra_descriptions = 0, triggers = 0;
    int objects = 0, mobiles = 0, conversations = 0, skills = 0, commands = 0;
};

int stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          bool process_ends) {
    Options opt;
    if (!parse_options(args, false, true, false, opt, err)) {
        err << kUsage;
        return 2;
    }
    // The loaders' status texts would be noise among the counts.
    CliUi ui(out, err, opt.yes, false);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (opt.dir) ws.set_area_dir(*opt.dir);
    bool all_loaded = load_files(ws, ui, opt, err);

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

int check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          bool process_ends) {
    Options opt;
    if (!parse_options(args, false, false, true, opt, err)) {
        err << kUsage;
        return 2;
    }
    CliUi ui(out, err, opt.yes, false);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (opt.dir) ws.set_area_dir(*opt.dir);
    std::vector<int> zones;
    for (const auto& z : opt.operands) {
        std::string_view rest = z;
        long long n;
        if (!parse_long(rest, n) || !rest.empty() || n < -328 || n > 327) {
            return usage_error(err, z + " is not a zone number");
        }
        zones.push_back(static_cast<int>(n));
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

int resets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool process_ends) {
    Options opt;
    if (!parse_options(args, false, false, false, opt, err)) {
        err << kUsage;
        return 2;
    }
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
    CliUi ui(out, err, opt.yes, false);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (opt.dir) ws.set_area_dir(*opt.dir);
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

// A whole number for an int operand; false (with a message) otherwise.
bool int_operand(const std::string& text, const char* what, int& value, std::ostream& err) {
    std::optional<long long> n = box_number(text);
    if (!n || *n < INT_MIN || *n > INT_MAX) {
        err << "zonesmith-cli: " << text << " is not a " << what << '\n' << kUsage;
        return false;
    }
    value = static_cast<int>(*n);
    return true;
}

int generate_map_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         bool process_ends) {
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
    if (!parse_options(rest, false, false, false, opt, err)) {
        err << kUsage;
        return 2;
    }
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
    CliUi ui(out, err, opt.yes, true);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (opt.dir) ws.set_area_dir(*opt.dir);
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

// Messages of the renumbering go to stderr, but its report of success is the
// command's output, printed once every changed file is saved.
class RenumberUi : public CliUi {
public:
    RenumberUi(std::ostream& out, std::ostream& err, bool yes)
        : CliUi(out, err, yes, false), out_(out) {}
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

int renumber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool process_ends) {
    Options opt;
    if (!parse_options(args, true, true, false, opt, err)) {
        err << kUsage;
        return 2;
    }
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

    RenumberUi ui(out, err, opt.yes);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    ws.set_area_dir(dir);
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

}  // namespace

// A vocabulary argument: FILE, or FILE:COLOR with a colour of one or two
// characters after the last colon.
std::pair<std::string, std::string> vocabulary_argument(const std::string& arg) {
    std::size_t colon = arg.rfind(':');
    if (colon == std::string::npos || colon == 0 || arg.size() - colon - 1 > 2 ||
        colon + 1 == arg.size())
        return {arg, ""};
    return {arg.substr(0, colon), arg.substr(colon + 1)};
}

int generate_descs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool process_ends) {
    bool yes = false;
    std::optional<fs::path> dir;
    std::optional<std::uint64_t> seed;
    std::vector<std::pair<std::string, std::string>> vocabularies;
    std::vector<int> zones;
    auto usage = [&](const std::string& why) { return usage_error(err, why); };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool has_value = i + 1 < args.size();
        if (a == "--yes" || a == "-y") {
            yes = true;
        } else if (a == "--dir") {
            if (!has_value) return usage("--dir needs a directory");
            dir = args[++i];
        } else if (a == "--seed") {
            std::optional<long long> n = has_value ? box_number(args[i + 1]) : std::nullopt;
            if (!n || *n < 0) return usage("--seed needs a number of 0 or more");
            seed = static_cast<std::uint64_t>(*n);
            ++i;
        } else if (a == "--vocab") {
            if (!has_value) return usage("--vocab needs a file");
            vocabularies.push_back(vocabulary_argument(args[++i]));
        } else {
            std::optional<long long> n = box_number(a);
            if (!n || !zone_number_valid(*n)) return usage(a + " is not a zone number");
            zones.push_back(static_cast<int>(*n));
        }
    }
    if (zones.empty()) return usage("no zones given");
    if (vocabularies.empty()) return usage("no vocabulary file given (--vocab FILE)");
    if (dir && !fs::is_directory(*dir)) return usage(dir->string() + " is not a directory");

    CliUi ui(out, err, yes, false);
    CommandWorkspace workspace(ui, process_ends);
    Workspace& ws = *workspace;
    if (dir) ws.set_area_dir(*dir);
    bool ok = true;
    for (int zone : zones) {
        fs::path file = (dir ? *dir : fs::path(".")) / strfmt("%d.wld", zone);
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

namespace {

// The status texts of the server link on stderr. A text the same as the one
// before is only counted (a server can make the client say one thing a
// million times); the count follows once another text comes or the command
// ends.
class StatusLines {
public:
    explicit StatusLines(std::ostream& err) : err_(err) {}
    ~StatusLines() { flush(); }
    StatusLines(const StatusLines&) = delete;
    StatusLines& operator=(const StatusLines&) = delete;
    void print(const std::string& text) {
        if (count_ > 0 && text == last_) {
            ++count_;
            return;
        }
        flush();
        err_ << "zonesmith-cli: " << text << '\n';
        last_ = text;
        count_ = 1;
    }
    void flush() {
        if (count_ > 1) err_ << "zonesmith-cli: the message above came " << count_ << " times\n";
        count_ = 0;
    }

private:
    std::ostream& err_;
    std::string last_;
    long long count_ = 0;
};

// "ZONE" or "ZONE:KINDS" as a row of the Download dialog; nothing when the
// zone is not 1..999 in digits or a kind is not one of w, m, o, z.
std::optional<net::DownloadRow> download_row(const std::string& arg) {
    std::size_t colon = arg.find(':');
    std::string zone = arg.substr(0, colon);
    if (zone.empty() || zone.size() > 3 ||
        zone.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int number = std::stoi(zone);
    if (number <= 0) return std::nullopt;
    net::DownloadRow row;
    row.zone = std::to_string(number);  // "030" would name files "030.wld"
    std::string kinds = colon == std::string::npos ? "wmoz" : arg.substr(colon + 1);
    if (kinds.empty()) return std::nullopt;
    for (char k : kinds) {
        switch (k) {
            case 'w':
                row.world = true;
                break;
            case 'm':
                row.mobile = true;
                break;
            case 'o':
                row.object = true;
                break;
            case 'z':
                row.zone_file = true;
                break;
            default:
                return std::nullopt;
        }
    }
    return row;
}

int download(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    net::Endpoint endpoint{"", net::kDefaultPort};
    net::Credentials credentials;
    fs::path dir = ".";
    std::optional<int> timeout;
    std::vector<net::DownloadRow> rows;
    auto usage = [&](const std::string& why) { return usage_error(err, why); };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool has_value = i + 1 < args.size();
        if (a == "--host" || a == "--user" || a == "--dir") {
            if (!has_value) return usage(a + " needs a value");
            std::string v = args[++i];
            if (a == "--host") endpoint.host = v;
            if (a == "--user") credentials.user = v;
            if (a == "--dir") dir = v;
        } else if (a == "--port" || a == "--timeout") {
            const bool port = a == "--port";
            const long long high = port ? 65535 : 3600;
            long long n = has_value ? box_number(args[i + 1]).value_or(0) : 0;
            if (n < 1 || n > high)
                return usage(port ? "--port needs a port number (1 to 65535)"
                                  : "--timeout needs a number of seconds (1 to 3600)");
            if (port)
                endpoint.port = static_cast<int>(n);
            else
                timeout = static_cast<int>(n);
            ++i;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (std::optional<net::DownloadRow> row = download_row(a)) {
            rows.push_back(*row);
        } else {
            return usage(a + " is not ZONE or ZONE:KINDS (a zone from 1 to 999, kinds from wmoz)");
        }
    }
    if (endpoint.host.empty()) return usage("no server given (--host HOST)");
    if (credentials.user.empty()) return usage("no user given (--user USER)");
    if (rows.empty()) return usage("no zones given");
    const char* password = std::getenv("ZONESMITH_PASSWORD");
    if (!password || !*password)
        return usage("no password: set the environment variable ZONESMITH_PASSWORD");
    credentials.password = password;
    if (std::string why = net::credentials_problem(credentials); !why.empty()) return usage(why);
    if (!fs::is_directory(dir)) return usage(dir.string() + " is not a directory");

    const std::string list = net::request_list(rows);
    net::Timeouts timeouts;
    if (timeout) {
        auto t = std::chrono::milliseconds(*timeout * 1000LL);
        timeouts = {t, t, t, t, t};
    }

    net::DownloadReport report(list);
    StatusLines statuses(err);
    net::EventQueue events;
    net::Connection link(endpoint, {dir, dir / "zonesmith"}, timeouts,
                         [&](net::Event e) { events.push(std::move(e)); });
    // However the command ends, the queue lets go of the connection's thread
    // before the connection joins it.
    struct Closing {
        net::Connection& link;
        net::EventQueue& events;
        ~Closing() {
            link.close();
            events.close();
        }
    } closing{link, events};
    link.open(net::Request::login, credentials);
    std::map<std::string, int> shown;  // the last tenth of each file's progress printed
    while (!report.finished()) {
        std::optional<net::Event> next = events.pop();
        if (!next) break;
        const net::Event& event = *next;
        if (auto* reply = std::get_if<net::LoginReply>(&event)) {
            if (!reply->accepted) {
                report.stop("the server refused the login of " + credentials.user);
            } else {
                link.post([&credentials, list](net::ClientProtocol& p) {
                    p.send_download(credentials, list);
                });
            }
        } else if (auto* progress = std::get_if<net::FileProgress>(&event)) {
            int tenth = progress->percent / 10;
            auto [it, fresh] = shown.try_emplace(progress->name, -1);
            if (progress->percent < 100 && tenth > it->second) {
                it->second = tenth;
                out << from_server(progress->name) << ": " << progress->percent << "%\n"
                    << std::flush;
            }
        } else if (auto* status = std::get_if<net::StatusText>(&event)) {
            statuses.print(from_server(status->text));
        }
        for (const std::string& line : report.take(event))
            out << from_server(line) << '\n' << std::flush;
    }
    statuses.flush();
    if (report.complete()) return 0;
    err << "zonesmith-cli: " << from_server(report.summary()) << '\n';
    return 1;
}

// The area directory a command line names: the value of its last --dir, or
// the working directory.
// The directories a command reads and writes area files in: the area
// directory, and the output directory when one is given.
std::vector<fs::path> area_dir_arguments(const std::vector<std::string>& args) {
    fs::path dir = ".";
    std::optional<fs::path> output;
    for (std::size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--dir") dir = args[i + 1];
        if (args[i] == "-o") output = args[i + 1];
    }
    std::vector<fs::path> dirs{dir};
    std::error_code ec;
    if (output && fs::is_directory(*output, ec) && !fs::equivalent(*output, dir, ec))
        dirs.push_back(*output);
    return dirs;
}

}  // namespace

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool process_ends) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    if (auto help = kCommandHelp.find(args[0]);
        help != kCommandHelp.end() && std::ranges::any_of(args, [](const std::string& a) {
            return a == "--help" || a == "-h";
        })) {
        out << help->second;
        return 0;
    }
    if (kCommandHelp.count(args[0])) {
        // Before a command loads or writes anything, a change of the area
        // directory's files that was cut off is finished.
        for (const fs::path& dir : area_dir_arguments(args)) {
            std::string finished = finish_interrupted_change(dir);
            if (!finished.empty()) err << "zonesmith-cli: " << finished << '\n';
        }
    }
    if (args[0] == "convert") return convert(args, out, err, process_ends);
    if (args[0] == "stats") return stats(args, out, err, process_ends);
    if (args[0] == "check") return check(args, out, err, process_ends);
    if (args[0] == "renumber") return renumber(args, out, err, process_ends);
    if (args[0] == "resets") return resets(args, out, err, process_ends);
    if (args[0] == "generate-descs") return generate_descs(args, out, err, process_ends);
    if (args[0] == "generate-map") return generate_map_command(args, out, err, process_ends);
    if (args[0] == "download") return download(args, out, err);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return 0;
    }
    if (args[0] == "--version" || args[0] == "-v") {
        out << "zonesmith-cli " ZS_VERSION "\n";
        return 0;
    }
    err << "zonesmith-cli: unknown command " << args[0] << '\n' << kUsage;
    return 2;
}

}  // namespace zs
