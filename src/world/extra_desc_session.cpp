#include "world/extra_desc_session.h"

#include <limits>

#include "world/edits.h"
#include "world/format_text.h"
#include "world/room_text.h"
#include "world/strfmt.h"

namespace zs {

ExtraDescSession::ExtraDescSession(Workspace& ws, int vnum, TableKind kind)
    : ws_(ws), vnum_(vnum), kind_(kind == TableKind::Object ? kind : TableKind::World) {
    if (kind_ == TableKind::Object) {
        if (const ObjectPrototype* o = ws.objects().find_record(vnum))
            entries_ = o->extra_descriptions;
    } else if (const Room* r = ws.world().find_room_record(vnum)) {
        entries_ = r->extra_descriptions;
    }
    show(0);
}

void ExtraDescSession::show(int position) {
    if (position == count()) entries_.emplace_back();
    position_ = position;
}

std::string ExtraDescSession::format(std::string_view text) {
    // Uncut, so that a text too long to store is refused rather than cut.
    return format_text(text, Indent::none, std::numeric_limits<std::size_t>::max());
}

bool ExtraDescSession::store(std::string_view keywords, std::string_view text) {
    ExtraDescription& shown = entries_[position_];
    // Boxes left as they were shown store nothing: an entry read from a file
    // keeps its own wrapping and line ends.
    if (keywords == shown.keyword && text == shown.description) return true;
    std::string why = room_text_refusal(keywords);
    if (why.empty()) why = room_text_refusal(text);
    // Lines the builder did not edit stay as they were.
    std::string kept = why.empty() ? wrap_edited_lines(shown.description, text) : std::string();
    if (why.empty()) why = room_text_refusal(kept);
    if (!why.empty()) {
        ws_.ui().show_status(why);
        return false;
    }
    shown.keyword = keywords;
    shown.description = std::move(kept);
    return true;
}

bool ExtraDescSession::next(std::string_view keywords, std::string_view text) {
    if (!store(keywords, text)) return false;
    show(position_ + 1);
    return true;
}

bool ExtraDescSession::previous(std::string_view keywords, std::string_view text) {
    if (position_ == 0) return false;
    if (!store(keywords, text)) return false;
    show(position_ - 1);
    return true;
}

bool ExtraDescSession::first(std::string_view keywords, std::string_view text) {
    if (!store(keywords, text)) return false;
    show(0);
    return true;
}

bool ExtraDescSession::last(std::string_view keywords, std::string_view text) {
    if (!store(keywords, text)) return false;
    show(count() - 1);
    return true;
}

int ExtraDescSession::first_incomplete() const {
    for (int i = 0; i < count(); ++i) {
        const ExtraDescription& e = entries_[static_cast<std::size_t>(i)];
        if (e.keyword.empty() != e.description.empty()) return i;
    }
    return -1;
}

std::string ExtraDescSession::what_is_missing(int i) const {
    const ExtraDescription& e = entries_[static_cast<std::size_t>(i)];
    return e.keyword.empty()
               ? strfmt(
                     "Extra description %d of %d has text but no keywords: type its "
                     "keywords, or empty its text to drop it.",
                     i + 1, count())
               : strfmt(
                     "Extra description %d of %d has keywords but no text: type its text, "
                     "or empty its keywords to drop it.",
                     i + 1, count());
}

bool ExtraDescSession::ok(std::string_view keywords, std::string_view text) {
    if (!store(keywords, text)) return false;
    // An entry with only one of its two parts would be dropped: the builder
    // is shown it and told what is missing instead.
    if (int i = first_incomplete(); i >= 0) {
        show(i);
        ws_.ui().show_status(what_is_missing(i));
        return false;
    }
    close();
    return true;
}

void ExtraDescSession::cancel() {
    close();
}

void ExtraDescSession::close() {
    std::erase_if(entries_, [](const ExtraDescription& e) {
        return e.keyword.empty() || e.description.empty();
    });
    if (kind_ == TableKind::Object) {
        edit_object(ws_, vnum_, strfmt("Edit Extra Descriptions of Object %d", vnum_),
                    [&](ObjectPrototype& o) { o.extra_descriptions = entries_; });
    } else {
        EditOptions options;
        options.fields = field_bit(RoomField::ExtraDescriptions);
        edit_room(
            ws_, vnum_, strfmt("Edit Extra Descriptions of Room %d", vnum_),
            [&](Room& r) { r.extra_descriptions = entries_; }, options);
    }
    position_ = 0;
    if (entries_.empty()) entries_.emplace_back();
}

}  // namespace zs
