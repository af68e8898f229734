// Conversation trees as the Conversations dialog edits them: item ids and
// paths, opening, the add, branch and delete rules, typing and its refusals,
// and what the mobile file keeps of an edited tree.
#include "world/conversations.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "files/file_mob.h"
#include "support/fake_ui.h"
#include "world/edits.h"

namespace zs {
namespace {

using Path = ConversationPath;

Conversation node(std::string keywords, std::vector<Conversation> branches = {}) {
    Conversation c;
    c.keywords = std::move(keywords);
    c.response = "Hm.";
    c.branches = std::move(branches);
    return c;
}

class ConversationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableLoad(ws).mobiles().reserve(30);
        TableLoad(ws).mobiles().append(make_new_mobile(3001, 30));
    }
    // Mobile 3001 holds these top-level nodes, tiers set (not a step).
    void hold(std::vector<Conversation> top) {
        auto set_tiers = [](std::vector<Conversation>& list, int tier, auto& self) -> void {
            for (auto& c : list) {
                c.tier = tier;
                self(c.branches, tier + 1, self);
            }
        };
        set_tiers(top, 0, set_tiers);
        TableLoad(ws).mobiles().edit_loaded(
            ws.mobiles().find_mobile(3001),
            [&](MobilePrototype& m) { m.conversations = std::move(top); });
    }
    const MobilePrototype& mob() { return *ws.mobiles().find_record(3001); }
    // A{A1, A2}, B.
    void hold_abc() { hold({node("A", {node("A1"), node("A2")}), node("B")}); }

    test::FakeUi ui;
    Workspace ws{ui};
    ConversationSession session{ws, 3001};
};

TEST_F(ConversationsTest, ItemIdsFollowDepthFirstOrder) {
    hold_abc();
    std::vector<ConversationItem> want = {
        {1, {0}, "1: A"}, {2, {0, 0}, "2: A1"}, {3, {0, 1}, "3: A2"}, {4, {1}, "4: B"}};
    EXPECT_EQ(conversation_items(mob()), want);
    for (const auto& item : want) {
        EXPECT_EQ(conversation_id(mob(), item.path), item.id);
        EXPECT_EQ(conversation_path(mob(), item.id), item.path);
    }
    for (const Path& nowhere : {Path{}, Path{2}, Path{0, 2}, Path{1, 0}, Path{-1}})
        EXPECT_EQ(conversation_id(mob(), nowhere), 0);
    EXPECT_EQ(conversation_path(mob(), 0), std::nullopt);
    EXPECT_EQ(conversation_path(mob(), 5), std::nullopt);
}

TEST_F(ConversationsTest, OpeningChangesNothing) {
    struct Case {
        bool with_tree;
        std::optional<Path> current;
    };
    for (const Case& c : {Case{false, std::nullopt}, Case{true, Path{0}}}) {
        if (c.with_tree) hold_abc();
        ws.modified().clear_all();  // as if just saved
        const MobilePrototype before = mob();
        ConversationSession opened{ws, 3001};
        ASSERT_TRUE(opened.open());
        EXPECT_EQ(opened.current_path(), c.current);
        EXPECT_EQ(mob(), before);
        EXPECT_EQ(ws.history().step_count(), 0u);
        EXPECT_FALSE(ws.modified().is_set(TableKind::Mobile, 30));
    }
    EXPECT_FALSE(ConversationSession(ws, 3002).open());  // not loaded
}

TEST_F(ConversationsTest, NewNodesGoLastInTheirTierWithTheirDepthAsTier) {
    struct Case {
        Path current;
        bool branch;
        std::optional<Path> added_at;  // none: nothing added
        std::string step;
    };
    const std::string add = "Undo Add Conversation to Mobile 3001";
    for (const Case& c : {
             Case{{0, 1}, false, Path{0, 2}, add},  // in A's tier, after A2
             Case{{1}, false, Path{2}, add},        // after B
             Case{{1}, true, Path{1, 0}, "Undo Branch Conversation 4 of Mobile 3001"},
             Case{{0}, true, std::nullopt, ""},  // A has branches already
             Case{{0, 0}, true, Path{0, 0, 0}, "Undo Branch Conversation 2 of Mobile 3001"},
         }) {
        hold_abc();
        ws.clear_history();
        ASSERT_TRUE(session.select(conversation_id(mob(), c.current)));
        EXPECT_EQ(c.branch ? session.branch() : session.new_in_tier(), c.added_at.has_value());
        EXPECT_EQ(ws.history().step_count(), c.added_at ? 1u : 0u);
        if (!c.added_at) continue;
        EXPECT_EQ(session.current_path(), c.added_at);
        const Conversation& n = *session.current();
        EXPECT_EQ(n.tier, int(c.added_at->size()) - 1);
        EXPECT_EQ(n.number5, c.added_at->size() == 1 ? -1 : 0);
        EXPECT_EQ(std::tie(n.keywords, n.response, n.quest_to_activate, n.quest_required,
                           n.trigger_to_activate),
                  std::make_tuple("#none#", "#none#", -1, -1, -1));
        EXPECT_EQ(ws.undo_text(), c.step);
    }
}

