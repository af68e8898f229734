// Workspace: owns every loaded table, the program's state, the log of what
// the builder was told and the one edit history (edits/history.h), and is the change sink of its
// tables; with the transactions through which the builder's changes become steps and the load token
// through which loads change tables: the workspace itself hands its tables out only to be read. The
// editor window owns one; each test makes a fresh one. Every operation of the core takes it
// explicitly.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "edits/history.h"
#include "world/change.h"
#include "world/message_log.h"
#include "world/mobile.h"
#include "world/object.h"
#include "world/table_loading.h"
#include "world/ui_port.h"
#include "world/world_table.h"
#include "world/zone_table.h"

namespace zs {

// What the builder changed since the last save, per kind and zone, as the
// history tells it: a save of a zone clears just that zone, and undoing back
// to the saved state clears it again.
class ModifiedFlags {
public:
    explicit ModifiedFlags(History& history) : history_(&history) {}
    // The zone changed outside the history (it stays modified until saved).
    void mark(TableKind kind, int zone) { history_->mark_changed(index(kind), zone); }
    // The zone (every zone of the kind, every zone) now matches its file.
    void clear(TableKind kind, int zone) { history_->mark_saved(index(kind), zone); }
    void clear(TableKind kind) { history_->mark_saved(index(kind)); }
    void clear_all() { history_->mark_saved_all(); }
    bool is_set(TableKind kind) const { return !zones(kind).empty(); }
    bool is_set(TableKind kind, int zone) const { return history_->modified(index(kind), zone); }
    std::set<int> zones(TableKind kind) const { return history_->modified_zones(index(kind)); }
    bool any() const { return history_->any_modified(); }

private:
    static int index(TableKind kind) { return static_cast<int>(kind); }
    History* history_;
};

// The file each zone's records were loaded from (or last saved to), per
// kind. A save replaces such a file without asking; any other file that
// stands where a zone is saved holds records the builder never saw, and is
// replaced only after a question. A zone is forgotten when it is unloaded,
// and when a save removed the file of a zone the builder emptied.
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
// A row of Generate Descriptions: a vocabulary file and the room colour that
// its last title gives.
struct VocabularyRow {
    std::string path;
    std::string colour;
    bool operator==(const VocabularyRow&) const = default;
};
inline constexpr int kVocabularyRows = 14;

struct Options {
    int prompt_for_vnum = 0;       // "Prompt for Vnum"
    int traverse_limit = -1;       // exits followed from the selected room; -1 infinite
    int color_codes_in_trees = 0;  // "Color Codes in Trees"
    int last_zone = -1;            // last zone of Load Full Zone; -1 none
    int show_all_zones = 0;        // the zone editor's "Show All " box
    int auto_load = 0;             // "Auto-Load Zone"
    // Generate Descriptions' rows as the builder left them.
    std::array<VocabularyRow, kVocabularyRows> vocabulary_rows{};
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
    // A step was added, undone or redone, or steps were dropped: the names
    // of Undo and Redo, and what is modified, may have changed.
    virtual void history_changed() {}
    // The outermost open step ended (kept, rolled back or empty): what waits
    // for no step to be open may go on.
    virtual void steps_closed() {}
};

// Which consecutive edits merge into one step: the same field of the same
// record (typing in one box). A field below 0 never merges. The history's
// own key, named by the table the record stands in.
struct MergeKey : StepMerge {
    MergeKey() = default;
    MergeKey(TableKind table, int record, int box)
        : StepMerge{static_cast<int>(table), record, box} {}
};

// How an edit step presents itself: which fields its edits change, who makes
// them, and whether it merges with the step before it (see MergeKey).
struct EditOptions {
    FieldMask fields = kAllFields;
    const void* source = nullptr;
    MergeKey merge;
};

class Workspace;

// The workspace's tables, open to the builder's changes. Only an open step
// (Transaction) is such a thing, so that an edit with no step open does not
// compile.
class OpenTables {
public:
    OpenTables(const OpenTables&) = delete;
    OpenTables& operator=(const OpenTables&) = delete;

