// Description composition and the Generate Descriptions run.
#include "generators/describe.h"

#include <algorithm>
#include <utility>

#include "world/edits.h"
#include "world/format_text.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

constexpr const char* kDirectionWords[kNumDirections] = {"north", "east", "south",
                                                         "west",  "up",   "down"};

// A room name as the exits sentence writes it: lowercase, without colour
// codes ("&" and the character after it).
std::string plain_name(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '&') {
            ++i;
            continue;
        }
        char c = name[i];
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

struct Sense {
    TemplateTable table;
    Kind kind;
    const char* message;
};

// A draw of 1..6: 1-3 sight, 4 sound, 5 smell, 6 temperature.
const Sense& sense_of(int draw) {
    static const Sense kSenses[] = {
        {TemplateTable::Sight, Kind::Sight,
         "Error: failed PickStatement with sights, but we have a sight word"},
        {TemplateTable::Sound, Kind::Sound,
         "Error: failed PickStatement with sounds, but we have a sound word"},
        {TemplateTable::Smell, Kind::Smell,
         "Error: failed PickStatement with smells, but we have a smell word"},
        {TemplateTable::Temperature, Kind::Temperature,
         "Error: failed PickStatement with temps, but we have a temp word"},
    };
    return kSenses[draw <= 3 ? 0 : draw - 3];
}

}  // namespace

void DescriptionWriter::join(std::string& text) {
    switch (joiner_) {
        case 0:
            text += ", and ";
            joiner_ = 1;
            break;
        case 1:
            text += ". ";
            joiner_ = 2;
            break;
        default:
            if (random_->between(1, 3) != 3) {
                text += ", and ";
                joiner_ = 1;
            } else {
                text += ". ";
            }
            break;
    }
}

std::optional<std::string> DescriptionWriter::describe(const WorldTable& world, const Room& room,
                                                       TitleRecord& title) {
    if (std::none_of(title.nouns.begin(), title.nouns.end(),
                     [](const Noun& n) { return n.type == NounType::General; })) {
        messages_->show(
            "Error - you must have at least one 'general' word in the description file!");
        return std::nullopt;
    }
    std::uint32_t mask = 0;
    std::string text = title.colour;
    bool written = false;  // a statement stands before the next one

    Statement s = choose_nouns(title, *random_);
    if (const Template* t = pick_template(TemplateTable::General, s, mask, *random_)) {
        // When no general template fills its slots the statement is left out.
        if (std::optional<std::string> clause = fill(TemplateTable::General, t, s, mask)) {
            text += *clause;
            written = true;
            if (t->mask & kJoinedBit) joiner_ = 0;
        }
    } else {
        messages_->show("Error: failed PickStatement for general word!");
    }

    int added = 0;
    int attempts = 0;
    while (added < 6) {
        if (++attempts >= 200) {
            messages_->show(
                "Error: Can't find enough statements!  You need at least seven nouns to make a "
                "description!");
            clear_flags(title);
            return std::nullopt;
        }
        const Sense& sense = sense_of(random_->between(1, 6));
        s = choose_nouns(title, *random_);
        const Template* t = pick_template(sense.table, s, mask, *random_);
        if (!s.noun(sense.kind)) continue;
        if (!t) {
            messages_->show(sense.message);
            continue;
        }
        // The joiner is drawn before the clause, as always; it is taken back
        // when no template of these nouns fills its slots, and the attempt
        // is dropped like one without a noun.
        const int joiner_before = joiner_;
        std::string joiner;
        if (written) join(joiner);
        std::optional<std::string> clause = fill(sense.table, t, s, mask);
        if (!clause) {
            joiner_ = joiner_before;
            continue;
        }
        text += joiner + *clause;
        written = true;
        ++added;
    }
    joiner_ = 1;
    join(text);
    text += exits_sentence(world, room, *random_);
    clear_flags(title);
    text += "&n";
    // The game reads texts of at most kMaxTextLength characters back.
    return format_text(text, Indent::paragraph, kMaxTextLength);
}

