// The description generator's vocabulary: the title records read from the
// builder's vocabulary files (plain text, one key a line), with their nouns,
// alternatives and word lists and the flags a description run keeps on them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/area_io.h"
#include "generators/run_messages.h"

namespace zs {

// A noun's kind. Phrase nouns are read but never chosen for a statement.
enum class NounType { General = 0, Sight, Smell, Sound, Temperature, Phrase };
// Singular and plural take "is"; plural countable takes "are".
enum class NounNumber { Singular = 0, Plural, PluralCountable };

// An entry of a word list (adjectives and verbs). Words sharing a non-zero
// group exclude each other: once one is used, no other is drawn again in the
// same description (nor picked again in the same statement).
struct Word {
    std::string text;
    int group = 0;
    bool used = false;    // written in this description
    bool picked = false;  // drawn in this statement
};

struct Alternative {
    std::string text;
    bool last_chosen = false;
};

struct Noun {
    std::string text;  // the fixed wording; empty when the alternatives are used
    std::vector<Alternative> alternatives;
    NounType type = NounType::General;
    NounNumber number = NounNumber::Singular;
    std::vector<Word> adjectives;
    std::vector<Word> pre_verbs;
    std::vector<Word> post_verbs;
    std::vector<Word> end_verbs;
    bool used = false;    // written in this description
    bool picked = false;  // chosen for the current statement

    // True when the noun has no wording at all: it then counts as empty
    // text (no "is" or "are" follows it).
    bool empty() const { return text.empty() && alternatives.empty(); }
    // The text that decides whether the noun reads as empty: its fixed
    // wording, or its first alternative.
    std::string_view wording() const {
        if (!text.empty() || alternatives.empty()) return text;
        return alternatives.front().text;
    }
};

struct TitleRecord {
    std::string title;        // compared exactly with room names
    std::string colour;       // at most two characters, put before the description
    std::vector<Noun> nouns;  // file order
};

// Clears the used, picked and last-chosen flags of the title's nouns and
// words.
void clear_flags(TitleRecord& title);

// Every title read in a run. Titles are kept in reading order; a room name is
// looked up from the most recently read title back, so a later file (or a
// later title in one file) wins over an earlier one of the same name.
class Vocabulary {
public:
    std::vector<TitleRecord>& titles() { return titles_; }
    const std::vector<TitleRecord>& titles() const { return titles_; }
    TitleRecord* find(std::string_view room_name);
    // Clears every used, picked and last-chosen flag.
    void clear_flags();

private:
    std::vector<TitleRecord> titles_;
};

// Reads a vocabulary file's text into `vocabulary`; `file_name` names the
// file in messages. Returns how many titles it added.
int read_vocabulary(Vocabulary& vocabulary, std::string_view data, std::string_view file_name,
                    RunMessages& messages);

// A vocabulary file is read only when it is a regular file of at most 4 MiB:
// a rich one is some tens of kilobytes, and the words read take several times
// the file's size in memory.
inline constexpr TextFileKind kVocabularyFile{"a vocabulary file", std::size_t{4} << 20};

// Reads a vocabulary file. When it added titles, `colour` (cut to two
// characters) becomes the colour of the last of them; a file that adds no
// title colours nothing. False when the file cannot be read, after "File not
// found." for a missing one or a message naming the file and the cause (not a
// regular file, larger than kVocabularyFile allows, a read error).
bool read_vocabulary_file(Vocabulary& vocabulary, const std::filesystem::path& file,
                          std::string_view colour, RunMessages& messages);

// Splits a word block at ";" into words; a word may end in "=N", its group.
std::vector<Word> split_words(std::string_view block);

}  // namespace zs
