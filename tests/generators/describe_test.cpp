// Composing room descriptions: the exits sentence, the joiner, failing
// titles, and a run over the world as one undoable step.
#include "generators/describe.h"

#include <gtest/gtest.h>

#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"

namespace zs {
namespace {

using test::FakeUi;

Room named(int vnum, const char* title, std::initializer_list<std::pair<int, int>> exits = {}) {
    Room r = test::room_with_exits(vnum, exits);
    r.title = title;
    return r;
}

// The verb the exits sentence draws first from this seed.
std::string verb_of(std::uint64_t seed) {
    static const char* kVerbs[] = {"continues", "extends", "reaches", "leads"};
    Random r(seed);
    return kVerbs[r.between(0, 3)];
}

TEST(Describe, ExitsSentenceNamesSameAndOtherRoomsByDirection) {
    WorldTable world;
    TableLoading(world).append(
        named(100, "&gA Forest Path", {{0, 101}, {2, 102}, {1, 103}, {3, 104}}));
    TableLoading(world).append(named(101, "A Forest Path"));
    TableLoading(world).append(named(102, "a forest &Ypath"));
    TableLoading(world).append(named(103, "A Clearing"));
    TableLoading(world).append(named(104, "A Clearing"));
    TableLoading(world).append(named(105, "A Cave", {{4, 106}, {5, 107}, {0, 108}, {1, 199}}));
    TableLoading(world).append(named(106, "The Sky"));
    TableLoading(world).append(named(107, "A Pit"));
    TableLoading(world).append(named(108, ""));  // no name: left out, like 199 that is not loaded
    TableLoading(world).append(named(109, "Nowhere"));
    TableLoading(world).append(
        named(110, "Hub", {{0, 103}, {1, 106}, {2, 107}, {3, 104}, {5, 106}}));

    struct Case {
        int vnum;
        std::string expected;
    };
    const std::string v = verb_of(5);
    const Case cases[] = {
        {100,
         "A forest path " + v + " north, and south, while a clearing lies to the  east and west."},
        {105, "The sky is up, and a pit is down from here."},
        {109, " from here."},
        {110,
         "A clearing lies to the north and west, the sky lies to the  east and down, and a pit "
         "lies to the  south from here."},
    };
    for (const Case& c : cases) {
        Random random(5);
        EXPECT_EQ(exits_sentence(world, *world.find_room_record(c.vnum), random), c.expected);
    }
}

TEST(Describe, JoinerMovesBetweenItsStates) {
    FakeUi ui;
    RunMessages messages(ui);
    Random random(1);
    DescriptionWriter w(random, messages);
    std::string text;
    w.set_joiner_state(0);
    w.join(text);
    EXPECT_EQ(text, ", and ");
    EXPECT_EQ(w.joiner_state(), 1);
    w.join(text);
    EXPECT_EQ(text, ", and . ");
    EXPECT_EQ(w.joiner_state(), 2);
    int and_count = 0;
    for (int i = 0; i < 300; ++i) {
        std::string t;
        w.set_joiner_state(2);
        w.join(t);
        bool joined = t == ", and ";
        EXPECT_EQ(w.joiner_state(), joined ? 1 : 2);
        EXPECT_TRUE(joined || t == ". ");
        and_count += joined;
    }
    EXPECT_GT(and_count, 150);  // two in three
    EXPECT_LT(and_count, 250);
}

// A title with enough nouns for every sense.
const char* kCave =
    "title: A Dark Cave\n"
    "noun: cave\nadj:\ndark;damp~\nend_verb:\nechoes~\n"
    "noun: stalactites\ntype: sight\nsp: plural countable\nadj:\njagged;pale~\nverb:\nhang over~\n"
    "noun: puddle\ntype: sight\nadj:\nmuddy~\nend_verb:\nglistens~\n"
    "noun: bats\ntype: sight\nsp: plural\n"
    "noun: moss\ntype: sight\n"
    "noun: dripping\ntype: sound\nadj:\nsteady;faint~\n"
    "noun: wind\ntype: sound\nend_verb:\nmoans~\n"
    "noun: mould\ntype: smell\nadj:\nmusty~\n"
    "noun: earth\ntype: smell\n"
    "noun: chill\ntype: temp\nadj:\nbitter~\n"
    "noun: cold\ntype: temp\n"
    "noun: breeze\ntype: temp\n";

constexpr const char* kUnfinished = "You are in an unfinished room.\r\n";

struct World {
    FakeUi ui;
    Workspace ws{ui};
    Vocabulary vocabulary;
    RunMessages messages{ui};
    World() {
        TableLoad(ws).world().append(named(3000, "A Dark Cave", {{0, 3001}}));
        TableLoad(ws).world().append(named(3001, "A Dark Cave", {{2, 3000}, {1, 3002}}));
        Room tunnel = named(3002, "A Tunnel", {{3, 3001}});
        tunnel.description = "Old text.\r\n";
        TableLoad(ws).world().append(tunnel);
        TableLoad(ws).world().append(named(3100, "A Dark Cave"));
        read_vocabulary(vocabulary, kCave, "cave.txt", messages);
        vocabulary.titles().back().colour = "&b";
    }
    std::string description(int vnum) {
        return ws.world().find_room_record(vnum)->description.str();
    }
};

TEST(Describe, RunIsOneUndoableStepOverTheChosenZones) {
    World w;
    Random random(1700000000);
    test::Tables before = test::tables_of(w.ws);
    DescriptionRun run = generate_descriptions(w.ws, random, w.vocabulary, w.messages, {30});
    EXPECT_TRUE(w.ui.messages.empty()) << w.ui.message_texts()[0];
    EXPECT_EQ(run.described, 2);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(w.ws.undo_text(), "Undo Generate Descriptions of Zone 30");
    EXPECT_TRUE(w.description(3000).starts_with("&b   "));
    EXPECT_TRUE(w.description(3000).ends_with("&n\r\n"));
    EXPECT_NE(w.description(3000), w.description(3001));
    EXPECT_EQ(w.description(3002), "Old text.\r\n");  // not a title of the vocabulary
    EXPECT_EQ(w.description(3100), kUnfinished);      // another zone
    ASSERT_TRUE(w.ws.undo());
    EXPECT_TRUE(test::same_tables(test::tables_of(w.ws), before));
    EXPECT_EQ(w.ws.undo_text(), "Undo");
}

TEST(Describe, SeededDescriptionIsReproduced) {
    World w;
    Random random(0);
    generate_descriptions(w.ws, random, w.vocabulary, w.messages, {30, 31});
    EXPECT_EQ(w.ws.undo_text(), "Undo Generate Descriptions of Zones 30, 31");
    // Words are not repeated within a description: where a post-adjective
    // would find both adjectives used ("the dark, damp cave here is ,")
    // another template is drawn.
    EXPECT_EQ(
        w.description(3000),
        "&b   A moss is in this damp cave.  A muddy puddle is nearby.  A great many jagged\r\n"
        "stalactites are here, and the air smells strongly of earth.  Some bats is in\r\n"
        "the dark cave, and the cave is filled with breeze.  The cave smells of musty\r\n"
        "mould.  A dark cave reaches north.&n\r\n");
}

// A vocabulary of nouns with one or two adjectives: a statement that puts
// adjectives before the noun and after the verb ("the crisp and cool air is
// ...") may use them up before its last slot. No statement leaves a slot
// empty, over many runs.
TEST(Describe, NoStatementLeavesASlotEmptyWhenAdjectivesRunOut) {
    for (std::uint64_t seed = 0; seed < 60; ++seed) {
        World w;
        w.vocabulary = Vocabulary();
        read_vocabulary(w.vocabulary, test::test_data_bytes("vocab_few_adjectives.txt"), "cave.txt",
                        w.messages);
        Random random(seed);
        DescriptionRun run = generate_descriptions(w.ws, random, w.vocabulary, w.messages, {30});
        ASSERT_EQ(run.described, 2) << "seed " << seed;
        for (int vnum : {3000, 3001}) {
            std::string text = w.description(vnum);
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.replace(at, 2, " ");
            EXPECT_EQ(text.find(" ,"), std::string::npos) << "seed " << seed << ": " << text;
            EXPECT_EQ(text.find(" ."), std::string::npos) << "seed " << seed << ": " << text;
        }
    }
}

TEST(Describe, TooFewNounsStopTheRunWithOneMessage) {
    World w;
    w.vocabulary = Vocabulary();
    read_vocabulary(
        w.vocabulary,
        "title: A Dark Cave\nnoun: cave\nnoun: moss\ntype: sight\nnoun: cold\ntype: temp\n",
        "cave.txt", w.messages);
    Random random(9);
    DescriptionRun run = generate_descriptions(w.ws, random, w.vocabulary, w.messages);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.described, 0);
    EXPECT_EQ(w.ui.message_texts(),
              std::vector<std::string>{"Error: Can't find enough statements!  You need at least "
                                       "seven nouns to make a description!"});
    EXPECT_EQ(w.description(3000), kUnfinished);
    EXPECT_EQ(w.ws.undo_text(), "Undo");
}

TEST(Describe, TitleWithoutAGeneralNounFails) {
    World w;
    w.vocabulary = Vocabulary();
    read_vocabulary(w.vocabulary, "title: A Tunnel\nnoun: moss\ntype: sight\n", "t.txt",
                    w.messages);
    Random random(9);
    EXPECT_TRUE(generate_descriptions(w.ws, random, w.vocabulary, w.messages).stopped);
    EXPECT_EQ(w.ui.message_texts(),
              std::vector<std::string>{
                  "Error - you must have at least one 'general' word in the description file!"});
}

TEST(RunMessages, EachTextIsShownOncePerRun) {
    FakeUi ui;
    RunMessages messages(ui);
    for (const char* t : {"a", "b", "a", "b", "c"})
        messages.show(t);
    EXPECT_EQ(ui.message_texts(), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
}  // namespace zs
