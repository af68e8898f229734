// The statement templates and the expansion of their tokens: articles,
// adjectives and their groups, alternatives, "is"/"are", template choice and
// the messages for faulty tokens.
#include "generators/grammar.h"

#include <gtest/gtest.h>

#include <set>

#include "support/fake_ui.h"

namespace zs {
namespace {

using test::FakeUi;

Noun noun(std::string text, NounType type = NounType::General,
          NounNumber number = NounNumber::Singular) {
    Noun n;
    n.text = std::move(text);
    n.type = type;
    n.number = number;
    return n;
}

struct Grammar {
    FakeUi ui;
    RunMessages messages{ui};
    Random random;
    Expander expander{random, messages};
    std::uint32_t mask = 0;
    explicit Grammar(std::uint64_t seed = 7) : random(seed) {}
    std::string expand(const char* tokens, Statement& s, const char* sentence = "%s") {
        return expander.expand(Template{sentence, tokens, 0}, s, mask);
    }
};

TEST(Grammar, BuiltInTablesMatchTheirFormatsAndAFaultyEntryIsNamed) {
    Grammar g;
    EXPECT_TRUE(check_all_templates(g.messages));
    EXPECT_TRUE(g.ui.messages.empty());
    const Template bad[] = {{"%s", "<general>", 0}, {"%s %s", "<general>", 0}};
    EXPECT_FALSE(check_templates(bad, "sight", g.messages));
    EXPECT_EQ(
        g.ui.message_texts(),
        std::vector<std::string>{"Error in sight statement 1, statement does not match format!"});
}

TEST(Grammar, SingularArticleFollowsTheWordsFirstLetter) {
    Grammar g;
    for (auto [word, article] : {std::pair{"old", "an"},
                                 {"Elm", "an"},
                                 {"umber", "an"},
                                 {"stone", "a"},
                                 {"yew", "a"},
                                 {"", ""}})
        EXPECT_EQ(g.expander.article(word, NounNumber::Singular), article) << word;
}

TEST(Grammar, PluralArticlesComeFromTheirLists) {
    Grammar g;
    const std::set<std::string> counts = {
        "some", "a few", "many", "several", "a small number of", "a great many", "a number of"};
    std::set<std::string> plural, countable;
    for (int i = 0; i < 300; ++i) {
        plural.insert(g.expander.article("rocks", NounNumber::Plural));
        countable.insert(g.expander.article("rocks", NounNumber::PluralCountable));
    }
    EXPECT_EQ(plural, (std::set<std::string>{"", "some"}));
    EXPECT_EQ(countable, counts);
}

TEST(Grammar, ArticleGoesToTheFirstAdjectiveOrElseToTheNoun) {
    Grammar g;
    Noun stone = noun("stone");
    Statement s;
    s.nouns[0] = &stone;
    EXPECT_EQ(g.expand("<a genadj general>", s), "a stone");
    stone.adjectives = {{"old", 0}};
    EXPECT_EQ(g.expand("<a genadj general>", s), "an old stone");
    EXPECT_EQ(s.last, &stone);
}

TEST(Grammar, GroupedWordsExcludeEachOtherWithinADescription) {
    Grammar g;
    Noun rock = noun("rock");
    rock.adjectives = split_words("mossy;damp=1;wet=1");
    std::set<std::string> drawn;
    for (int i = 0; i < 5; ++i) {
        std::string w = g.expander.draw_word(rock.adjectives);
        if (!w.empty()) {
            EXPECT_TRUE(drawn.insert(w).second) << w;
        }
    }
    EXPECT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(drawn.count("mossy"));
    EXPECT_NE(drawn.count("damp"), drawn.count("wet"));
}

TEST(Grammar, ASingleAlternativeIsWrittenOnceThenNotFound) {
    Grammar g;
    Noun smoke;
    smoke.type = NounType::Smell;
    smoke.alternatives = {{"smoke", false}};
    EXPECT_EQ(g.expander.noun_word(&smoke, false), "smoke");
    EXPECT_TRUE(smoke.used);  // a sense noun is written once per description
    EXPECT_EQ(g.expander.noun_word(&smoke, false), "NOUN NOT FOUND");
}

TEST(Grammar, AlternativesAreNotRepeatedBackToBack) {
    Grammar g;
    Noun tree;
    tree.alternatives = {{"oak", false}, {"elm", false}, {"ash", false}};
    std::string last;
    for (int i = 0; i < 40; ++i) {
        std::string w = g.expander.noun_word(&tree, false);
        EXPECT_NE(w, last);
        last = w;
    }
}

TEST(Grammar, IsAreAgreesWithTheLastNoun) {
    struct Case {
        Noun n;
        const char* expected;
    };
    Noun empty;  // no text and no alternatives
    Noun alt_empty;
    alt_empty.alternatives = {{"", false}, {"x", false}};
    const Case cases[] = {
        {noun("stone"), "stone is"},
        {noun("sand", NounType::General, NounNumber::Plural), "sand is"},
        {noun("rocks", NounType::General, NounNumber::PluralCountable), "rocks are"},
        {empty, "NOUN NOT FOUND"},
        {alt_empty, ""}};
    for (const Case& c : cases) {
        Grammar g;
        Noun n = c.n;
        Statement s;
        s.nouns[0] = &n;
        std::string got = g.expand("<general is_are>", s);
        if (n.alternatives.size() == 2)
            EXPECT_TRUE(got == "x" || got.empty()) << got;  // the first alternative decides
        else
            EXPECT_EQ(got, c.expected);
        EXPECT_TRUE(g.ui.messages.empty());
    }
}

TEST(Grammar, FaultyTokensAreReportedOnceAndProduceNothing) {
    Grammar g;
    Noun stone = noun("stone");
    Statement s;
    s.nouns[0] = &stone;
    EXPECT_EQ(g.expand("<is_are> <bogus general>", s, "%s|%s"), "|stone");
    EXPECT_EQ(g.expand("<general  is_are>", s), "stone is");
    EXPECT_EQ(g.expand("<bogus>", s), "");
    EXPECT_EQ(
        g.ui.message_texts(),
        (std::vector<std::string>{"Error in parse_format: <is_are> called before a word was set!",
                                  "Error in parse_format: Invalid format argument 'bogus'",
                                  "Format error: <general  is_are>"}));
}

TEST(Grammar, EmptyVerbListsWriteAVerb) {
    Grammar g;
    Noun stone = noun("stone");
    Statement s;
    s.nouns[0] = &stone;
    EXPECT_EQ(g.expand("<genpreverb> <sightendverb>", s, "%s %s"), "A VERB A VERB");
}

TEST(Grammar, TemplatesNeedTheirNounsVerbsAndAnUnusedHereOrNearby) {
    Noun general = noun("hall");
    Noun sight = noun("torch", NounType::Sight);
    Statement s;
    s.nouns[static_cast<int>(Kind::Sight)] = &sight;
    Random random(3);
    // No general noun: only the sight templates that need no general noun.
    std::set<std::string> sentences;
    for (int i = 0; i < 200; ++i)
        if (const Template* t = pick_template(TemplateTable::Sight, s, 0, random))
            sentences.insert(t->sentence);
    EXPECT_EQ(sentences, (std::set<std::string>{"%s %s nearby", "%s %s here"}));
    EXPECT_EQ(pick_template(TemplateTable::Sight, s, kHereBit | kNearbyBit, random), nullptr);

    s.nouns[0] = &general;
    sight.end_verbs = {{"flickers", 0}};
    sentences.clear();
    for (int i = 0; i < 400; ++i)
        if (const Template* t = pick_template(TemplateTable::Sight, s, kHereBit, random))
            sentences.insert(t->sentence);
    EXPECT_EQ(sentences, (std::set<std::string>{"%s %s nearby", "%s %s", "%s %s in the %s"}));
    // The "any" templates of the general table never come up.
    for (int i = 0; i < 200; ++i)
        EXPECT_STRNE(pick_template(TemplateTable::General, s, 0, random)->sentence,
                     "%s %s this %s");
}

TEST(Grammar, ExpandingAddsHereAndNearbyToTheDescription) {
    Grammar g;
    Noun sight = noun("torch", NounType::Sight);
    Statement s;
    s.nouns[static_cast<int>(Kind::Sight)] = &sight;
    g.expander.expand(templates(TemplateTable::Sight)[0], s, g.mask);
    EXPECT_EQ(g.mask, kNearbyBit);
}

// Pins the draw order: the 1..100 number, the adjectives, the article, then
// " and " or ", " between front adjectives.
TEST(Grammar, SeededExpansionIsReproduced) {
    Grammar g(1700000000);
    Noun rocks = noun("rocks", NounType::Sight, NounNumber::PluralCountable);
    rocks.adjectives = split_words("grey;jagged;wet=1;damp=1;mossy");
    rocks.post_verbs = split_words("line;surround");
    Noun hall = noun("hall");
    hall.adjectives = split_words("dim;long;narrow");
    Statement s;
    s.nouns[0] = &hall;
    s.nouns[static_cast<int>(Kind::Sight)] = &rocks;
    std::vector<std::string> got;
    for (int i = 0; i < 3; ++i)
        got.push_back(g.expander.expand(templates(TemplateTable::Sight)[5], s, g.mask));
    EXPECT_EQ(got, (std::vector<std::string>{"a number of grey rocks line the narrow hall",
                                             "many damp rocks surround the long hall",
                                             "a few jagged and mossy rocks A VERB the dim hall"}));
}

}  // namespace
}  // namespace zs
