// Reading vocabulary files: the keys, the blocks and their groups, the
// messages for what cannot be read, and CR LF files.
#include "generators/vocabulary.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fake_ui.h"

namespace zs {
namespace {

using test::FakeUi;

struct Read {
    FakeUi ui;
    Vocabulary vocabulary;
    int added = 0;
    explicit Read(std::string_view text) {
        RunMessages messages(ui);
        added = read_vocabulary(vocabulary, text, "forest.txt", messages);
    }
    const Noun& noun(std::size_t i) const { return vocabulary.titles().back().nouns.at(i); }
};

std::vector<std::string> texts(const std::vector<Word>& words) {
    std::vector<std::string> out;
    for (const Word& w : words)
        out.push_back(w.text + (w.group ? "=" + std::to_string(w.group) : ""));
    return out;
}

constexpr const char* kForest =
    "title: A Forest Path\n"
    "noun: stone\n"
    "type: sight\n"
    "sp: plural countable\n"
    "adj:\n"
    "mossy;damp=1; wet=1\n"
    "old;\n"
    "~\n"
    "verb:\n"
    "lies;rests~\n"
    "noun:\n"
    "oak; elm tree ;\n"
    "birch~\n"
    "type: temp\n"
    "pre_verb:\n"
    "shades~\n"
    "end_verb:\n"
    "looms~\n"
    "phrase: ignored\n";

TEST(Vocabulary, ReadsNounsTheirKindsAndWordBlocks) {
    Read r(kForest);
    EXPECT_TRUE(r.ui.messages.empty());
    ASSERT_EQ(r.added, 1);
    EXPECT_EQ(r.vocabulary.titles()[0].title, "A Forest Path");
    ASSERT_EQ(r.vocabulary.titles()[0].nouns.size(), 2u);
    EXPECT_EQ(r.noun(0).text, "stone");
    EXPECT_EQ(r.noun(0).type, NounType::Sight);
    EXPECT_EQ(r.noun(0).number, NounNumber::PluralCountable);
    EXPECT_EQ(texts(r.noun(0).adjectives),
              (std::vector<std::string>{"mossy", "damp=1", "wet=1", "old"}));
    EXPECT_EQ(texts(r.noun(0).post_verbs), (std::vector<std::string>{"lies", "rests"}));
    EXPECT_EQ(r.noun(1).text, "");
    ASSERT_EQ(r.noun(1).alternatives.size(), 3u);
    EXPECT_EQ(r.noun(1).alternatives[1].text, "elm tree");
    EXPECT_EQ(r.noun(1).alternatives[2].text, "birch");
    EXPECT_EQ(r.noun(1).type, NounType::Temperature);
    EXPECT_EQ(texts(r.noun(1).pre_verbs), std::vector<std::string>{"shades"});
    EXPECT_EQ(texts(r.noun(1).end_verbs), std::vector<std::string>{"looms"});
}

TEST(Vocabulary, CrLfFilesReadLikeLfFiles) {
    std::string crlf;
    for (const char* p = kForest; *p; ++p) {
        if (*p == '\n') crlf += '\r';
        crlf += *p;
    }
    Read lf(kForest), dos(crlf);
    EXPECT_TRUE(dos.ui.messages.empty());
    ASSERT_EQ(dos.vocabulary.titles().size(), 1u);
    EXPECT_EQ(dos.vocabulary.titles()[0].title, "A Forest Path");
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(dos.noun(i).text, lf.noun(i).text);
        EXPECT_EQ(dos.noun(i).type, lf.noun(i).type);
        EXPECT_EQ(dos.noun(i).number, lf.noun(i).number);
        EXPECT_EQ(texts(dos.noun(i).adjectives), texts(lf.noun(i).adjectives));
        ASSERT_EQ(dos.noun(i).alternatives.size(), lf.noun(i).alternatives.size());
        for (std::size_t a = 0; a < lf.noun(i).alternatives.size(); ++a)
            EXPECT_EQ(dos.noun(i).alternatives[a].text, lf.noun(i).alternatives[a].text);
    }
}

TEST(Vocabulary, FaultyLinesGiveTheirMessageAndKeepTheSetting) {
    struct Case {
        const char* text;
        std::vector<std::string> messages;
        NounType type;
        NounNumber number;
    };
    const Case cases[] = {
        {"title: T\nnoun: x\ntype: colour\n",
         {"Invalid 'type' in desc data file.  forest.txt, line 3: \"colour\" is not general, "
          "sight, smell, sound, temperature, temp or phrase."},
         NounType::General,
         NounNumber::Singular},
        {"title: T\nnoun: x\n\ntype:\n",
         {"Invalid 'type' in desc data file.  forest.txt, line 4: \"\" is not general, sight, "
          "smell, sound, temperature, temp or phrase."},
         NounType::General,
         NounNumber::Singular},
        {"title: T\nnoun: x\nsp: plural\nsp: dual\n",
         {"Invalid 'sp' in desc data file.  forest.txt, line 4: \"dual\" is not singular, "
          "plural or plural countable."},
         NounType::General,
         NounNumber::Plural},
        {"title: T\ntype: sound\nadj:\nsp: plural~\nnoun: x\n",
         {"forest.txt, line 2: \"type:\" comes before any \"noun:\" and is passed over.",
          "forest.txt, line 3: \"adj:\" comes before any \"noun:\" and is passed over."},
         NounType::General,
         NounNumber::Singular},
        {"noun: x\ntitle: T\nnoun: y\n",
         {"forest.txt, line 1: \"noun:\" comes before any \"title:\" and is passed over."},
         NounType::General,
         NounNumber::Singular},
    };
    for (const Case& c : cases) {
        Read r(c.text);
        EXPECT_EQ(r.ui.message_texts(), c.messages) << c.text;
        ASSERT_EQ(r.vocabulary.titles().size(), 1u) << c.text;
        ASSERT_EQ(r.vocabulary.titles()[0].nouns.size(), 1u) << c.text;
        EXPECT_EQ(r.noun(0).type, c.type) << c.text;
        EXPECT_EQ(r.noun(0).number, c.number) << c.text;
        EXPECT_TRUE(r.noun(0).adjectives.empty()) << c.text;
    }
}

TEST(Vocabulary, BareTitleIsEmptyAndAnEmptyNounHasNoWording) {
    Read r("title:\nnoun:\n~\n");
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.vocabulary.titles()[0].title, "");
    EXPECT_TRUE(r.noun(0).empty());
    EXPECT_EQ(r.noun(0).wording(), "");
}

