// Statement templates, noun and template choice, and token expansion.
#include "generators/grammar.h"

#include <algorithm>
#include <vector>

#include "world/strfmt.h"

namespace zs {

namespace {

constexpr Kind G = Kind::General, SI = Kind::Sight, SM = Kind::Smell, SO = Kind::Sound,
               T = Kind::Temperature, A = Kind::Any;
constexpr std::uint32_t N(Kind k) {
    return noun_bit(k);
}

// Repeated rows of a table make those templates likelier to be drawn.
constexpr Template kGeneral[] = {
    {"this %s %s", "<a genadj general> <genendverb>", N(G) | end_verb_bit(G)},
    {"%s %s here", "<a genadj general> <is_are>", N(G) | kHereBit | kJoinedBit},
    {"the %s here %s %s", "<genadj general> <is_are> <genpostadj>", N(G) | kHereBit | kJoinedBit},
    {"%s %s this %s", "<a anyadj any> <anypostverb> <genadj general>",
     N(A) | N(G) | post_verb_bit(A)},
    {"%s %s this %s", "<a anyadj any> <anypostverb> <genadj general>",
     N(A) | N(G) | post_verb_bit(A)},
    {"%s %s this %s", "<a anyadj any> <anypostverb> <genadj general>",
     N(A) | N(G) | post_verb_bit(A)},
    {"%s %s in this %s", "<a sightadj sight> <is_are> <genadj general>", N(SI) | N(G)},
};

constexpr Template kSmell[] = {
    {"the %s scent of %s %s the air", "<smelladj> <smelladj smell> <smellpostverb>",
     N(SM) | post_verb_bit(SM)},
    {"the %s scent of %s %s the %s", "<smelladj> <smelladj smell> <smellpostverb> <genadj general>",
     N(SM) | N(G) | post_verb_bit(SM)},
    {"the %s scent of %s %s", "<smelladj> <smelladj smell> <smellendverb>",
     N(SM) | end_verb_bit(SM)},
    {"the %s scent of %s %s", "<smelladj> <smelladj smell> <smellendverb>",
     N(SM) | end_verb_bit(SM)},
    {"the air smells faintly of %s", "<smelladj smell>", N(SM)},
    {"the air smells strongly of %s", "<smelladj smell>", N(SM)},
    {"the air here smells strongly of %s", "<smelladj smell>", N(SM) | kHereBit},
    {"it smells of %s here", "<smelladj smell>", N(SM) | kHereBit},
    {"the %s smells of %s", "<genadj general> <smelladj smell>", N(G) | N(SM)},
};

constexpr Template kTemperature[] = {
    {"the %s %s %s", "<tempadj temp> <is_are> <temppostadj>", N(T)},
    {"the %s %s", "<tempadj temp> <tempendverb>", N(T) | end_verb_bit(T)},
    {"the %s %s", "<tempadj temp> <tempendverb>", N(T) | end_verb_bit(T)},
    {"the %s %s the %s", "<tempadj temp> <temppostverb> <genadj general>",
     N(T) | N(G) | post_verb_bit(T)},
    {"the %s %s the %s", "<tempadj temp> <temppostverb> <genadj general>",
     N(T) | N(G) | post_verb_bit(T)},
    {"the %s here %s %s", "<tempadj temp> <is_are> <temppostadj>", N(T) | kHereBit},
    {"the %s is filled with %s", "<general> <tempadj temp>", N(G) | N(T)},
};

constexpr Template kSight[] = {
    {"%s %s nearby", "<a sightadj sight> <is_are>", N(SI) | kNearbyBit},
    {"%s %s", "<a sightadj sight> <sightendverb>", N(SI) | end_verb_bit(SI)},
    {"%s %s", "<a sightadj sight> <sightendverb>", N(SI) | end_verb_bit(SI)},
    {"%s %s", "<a sightadj sight> <sightendverb>", N(SI) | end_verb_bit(SI)},
    {"%s %s here", "<a sightadj sight> <is_are>", N(SI) | kHereBit},
    {"%s %s the %s", "<a sightadj sight> <sightpostverb> <genadj general>",
     N(SI) | N(G) | post_verb_bit(SI)},
    {"%s %s the %s", "<a sightadj sight> <sightpostverb> <genadj general>",
     N(SI) | N(G) | post_verb_bit(SI)},
    {"the %s %s %s", "<genadj general> <sightpreverb> <a sightadj sight>",
     N(G) | N(SI) | pre_verb_bit(SI)},
    {"the %s %s %s", "<genadj general> <sightpreverb> <a sightadj sight>",
     N(G) | N(SI) | pre_verb_bit(SI)},
    {"%s %s in the %s", "<a sightadj sight> <is_are> <genadj general>", N(SI) | N(G)},
};

constexpr Template kSound[] = {
    {"%s %s the %s", "<a soundadj sound> <soundpostverb> <general>",
     N(SO) | N(G) | post_verb_bit(SO)},
    {"%s %s the %s", "<a soundadj sound> <soundpostverb> <general>",
     N(SO) | N(G) | post_verb_bit(SO)},
    {"the %s %s %s", "<general> <soundpreverb> <a soundadj sound>",
     N(G) | N(SO) | pre_verb_bit(SO)},
    {"the %s %s %s", "<general> <soundpreverb> <a soundadj sound>",
     N(G) | N(SO) | pre_verb_bit(SO)},
    {"%s fills the %s", "<a soundadj sound> <general>", N(SO) | N(G)},
    {"%s can be heard here", "<a soundadj sound>", N(SO) | kHereBit},
    {"%s can be heard nearby", "<a soundadj sound>", N(SO) | kNearbyBit},
    {"%s %s", "<a soundadj sound> <soundendverb>", N(SO) | end_verb_bit(SO)},
    {"%s %s", "<a soundadj sound> <soundendverb>", N(SO) | end_verb_bit(SO)},
};

int count_of(std::string_view text, std::string_view what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// Words of a list that may be drawn now.
std::vector<Word*> free_words(std::vector<Word>& words) {
    std::vector<Word*> out;
    for (Word& w : words)
        if (!w.used && !w.picked) out.push_back(&w);
    return out;
}

bool starts_with_vowel(std::string_view w) {
    if (w.empty()) return false;
    switch (w.front()) {
        case 'a':
        case 'e':
        case 'i':
        case 'o':
        case 'u':
        case 'A':
        case 'E':
        case 'I':
        case 'O':
        case 'U':
            return true;
        default:
            return false;
    }
}

// What a token word asks for: a noun, its adjectives (before the noun or
// after a verb), or one of its verbs.
enum class Part { Noun, Adjective, PostAdjective, PreVerb, PostVerb, EndVerb };

bool parse_word(std::string_view word, Kind& kind, Part& part) {
    struct Prefix {
        std::string_view text;
        Kind kind;
    };
    constexpr Prefix kPrefixes[] = {{"general", G}, {"gen", G},  {"sight", SI}, {"smell", SM},
                                    {"sound", SO},  {"temp", T}, {"any", A}};
    struct Suffix {
        std::string_view text;
        Part part;
    };
    constexpr Suffix kSuffixes[] = {{"adj", Part::Adjective},
                                    {"postadj", Part::PostAdjective},
                                    {"preverb", Part::PreVerb},
                                    {"postverb", Part::PostVerb},
                                    {"endverb", Part::EndVerb}};
    for (const Prefix& p : kPrefixes) {
        if (!word.starts_with(p.text)) continue;
        std::string_view rest = word.substr(p.text.size());
        // The nouns themselves: "general", "sight", ..., "temp", "any".
        if (rest.empty() && p.text != "gen") {
            kind = p.kind;
            part = Part::Noun;
            return true;
        }
        if (p.text == "general") continue;
        for (const Suffix& s : kSuffixes)
            if (rest == s.text) {
                kind = p.kind;
                part = s.part;
                return true;
            }
    }
    return false;
}

}  // namespace

std::span<const Template> templates(TemplateTable table) {
    switch (table) {
        case TemplateTable::General:
            return kGeneral;
        case TemplateTable::Sight:
            return kSight;
        case TemplateTable::Sound:
            return kSound;
        case TemplateTable::Smell:
            return kSmell;
        case TemplateTable::Temperature:
            return kTemperature;
    }
    return {};
}

const char* table_name(TemplateTable table) {
    switch (table) {
        case TemplateTable::General:
            return "gen";
        case TemplateTable::Sight:
            return "sight";
        case TemplateTable::Sound:
            return "sound";
        case TemplateTable::Smell:
            return "smell";
        case TemplateTable::Temperature:
            return "temp";
    }
    return "";
}

bool check_templates(std::span<const Template> table, std::string_view name,
                     RunMessages& messages) {
    bool ok = true;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (count_of(table[i].sentence, "%s") != count_of(table[i].tokens, ">")) {
            messages.show(strfmt("Error in %.*s statement %zu, statement does not match format!",
                                 static_cast<int>(name.size()), name.data(), i));
            ok = false;
        }
    return ok;
}

bool check_all_templates(RunMessages& messages) {
    bool ok = true;
    for (TemplateTable t : {TemplateTable::General, TemplateTable::Sight, TemplateTable::Sound,
                            TemplateTable::Smell, TemplateTable::Temperature})
        ok = check_templates(templates(t), table_name(t), messages) && ok;
    return ok;
}

// Every "one at random" draws an index from 0 over the candidates in the
// order they were read (nouns in file order, words and alternatives in block
// order, templates in table order).
Statement choose_nouns(TitleRecord& title, Random& random) {
    for (Noun& n : title.nouns) {
        n.picked = false;
        for (auto* list : {&n.adjectives, &n.pre_verbs, &n.post_verbs, &n.end_verbs})
            for (Word& w : *list)
                w.picked = false;
    }
    Statement s;
    for (Kind k : {G, SI, SO, SM, T}) {
        std::vector<Noun*> free;
        for (Noun& n : title.nouns)
            if (static_cast<int>(n.type) == static_cast<int>(k) && !n.used && !n.picked)
                free.push_back(&n);
        if (free.empty()) continue;
        Noun* n =
            free[static_cast<std::size_t>(random.between(0, static_cast<int>(free.size()) - 1))];
        n->picked = true;
        s.nouns[static_cast<int>(k)] = n;
    }
    return s;
}

const Template* pick_template(TemplateTable table, const Statement& statement,
                              std::uint32_t description_mask, Random& random,
                              std::span<const Template* const> excluded) {
    std::uint32_t available = 0;
    for (int k = 0; k < kKinds; ++k)
        if (const Noun* n = statement.nouns[static_cast<std::size_t>(k)]) {
            Kind kind = static_cast<Kind>(k);
            available |= noun_bit(kind);
            if (!n->pre_verbs.empty()) available |= pre_verb_bit(kind);
            if (!n->post_verbs.empty()) available |= post_verb_bit(kind);
            if (!n->end_verbs.empty()) available |= end_verb_bit(kind);
        }
    constexpr std::uint32_t kNeeds = (1u << 26) - (1u << 2);  // noun and verb bits
    std::vector<const Template*> candidates;
    for (const Template& t : templates(table)) {
        if ((t.mask & kNeeds & ~available) != 0) continue;
        if ((t.mask & kHereBit) && (description_mask & kHereBit)) continue;
        if ((t.mask & kNearbyBit) && (description_mask & kNearbyBit)) continue;
        if (std::find(excluded.begin(), excluded.end(), &t) != excluded.end()) continue;
        candidates.push_back(&t);
    }
    if (candidates.empty()) return nullptr;
    return candidates[static_cast<std::size_t>(
        random.between(0, static_cast<int>(candidates.size()) - 1))];
}

// Plural countable draws over the list in the order written here; plural
// gives "some" on a draw of 1 from 1..2 and nothing on 2.
std::string Expander::article(std::string_view word, NounNumber number) {
    if (word.empty()) return {};
    switch (number) {
        case NounNumber::PluralCountable: {
            static constexpr const char* kCounts[] = {
                "some",         "a few",      "many", "several", "a small number of",
                "a great many", "a number of"};
            return kCounts[random_->between(0, 6)];
        }
        case NounNumber::Plural:
            return random_->between(1, 2) == 1 ? "some" : "";
        case NounNumber::Singular:
            break;
    }
    return starts_with_vowel(word) ? "an" : "a";
}

std::string Expander::draw_word(std::vector<Word>& words) {
    std::vector<Word*> free = free_words(words);
    if (free.empty()) return {};
    Word* w =
        free[static_cast<std::size_t>(random_->between(0, static_cast<int>(free.size()) - 1))];
    // The word is written as soon as it is drawn: picked and used at once,
    // with every word of its group.
    for (Word& other : words)
        if (&other == w || (w->group != 0 && other.group == w->group))
            other.picked = other.used = true;
    return w->text;
}

std::string Expander::verb(std::vector<Word>* words) {
    std::string v = words ? draw_word(*words) : std::string();
    return v.empty() ? "A VERB" : v;
}

std::string Expander::noun_word(Noun* noun, bool with_article) {
    std::string text;
    if (!noun) {
        text = "NOUN NOT FOUND";
    } else if (!noun->text.empty()) {
        text = noun->text;
    } else {
        std::vector<Alternative*> free;
        for (Alternative& a : noun->alternatives)
            if (!a.last_chosen) free.push_back(&a);
        if (free.empty()) {
            text = "NOUN NOT FOUND";
        } else {
            Alternative* a = free[static_cast<std::size_t>(
                random_->between(0, static_cast<int>(free.size()) - 1))];
            for (Alternative& other : noun->alternatives)
                other.last_chosen = false;
            a->last_chosen = true;
            text = a->text;
        }
    }
    if (noun && noun->type != NounType::General) noun->used = true;
    if (!with_article || !noun) return text;
    std::string art = article(text, noun->number);
    return art.empty() ? text : art + " " + text;
}

// Draw order: the 1..100 number, the first adjective, the second (above
// 50), the article, then in front position " and " (1 of 1..2) or ", " (2).
// The article goes before the adjectives.
std::string Expander::adjectives(Noun* noun, bool post, bool& article_flag) {
    int r = random_->between(1, 100);
    std::string first = noun ? draw_word(noun->adjectives) : std::string();
    if (first.empty()) return {};  // the article flag goes on to the next word
    std::string second = r > 50 ? draw_word(noun->adjectives) : std::string();
    std::string out;
    if (article_flag) {
        std::string art = article(first, noun->number);
        if (!art.empty()) out = art + " ";
        article_flag = false;
    }
    out += first;
    if (!second.empty()) out += (post || random_->between(1, 2) == 1 ? " and " : ", ") + second;
    return out;
}

std::string Expander::expand_word(std::string_view word, Statement& s, bool& article_flag) {
    bool article = article_flag;
    article_flag = false;
    if (word == "is_are") {
        if (!s.last) {
            messages_->show("Error in parse_format: <is_are> called before a word was set!");
            return {};
        }
        if (s.last->wording().empty()) return {};
        return s.last->number == NounNumber::PluralCountable ? "are" : "is";
    }
    Kind kind;
    Part part;
    if (!parse_word(word, kind, part)) {
        messages_->show(strfmt("Error in parse_format: Invalid format argument '%.*s'",
                               static_cast<int>(word.size()), word.data()));
        return {};
    }
    Noun* noun = s.noun(kind);
    switch (part) {
        case Part::Noun:
            if (noun) s.last = noun;
            return noun_word(noun, article);
        case Part::Adjective:
        case Part::PostAdjective: {
            std::string out = adjectives(noun, part == Part::PostAdjective, article);
            article_flag = article;
            return out;
        }
        case Part::PreVerb:
            return verb(noun ? &noun->pre_verbs : nullptr);
        case Part::PostVerb:
            return verb(noun ? &noun->post_verbs : nullptr);
        case Part::EndVerb:
            return verb(noun ? &noun->end_verbs : nullptr);
    }
    return {};
}

std::string Expander::expand(const Template& t, Statement& s, std::uint32_t& description_mask,
                             bool* slot_empty) {
    std::vector<std::string> groups;
    std::string_view tokens = t.tokens;
    bool format_error = false;
    for (std::size_t open = tokens.find('<'); open != std::string_view::npos;
         open = tokens.find('<', open + 1)) {
        std::size_t close = tokens.find('>', open);
        if (close == std::string_view::npos) break;
        std::string_view body = tokens.substr(open + 1, close - open - 1);
        // Results are joined with one blank; a word that gives nothing adds
        // no blank.
        std::string text;
        bool article_flag = false;
        while (true) {
            std::size_t blank = body.find(' ');
            std::string_view word = body.substr(0, blank);
            if (word.empty()) {
                format_error = true;
            } else if (word == "a") {
                article_flag = true;
            } else {
                std::string r = expand_word(word, s, article_flag);
                if (!r.empty()) text += (text.empty() ? "" : " ") + r;
            }
            if (blank == std::string_view::npos) break;
            body.remove_prefix(blank + 1);
        }
        if (text.empty() && slot_empty) *slot_empty = true;
        groups.push_back(std::move(text));
    }
    if (format_error) messages_->show(std::string("Format error: ") + t.tokens);

    std::string out;
    std::string_view sentence = t.sentence;
    std::size_t next = 0;
    for (std::size_t at = sentence.find("%s"); at != std::string_view::npos;
         at = sentence.find("%s")) {
        out += sentence.substr(0, at);
        if (next < groups.size()) out += groups[next];
        ++next;
        sentence.remove_prefix(at + 2);
    }
    out += sentence;
    description_mask |= t.mask & (kHereBit | kNearbyBit);
    return out;
}

std::optional<std::string> Expander::expand_filled(const Template& t, Statement& s,
                                                   std::uint32_t& description_mask) {
    // Only the statement's nouns change in an expansion: their flags and
    // those of their words and alternatives.
    std::vector<std::pair<Noun*, Noun>> before;
    for (Noun* n : s.nouns)
        if (n &&
            std::none_of(before.begin(), before.end(), [n](const auto& b) { return b.first == n; }))
            before.emplace_back(n, *n);
    Noun* last = s.last;
    std::uint32_t mask = description_mask;
    bool slot_empty = false;
    std::string out = expand(t, s, mask, &slot_empty);
    if (slot_empty) {
        for (auto& [noun, copy] : before)
            *noun = std::move(copy);
        s.last = last;
        return std::nullopt;
    }
    description_mask = mask;
    return out;
}

}  // namespace zs
