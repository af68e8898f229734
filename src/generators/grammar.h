// The description generator's grammar: the five tables of statement
// templates (fixed data, with their check), the choice of nouns and of a
// template for one statement, and the expansion of a template's tokens into
// a clause with words drawn from the vocabulary.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "generators/random.h"
#include "generators/run_messages.h"
#include "generators/vocabulary.h"

namespace zs {

// The kinds a statement speaks of, in the order of the requirement bits;
// General..Temperature match NounType. No noun is ever chosen for Any.
enum class Kind { General = 0, Sight, Smell, Sound, Temperature, Any };
constexpr int kKinds = 6;

// A template's requirement mask. The noun bits say which nouns its tokens
// name, and a template is chosen only when those nouns were chosen for the
// statement; the verb bits say which verb lists must not be empty.
constexpr std::uint32_t noun_bit(Kind k) {
    return 1u << (2 + static_cast<int>(k));
}
constexpr std::uint32_t pre_verb_bit(Kind k) {
    return 1u << (8 + static_cast<int>(k));
}
constexpr std::uint32_t post_verb_bit(Kind k) {
    return 1u << (14 + static_cast<int>(k));
}
constexpr std::uint32_t end_verb_bit(Kind k) {
    return 1u << (20 + static_cast<int>(k));
}
constexpr std::uint32_t kNearbyBit = 1u << 26;  // at most once in a description
constexpr std::uint32_t kHereBit = 1u << 27;    // at most once in a description
constexpr std::uint32_t kJoinedBit = 1u << 28;  // the next sense statement joins on with ", and "

struct Template {
    const char* sentence;  // printf-style, one "%s" per token group
    const char* tokens;    // "<word word> <word>"
    std::uint32_t mask;
};

enum class TemplateTable { General, Sight, Sound, Smell, Temperature };

std::span<const Template> templates(TemplateTable table);
// The table's name in messages: "gen", "sight", "sound", "smell", "temp".
const char* table_name(TemplateTable table);

// Shows "Error in gen statement 3, statement does not match format!" for
// each entry whose "%s" count differs from its token groups; true when none.
bool check_templates(std::span<const Template> table, std::string_view name, RunMessages& messages);
bool check_all_templates(RunMessages& messages);

// The nouns of one statement, by kind, and the noun last written (the one
// "is_are" agrees with).
struct Statement {
    std::array<Noun*, kKinds> nouns{};
    Noun* last = nullptr;
    Noun* noun(Kind k) const { return nouns[static_cast<int>(k)]; }
};

// Clears the title's picked flags and draws one noun of each kind, in the
// order general, sight, sound, smell, temperature, among the nouns neither
// used in this description nor picked.
Statement choose_nouns(TitleRecord& title, Random& random);

// One of the table's templates whose nouns and verb lists the statement has,
// and whose "here" or "nearby" the description has not used yet; drawn
// uniformly among those not `excluded`. Null when none fits.
const Template* pick_template(TemplateTable table, const Statement& statement,
                              std::uint32_t description_mask, Random& random,
                              std::span<const Template* const> excluded = {});

// Expands templates for one description run.
class Expander {
public:
    Expander(Random& random, RunMessages& messages) : random_(&random), messages_(&messages) {}

    // The template's clause. Adds its "here" or "nearby" bit to
    // `description_mask`. `slot_empty` (when given) tells whether a token
    // group gave nothing, which leaves a gap in the sentence ("the air is ,").
    std::string expand(const Template& t, Statement& statement, std::uint32_t& description_mask,
                       bool* slot_empty = nullptr);
    // The clause with every slot filled, or nothing: a template that would
    // leave a slot empty (the noun's adjectives are used up) is taken back,
    // its nouns and words as they were before and the mask unchanged.
    std::optional<std::string> expand_filled(const Template& t, Statement& statement,
                                             std::uint32_t& description_mask);

    // The pieces the expansion is made of.
    std::string article(std::string_view word, NounNumber number);
    std::string noun_word(Noun* noun, bool with_article);
    std::string adjectives(Noun* noun, bool post, bool& article_flag);
    // A word of the list neither used nor picked; marks it and its group.
    // Empty when there is none.
    std::string draw_word(std::vector<Word>& words);
    std::string verb(std::vector<Word>* words);

private:
    std::string expand_word(std::string_view word, Statement& statement, bool& article_flag);

    Random* random_;
    RunMessages* messages_;
};

}  // namespace zs