TEST(Vocabulary, LaterTitlesWinAndTheRowColourGoesOnlyToItsOwnFile) {
    auto dir = std::filesystem::temp_directory_path() / "zs_vocab_test";
    std::filesystem::create_directories(dir);
    auto write = [&](const char* name, const char* text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    };
    auto first = write("a.txt", "title: Road\nnoun: dust\ntitle: Hill\nnoun: grass\n");
    auto second = write("b.txt", "title: Road\nnoun: gravel\n");
    auto none = write("c.txt", "noun: nothing\n");

    FakeUi ui;
    RunMessages messages(ui);
    Vocabulary v;
    EXPECT_TRUE(read_vocabulary_file(v, first, "&gx", messages));
    EXPECT_TRUE(read_vocabulary_file(v, second, "&y", messages));
    EXPECT_TRUE(read_vocabulary_file(v, none, "&r", messages));
    EXPECT_FALSE(read_vocabulary_file(v, dir / "missing.txt", "&b", messages));
    ASSERT_EQ(v.titles().size(), 3u);
    EXPECT_EQ(v.titles()[0].colour, "");
    EXPECT_EQ(v.titles()[1].colour, "&g");
    EXPECT_EQ(v.titles()[2].colour, "&y");
    EXPECT_EQ(v.find("Road")->nouns[0].text, "gravel");
    EXPECT_EQ(v.find("road"), nullptr);
    EXPECT_EQ(ui.message_texts().back(), "File not found.");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zs
