// A mobile's conversation tree as the Conversations dialog edits it: nodes
// addressed by their path of indexes from the top level, the depth-first item
// ids the dialog numbers them by, and ConversationSession, the dialog's state
// in the core (the mobile, by vnum, the current node, by path, and why the
// last edit was refused) with the named, undoable steps that change the
// greeting and the tree. The dialog passes the boxes' bytes and shows what
// the session holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/mobile.h"
#include "world/workspace.h"

namespace zs {

// Indexes from the top level down: {1, 0} is the first branch of the second
// top-level node. Paths stay valid across edits that add at the end of a
// list; anything else re-finds its node by path or by item id.
using ConversationPath = std::vector<int>;

// What a text that may not be written holds: the file writer skips a node
// whose keywords or response is empty (losing where its branches belong), so
// an emptied text is stored as this.
inline constexpr std::string_view kNoConversationText = "#none#";

// The node at the path; null when the path leads nowhere.
const Conversation* conversation_at(const MobilePrototype& m, const ConversationPath& path);
Conversation* conversation_at(MobilePrototype& m, const ConversationPath& path);

// One item of the dialog's tree: the node's id (1 for the first node, then
// depth first: a node, its branches, then its next sibling), its path and
// label "%d: %s" (id, keywords).
struct ConversationItem {
    int id = 0;
    ConversationPath path;
    std::string label;
    bool operator==(const ConversationItem&) const = default;
};
std::vector<ConversationItem> conversation_items(const MobilePrototype& m);
std::string conversation_label(int id, const Conversation& c);
// The id of the node at the path, 0 when there is none; the path of an id.
int conversation_id(const MobilePrototype& m, const ConversationPath& path);
std::optional<ConversationPath> conversation_path(const MobilePrototype& m, int id);

// A new node: keywords and response "#none#", quests and trigger -1, tier
// its depth; at the top level numbers 5 to 7 are -1, in a branch 0. Added as
// the last top-level node (no parent) or the parent's last branch, as a step
// "Add Conversation to Mobile 3001". The new node's path; none when the
// mobile is not loaded, the parent does not exist, or a branch would be
// deeper than the mobile file keeps (kMaxConversationDepth tiers).
std::optional<ConversationPath> add_conversation(Workspace& ws, int vnum,
                                                 const std::optional<ConversationPath>& parent,
                                                 EditOptions options = {});

// The node fields the dialog edits.
enum class ConversationField {
    Keywords,
    Response,
    QuestRequired,
    QuestToActivate,
    TriggerToActivate
};
// The node's number of a number field (QuestRequired, QuestToActivate or
// TriggerToActivate).
std::int32_t conversation_number(const Conversation& c, ConversationField field);

// Why a typed greeting, keywords or response cannot be stored, naming the
// mobile; empty when it can, by tilde_text_fault's rule (a "~" ends a text
// in the mobile file; at most kMaxTextLength bytes, a bare LF counted as the
// CR LF the file gives it).
std::string conversation_text_refusal(int vnum, std::string_view text);

class ConversationSession {
public:
    // Works on mobile `vnum`; `source` is passed with every edit (the dialog,
    // so that panes know the edit was not theirs). No current node yet.
    ConversationSession(Workspace& ws, int vnum, const void* source = nullptr);

    // Opening the dialog: the current node becomes the first top-level node,
    // none for a mobile without conversations. Opening changes nothing: only
    // new_in_tier and branch add nodes. False when the mobile is not loaded.
    bool open();

    int vnum() const { return vnum_; }
    // The mobile, re-found by vnum; null when it is not loaded.
    const MobilePrototype* mobile() const;
    // The current node; none (or a path that no longer leads anywhere, after
    // an undo) leaves every field edit doing nothing.
    const std::optional<ConversationPath>& current_path() const { return current_; }
    const Conversation* current() const;
    // The current node's item id; 0 when there is none.
    int current_id() const;

    // Makes the node with this item id current; false (nothing changes)
    // when there is none.
    bool select(int id);

    // Why the last edit was refused (a typed text or number that cannot be
    // stored), for the dialog to show over its own controls: the main
    // window's status line is hidden behind the modal dialog. Empty again
    // after the next accepted edit.
    const std::string& refusal() const { return refusal_; }

    // Typing: each keystroke is stored at once, and the keystrokes in one box
    // for one node merge into one step ("Edit Greeting of Mobile 3001",
    // "Edit Keywords of Conversation 2 of Mobile 3001"). A refused text
    // (see conversation_text_refusal) is not stored and becomes refusal();
    // false then, and when there is no current node. An emptied keywords or
    // response is stored as "#none#".
    bool store_greeting(std::string_view typed);
    bool store_text(ConversationField field, std::string_view typed);
    // A number field; nothing is stored (true) when the value is unchanged. A
    // value outside the 32 bits the file keeps is refused like a text.
    bool store_number(ConversationField field, std::int64_t value);
    // "Set to #none#" beside Keywords or Response, "Set to none" beside a
    // number (-1): one step each.
    bool set_to_none(ConversationField field);

    // "New Conversation in this Tier": a node after the current node's last
    // sibling (at the top level when there is no current node); it becomes
    // current.
    bool new_in_tier();
    // "Branch to New Tier": the current node's first branch, only when it has
    // none; it becomes current. At the deepest tier the file keeps, a message
    // box says so and nothing changes.
    bool branch();
    // "Delete this Conversation": a node with branches is kept, with the box
    // "Please delete all branches of this conversation first.". Otherwise
    // the current node becomes its next sibling, else its previous one, else
    // its parent, else the first top-level node; deleting the last node
    // leaves none.
    bool remove();

private:
    // Keeps why an edit was refused; false, for the edit to return.
    bool refuse(std::string why);
    bool edit(std::string name, const std::function<void(MobilePrototype&)>& fn,
              MergeKey merge = {});
    MergeKey typing_key(int field) const;
    std::string node_name() const;
    // The current node in the mobile as held (null when none).
    const Conversation* valid_current() const;

    Workspace& ws_;
    int vnum_;
    const void* source_;
    std::optional<ConversationPath> current_;
    std::string refusal_;
};

}  // namespace zs
