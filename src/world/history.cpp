#include "world/history.h"

#include <algorithm>

namespace zs {

namespace {

std::size_t text_bytes(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0;
}
std::size_t text_bytes(const Text& t) {
    return t.size() > 14 ? t.size() + sizeof(std::size_t) + 1 : 0;
}
std::size_t extras_bytes(const std::vector<ExtraDescription>& extras) {
    std::size_t n = extras.capacity() * sizeof(ExtraDescription);
    for (const auto& e : extras)
        n += text_bytes(e.keyword) + text_bytes(e.description);
    return n;
}
std::size_t conversation_bytes(const std::vector<Conversation>& convs) {
    std::size_t n = convs.capacity() * sizeof(Conversation);
    for (const auto& c : convs)
        n += text_bytes(c.keywords) + text_bytes(c.response) + conversation_bytes(c.branches);
    return n;
}

}  // namespace

std::size_t footprint(const Room& r) {
    std::size_t n = sizeof(Room) + text_bytes(r.title) + text_bytes(r.description) +
                    text_bytes(r.side_text) + text_bytes(r.extra_text) +
                    extras_bytes(r.extra_descriptions) +
                    r.triggers.capacity() * sizeof(std::int32_t);
    for (const auto& e : r.exits)
        if (e)
            n += text_bytes(e->description) + text_bytes(e->door_description) +
                 text_bytes(e->door_keywords);
    return n;
}

std::size_t footprint(const ObjectPrototype& o) {
    std::size_t n = sizeof(ObjectPrototype);
    for (const std::string* s : {&o.keywords, &o.short_description, &o.long_description,
                                 &o.look_description, &o.text5, &o.text6, &o.text7, &o.text8})
        n += text_bytes(*s);
    return n + o.affects.capacity() * sizeof(ObjectAffect) +
           o.triggers.capacity() * sizeof(std::int32_t) + extras_bytes(o.extra_descriptions);
}

std::size_t footprint(const MobilePrototype& m) {
    std::size_t n = sizeof(MobilePrototype);
    for (const std::string* s :
         {&m.keywords, &m.short_description, &m.long_description, &m.description, &m.text5,
          &m.text6, &m.text7, &m.text8, &m.text9, &m.text10, &m.text11, &m.greeting, &m.text13})
        n += text_bytes(*s);
    n += conversation_bytes(m.conversations) + m.blocks.capacity() * sizeof(MobileBlock);
    for (const auto& b : m.blocks)
        for (const auto& t : b.texts)
            n += text_bytes(t);
    return n + m.skills.capacity() * sizeof(MobileSkill) +
           m.triggers.capacity() * sizeof(std::int32_t);
}

std::size_t footprint(const Zedit& z) {
    std::size_t n = sizeof(Zedit) + text_bytes(z.name) + text_bytes(z.roleplay_name) +
                    text_bytes(z.third_text) + z.commands.capacity() * sizeof(Zcmd);
    for (const auto& c : z.commands)
        n += text_bytes(c.sarg1) + text_bytes(c.sarg2);
    return n;
}

bool HistoryStep::touches(const ZoneKey& key) const {
    return std::binary_search(touched.begin(), touched.end(), key);
}

void History::set_limits(HistoryLimits limits) {
    limits_ = limits;
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
    bool merged = std::visit(
        [&](auto& mine) {
            using Images = std::decay_t<decltype(mine)>;
            auto* theirs = std::get_if<Images>(&step.entries.front().images);
            if (!theirs || !mine.before || !mine.after || !theirs->after) return false;
            mine.after = std::move(theirs->after);
            return true;
        },
        last.entries.front().images);
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
    set_limits(limits_);
}

template <class Pred>
void History::forget_where(Pred touches) {
    long long newest_undoable = base_;
    for (long long seq = cursor_; seq > base_; --seq)
        if (touches(at(seq))) {
            newest_undoable = seq;
            break;
        }
    long long oldest_redoable = top() + 1;
    for (long long seq = cursor_ + 1; seq <= top(); ++seq)
        if (touches(at(seq))) {
            oldest_redoable = seq;
            break;
        }
    cut_after(oldest_redoable - 1);
    trim_through(newest_undoable);
}

void History::forget_zone(TableKind kind, int zone) {
    ZoneKey key{kind, zone};
    if (touch_count_.find(key) == touch_count_.end()) return;
    forget_where([&](const HistoryStep& s) { return s.touches(key); });
}

void History::forget_kind(TableKind kind) {
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
}

bool History::modified(TableKind kind, int zone) const {
    auto it = saved_.find({kind, zone});
    if (it == saved_.end()) return false;
    return it->second == kLost || touched_between(it->first, it->second, cursor_);
}

std::set<int> History::modified_zones(TableKind kind) const {
    std::set<int> zones;
    for (auto it = saved_.lower_bound({kind, Change::kNoPreviousId});
         it != saved_.end() && it->first.first == kind; ++it)
        if (modified(kind, it->first.second)) zones.insert(it->first.second);
    return zones;
}

bool History::any_modified() const {
    for (const auto& [key, point] : saved_)
        if (modified(key.first, key.second)) return true;
    return false;
}

void History::mark_saved(TableKind kind, int zone) {
    saved_[{kind, zone}] = cursor_;
}

void History::mark_saved(TableKind kind) {
    for (auto& [key, point] : saved_)
        if (key.first == kind) point = cursor_;
}

void History::mark_saved_all() {
    for (auto& [key, point] : saved_)
        point = cursor_;
}

void History::mark_changed(TableKind kind, int zone) {
    saved_[{kind, zone}] = kLost;
}

}  // namespace zs
