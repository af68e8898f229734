// The history on its own, over entries that only log what they do: the order
// in which steps apply, a step taken back in part, and forgetting a zone
// while a step applies. (tests/world/history_test.cpp runs it over tables.)
#include "edits/history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zs {
namespace {

struct Log : HistoryHost {
    std::vector<std::string> lines;
    int changes = 0;
    bool select_record(const RecordKey&) override { return false; }
    void history_changed() override { ++changes; }
};

// An entry of record `id` in zone (kind 0, `zone`); applying it logs "+id"
// forward and "-id" backward, and runs `on_apply` once if given.
class LoggedEntry : public StepEntry {
public:
    LoggedEntry(Log& log, int id, int zone, std::function<void()> on_apply = {})
        : log_(log), id_(id), zone_(zone), on_apply_(std::move(on_apply)) {}
    void apply(bool forward) override {
        log_.lines.push_back((forward ? "+" : "-") + std::to_string(id_));
        if (auto f = std::exchange(on_apply_, {})) f();
    }
    std::size_t bytes() const override { return 1; }
    void add_zones(std::vector<ZoneKey>& out) const override { out.push_back({0, zone_}); }
    void add_records(std::vector<RecordKey>& out) const override { out.push_back({0, id_}); }
    bool absorb(StepEntry&) override { return false; }

private:
    Log& log_;
    int id_, zone_;
    std::function<void()> on_apply_;
};

TEST(EditsHistory, StepsApplyInReverseBackwardAndInOrderForward) {
    Log log;
    History h(log);
    auto m = h.begin_step("Outer", {});
    h.record(std::make_unique<LoggedEntry>(log, 1, 10));
    {
        auto inner = h.begin_step("Inner", {});
        h.record(std::make_unique<LoggedEntry>(log, 2, 10));
        h.record(std::make_unique<LoggedEntry>(log, 3, 11));
        h.end_step(false, inner);  // taken back at once, newest first
    }
    h.record(std::make_unique<LoggedEntry>(log, 4, 10));
    h.end_step(true, m);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"-3", "-2"}));
    ASSERT_EQ(h.step_count(), 1u);
    EXPECT_EQ(h.undo_step()->touched, (std::vector<ZoneKey>{{0, 10}}));
    EXPECT_FALSE(h.modified(0, 11));

    log.lines.clear();
    ASSERT_TRUE(h.undo());
    ASSERT_TRUE(h.redo());
    EXPECT_EQ(log.lines, (std::vector<std::string>{"-4", "-1", "+1", "+4"}));
    EXPECT_EQ(h.undo_text(), "Undo Outer");
}

// A zone loaded while a step applies (an observer's doing) drops the steps
// that touched it only once the step is whole again.
TEST(EditsHistory, AZoneForgottenWhileAStepAppliesIsForgottenAfterIt) {
    Log log;
    History h(log);
    for (int id : {1, 2}) {
        auto m = h.begin_step("Step", {});
        h.record(std::make_unique<LoggedEntry>(log, id, 10, [&h] { h.forget(0, 10); }));
        h.record(std::make_unique<LoggedEntry>(log, id * 10, 10));
        h.end_step(true, m);
    }
    ASSERT_TRUE(h.undo());
    EXPECT_EQ(log.lines, (std::vector<std::string>{"-20", "-2"}));
    EXPECT_FALSE(h.can_undo());
    EXPECT_FALSE(h.can_redo());
    EXPECT_EQ(h.step_count(), 0u);
}

// Forgetting a zone drops the steps that touched it and those beyond them
// (older for undo, newer for redo) that share a zone with a dropped one; the
// rest stay undoable and redoable in their order. Each step is the zones it
// touched; the present stands after `undone` steps were undone.
struct ForgetCase {
    const char* name;
    std::vector<std::vector<int>> steps;
    int undone;
    int forgotten;
    std::vector<int> kept;  // the steps left, by index
    int undoable;           // how many of them can be undone
};

TEST(EditsHistory, ForgettingAZoneDropsOnlyTheStepsThatDependOnIt) {
    const ForgetCase cases[] = {
        {"other zones' steps stay", {{30}, {30}, {30}}, 0, 31, {0, 1, 2}, 3},
        {"a step on the zone goes, older and newer ones elsewhere stay",
         {{30}, {31}, {30}},
         0,
         31,
         {0, 2},
         2},
        {"a step spanning the zone takes older steps of its other zone",
         {{30}, {32}, {30, 31}, {30}},
         0,
         31,
         {1, 3},
         2},
        {"and what those older steps touched in turn", {{32}, {30, 32}, {30, 31}}, 0, 31, {}, 0},
        {"redoable steps on the zone go with newer ones sharing a zone",
         {{30}, {31, 32}, {32}, {33}},
         3,
         31,
         {0, 3},
         1},
        {"undone and kept steps keep their sides", {{31}, {30}, {30}}, 1, 31, {1, 2}, 1},
    };
    for (const ForgetCase& c : cases) {
        SCOPED_TRACE(c.name);
        Log log;
        History h(log);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            auto m = h.begin_step(std::to_string(i), {});
            for (int zone : c.steps[i])
                h.record(std::make_unique<LoggedEntry>(log, static_cast<int>(i), zone));
            h.end_step(true, m);
        }
        for (int i = 0; i < c.undone; ++i)
            ASSERT_TRUE(h.undo());
        h.forget(0, c.forgotten);
        // Back to the oldest kept step, then forward through every one.
        int undoable = 0;
        for (; h.undo(); ++undoable) {
        }
        std::vector<int> kept;
        for (; h.can_redo(); h.redo())
            kept.push_back(std::stoi(h.redo_step()->name));
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(undoable, c.undoable);
    }
}

}  // namespace
}  // namespace zs
