// History: the builder's edits as named undoable steps, and what is unsaved.
// This layer knows nothing of records: the layer above hands it entries that
// each put their own record back and forth, and reports their zones.
//
// A step is one named operation ("Create Room 3012"): the entries of every
// record it touched, in the order the edits happened. Undo applies them
// backward in reverse order, redo forward in order. The open step records
// entries while a transaction of the layer above is open; one left
// uncommitted is applied backward at once.
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
#include <vector>

namespace zs {

// How much history is kept: the newest steps up to both bounds (the newest
// step is always kept).
struct HistoryLimits {
    std::size_t max_steps = 1000;
    std::size_t max_bytes = std::size_t{64} << 20;
};

// A zone of one kind of record; the kinds are the layer above's to number.
using ZoneKey = std::pair<int, int>;

// A record the history points at (what undo and redo select).
struct RecordKey {
    int kind = 0;
    int id = 0;
};

// Which consecutive steps merge into one: edits of the same field of the
// same record (typing in one box). A field below 0 never merges.
struct StepMerge {
    int kind = 0;
    int id = 0;
    int field = -1;
    bool operator==(const StepMerge&) const = default;
};

// One record's change within a step.
class StepEntry {
public:
    virtual ~StepEntry() = default;
    // Puts the record as it was after the edit (forward) or before it.
    virtual void apply(bool forward) = 0;
    // Approximate heap bytes, for the history's memory bound.
    virtual std::size_t bytes() const = 0;
    // The zones of the record before and after the edit.
    virtual void add_zones(std::vector<ZoneKey>& out) const = 0;
    // The record before and after, in that order, for the selection.
    virtual void add_records(std::vector<RecordKey>& out) const = 0;
    // Takes the later edit of the same record into this one; false (and
    // nothing changes) when the two cannot be one.
    virtual bool absorb(StepEntry& later) = 0;
};

struct HistoryStep {
    std::string name;
    std::vector<std::unique_ptr<StepEntry>> entries;
    std::vector<ZoneKey> touched;  // sorted, no repeats
    StepMerge merge;
    std::optional<RecordKey> focus;
    std::size_t bytes = 0;
    bool touches(const ZoneKey& key) const;
};

// What the history asks of the layer above.
class HistoryHost {
public:
    virtual ~HistoryHost() = default;
    // Selects the record when it exists; false when it does not.
    virtual bool select_record(const RecordKey& record) = 0;
    // A step was added, undone or redone, or steps were dropped.
    virtual void history_changed() = 0;
};

class History {
public:
    explicit History(HistoryHost& host, HistoryLimits limits = {})
        : host_(&host), limits_(limits) {}
    History(const History&) = delete;
    History& operator=(const History&) = delete;

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

    // The open step. Steps opened inside it join it; `Mark` is how far it
    // had got when an inner one began.
    struct Mark {
        std::size_t entries = 0;
        std::size_t touched = 0;
        std::size_t bytes = 0;
        bool focused = false;
    };
    Mark begin_step(std::string name, StepMerge merge);
    // Ends the innermost open step: without commit its entries since `mark`
    // are applied backward and dropped; the outermost one, committed, is
    // added to the history unless it recorded nothing.
    void end_step(bool commit, const Mark& mark);
    bool step_open() const { return depth_ > 0; }
    // True when edits now belong to the open step (one is open, and no step
    // is being applied).
    bool recording() const { return depth_ > 0 && !applying_; }
    void record(std::unique_ptr<StepEntry> entry);
    // The record undo and redo select (the first focus given wins).
    void focus(const RecordKey& record);
    void rename(std::string name) { pending_.name = std::move(name); }

    // Set while a step is applied: true forward (redo), false backward.
    std::optional<bool> applying() const { return applying_; }
    // True while the entries of the step being applied put their records;
    // the layer above clears it while its own listeners run.
    bool replaying() const { return replaying_; }
    void set_replaying(bool replaying) { replaying_ = replaying; }

    // Applies the step before (after) the present and selects its record;
    // false when there is none, or a step is open or being applied.
    bool undo();
    bool redo();
    // "Undo Create Room 3012"; just "Undo" (or "Redo") with nothing to do.
    std::string undo_text() const;
    std::string redo_text() const;

    // The burst of typing the last step belongs to is over (its box lost the
    // focus, or a button acted on its text): the next step stands alone.
    void end_burst() { burst_over_ = true; }

    // A zone of the kind (every zone of it, without one) was loaded or
    // unloaded: steps that touched it can no longer be undone or redone.
    // Drops those steps, and with them the steps beyond them (older ones
    // for undo, newer ones for redo) that touched a zone a dropped step
    // touched; steps of other zones stay undoable and redoable. While a step
    // is applied, that waits until it is done.
    void forget(int kind, std::optional<int> zone);
    // Drops every step (what is modified stays as it is).
    void clear();

    // Modified state.
    bool modified(int kind, int zone) const;
    std::set<int> modified_zones(int kind) const;
    bool any_modified() const;
    // The zone's records now match its file.
    void mark_saved(int kind, int zone);
    void mark_saved(int kind);
    void mark_saved_all();
    // The zone changed outside the history: modified until saved.
    void mark_changed(int kind, int zone);

private:
    static constexpr long long kLost = -1;

    long long top() const { return base_ + static_cast<long long>(steps_.size()); }
    const HistoryStep& at(long long seq) const {
        return steps_[static_cast<std::size_t>(seq - base_ - 1)];
    }
    // Adds a finished step at the present, dropping the redo branch; merges
    // it into the last step instead when both are edits of the same field of
    // the same record, and neither a save, an undo or redo, nor the end of a
    // burst of typing stands between them.
    void push(HistoryStep step);
    void trim_to_limits();
    void roll_back_to(const Mark& mark);
    void forget_zone_now(int kind, int zone);
    void forget_kind_now(int kind);
    bool step_through(bool forward);
    void apply(const HistoryStep& step, bool forward);
    void select_after(const HistoryStep& step);
    void finish_applying();
    bool touched_between(const ZoneKey& key, long long lo, long long hi) const;
    // Drops every step newer than `seq`.
    void cut_after(long long seq);
    // Drops the steps marked (one flag per kept step, oldest first),
    // keeping the others in order.
    void drop_steps(const std::vector<bool>& drop);
    // Drops every step up to and including `seq`.
    void trim_through(long long seq);
    void count_touches(const HistoryStep& step, int delta);
    bool try_merge(HistoryStep& step);
    template <class Pred>
    void forget_where(Pred touches);

    HistoryHost* host_;
    HistoryLimits limits_;
    std::deque<HistoryStep> steps_;
    long long base_ = 0;    // number of the state before the oldest kept step
    long long cursor_ = 0;  // number of the present state
    std::size_t bytes_ = 0;
    bool burst_over_ = false;             // the next step merges into none
    std::map<ZoneKey, long long> saved_;  // the state each zone was saved at, or kLost
    std::map<ZoneKey, int> touch_count_;  // kept steps touching each zone

    // The open step: its nesting depth and what it has recorded so far.
    int depth_ = 0;
    HistoryStep pending_;
    std::optional<bool> applying_;
    bool replaying_ = false;
    std::vector<std::pair<int, std::optional<int>>> forget_later_;
};

}  // namespace zs
