// The vocabulary model and the reader of vocabulary files.
#include "generators/vocabulary.h"

#include <charconv>
#include <optional>

#include "world/numbers.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

TitleRecord* Vocabulary::find(std::string_view room_name) {
    for (auto it = titles_.rbegin(); it != titles_.rend(); ++it)
        if (it->title == room_name) return &*it;
    return nullptr;
}

void Vocabulary::clear_flags() {
    for (TitleRecord& t : titles_)
        zs::clear_flags(t);
}

void clear_flags(TitleRecord& title) {
    for (Noun& n : title.nouns) {
        n.used = n.picked = false;
        for (Alternative& a : n.alternatives)
            a.last_chosen = false;
        for (auto* list : {&n.adjectives, &n.pre_verbs, &n.post_verbs, &n.end_verbs})
            for (Word& w : *list)
                w.used = w.picked = false;
    }
}

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A piece of a block without the blanks and line ends around it (a block
// spread over lines holds its line ends inside the pieces).
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

// The pieces of a block split at ";" and at line ends (a block spread over
// lines reads as if each line ended in ";"), empty pieces left out.
std::vector<std::string_view> pieces(std::string_view block) {
    std::vector<std::string_view> out;
    while (true) {
        std::size_t end = block.find_first_of(";\n");
        std::string_view piece = trimmed(block.substr(0, end));
        if (!piece.empty()) out.push_back(piece);
        if (end == std::string_view::npos) break;
        block.remove_prefix(end + 1);
    }
    return out;
}

// The value after a key and one blank; empty when the line holds the key
// alone.
std::string_view value_after(std::string_view line, std::string_view key) {
    return line.size() > key.size() + 1 ? line.substr(key.size() + 1) : std::string_view();
}

enum class Key { None, Title, Noun, Type, Number, Adjectives, PreVerbs, PostVerbs, EndVerbs };

struct KeyName {
    std::string_view text;
    Key key;
};
// "phrase:" lines are known and ignored, like lines of no key.
constexpr KeyName kKeys[] = {
    {"title:", Key::Title},         {"noun:", Key::Noun},      {"type:", Key::Type},
    {"sp:", Key::Number},           {"adj:", Key::Adjectives}, {"pre_verb:", Key::PreVerbs},
    {"post_verb:", Key::PostVerbs}, {"verb:", Key::PostVerbs}, {"end_verb:", Key::EndVerbs},
};

const KeyName* key_of(std::string_view line) {
    for (const KeyName& k : kKeys)
        if (line.starts_with(k.text)) return &k;
    return nullptr;
}

// "noun: stone" carries its text; "noun:" alone is followed by a block of
// alternatives.
bool noun_has_text(std::string_view line) {
    return line.size() > 6 && line[5] == ' ' && line[6] != ' ';
}

bool takes_block(Key key) {
    return key == Key::Adjectives || key == Key::PreVerbs || key == Key::PostVerbs ||
           key == Key::EndVerbs;
}

}  // namespace

std::vector<Word> split_words(std::string_view block) {
    std::vector<Word> words;
    for (std::string_view piece : pieces(block)) {
        Word w;
        std::size_t eq = piece.rfind('=');
        if (eq != std::string_view::npos && eq + 1 < piece.size()) {
            std::string_view digits = piece.substr(eq + 1);
            if (std::optional<int> g = whole_number<int>(digits, Sign::MinusOnly)) {
                piece = trimmed(piece.substr(0, eq));
                w.group = *g;
            }
        }
        w.text = std::string(piece);
        words.push_back(std::move(w));
    }
    return words;
}

