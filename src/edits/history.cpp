#include "edits/history.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace zs {

bool HistoryStep::touches(const ZoneKey& key) const {
    return std::binary_search(touched.begin(), touched.end(), key);
}

void History::set_limits(HistoryLimits limits) {
    limits_ = limits;
    trim_to_limits();
}

void History::trim_to_limits() {
    // The oldest undoable steps go first; redoable ones only when nothing is
    // left to undo.
    while (steps_.size() > 1 && (steps_.size() > limits_.max_steps || bytes_ > limits_.max_bytes)) {
        if (cursor_ > base_)
            trim_through(base_ + 1);
        else
            cut_after(top() - 1);
    }
}

void History::count_touches(const HistoryStep& step, int delta) {
    for (const auto& key : step.touched) {
        int& n = touch_count_[key];
        n += delta;
        if (n == 0) touch_count_.erase(key);
    }
}

bool History::touched_between(const ZoneKey& key, long long lo, long long hi) const {
    if (lo > hi) std::swap(lo, hi);
    if (touch_count_.find(key) == touch_count_.end()) return false;
    for (long long seq = lo + 1; seq <= hi; ++seq)
        if (at(seq).touches(key)) return true;
    return false;
}

void History::cut_after(long long seq) {
    if (seq >= top()) return;
    // A zone saved at a point being dropped keeps that point only when the
    // dropped steps up to it never touched it.
    for (auto& [key, point] : saved_)
        if (point != kLost && point > seq) point = touched_between(key, seq, point) ? kLost : seq;
    while (top() > seq) {
        bytes_ -= steps_.back().bytes;
        count_touches(steps_.back(), -1);
        steps_.pop_back();
    }
    cursor_ = std::min(cursor_, seq);
}

void History::trim_through(long long seq) {
    if (seq <= base_) return;
    for (auto& [key, point] : saved_)
        if (point != kLost && point < seq) point = touched_between(key, point, seq) ? kLost : seq;
    while (base_ < seq) {
        bytes_ -= steps_.front().bytes;
        count_touches(steps_.front(), -1);
        steps_.pop_front();
        ++base_;
    }
    cursor_ = std::max(cursor_, base_);
}

bool History::try_merge(HistoryStep& step) {
    if (step.merge.field < 0 || !can_undo() || cursor_ != top()) return false;
    HistoryStep& last = steps_.back();
    if (!(last.merge == step.merge) || last.entries.size() != 1 || step.entries.size() != 1 ||
        last.touched != step.touched)
        return false;
    // A save between the two keeps them apart, so that undo stops where the
    // file was written.
    for (const auto& key : step.touched) {
        auto it = saved_.find(key);
        if (it != saved_.end() && it->second == cursor_) return false;
    }
    bool merged = last.entries.front()->absorb(*step.entries.front());
    if (!merged) return false;
    bytes_ -= last.bytes;
    last.bytes = std::max(last.bytes, step.bytes);
    bytes_ += last.bytes;
    return true;
}

void History::push(HistoryStep step) {
    cut_after(cursor_);
    const bool may_merge = !burst_over_;
    burst_over_ = false;
    if (may_merge && try_merge(step)) return;
    // A zone the history has not touched yet was last saved (or loaded) now.
    for (const auto& key : step.touched)
        saved_.try_emplace(key, cursor_);
    count_touches(step, +1);
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    cursor_ = top();
    trim_to_limits();
}

template <class Pred>
void History::forget_where(Pred touches) {
    // The steps that touched what went, and every step that touched a zone
    // of one of those on the far side of it from the present: undoing an
    // older step (or redoing a newer one) would otherwise put back a record
    // as it was before (after) a change that is no longer there to undo.
    // Other steps stay, and so does their order.
    std::vector<bool> drop(steps_.size(), false);
    std::set<ZoneKey> reach;
    auto mark = [&](long long seq) {
        const HistoryStep& step = at(seq);
        bool hit = touches(step) || std::any_of(step.touched.begin(), step.touched.end(),
                                                [&](const ZoneKey& k) { return reach.count(k); });
        if (!hit) return;
        drop[static_cast<std::size_t>(seq - base_ - 1)] = true;
        reach.insert(step.touched.begin(), step.touched.end());
    };
    for (long long seq = cursor_; seq > base_; --seq)
        mark(seq);
    reach.clear();
    for (long long seq = cursor_ + 1; seq <= top(); ++seq)
        mark(seq);
    drop_steps(drop);
}

void History::drop_steps(const std::vector<bool>& drop) {
    if (std::none_of(drop.begin(), drop.end(), [](bool d) { return d; })) return;
    // The number of dropped steps at or below each state.
    auto dropped_through = [&](long long seq) {
        long long n = 0;
        for (long long s = base_ + 1; s <= std::min(seq, top()); ++s)
            n += drop[static_cast<std::size_t>(s - base_ - 1)];
        return n;
    };
    for (auto& [key, point] : saved_) {
        if (point == kLost) continue;
        // A dropped step between the saved state and the present that
        // touched the zone: the present cannot go back to the saved state
        // (or reach it) any more.
        long long lo = std::min(point, cursor_), hi = std::max(point, cursor_);
        bool lost = false;
        for (long long s = lo + 1; s <= hi && !lost; ++s)
            lost = drop[static_cast<std::size_t>(s - base_ - 1)] && at(s).touches(key);
        point = lost ? kLost : point - dropped_through(point);
    }
    cursor_ -= dropped_through(cursor_);
    std::deque<HistoryStep> kept;
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        if (drop[i]) {
            bytes_ -= steps_[i].bytes;
            count_touches(steps_[i], -1);
        } else {
            kept.push_back(std::move(steps_[i]));
        }
    }
    steps_ = std::move(kept);
    // What merges into the last step is decided afresh.
    burst_over_ = true;
}

