#include "world/conversations.h"

#include <limits>

#include "world/edits.h"
#include "world/prototype_edits.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

// Typing merge keys of the dialog's boxes: above the fields of the mobile
// text pane, one per box and node (by item id), the greeting's with id 0.
constexpr int kMergeBase = 1 << 16;
constexpr int kGreetingBox = 7;

const char* field_name(ConversationField field) {
    switch (field) {
        case ConversationField::Keywords:
            return "Keywords";
        case ConversationField::Response:
            return "Response";
        case ConversationField::QuestRequired:
            return "Quest Required";
        case ConversationField::QuestToActivate:
            return "Quest to Activate";
        default:
            return "Trigger to Activate";
    }
}

std::int32_t& number_of(Conversation& c, ConversationField field) {
    switch (field) {
        case ConversationField::QuestRequired:
            return c.quest_required;
        case ConversationField::QuestToActivate:
            return c.quest_to_activate;
        default:
            return c.trigger_to_activate;
    }
}

bool is_text(ConversationField field) {
    return field == ConversationField::Keywords || field == ConversationField::Response;
}

// List is the top-level list, const or not.
template <class List>
auto node_at(List& top, const ConversationPath& path) -> decltype(&top[0]) {
    List* list = &top;
    decltype(&top[0]) node = nullptr;
    for (int i : path) {
        if (i < 0 || i >= static_cast<int>(list->size())) return nullptr;
        node = &(*list)[static_cast<std::size_t>(i)];
        list = &node->branches;
    }
    return node;
}

void list_items(const std::vector<Conversation>& nodes, ConversationPath& path,
                std::vector<ConversationItem>& out) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        path.push_back(static_cast<int>(i));
        int id = static_cast<int>(out.size()) + 1;
        out.push_back({id, path, conversation_label(id, nodes[i])});
        list_items(nodes[i].branches, path, out);
        path.pop_back();
    }
}

}  // namespace

const Conversation* conversation_at(const MobilePrototype& m, const ConversationPath& path) {
    return node_at(m.conversations, path);
}

Conversation* conversation_at(MobilePrototype& m, const ConversationPath& path) {
    return node_at(m.conversations, path);
}

std::string conversation_label(int id, const Conversation& c) {
    return strfmt("%d: %s", id, c.keywords.c_str());
}

std::vector<ConversationItem> conversation_items(const MobilePrototype& m) {
    std::vector<ConversationItem> out;
    ConversationPath path;
    list_items(m.conversations, path, out);
    return out;
}

int conversation_id(const MobilePrototype& m, const ConversationPath& path) {
    if (!conversation_at(m, path)) return 0;
    // Every node before it in depth-first order: for each step down, the
    // earlier siblings with all their branches, and the parent itself.
    auto subtree = [](const Conversation& c, auto& self) -> int {
        int n = 1;
        for (const auto& b : c.branches)
            n += self(b, self);
        return n;
    };
    int id = 0;
    const std::vector<Conversation>* list = &m.conversations;
    for (int i : path) {
        for (int s = 0; s < i; ++s)
            id += subtree((*list)[static_cast<std::size_t>(s)], subtree);
        ++id;
        list = &(*list)[static_cast<std::size_t>(i)].branches;
    }
    return id;
}

std::optional<ConversationPath> conversation_path(const MobilePrototype& m, int id) {
    if (id < 1) return std::nullopt;
    for (auto& item : conversation_items(m))
        if (item.id == id) return std::move(item.path);
    return std::nullopt;
}

