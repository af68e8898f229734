#include "cli/cli.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "cli/command.h"
#include "cli/commands.h"
#include "files/area_change.h"
#include "zonesmith_version.h"

namespace zs {

namespace {

namespace fs = std::filesystem;
using cli::kUsage;

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
    {"show",
     command_help(
         "show [--yes] [--dir DIR] obj|mob VNUM...",
         "Loads the area directory's object (obj) or mobile (mob) files and prints every\n"
         "field of each VNUM, one \"name: value\" a line, records apart by a blank line:\n"
         "the texts on one line each (a line break as \\n), the numbers of the file\n"
         "that have no name of their own as \"Line L Position P\". Exits with 1 when a\n"
         "VNUM is not found (after printing the others) or a file did not load, else 0.\n")},
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
    {"refs",
     command_help("refs [--yes] [--dir DIR] room|obj|mob VNUM...",
                  "Loads every zone of the area directory and lists, for each VNUM, a count\n"
                  "line (\"Object 3022: loaded by 2 commands in 1 zone, max 5\") and what refers\n"
                  "to it, one \"file:line: text\" a line: exits that lead to a room (one-way\n"
                  "ones marked), its fly and fall rooms and the reset commands that act in it;\n"
                  "the reset commands that load, give, equip, put or remove an object or put\n"
                  "something into it (with the carrier), the doors and containers it is the\n"
                  "key of; the commands that load a mobile. Exits with 1 when a VNUM is found\n"
                  "nowhere (after printing the others) or a file did not load, else 0.\n")},
    {"find",
     command_help("find [--yes] [--dir DIR] TEXT...",
                  "Loads every zone of the area directory and lists the rooms, objects, mobiles\n"
                  "and reset commands that TEXT names, one a line:\n"
                  "  kind<TAB>vnum<TAB>zone<TAB>name  kind is room, obj, mob or reset (whose\n"
                  "                                  vnum column holds the command's number)\n"
                  "A number finds the records of that vnum and the commands that name it; any\n"
                  "other text is looked for, case-insensitive and without colour codes, in\n"
                  "titles, short descriptions, keywords, the other texts and the commands'\n"
                  "lines. Exits with 1 when nothing matched or a file did not load, else 0.\n")},
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

// The directories a command reads and writes area files in: the area
// directory, and the output directory when one is given.
std::vector<fs::path> area_dir_arguments(const std::vector<std::string>& args) {
    fs::path dir = ".";
    std::optional<fs::path> output;
    for (std::size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--dir") dir = args[i + 1];
        if (args[i] == "-o" || args[i] == "--output") output = args[i + 1];
    }
    std::vector<fs::path> dirs{dir};
    std::error_code ec;
    if (output && fs::is_directory(*output, ec) && !fs::equivalent(*output, dir, ec))
        dirs.push_back(*output);
    return dirs;
}

}  // namespace

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            ProcessEnd process_end) {
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
    if (args[0] == "convert") return cli::convert(args, out, err, process_end);
    if (args[0] == "stats") return cli::stats(args, out, err, process_end);
    if (args[0] == "check") return cli::check(args, out, err, process_end);
    if (args[0] == "renumber") return cli::renumber(args, out, err, process_end);
    if (args[0] == "resets") return cli::resets(args, out, err, process_end);
    if (args[0] == "show") return cli::show(args, out, err, process_end);
    if (args[0] == "generate-descs") return cli::generate_descs(args, out, err, process_end);
    if (args[0] == "generate-map") return cli::generate_map(args, out, err, process_end);
    if (args[0] == "download") return cli::download(args, out, err);
    if (args[0] == "refs") return cli::refs(args, out, err, process_end);
    if (args[0] == "find") return cli::find(args, out, err, process_end);
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