void History::forget_zone_now(int kind, int zone) {
    ZoneKey key{kind, zone};
    if (touch_count_.find(key) == touch_count_.end()) return;
    forget_where([&](const HistoryStep& s) { return s.touches(key); });
}

void History::forget_kind_now(int kind) {
    bool any = std::any_of(touch_count_.begin(), touch_count_.end(),
                           [&](const auto& kv) { return kv.first.first == kind; });
    if (!any) return;
    forget_where([&](const HistoryStep& s) {
        return std::any_of(s.touched.begin(), s.touched.end(),
                           [&](const ZoneKey& k) { return k.first == kind; });
    });
}

void History::clear() {
    trim_through(cursor_);
    cut_after(cursor_);
    host_->history_changed();
}

bool History::modified(int kind, int zone) const {
    auto it = saved_.find({kind, zone});
    if (it == saved_.end()) return false;
    return it->second == kLost || touched_between(it->first, it->second, cursor_);
}

std::set<int> History::modified_zones(int kind) const {
    std::set<int> zones;
    for (auto it = saved_.lower_bound({kind, INT_MIN});
         it != saved_.end() && it->first.first == kind; ++it)
        if (modified(kind, it->first.second)) zones.insert(it->first.second);
    return zones;
}

bool History::any_modified() const {
    for (const auto& [key, point] : saved_)
        if (modified(key.first, key.second)) return true;
    return false;
}

void History::mark_saved(int kind, int zone) {
    saved_[{kind, zone}] = cursor_;
}

void History::mark_saved(int kind) {
    for (auto& [key, point] : saved_)
        if (key.first == kind) point = cursor_;
}

void History::mark_saved_all() {
    for (auto& [key, point] : saved_)
        point = cursor_;
}

void History::mark_changed(int kind, int zone) {
    saved_[{kind, zone}] = kLost;
}

History::Mark History::begin_step(std::string name, StepMerge merge) {
    if (depth_++ == 0) {
        pending_ = HistoryStep{};
        pending_.name = std::move(name);
        pending_.merge = merge;
    }
    return {pending_.entries.size(), pending_.touched.size(), pending_.bytes,
            pending_.focus.has_value()};
}

void History::end_step(bool commit, const Mark& mark) {
    if (!commit) roll_back_to(mark);
    if (--depth_ > 0) return;
    HistoryStep step = std::move(pending_);
    pending_ = HistoryStep{};
    if (step.entries.empty()) return;
    std::sort(step.touched.begin(), step.touched.end());
    step.touched.erase(std::unique(step.touched.begin(), step.touched.end()), step.touched.end());
    step.bytes += step.name.capacity();
    push(std::move(step));
    host_->history_changed();
}

void History::roll_back_to(const Mark& mark) {
    HistoryStep undone;
    auto from = pending_.entries.begin() + static_cast<std::ptrdiff_t>(mark.entries);
    undone.entries.assign(std::make_move_iterator(from),
                          std::make_move_iterator(pending_.entries.end()));
    pending_.entries.erase(from, pending_.entries.end());
    pending_.touched.resize(mark.touched);
    pending_.bytes = mark.bytes;
    if (!mark.focused) pending_.focus.reset();
    if (undone.entries.empty()) return;
    applying_ = false;
    apply(undone, false);
    finish_applying();
}

void History::record(std::unique_ptr<StepEntry> entry) {
    entry->add_zones(pending_.touched);
    pending_.bytes += entry->bytes();
    pending_.entries.push_back(std::move(entry));
}

void History::focus(const RecordKey& record) {
    // An operation made of others keeps its own focus: the first one set.
    if (!pending_.focus) pending_.focus = record;
}

void History::apply(const HistoryStep& step, bool forward) {
    replaying_ = true;
    if (forward)
        for (const auto& e : step.entries)
            e->apply(true);
    else
        for (auto it = step.entries.rbegin(); it != step.entries.rend(); ++it)
            (*it)->apply(false);
    replaying_ = false;
}

void History::select_after(const HistoryStep& step) {
    if (step.focus && host_->select_record(*step.focus)) return;
    std::vector<RecordKey> records;
    for (const auto& e : step.entries) {
        records.clear();
        e->add_records(records);
        for (const RecordKey& r : records)
            if (host_->select_record(r)) return;
    }
}

bool History::undo() {
    return step_through(false);
}

bool History::redo() {
    return step_through(true);
}

bool History::step_through(bool forward) {
    if (depth_ > 0 || applying_ || !(forward ? can_redo() : can_undo())) return false;
    const HistoryStep& step = forward ? *redo_step() : *undo_step();
    applying_ = forward;
    apply(step, forward);
    if (forward)
        ++cursor_;
    else
        --cursor_;
    burst_over_ = true;
    select_after(step);
    finish_applying();
    return true;
}

void History::finish_applying() {
    applying_.reset();
    // Zones loaded or unloaded meanwhile.
    auto later = std::move(forget_later_);
    forget_later_.clear();
    for (const auto& [kind, zone] : later)
        forget(kind, zone);
    host_->history_changed();
}

void History::forget(int kind, std::optional<int> zone) {
    if (applying_) {
        // The step being applied stays whole until it is done.
        forget_later_.push_back({kind, zone});
        return;
    }
    std::size_t steps = steps_.size();
    if (zone)
        forget_zone_now(kind, *zone);
    else
        forget_kind_now(kind);
    if (steps != steps_.size()) host_->history_changed();
}

std::string History::undo_text() const {
    const HistoryStep* s = undo_step();
    return s ? "Undo " + s->name : "Undo";
}

std::string History::redo_text() const {
    const HistoryStep* s = redo_step();
    return s ? "Redo " + s->name : "Redo";
}

}  // namespace zs
