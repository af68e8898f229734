#include "files/area_files.h"

#include <set>
#include <vector>

#include "files/area_change.h"
#include "files/area_io.h"
#include "files/area_kind.h"
#include "files/file_kinds.h"
#include "files/load_command.h"
#include "files/save_command.h"
#include "files/scan.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs {

namespace {

std::string area_path(const Workspace& ws, int zone, const char* extension) {
    return (ws.area_dir() / strfmt("%d.%s", zone, extension)).string();
}

}  // namespace

bool load_all(Workspace& ws, int zone) {
    // A file that is missing or whose zone is loaded already is not handed to
    // its loader: one box afterwards says what became of each of the four.
    std::string report = strfmt("Load Full Zone %d:", zone);
    int loaded = 0;
    for (const FileKind& k : file_kinds()) {
        std::string path = area_path(ws, zone, k.extension);
        std::error_code ec;
        const char* outcome;
        if (ws.has_zone(k.table, zone)) {
            outcome = "already loaded; kept as it is.";
        } else if (!std::filesystem::exists(path, ec)) {
            outcome = "not found.";
        } else if (load_file_of_unloaded_zone(ws, area_kind(k.table), path)) {
            outcome = "loaded.";
            ++loaded;
        } else {
            outcome = "not loaded.";
        }
        report += strfmt("\r\n%d.%s: %s", zone, k.extension, outcome);
    }
    if (loaded == 4) return true;
    ws.ui().show_message(report);
    return false;
}

bool load_current(Workspace& ws, EditorKind editor) {
    const FileKind& kind = file_kind(editor);
    std::optional<std::string> path =
        ws.ui().choose_file_to_open(kind.filter_caption, kind.filter_pattern, ws.area_dir());
    if (!path) return false;
    return load_file_of_kind(ws, area_kind(kind.table), *path);
}

bool save_current(Workspace& ws, EditorKind editor) {
    return save_current(ws, file_kind(editor).table);
}

namespace {

bool save_kinds(Workspace& ws, std::span<const TableKind> kinds, WhenKept when_kept) {
    std::vector<KindZones> all;
    for (TableKind kind : kinds)
        all.push_back({kind, zones_to_save(ws, kind)});
    std::vector<bool> kind_ok;
    const bool ok = save_zone_files(ws, all, &kind_ok, when_kept);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].zones.empty()) continue;
        const FileKind& k = file_kind(all[i].kind);
        ws.ui().show_status(kind_ok[i] ? k.all_saved : k.not_all_saved);
    }
    return ok;
}

}  // namespace

bool save_everything(Workspace& ws, WhenKept when_kept) {
    std::vector<TableKind> kinds;
    for (const FileKind& k : file_kinds())
        kinds.push_back(k.table);
    return save_kinds(ws, kinds, when_kept);
}

bool save_every_zone(Workspace& ws, TableKind kind) {
    return save_kinds(ws, std::span<const TableKind>(&kind, 1), WhenKept::SaveTheRest);
}

bool save_changed_zones(Workspace& ws, WhenKept when_kept) {
    std::vector<KindZones> changed;
    for (const FileKind& k : file_kinds()) {
        std::set<int> zones = ws.modified().zones(k.table);
        changed.push_back({k.table, std::vector<int>(zones.begin(), zones.end())});
    }
    return save_zone_files(ws, changed, nullptr, when_kept);
}

bool save_all(Workspace& ws) {
    bool ok = save_everything(ws);
    write_settings(ws);
    ws.ui().show_status(ok ? "All data saved to file." : "Error, not all data saved.");
    return ok;
}

// --- Settings --------------------------------------------------------------