    WorldTable& world();
    ZoneTable& zones();
    ObjectTable& objects();
    MobileTable& mobiles();

protected:
    explicit OpenTables(Workspace& ws) : ws_(ws) {}
    ~OpenTables() = default;

    Workspace& ws_;
};

// One named, undoable step. Every change the builder makes runs inside one:
//   Transaction tx(ws, "Create Room 3012");
//   ... table edits ...
//   tx.commit();
// A transaction that ends without commit() takes its edits back, so that an
// operation refused halfway (or ended by an exception) leaves nothing half
// done; a committed step that changed nothing is dropped. Transactions
// opened inside another join it, so an operation built from others is still
// one step: an inner one left uncommitted takes back just its own edits, and
// the outer step goes on.
class Transaction : public OpenTables {
public:
    Transaction(Workspace& ws, std::string name, EditOptions options = {});
    ~Transaction();

    // Keeps the transaction's edits: the last thing it does.
    void commit() { committed_ = true; }

    // The record undo and redo select when it exists (the first focus given
    // in the step wins; by default the first record the step changed that
    // still exists).
    void focus(TableKind table, int id);
    void rename(std::string name);

private:
    History::Mark mark_;
    bool committed_ = false;
};

// The tables opened for loading and unloading zones (and for building a
// workspace's records as a file would give them): each table offers only
// what a load does (table_loading.h), none of the builder's changes. Its
// changes are no step: a zone loaded or unloaded drops the steps that
// touched it and is not modified.
//   TableLoad(ws).world().append(room);
class TableLoad {
public:
    explicit TableLoad(Workspace& ws) : ws_(ws) {}
    TableLoad(const TableLoad&) = delete;
    TableLoad& operator=(const TableLoad&) = delete;

    TableLoading<WorldTable> world();
    TableLoading<ZoneTable> zones();
    TableLoading<ObjectTable> objects();
    TableLoading<MobileTable> mobiles();

private:
    Workspace& ws_;
};

class Workspace : private ChangeSink, private EditRecorder, private HistoryHost {
public:
    explicit Workspace(UiPort& ui)
        : world_(this),
          zones_(this),
          objects_(this),
          mobiles_(this),
          ui_(&ui),
          history_(*this),
          modified_(history_) {}
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    UiPort& ui() { return *ui_; }
    void set_ui(UiPort& ui) { ui_ = &ui; }
    // What the builder was told since the program started; the editor's
    // ports record into it.
    MessageLog& messages() { return messages_; }
    const MessageLog& messages() const { return messages_; }

    // The tables, to read. A change goes through an open step
    // (Transaction::world() ...) or a load (TableLoad); the selection is
    // view state, which select_slot changes on the table as read here.
    const WorldTable& world() const { return world_; }
    const ZoneTable& zones() const { return zones_; }
    const ObjectTable& objects() const { return objects_; }
    const MobileTable& mobiles() const { return mobiles_; }

    // Where area files and the settings file are read and written.
    const std::filesystem::path& area_dir() const { return area_dir_; }
    void set_area_dir(std::filesystem::path dir) { area_dir_ = std::move(dir); }
    // Called before each step of a save that changes the area directory's
    // files, with a few words for the step; 0 lets the step go on, an errno
    // value makes it fail with that cause (files/area_change.h). Empty
    // unless a test sets it.
    using FileStepHook = std::function<int(std::string_view step)>;
    const FileStepHook& file_step_hook() const { return file_step_hook_; }
    void set_file_step_hook(FileStepHook hook) { file_step_hook_ = std::move(hook); }

    ModifiedFlags& modified() { return modified_; }
    const ModifiedFlags& modified() const { return modified_; }

