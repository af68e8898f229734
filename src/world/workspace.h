// Workspace: owns every loaded table and the program's state, and is the
// change sink of its tables. The editor window owns one; each test makes a
// fresh one. Every operation of the core takes it explicitly.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "world/change.h"
#include "world/mobile.h"
#include "world/object.h"
#include "world/ui_port.h"
#include "world/world_table.h"
#include "world/zone_table.h"

namespace zs {

// What the builder changed since the last save, per kind and zone: every edit
// marks its zone, and a successful save of a zone clears just that zone, so
// saving one zone never hides unsaved edits in another.
class ModifiedFlags {
public:
    void mark(TableKind kind, int zone) { zones_[index(kind)].insert(zone); }
    void clear(TableKind kind, int zone) { zones_[index(kind)].erase(zone); }
    void clear(TableKind kind) { zones_[index(kind)].clear(); }
    void clear_all() {
        for (auto& z : zones_)
            z.clear();
    }
    bool is_set(TableKind kind) const { return !zones_[index(kind)].empty(); }
    bool is_set(TableKind kind, int zone) const { return zones_[index(kind)].count(zone) != 0; }
    const std::set<int>& zones(TableKind kind) const { return zones_[index(kind)]; }
    bool any() const {
        for (const auto& z : zones_)
            if (!z.empty()) return true;
        return false;
    }

private:
    static std::size_t index(TableKind kind) { return static_cast<std::size_t>(kind); }
    std::array<std::set<int>, 4> zones_;
};

// The file each zone's records were loaded from (or last saved to), per
// kind. A save replaces such a file without asking; any other file that
// stands where a zone is saved holds records the builder never saw, and is
// replaced only after a question. A zone is forgotten when it is unloaded.
class ZoneFiles {
public:
    void remember(TableKind kind, int zone, std::filesystem::path file) {
        files_[index(kind)][zone] = std::move(file);
    }
    void forget(TableKind kind, int zone) { files_[index(kind)].erase(zone); }
    const std::filesystem::path* find(TableKind kind, int zone) const {
        auto it = files_[index(kind)].find(zone);
        return it == files_[index(kind)].end() ? nullptr : &it->second;
    }
    std::vector<int> zones(TableKind kind) const {
        std::vector<int> out;
        for (const auto& [zone, file] : files_[index(kind)])
            out.push_back(zone);
        return out;
    }

private:
    static std::size_t index(TableKind kind) { return static_cast<std::size_t>(kind); }
    std::array<std::map<int, std::filesystem::path>, 4> files_;
};

// How the core reaches the area files of zones that are not loaded. The
// area-file layer provides it (attach_area_files), so that the world model
// never depends on the file formats; without one, no file is ever found.
class AreaFileAccess {
public:
    virtual ~AreaFileAccess() = default;
    // True when the area directory holds the zone's file of the kind.
    virtual bool zone_file_exists(TableKind kind, int zone) const = 0;
    // Loads that file with the kind's loader; true when it loaded.
    virtual bool load_zone_file(TableKind kind, int zone) = 0;
};

// The four editors; the current one decides what Save Current and Load
// Current work on.
enum class EditorKind { Room, Zone, Object, Mobile };

// The builder's options, with the start values they have before the settings
// file is read.
struct Options {
    int prompt_for_vnum = 0;       // "Prompt for Vnum"
    int traverse_limit = -1;       // exits followed from the selected room; -1 infinite
    int color_codes_in_trees = 0;  // "Color Codes in Trees"
    int last_zone = -1;            // last zone of Load Full Zone; -1 none
    int show_all_zones = 0;        // the zone editor's "Show All " box
    int auto_load = 0;             // "Auto-Load Zone"
    bool operator==(const Options&) const = default;
};

class WorkspaceObserver {
public:
    virtual ~WorkspaceObserver() = default;
    virtual void workspace_changed(const Change& change) = 0;
    // A file of the kind finished loading: views centre the selection,
    // refresh their editors and redraw.
    virtual void file_loaded(TableKind /*kind*/, int /*zone*/) {}
    // The map should be drawn again; `force` skips the pacing of redraws.
    virtual void redraw_requested(bool /*force*/) {}
    virtual void editor_switched(EditorKind /*editor*/) {}
};

class Workspace : private ChangeSink {
public:
    explicit Workspace(UiPort& ui)
        : world_(this), zones_(this), objects_(this), mobiles_(this), ui_(&ui) {}
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    UiPort& ui() { return *ui_; }
    void set_ui(UiPort& ui) { ui_ = &ui; }

    WorldTable& world() { return world_; }
    const WorldTable& world() const { return world_; }
    ZoneTable& zones() { return zones_; }
    const ZoneTable& zones() const { return zones_; }
    ObjectTable& objects() { return objects_; }
    const ObjectTable& objects() const { return objects_; }
    MobileTable& mobiles() { return mobiles_; }
    const MobileTable& mobiles() const { return mobiles_; }

    // Where area files and the settings file are read and written.
    const std::filesystem::path& area_dir() const { return area_dir_; }
    void set_area_dir(std::filesystem::path dir) { area_dir_ = std::move(dir); }

    ModifiedFlags& modified() { return modified_; }
    const ModifiedFlags& modified() const { return modified_; }

    AreaFileAccess* area_files() { return area_files_.get(); }
    void set_area_files(std::unique_ptr<AreaFileAccess> files) { area_files_ = std::move(files); }

    ZoneFiles& zone_files() { return zone_files_; }
    const ZoneFiles& zone_files() const { return zone_files_; }
    // True when the table of the kind holds a record of the zone.
    bool has_zone(TableKind kind, int zone) const;

    Options& options() { return options_; }
    const Options& options() const { return options_; }

    EditorKind current_editor() const { return editor_; }
    void switch_editor(EditorKind editor) {
        if (editor == editor_) return;
        editor_ = editor;
        for (auto* o : observers_)
            o->editor_switched(editor);
    }
    void request_redraw(bool force = false) {
        for (auto* o : observers_)
            o->redraw_requested(force);
    }

    void add_observer(WorkspaceObserver* o) { observers_.push_back(o); }
    void remove_observer(WorkspaceObserver* o) { std::erase(observers_, o); }
    void announce_loaded(TableKind kind, int zone) {
        for (auto* o : observers_)
            o->file_loaded(kind, zone);
    }

private:
    void on_change(const Change& change) override;

    WorldTable world_;
    ZoneTable zones_;
    ObjectTable objects_;
    MobileTable mobiles_;
    UiPort* ui_;
    std::filesystem::path area_dir_ = ".";
    ModifiedFlags modified_;
    ZoneFiles zone_files_;
    std::unique_ptr<AreaFileAccess> area_files_;
    Options options_;
    EditorKind editor_ = EditorKind::Room;
    std::vector<WorkspaceObserver*> observers_;
};

}  // namespace zs