int read_vocabulary(Vocabulary& vocabulary, std::string_view data, std::string_view file_name,
                    RunMessages& messages) {
    TextReader reader(data);
    reader.set_file_name(std::string(file_name));
    int added = 0;
    TitleRecord* title = nullptr;
    Noun* noun = nullptr;
    std::string_view line;

    // Reads the block that follows a key line; a block cut off by the end of
    // the file (or too long) is reported and read as empty.
    auto read_block = [&] {
        std::size_t errors = reader.string_errors().size();
        std::string block = reader.read_tilde_text();
        if (reader.string_errors().size() > errors)
            messages.show(reader.string_error_detail(reader.string_errors().back()));
        return block;
    };

    while (reader.raw_line(line)) {
        const KeyName* key = key_of(line);
        if (!key) continue;
        if (key->key == Key::Title) {
            vocabulary.titles().push_back({std::string(value_after(line, key->text)), {}, {}});
            title = &vocabulary.titles().back();
            noun = nullptr;
            ++added;
            continue;
        }
        if (key->key == Key::Noun && title) {
            title->nouns.emplace_back();
            noun = &title->nouns.back();
            if (noun_has_text(line))
                noun->text = std::string(line.substr(6));
            else if (std::string block = read_block(); !block.empty())
                for (std::string_view piece : pieces(block))
                    noun->alternatives.push_back({std::string(piece), false});
            continue;
        }
        if (!noun) {
            // A key with nothing to belong to: its block is passed over too,
            // so that the block's lines are not read as keys.
            int at = reader.line_number();
            if ((key->key == Key::Noun && !noun_has_text(line)) || takes_block(key->key))
                read_block();
            messages.show(
                strfmt("%.*s, line %d: \"%.*s\" comes before any \"%s\" and is passed over.",
                       static_cast<int>(file_name.size()), file_name.data(), at,
                       static_cast<int>(key->text.size()), key->text.data(),
                       key->key == Key::Noun ? "title:" : "noun:"));
            continue;
        }
        std::string_view value = value_after(line, key->text);
        // The message begins as it always has; then the file, the line and what the value may be.
        auto invalid = [&](const char* what, const char* may_be) {
            messages.show(
                strfmt("Invalid '%s' in desc data file.  %.*s, line %d: \"%.*s\" is not %s.", what,
                       static_cast<int>(file_name.size()), file_name.data(), reader.line_number(),
                       static_cast<int>(value.size()), value.data(), may_be));
        };
        switch (key->key) {
            case Key::Type: {
                struct {
                    std::string_view name;
                    NounType type;
                } constexpr kTypes[] = {{"general", NounType::General},
                                        {"sight", NounType::Sight},
                                        {"smell", NounType::Smell},
                                        {"sound", NounType::Sound},
                                        {"temperature", NounType::Temperature},
                                        {"temp", NounType::Temperature},
                                        {"phrase", NounType::Phrase}};
                bool found = false;
                for (const auto& t : kTypes)
                    if (t.name == value) {
                        noun->type = t.type;
                        found = true;
                    }
                if (!found)
                    invalid("type", "general, sight, smell, sound, temperature, temp or phrase");
                break;
            }
            case Key::Number:
                if (value == "singular")
                    noun->number = NounNumber::Singular;
                else if (value == "plural")
                    noun->number = NounNumber::Plural;
                else if (value == "plural countable")
                    noun->number = NounNumber::PluralCountable;
                else
                    invalid("sp", "singular, plural or plural countable");
                break;
            case Key::Adjectives:
                noun->adjectives = split_words(read_block());
                break;
            case Key::PreVerbs:
                noun->pre_verbs = split_words(read_block());
                break;
            case Key::PostVerbs:
                noun->post_verbs = split_words(read_block());
                break;
            case Key::EndVerbs:
                noun->end_verbs = split_words(read_block());
                break;
            default:
                break;
        }
    }
    return added;
}

bool read_vocabulary_file(Vocabulary& vocabulary, const std::filesystem::path& file,
                          std::string_view colour, RunMessages& messages) {
    ReadFailure why = ReadFailure::None;
    int error = 0;
    std::optional<std::string> data = read_text_file(file, kVocabularyFile, &why, &error);
    if (!data) {
        messages.show(text_file_failure_text(why, error, file, kVocabularyFile, "File not found."));
        return false;
    }
    int added = read_vocabulary(vocabulary, *data, file.filename().string(), messages);
    if (added > 0) vocabulary.titles().back().colour = std::string(colour.substr(0, 2));
    return true;
}

}  // namespace zs