    // Undo and redo. Both select the record the step changed; false when
    // there was nothing to do (or a step is still open).
    const History& history() const { return history_; }
    void set_history_limits(HistoryLimits limits) {
        history_.set_limits(limits);
        history_changed();
    }
    bool undo() { return history_.undo(); }
    bool redo() { return history_.redo(); }
    // Drops every step (what is modified stays as it is).
    void clear_history() { history_.clear(); }
    // "Undo Create Room 3012"; just "Undo" (or "Redo") with nothing to do.
    std::string undo_text() const { return history_.undo_text(); }
    std::string redo_text() const { return history_.redo_text(); }
    bool in_transaction() const { return history_.step_open(); }
    // The builder's burst of typing in one box is over: the next keystroke
    // starts a step of its own, which undo takes back alone.
    void end_typing_burst() { history_.end_burst(); }

    AreaFileAccess* area_files() { return area_files_.get(); }
    const AreaFileAccess* area_files() const { return area_files_.get(); }
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
        notify([&](WorkspaceObserver* o) { o->editor_switched(editor); });
    }
    void request_redraw(bool force = false) {
        notify([&](WorkspaceObserver* o) { o->redraw_requested(force); });
    }

    // Observers may add or remove observers (themselves included) while
    // they are told of something: one added then hears of the next event,
    // one removed hears nothing more.
    void add_observer(WorkspaceObserver* o) { observers_.push_back(o); }
    void remove_observer(WorkspaceObserver* o) { std::erase(observers_, o); }
    void announce_loaded(TableKind kind, int zone) {
        notify([&](WorkspaceObserver* o) { o->file_loaded(kind, zone); });
    }

private:
    friend class OpenTables;
    friend class Transaction;
    friend class TableLoad;

    void on_change(const Change& change) override;
    EditRecorder* recorder() override;
    void record(TableKind table, const Room* before, const Room* after,
                const RecordPlace& place) override;
    void record(TableKind table, const ObjectPrototype* before, const ObjectPrototype* after,
                const RecordPlace& place) override;
    void record(TableKind table, const MobilePrototype* before, const MobilePrototype* after,
                const RecordPlace& place) override;
    void record(TableKind table, const Zedit* before, const Zedit* after,
                const RecordPlace& place) override;
    template <class Table, class Record>
    void record_images(Table& table, TableKind kind, const Record* before, const Record* after,
                       const RecordPlace& place);

    // HistoryHost
    bool select_record(const RecordKey& record) override;
    void history_changed() override;

    template <class Fn>
    void notify(Fn&& fn) {
        auto snapshot = observers_;
        for (auto* o : snapshot)
            if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) fn(o);
    }

    WorldTable world_;
    ZoneTable zones_;
    ObjectTable objects_;
    MobileTable mobiles_;
    UiPort* ui_;
    MessageLog messages_;
    std::filesystem::path area_dir_ = ".";
    FileStepHook file_step_hook_;
    History history_;
    ModifiedFlags modified_;
    // The options of the open step.
    EditOptions pending_options_;
    ZoneFiles zone_files_;
    std::unique_ptr<AreaFileAccess> area_files_;
    Options options_;
    EditorKind editor_ = EditorKind::Room;
    std::vector<WorkspaceObserver*> observers_;
};

inline WorldTable& OpenTables::world() {
    return ws_.world_;
}
inline ZoneTable& OpenTables::zones() {
    return ws_.zones_;
}
inline ObjectTable& OpenTables::objects() {
    return ws_.objects_;
}
inline MobileTable& OpenTables::mobiles() {
    return ws_.mobiles_;
}
inline TableLoading<WorldTable> TableLoad::world() {
    return TableLoading(ws_.world_);
}
inline TableLoading<ZoneTable> TableLoad::zones() {
    return TableLoading(ws_.zones_);
}
inline TableLoading<ObjectTable> TableLoad::objects() {
    return TableLoading(ws_.objects_);
}
inline TableLoading<MobileTable> TableLoad::mobiles() {
    return TableLoading(ws_.mobiles_);
}

}  // namespace zs
