// Description composition: writes a room's description from the vocabulary
// title that matches its name (a general statement, six sense statements
// and a sentence about the exits), and the Generate Descriptions run that
// stores the descriptions of many rooms as one undoable step.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "generators/grammar.h"
#include "generators/random.h"
#include "generators/run_messages.h"
#include "generators/vocabulary.h"
#include "world/workspace.h"

namespace zs {

// Composes descriptions for one run. The joiner state (what goes between
// statements) carries from one description to the next.
class DescriptionWriter {
public:
    DescriptionWriter(Random& random, RunMessages& messages)
        : random_(&random), messages_(&messages), expander_(random, messages) {}

    // The formatted description of `room` from `title`; nothing when the
    // description fails (the run then stops).
    std::optional<std::string> describe(const WorldTable& world, const Room& room,
                                        TitleRecord& title);

    // Appends what goes before the next statement: ", and " or ". ".
    void join(std::string& text);
    int joiner_state() const { return joiner_; }
    void set_joiner_state(int state) { joiner_ = state; }

private:
    // The clause of template `t` (drawn from `table` for the statement's
    // nouns) with every slot filled. A template that would leave a slot
    // empty is taken back and another of the table drawn in its place
    // (`t` then names it); nothing when none fills, `t` null.
    std::optional<std::string> fill(TemplateTable table, const Template*& t, Statement& s,
                                    std::uint32_t& mask);

    Random* random_;
    RunMessages* messages_;
    Expander expander_;
    int joiner_ = 1;
};

// The closing sentence about the room's exits, capitalised, as
// "A forest path continues north, while a clearing lies to the  east."
// Exits to rooms that are not loaded, or that have no name, are left out.
std::string exits_sentence(const WorldTable& world, const Room& room, Random& random);

struct DescriptionRun {
    int described = 0;     // rooms whose description was replaced
    bool stopped = false;  // a description failed and the run stopped there
};

// Replaces the description of every room (of `zones`, or of every loaded
// zone when `zones` is empty) whose name is a title of the vocabulary, in
// table order, as one step named "Generate Descriptions of Zone 30" (or
// "... of Zones 30, 31", or "Generate Descriptions" for all). Each error text
// is shown once in the run.
DescriptionRun generate_descriptions(Workspace& ws, Random& random, Vocabulary& vocabulary,
                                     RunMessages& messages, const std::vector<int>& zones = {});

}  // namespace zs