namespace {

// One "Last" line each time the zone changes from the record before.
template <class Table>
void last_lines(AreaWriter& w, const Table& table, const char* key) {
    int previous = 0;
    for (int s = 0; s < table.count(); ++s) {
        int zone = table.record(s).zone;
        if (s == 0 || zone != previous) w.raw(key).ch(' ').num(zone).nl();
        previous = zone;
    }
}

struct OptionKey {
    const char* key;  // with its colon
    int Options::*field;
    int lowest, highest;  // the values the option can take
};

constexpr OptionKey kOptionKeys[] = {
    {"Prompt:", &Options::prompt_for_vnum, 0, 1},
    {"Exits:", &Options::traverse_limit, -1, 1 << 30},
    {"TreeC:", &Options::color_codes_in_trees, 0, 1},
    {"ZoneL:", &Options::last_zone, -1, 327},
    {"ShowZ:", &Options::show_all_zones, 0, 1},
    {"AutoL:", &Options::auto_load, 0, 1},
};

// Generate Descriptions' rows, after the zones: "DescF: ROW PATH" and
// "DescC: ROW COLOUR", for the rows that hold something. A path may be far
// longer than the other lines may be.
constexpr std::string_view kRowFileKey = "DescF:";
constexpr std::string_view kRowColourKey = "DescC:";
constexpr std::size_t kLongestRowLine = 4200;

bool is_row_line(std::string_view line) {
    return line.starts_with(kRowFileKey) || line.starts_with(kRowColourKey);
}

// A row's value goes on one line: one holding a line break is not written.
bool storable(std::string_view value) {
    return value.find_first_of("\r\n") == std::string_view::npos;
}

void row_lines(AreaWriter& w, const Options& o) {
    for (int row = 0; row < kVocabularyRows; ++row) {
        const VocabularyRow& r = o.vocabulary_rows[static_cast<std::size_t>(row)];
        if (!storable(r.path) || !storable(r.colour)) continue;
        if (!r.path.empty()) w.raw(kRowFileKey).sp(row).ch(' ').raw(r.path).nl();
        if (!r.colour.empty()) w.raw(kRowColourKey).sp(row).ch(' ').raw(r.colour).nl();
    }
}

// Reads a row line into the options; other lines are left alone.
void read_row_line(std::string_view line, Options& o) {
    const bool file = line.starts_with(kRowFileKey);
    if (!file && !line.starts_with(kRowColourKey)) return;
    std::string_view rest = line.substr(kRowFileKey.size());
    if (!rest.starts_with(' ')) return;
    rest.remove_prefix(1);
    std::size_t blank = rest.find(' ');
    std::optional<long long> row = box_number(rest.substr(0, blank));
    if (!row || *row < 0 || *row >= kVocabularyRows || blank == std::string_view::npos) return;
    VocabularyRow& r = o.vocabulary_rows[static_cast<std::size_t>(*row)];
    (file ? r.path : r.colour) = std::string(rest.substr(blank + 1));
}

constexpr std::string_view kSettingsError =
    "There was an error loading the settings file.  The data format is incorrect.";

// Calls `line_fn` for each line of the settings file, as the game's own
// settings reader sees them: a line of more than 50 characters, its line end
// included, stops the reading with a message. A row line of Generate
// Descriptions may hold a path up to kLongestRowLine.
template <class LineFn>
void for_each_settings_line(Workspace& ws, std::string_view data, LineFn line_fn) {
    // The line as the reader holds it, its line end included; CR LF is one
    // line end. A last line without a line end still counts.
    std::string line;
    for (char c : data) {
        if (c == '\r') continue;
        line.push_back(c);
        if (line.size() > 50 && (!is_row_line(line) || line.size() > kLongestRowLine)) {
            ws.ui().show_message(kSettingsError);
            return;
        }
        if (c == '\n') {
            line.pop_back();
            line_fn(std::string_view(line));
            line.clear();
        }
    }
    if (!line.empty()) line_fn(std::string_view(line));
}

// The settings file's bytes; nothing when it is missing or cannot be read,
// the latter with a message naming it and the cause.
std::optional<std::string> read_settings_file(Workspace& ws) {
    const std::filesystem::path path = ws.area_dir() / kSettingsFileName;
    ReadFailure why = ReadFailure::None;
    int error = 0;
    std::optional<std::string> data = read_text_file(path, kSettingsFile, &why, &error);
    if (!data && why != ReadFailure::NotFound)
        ws.ui().show_message(text_file_failure_text(why, error, path, kSettingsFile, ""));
    return data;
}

// The number after a key at the start of a line.
bool keyed_number(std::string_view line, std::string_view key, long long& value) {
    if (!line.starts_with(key)) return false;
    std::string_view rest = line.substr(key.size());
    return take_number(rest, value);
}

}  // namespace

std::string settings_text(const Workspace& ws) {
    AreaWriter w;
    const Options& o = ws.options();
    for (const auto& k : kOptionKeys)
        w.raw(k.key).ch(' ').num(o.*k.field).nl();
    last_lines(w, ws.world(), "LastR:");
    last_lines(w, ws.mobiles(), "LastM:");
    last_lines(w, ws.objects(), "LastO:");
    for (int s = 0; s < ws.zones().count(); ++s)
        w.raw("LastZ: ").num(ws.zones().zedit(s).number).nl();
    row_lines(w, o);
    return std::move(w.bytes());
}

void write_vocabulary_rows(Workspace& ws) {
    // The other lines stay as the last Save Options left them.
    std::string text;
    ReadFailure why = ReadFailure::None;
    std::optional<std::string> data =
        read_text_file(ws.area_dir() / kSettingsFileName, kSettingsFile, &why, nullptr);
    if (!data && why != ReadFailure::NotFound) return;
    std::string_view rest = data ? std::string_view(*data) : std::string_view();
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line =
            rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
        rest.remove_prefix(line.size());
        if (!is_row_line(line)) text += line;
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
    AreaWriter w;
    row_lines(w, ws.options());
    text += w.bytes();
    save_file_atomically(ws.area_dir(), kSettingsFileName, text, nullptr, ws.file_step_hook());
}

void write_settings(Workspace& ws) {
    std::string text = settings_text(ws);
    save_file_atomically(ws.area_dir(), kSettingsFileName, text, nullptr, ws.file_step_hook());
}