std::optional<ConversationPath> add_conversation(Workspace& ws, int vnum,
                                                 const std::optional<ConversationPath>& parent,
                                                 EditOptions options) {
    const MobilePrototype* m = ws.mobiles().find_record(vnum);
    if (!m) return std::nullopt;
    if (parent && !conversation_at(*m, *parent)) return std::nullopt;
    int depth = parent ? static_cast<int>(parent->size()) : 0;
    if (depth >= kMaxConversationDepth) return std::nullopt;

    Conversation c;
    c.keywords = kNoConversationText;
    c.response = kNoConversationText;
    c.tier = depth;
    std::int32_t carried = parent ? 0 : -1;
    c.number5 = c.number6 = c.number7 = carried;

    ConversationPath path = parent.value_or(ConversationPath{});
    options.merge = {};
    edit_mobile(
        ws, vnum, strfmt("Add Conversation to Mobile %d", vnum),
        [&](MobilePrototype& mob) {
            auto& list = parent ? conversation_at(mob, *parent)->branches : mob.conversations;
            path.push_back(static_cast<int>(list.size()));
            list.push_back(std::move(c));
        },
        options);
    return path;
}

std::int32_t conversation_number(const Conversation& c, ConversationField field) {
    return number_of(const_cast<Conversation&>(c), field);
}

std::string conversation_text_refusal(int vnum, std::string_view text) {
    switch (tilde_text_fault(text)) {
        case TildeTextFault::Tilde:
            return strfmt(
                "Mobile %d: a conversation text cannot hold \"~\"; it ends texts in the "
                "mobile file.",
                vnum);
        case TildeTextFault::TooLong:
            return strfmt("Mobile %d: a conversation text cannot be longer than %zu bytes.", vnum,
                          kMaxTextLength);
        case TildeTextFault::None:
            break;
    }
    return {};
}

ConversationSession::ConversationSession(Workspace& ws, int vnum, const void* source)
    : ws_(ws), vnum_(vnum), source_(source) {}

const MobilePrototype* ConversationSession::mobile() const {
    return ws_.mobiles().find_record(vnum_);
}

const Conversation* ConversationSession::valid_current() const {
    const MobilePrototype* m = mobile();
    return m && current_ ? conversation_at(*m, *current_) : nullptr;
}

const Conversation* ConversationSession::current() const {
    return valid_current();
}

int ConversationSession::current_id() const {
    const MobilePrototype* m = mobile();
    return m && current_ ? conversation_id(*m, *current_) : 0;
}

bool ConversationSession::open() {
    const MobilePrototype* m = mobile();
    if (!m) return false;
    current_ = m->conversations.empty() ? std::nullopt : std::optional(ConversationPath{0});
    refusal_.clear();
    return true;
}

bool ConversationSession::select(int id) {
    const MobilePrototype* m = mobile();
    if (!m) return false;
    auto path = conversation_path(*m, id);
    if (!path) return false;
    current_ = std::move(path);
    return true;
}

bool ConversationSession::refuse(std::string why) {
    refusal_ = std::move(why);
    return false;
}

bool ConversationSession::edit(std::string name, const std::function<void(MobilePrototype&)>& fn,
                               MergeKey merge) {
    EditOptions options;
    options.source = source_;
    options.merge = merge;
    if (!edit_mobile(ws_, vnum_, std::move(name), fn, options)) return false;
    refusal_.clear();
    return true;
}

MergeKey ConversationSession::typing_key(int field) const {
    return {TableKind::Mobile, vnum_, kMergeBase + current_id() * 8 + field};
}

std::string ConversationSession::node_name() const {
    return strfmt("Conversation %d of Mobile %d", current_id(), vnum_);
}

bool ConversationSession::store_greeting(std::string_view typed) {
    if (!mobile()) return false;
    if (std::string why = conversation_text_refusal(vnum_, typed); !why.empty())
        return refuse(std::move(why));
    std::string text(typed);
    return edit(strfmt("Edit Greeting of Mobile %d", vnum_),
                [&](MobilePrototype& m) { m.greeting = text; },
                {TableKind::Mobile, vnum_, kMergeBase + kGreetingBox});
}

bool ConversationSession::store_text(ConversationField field, std::string_view typed) {
    if (!is_text(field) || !valid_current()) return false;
    if (std::string why = conversation_text_refusal(vnum_, typed); !why.empty())
        return refuse(std::move(why));
    std::string text = typed.empty() ? std::string(kNoConversationText) : std::string(typed);
    const ConversationPath path = *current_;
    return edit(
        strfmt("Edit %s of %s", field_name(field), node_name().c_str()),
        [&](MobilePrototype& m) {
            Conversation* c = conversation_at(m, path);
            (field == ConversationField::Keywords ? c->keywords : c->response) = text;
        },
        typing_key(static_cast<int>(field)));
}