TEST_F(ConversationsTest, BranchingStopsAtTheDepthTheReaderKeeps) {
    ASSERT_TRUE(session.new_in_tier());
    int branched = 0;
    while (session.branch())
        ++branched;
    EXPECT_EQ(branched, kMaxConversationDepth - 1);
    EXPECT_EQ(session.current()->tier, kMaxConversationDepth - 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("mobile 3001"), std::string::npos);

    // The file keeps every tier.
    int slot = ws.mobiles().find_mobile(3001);
    auto read = read_mobiles(write_mobiles(ws.mobiles(), {slot}).bytes, "30.mob");
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.records[0].conversations, mob().conversations);
}

TEST_F(ConversationsTest, DeleteMovesToNextThenPreviousThenParent) {
    struct Case {
        Path deleted;
        std::optional<Path> current_after;
    };
    for (const Case& c : {Case{{0, 0}, Path{0, 0}},  // A1: A2 moves up into its place
                          Case{{0, 1}, Path{0, 0}},  // A2: A1
                          Case{{1}, Path{0}}}) {     // B: A
        hold_abc();
        ASSERT_TRUE(session.select(conversation_id(mob(), c.deleted)));
        std::string id = std::to_string(session.current_id());
        ASSERT_TRUE(session.remove());
        EXPECT_EQ(session.current_path(), c.current_after);
        EXPECT_EQ(ws.undo_text(), "Undo Delete Conversation " + id + " of Mobile 3001");
    }
    hold({node("A", {node("A1")})});
    session.select(2);
    ASSERT_TRUE(session.remove());
    EXPECT_EQ(session.current_path(), Path{0});  // the parent
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(mob().conversations[0].branches.size(), 1u);
}

TEST_F(ConversationsTest, ANodeWithBranchesIsNotDeleted) {
    hold_abc();
    session.select(1);
    EXPECT_FALSE(session.remove());
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Please delete all branches of this conversation first."});
    EXPECT_EQ(conversation_items(mob()).size(), 4u);
    EXPECT_EQ(ws.history().step_count(), 0u);
}

TEST_F(ConversationsTest, DeletingTheLastNodeLeavesNoCurrentAndFieldsDoNothing) {
    const std::vector<int> slot = {ws.mobiles().find_mobile(3001)};
    const std::string without = write_mobiles(ws.mobiles(), slot).bytes;
    ASSERT_TRUE(session.new_in_tier());
    ASSERT_TRUE(session.remove());
    EXPECT_TRUE(mob().conversations.empty());
    EXPECT_EQ(write_mobiles(ws.mobiles(), slot).bytes, without);  // no "@" section left
    EXPECT_EQ(session.current_path(), std::nullopt);
    EXPECT_EQ(session.current_id(), 0);
    const std::size_t steps = ws.history().step_count();
    EXPECT_FALSE(session.store_text(ConversationField::Keywords, "hello"));
    EXPECT_FALSE(session.store_number(ConversationField::QuestRequired, 5));
    EXPECT_FALSE(session.set_to_none(ConversationField::Response));
    EXPECT_FALSE(session.branch());
    EXPECT_FALSE(session.remove());
    EXPECT_EQ(ws.history().step_count(), steps);
    EXPECT_TRUE(session.store_greeting("Hail."));  // the mobile's, not a node's

    // A new conversation starts the tree again.
    ASSERT_TRUE(session.new_in_tier());
    EXPECT_EQ(session.current_path(), Path{0});
}