void read_settings(Workspace& ws) {
    std::optional<std::string> data = read_settings_file(ws);
    if (data) apply_settings_text(ws, *data);
}

void apply_settings_text(Workspace& ws, std::string_view text) {
    Options& o = ws.options();
    for_each_settings_line(ws, text, [&](std::string_view line) {
        for (const auto& k : kOptionKeys) {
            long long v;
            if (!keyed_number(line, k.key, v)) continue;
            // A value the option cannot take leaves its start value.
            o.*k.field =
                (v >= k.lowest && v <= k.highest) ? static_cast<int>(v) : Options{}.*k.field;
        }
        read_row_line(line, o);
    });
}

void reload_last_files(Workspace& ws) {
    // Read the whole list first: loading shows boxes, and a file read to its
    // end is the same file whatever those boxes lead to.
    std::vector<std::string> paths;
    std::optional<std::string> data = read_settings_file(ws);
    if (!data) return;
    for_each_settings_line(ws, *data, [&](std::string_view line) {
        for (const FileKind& k : file_kinds()) {
            long long zone;
            if (keyed_number(line, k.settings_key, zone) && zone >= -32768 && zone <= 32767)
                paths.push_back(area_path(ws, static_cast<int>(zone), k.extension));
        }
    });
    for (const auto& path : paths)
        load_area_file(ws, path);
}

void open_command_line_file(Workspace& ws, const std::string& argument) {
    if (argument.empty()) return;
    std::string path = argument;
    if (path.front() == '"')
        path = path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string();
    if (const FileKind* kind = file_kind_of_path(path)) {
        load_file_of_kind(ws, area_kind(kind->table), path);
        // Opening a world file keeps the editor as it is.
        if (kind->table != TableKind::World) ws.switch_editor(kind->editor);
    }
    ws.request_redraw();
}

// Unloading forgets the changes of what it unloads: there is nothing left to
// save, and no question at exit about zones that are gone.
bool unload_zone(Workspace& ws, std::string_view box) {
    bool bad = false;
    std::optional<long long> number = box_number(box, &bad);
    if (!number && !bad) return false;
    if (!number || !zone_number_valid(*number)) {
        ws.ui().show_status(strfmt("Error: Invalid zone number \"%.*s\"; zones run from 0 to %d.",
                                   static_cast<int>(box.size()), box.data(), kHighestZone));
        return false;
    }
    int zone = static_cast<int>(*number);
    if (!area_kind(TableKind::World).unload_zone(ws, zone)) {
        ws.ui().show_status(strfmt("Zone %d does not exist.", zone));
        return false;
    }
    ws.modified().clear(TableKind::World, zone);
    ws.request_redraw(true);
    ws.ui().show_status(strfmt("Zone %d unloaded.", zone));
    return true;
}

namespace {

void unload_every_record(Workspace& ws, TableKind kind) {
    const AreaKind& k = area_kind(kind);
    k.unload_all(ws);
    ws.modified().clear(kind);
    ws.ui().show_status(k.words().all_unloaded);
}

}  // namespace

void unload_all_worlds(Workspace& ws) {
    unload_every_record(ws, TableKind::World);
}

void unload_all(Workspace& ws) {
    for (TableKind kind : {TableKind::Zone, TableKind::World, TableKind::Object, TableKind::Mobile})
        unload_every_record(ws, kind);
    ws.ui().show_status("All files unloaded.");
}

namespace {

class DirectoryAreaFiles final : public AreaFileAccess {
public:
    explicit DirectoryAreaFiles(Workspace& ws) : ws_(ws) {}
    bool zone_file_exists(TableKind kind, int zone) const override {
        std::error_code ec;
        return std::filesystem::exists(area_path(ws_, zone, file_kind(kind).extension), ec);
    }
    bool load_zone_file(TableKind kind, int zone) override {
        const AreaKind& k = area_kind(kind);
        return load_file_of_kind(ws_, k, area_path(ws_, zone, k.words().extension));
    }

private:
    Workspace& ws_;
};

}  // namespace

void attach_area_files(Workspace& ws) {
    ws.set_area_files(std::make_unique<DirectoryAreaFiles>(ws));
}

void start_up(Workspace& ws, const std::string& command_line_argument) {
    start_up(ws, std::vector<std::string>{command_line_argument});
}

void start_up(Workspace& ws, const std::vector<std::string>& command_line_arguments) {
    // Before anything is loaded: the files must be those of one change.
    std::string finished = finish_interrupted_change(ws.area_dir());
    for (const std::string& argument : command_line_arguments)
        open_command_line_file(ws, argument);
    read_settings(ws);
    ws.modified().clear_all();
    const Options& o = ws.options();
    if (o.auto_load == 1 && o.last_zone >= 1) load_all(ws, o.last_zone);
    // Said last, so that the loads' statuses do not hide it.
    if (!finished.empty()) ws.ui().show_status(finished);
}

}  // namespace zs