bool ConversationSession::store_number(ConversationField field, std::int64_t typed) {
    const Conversation* now = valid_current();
    if (is_text(field) || !now) return false;
    constexpr auto lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto highest = std::numeric_limits<std::int32_t>::max();
    if (typed < lowest || typed > highest)
        return refuse(strfmt("Mobile %d: %s must be a number from %d to %d.", vnum_,
                             field_name(field), lowest, highest));
    const auto value = static_cast<std::int32_t>(typed);
    if (conversation_number(*now, field) == value) {
        refusal_.clear();
        return true;
    }
    const ConversationPath path = *current_;
    return edit(
        strfmt("Edit %s of %s", field_name(field), node_name().c_str()),
        [&](MobilePrototype& m) { number_of(*conversation_at(m, path), field) = value; },
        typing_key(static_cast<int>(field)));
}

bool ConversationSession::set_to_none(ConversationField field) {
    if (!valid_current()) return false;
    const ConversationPath path = *current_;
    if (is_text(field))
        return edit(strfmt("Set %s of %s to #none#", field_name(field), node_name().c_str()),
                    [&](MobilePrototype& m) {
                        Conversation* c = conversation_at(m, path);
                        (field == ConversationField::Keywords ? c->keywords : c->response) =
                            kNoConversationText;
                    });
    return edit(strfmt("Set %s of %s to none", field_name(field), node_name().c_str()),
                [&](MobilePrototype& m) { number_of(*conversation_at(m, path), field) = -1; });
}

bool ConversationSession::new_in_tier() {
    if (!mobile()) return false;
    std::optional<ConversationPath> parent;
    if (valid_current() && current_->size() > 1)
        parent = ConversationPath(current_->begin(), current_->end() - 1);
    EditOptions options;
    options.source = source_;
    auto added = add_conversation(ws_, vnum_, parent, options);
    if (!added) return false;
    current_ = std::move(added);
    refusal_.clear();
    return true;
}

bool ConversationSession::branch() {
    const Conversation* now = valid_current();
    if (!now || !now->branches.empty()) return false;
    if (static_cast<int>(current_->size()) >= kMaxConversationDepth) {
        ws_.ui().show_message(
            strfmt("Conversation %d of mobile %d is in tier %d, the deepest the "
                   "mobile file keeps; it cannot branch to a new tier.",
                   current_id(), vnum_, kMaxConversationDepth - 1));
        return false;
    }
    EditOptions options;
    options.source = source_;
    Transaction tx(ws_, strfmt("Branch %s", node_name().c_str()), options);
    auto added = add_conversation(ws_, vnum_, current_, options);
    if (!added) return false;
    tx.commit();
    current_ = std::move(added);
    refusal_.clear();
    return true;
}

bool ConversationSession::remove() {
    const Conversation* now = valid_current();
    if (!now) return false;
    if (!now->branches.empty()) {
        ws_.ui().show_message("Please delete all branches of this conversation first.");
        return false;
    }
    ConversationPath path = *current_;
    ConversationPath parent(path.begin(), path.end() - 1);
    const auto index = static_cast<std::size_t>(path.back());
    std::size_t left = 0;
    edit(strfmt("Delete %s", node_name().c_str()), [&](MobilePrototype& m) {
        auto& list = parent.empty() ? m.conversations : conversation_at(m, parent)->branches;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
        left = list.size();
    });
    // The next sibling has moved into the deleted node's place.
    if (index < left) {
        current_ = path;
    } else if (index > 0) {
        path.back() = static_cast<int>(index) - 1;
        current_ = path;
    } else if (!parent.empty()) {
        current_ = parent;
    } else {
        const MobilePrototype* m = mobile();
        current_ =
            m && !m->conversations.empty() ? std::optional(ConversationPath{0}) : std::nullopt;
    }
    return true;
}

}  // namespace zs
