// History: the builder's edits as undoable steps, and what is unsaved.
//
// A step is one named operation ("Create Room 3012"): the images of every
// record it touched, before and after, keyed by table and id (vnum, or zone
// number for zedits), in the order the edits happened. Undo puts the before
// images back in reverse order, redo the after images in order, both through
// the tables' own primitives. Steps hold no slots and no pointers into the
// tables.
//
// What is unsaved follows from the history: each (kind, zone) remembers the
// point of the history at which it was last saved (or loaded); it is
// modified when a step between that point and the present touches it. A
// point that left the history (trimmed, or on a discarded redo branch whose
// steps touched the zone) can never be reached again, and the zone stays
// modified until it is saved.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "world/change.h"
#include "world/mobile.h"
#include "world/object.h"
#include "world/room.h"
#include "world/zedit.h"

namespace zs {

// How much history is kept: the newest steps up to both bounds (the newest
// step is always kept).
struct HistoryLimits {
    std::size_t max_steps = 1000;
    std::size_t max_bytes = std::size_t{64} << 20;
};

template <class Record>
struct RecordImages {
    std::unique_ptr<const Record> before;  // null: the step added the record
    std::unique_ptr<const Record> after;   // null: the step removed it
};

// One record's change within a step.
struct HistoryEntry {
    TableKind table;
    RecordPlace place;
    std::variant<RecordImages<Room>, RecordImages<ObjectPrototype>, RecordImages<MobilePrototype>,
                 RecordImages<Zedit>>
        images;
};

// Which consecutive edits merge into one step: the same field of the same
// record (typing in one box). A field below 0 never merges.
struct MergeKey {
    TableKind table = TableKind::World;
    int id = 0;
    int field = -1;
    bool operator==(const MergeKey&) const = default;
};

// A record the history points at (what undo and redo select).
struct RecordRef {
    TableKind table = TableKind::World;
    int id = 0;
};

using ZoneKey = std::pair<TableKind, int>;

struct HistoryStep {
    std::string name;
    std::vector<HistoryEntry> entries;
    std::vector<ZoneKey> touched;  // sorted, no repeats
    MergeKey merge;
    std::optional<RecordRef> focus;
    std::size_t bytes = 0;
    bool touches(const ZoneKey& key) const;
};

// Approximate heap bytes of a record image, for the history's memory bound.
std::size_t footprint(const Room& r);
std::size_t footprint(const ObjectPrototype& o);
std::size_t footprint(const MobilePrototype& m);
std::size_t footprint(const Zedit& z);

class History {
public:
    explicit History(HistoryLimits limits = {}) : limits_(limits) {}

    const HistoryLimits& limits() const { return limits_; }
    void set_limits(HistoryLimits limits);

    bool can_undo() const { return cursor_ > base_; }
    bool can_redo() const { return cursor_ < top(); }
    // The step undo or redo would apply; null when there is none.
    const HistoryStep* undo_step() const { return can_undo() ? &at(cursor_) : nullptr; }
    const HistoryStep* redo_step() const { return can_redo() ? &at(cursor_ + 1) : nullptr; }
    std::size_t step_count() const { return steps_.size(); }
    // The number of the present state: one more for every step added (a
    // merge adds none), one less for every undo.
    long long position() const { return cursor_; }
    std::size_t bytes() const { return bytes_; }

    // Adds a finished step at the present, dropping the redo branch; merges
    // it into the last step instead when both are edits of the same field of
    // the same record, and neither a save, an undo or redo, nor the end of a
    // burst of typing stands between them.
    void push(HistoryStep step);
    // The burst of typing the last step belongs to is over (its box lost the
    // focus, or a button acted on its text): the next step stands alone.
    void end_burst() { burst_over_ = true; }
    // Moves the present one step back or forward; the caller applies it.
    void moved_back() {
        --cursor_;
        burst_over_ = true;
    }
    void moved_forward() {
        ++cursor_;
        burst_over_ = true;
    }

    // A zone of the kind was loaded or unloaded: steps that touched it can
    // no longer be undone or redone. Drops the newest undoable step that
    // touched it with everything older, and the oldest redoable step that
    // touched it with everything newer.
    void forget_zone(TableKind kind, int zone);
    void forget_kind(TableKind kind);
    void clear();

    // Modified state.
    bool modified(TableKind kind, int zone) const;
    std::set<int> modified_zones(TableKind kind) const;
    bool any_modified() const;
    // The zone's records now match its file.
    void mark_saved(TableKind kind, int zone);
    void mark_saved(TableKind kind);
    void mark_saved_all();
    // The zone changed outside the history: modified until saved.
    void mark_changed(TableKind kind, int zone);

private:
    static constexpr long long kLost = -1;

    long long top() const { return base_ + static_cast<long long>(steps_.size()); }
    const HistoryStep& at(long long seq) const {
        return steps_[static_cast<std::size_t>(seq - base_ - 1)];
    }
    bool touched_between(const ZoneKey& key, long long lo, long long hi) const;
    // Drops every step newer than `seq`.
    void cut_after(long long seq);
    // Drops every step up to and including `seq`.
    void trim_through(long long seq);
    void count_touches(const HistoryStep& step, int delta);
    bool try_merge(HistoryStep& step);
    template <class Pred>
    void forget_where(Pred touches);

    HistoryLimits limits_;
    std::deque<HistoryStep> steps_;
    long long base_ = 0;    // number of the state before the oldest kept step
    long long cursor_ = 0;  // number of the present state
    std::size_t bytes_ = 0;
    bool burst_over_ = false;             // the next step merges into none
    std::map<ZoneKey, long long> saved_;  // the state each zone was saved at, or kLost
    std::map<ZoneKey, int> touch_count_;  // kept steps touching each zone
};

}  // namespace zs