TEST_F(ConversationsTest, TypingMergesPerBoxAndEmptiedTextsStoreNone) {
    hold_abc();
    const MobilePrototype before = mob();
    session.select(3);
    session.store_text(ConversationField::Keywords, "f");
    session.store_text(ConversationField::Keywords, "fo");
    session.store_text(ConversationField::Keywords, "");
    EXPECT_EQ(conversation_items(mob())[2].label, "3: #none#");
    session.store_text(ConversationField::Keywords, "foe");
    EXPECT_EQ(ws.history().step_count(), 1u);
    EXPECT_EQ(ws.undo_text(), "Undo Edit Keywords of Conversation 3 of Mobile 3001");
    session.store_text(ConversationField::Response, "");
    EXPECT_EQ(session.current()->response, "#none#");
    EXPECT_TRUE(session.store_number(ConversationField::TriggerToActivate, 12));
    EXPECT_TRUE(session.store_number(ConversationField::TriggerToActivate, 120));
    EXPECT_TRUE(session.store_number(ConversationField::TriggerToActivate, 120));  // unchanged
    EXPECT_EQ(ws.history().step_count(), 3u);
    EXPECT_TRUE(session.set_to_none(ConversationField::TriggerToActivate));
    EXPECT_EQ(ws.undo_text(),
              "Undo Set Trigger to Activate of Conversation 3 of Mobile 3001 to none");
    EXPECT_EQ(session.current()->trigger_to_activate, -1);
    session.store_greeting("Well met");
    session.store_greeting("Well met!");
    EXPECT_EQ(ws.undo_text(), "Undo Edit Greeting of Mobile 3001");
    EXPECT_EQ(ws.history().step_count(), 5u);

    for (int undo = 0; undo < 5; ++undo)
        ASSERT_TRUE(ws.undo());
    EXPECT_EQ(mob(), before);
}

TEST_F(ConversationsTest, RefusalsAreKeptForTheDialogUntilAnEditIsStored) {
    using F = ConversationField;
    hold_abc();
    session.select(1);
    struct Case {
        std::function<bool()> refused;
        std::string why;
        std::function<bool()> stored;  // clears the refusal
    };
    const std::vector<Case> cases = {
        {[&] { return session.store_text(F::Response, "who~"); }, "\"~\"",
         [&] { return session.store_text(F::Response, std::string(kMaxTextLength, 'a')); }},
        {[&] { return session.store_greeting(std::string(kMaxTextLength + 1, 'a')); },
         "longer than", [&] { return session.store_greeting("Hail."); }},
        {[&] { return session.store_number(F::QuestRequired, 2147483648LL); },
         "from -2147483648 to 2147483647", [&] { return session.new_in_tier(); }},
        {[&] { return session.store_number(F::TriggerToActivate, -2147483649LL); },
         "from -2147483648 to 2147483647",
         [&] { return session.store_number(F::TriggerToActivate, -2147483648LL); }},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const MobilePrototype before = mob();
        EXPECT_FALSE(cases[i].refused());
        EXPECT_EQ(mob(), before);
        EXPECT_NE(session.refusal().find("Mobile 3001"), std::string::npos);
        EXPECT_NE(session.refusal().find(cases[i].why), std::string::npos) << session.refusal();
        EXPECT_TRUE(cases[i].stored());
        EXPECT_EQ(session.refusal(), "");
    }
    EXPECT_TRUE(ui.statuses.empty());  // the status line is behind the dialog
}

TEST_F(ConversationsTest, AnEditedTreeSurvivesTheMobileFile) {
    hold_abc();
    session.select(1);
    session.store_text(ConversationField::Keywords, "");  // A's branches stay A's
    session.store_number(ConversationField::QuestRequired, 7);
    session.select(3);
    session.branch();
    session.store_text(ConversationField::Response, "Line one\r\nline two");
    session.select(5);  // B
    session.new_in_tier();

    int slot = ws.mobiles().find_mobile(3001);
    auto written = write_mobiles(ws.mobiles(), {slot});
    EXPECT_TRUE(written.diagnostics.empty());
    auto read = read_mobiles(written.bytes, "30.mob");
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.records[0].conversations, mob().conversations);
    std::vector<std::string> labels;
    for (const auto& item : conversation_items(read.records[0]))
        labels.push_back(item.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"1: #none#", "2: A1", "3: A2", "4: #none#", "5: B",
                                                "6: #none#"}));
}

}  // namespace
}  // namespace zs