std::optional<std::string> DescriptionWriter::fill(TemplateTable table, const Template*& t,
                                                   Statement& s, std::uint32_t& mask) {
    std::vector<const Template*> tried;
    while (t) {
        if (std::optional<std::string> clause = expander_.expand_filled(*t, s, mask)) return clause;
        tried.push_back(t);
        t = pick_template(table, s, mask, *random_, tried);
    }
    return std::nullopt;
}

std::string exits_sentence(const WorldTable& world, const Room& room, Random& random) {
    // Drawn as an index 0..3 into this list.
    static constexpr const char* kVerbs[] = {"continues", "extends", "reaches", "leads"};
    const char* verb = kVerbs[random.between(0, 3)];
    std::string here = plain_name(room.title.view());

    std::vector<int> same;
    std::vector<std::pair<std::string, std::vector<int>>> groups;  // by first direction
    for (int d = 0; d < kNumDirections; ++d) {
        if (!room.exits[static_cast<std::size_t>(d)]) continue;
        const Room* to =
            world.find_room_record(room.exits[static_cast<std::size_t>(d)]->destination);
        if (!to) continue;
        std::string name = plain_name(to->title.view());
        // A room without a name has nothing to be called by; it is left out
        // like an exit to a room that is not loaded.
        if (name.empty()) continue;
        if (name == here) {
            same.push_back(d);
            continue;
        }
        auto g = std::find_if(groups.begin(), groups.end(),
                              [&](const auto& group) { return group.first == name; });
        if (g == groups.end())
            groups.push_back({std::move(name), {d}});
        else
            g->second.push_back(d);
    }

    // "a, b, and c": the words of `dirs` after the first, as a list going on
    // from the first ("a").
    auto list_rest = [](std::string& out, const std::vector<int>& dirs, bool pair_with_and) {
        for (std::size_t i = 1; i < dirs.size(); ++i) {
            if (pair_with_and && dirs.size() == 2)
                out += " and ";
            else
                out += i + 1 == dirs.size() ? ", and " : ", ";
            out += kDirectionWords[dirs[i]];
        }
    };

    std::string out;
    if (!same.empty()) {
        out = here + " " + verb + " " + kDirectionWords[same[0]];
        list_rest(out, same, false);
    }
    if (!groups.empty() && !same.empty()) out += ", while ";
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (g > 0) out += ", ";
        if (g + 1 == groups.size() && groups.size() >= 2) out += "and ";
        const auto& [name, dirs] = groups[g];
        int d = dirs[0];
        if (d == kNorth)
            out += name + " lies to the " + kDirectionWords[d];
        else if (d == kUp || d == kDown)
            out += name + " is " + kDirectionWords[d];
        else
            out += name + " lies to the  " + kDirectionWords[d];
        list_rest(out, dirs, true);
    }
    if (same.empty()) out += " from here";
    out += ".";
    capitalise_first(out);
    return out;
}

DescriptionRun generate_descriptions(Workspace& ws, Random& random, Vocabulary& vocabulary,
                                     RunMessages& messages, const std::vector<int>& zones) {
    std::string name = "Generate Descriptions";
    for (std::size_t i = 0; i < zones.size(); ++i)
        name += strfmt("%s%d", i == 0 ? (zones.size() == 1 ? " of Zone " : " of Zones ") : ", ",
                       zones[i]);

    DescriptionRun run;
    DescriptionWriter writer(random, messages);
    Transaction tx(ws, name, EditOptions{field_bit(RoomField::Description), nullptr, {}});
    const WorldTable& world = ws.world();
    for (int slot = 0; slot < world.count(); ++slot) {
        const Room& room = world.room(slot);
        if (room.title.empty()) continue;
        if (!zones.empty() && std::find(zones.begin(), zones.end(), room.zone) == zones.end())
            continue;
        TitleRecord* title = vocabulary.find(room.title.view());
        if (!title) continue;
        std::optional<std::string> text = writer.describe(world, room, *title);
        if (!text) {
            run.stopped = true;
            break;
        }
        tx.world().edit(slot, [&](Room& r) { r.description = *text; });
        ++run.described;
    }
    // A run stopped by the writer keeps what it described so far.
    tx.commit();
    return run;
}

}  // namespace zs
