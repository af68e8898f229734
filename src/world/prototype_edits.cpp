#include "world/prototype_edits.h"

#include "world/colour_codes.h"
#include "world/format_text.h"
#include "world/strfmt.h"
#include "world/text.h"
#include "world/zone_ops.h"

namespace zs {

namespace {

std::string& look_of(ObjectPrototype& o) {
    return o.look_description;
}
std::string& look_of(MobilePrototype& m) {
    return m.description;
}

template <class Record>
std::string& text_of(Record& r, ProtoField field) {
    switch (field) {
        case ProtoField::Keywords:
            return r.keywords;
        case ProtoField::ShortDescription:
            return r.short_description;
        case ProtoField::LongDescription:
            return r.long_description;
        case ProtoField::LookDescription:
            break;
    }
    return look_of(r);
}

template <class Record>
const std::string& text_of(const Record& r, ProtoField field) {
    return text_of(const_cast<Record&>(r), field);
}

// Sets one text of the record as a step named `name`.
bool set_text(Workspace& ws, TableKind kind, int vnum, ProtoField field, const std::string& text,
              const char* verb, EditOptions options) {
    const std::string* stored = proto_text(ws, kind, vnum, field);
    if (!stored || *stored == text) return false;
    std::string name = strfmt("%s %s of %s %d", verb, proto_field_name(kind, field),
                              proto_names(kind).title, vnum);
    options.fields = field_bit(field);
    if (kind == TableKind::Mobile)
        return edit_mobile(
            ws, vnum, std::move(name), [&](MobilePrototype& m) { text_of(m, field) = text; },
            options);
    return edit_object(
        ws, vnum, std::move(name), [&](ObjectPrototype& o) { text_of(o, field) = text; }, options);
}

template <class Fn>
auto with_table(const Workspace& ws, TableKind kind, Fn&& fn) {
    if (kind == TableKind::Mobile) return fn(ws.mobiles());
    return fn(ws.objects());
}

// The line end a text ends with: CR LF, a lone LF, or none.
std::string_view line_end_of(std::string_view text) {
    if (text.ends_with("\r\n")) return "\r\n";
    if (text.ends_with('\n')) return "\n";
    return {};
}

// A vnum typed into a box: a whole number from 0 to the highest 16-bit vnum.
// None for an empty box (`refused` false) or a refused text (`refused` true,
// the message said).
std::optional<int> typed_vnum(Workspace& ws, TableKind kind, std::string_view box, bool& refused) {
    bool bad = false;
    std::optional<long long> n = box_number(box, &bad);
    refused = bad || (n && (*n < 0 || *n > kVnumMax));
    if (refused) {
        ws.ui().show_status(strfmt("Error: \"%.*s\" is not %s vnum; vnums run from 0 to %d.",
                                   static_cast<int>(box.size()), box.data(),
                                   kind == TableKind::Mobile ? "a mobile" : "an object", kVnumMax));
        return std::nullopt;
    }
    if (!n) return std::nullopt;
    return static_cast<int>(*n);
}

}  // namespace

const ProtoNames& proto_names(TableKind kind) {
    static const ProtoNames kObject{"object", "Object", "obj"};
    static const ProtoNames kMobile{"mobile", "Mobile", "mob"};
    return kind == TableKind::Mobile ? kMobile : kObject;
}

const char* proto_field_name(TableKind kind, ProtoField field) {
    switch (field) {
        case ProtoField::Keywords:
            return "Keywords";
        case ProtoField::ShortDescription:
            return "Short Description";
        case ProtoField::LongDescription:
            return "Long Description";
        case ProtoField::LookDescription:
            break;
    }
    return kind == TableKind::Mobile ? "Description" : "Look Description";
}

int current_proto(const Workspace& ws, TableKind kind) {
    return with_table(ws, kind, [](const auto& table) {
        const auto* r = table.selected();
        return r ? static_cast<int>(r->vnum) : -1;
    });
}

const std::string* proto_text(const Workspace& ws, TableKind kind, int vnum, ProtoField field) {
    return with_table(ws, kind, [&](const auto& table) -> const std::string* {
        const auto* r = table.find_record(vnum);
        return r ? &text_of(*r, field) : nullptr;
    });
}

std::string proto_field_text(ProtoField field, std::string_view stored) {
    if (field == ProtoField::LongDescription) stored.remove_suffix(line_end_of(stored).size());
    return std::string(stored);
}

namespace {

// The look description as Format stores it, uncut: a text too long to store
// is refused rather than cut.
std::string formatted_look(std::string_view typed) {
    return format_text(typed, Indent::none, std::string::npos);
}

// Why a text that is about to be stored is too long; empty when it fits.
// The long description keeps its line end, which counts too.
std::string length_refusal(TableKind kind, ProtoField field, std::string_view text) {
    std::size_t limit = kMaxTextLength - (field == ProtoField::LongDescription ? 2 : 0);
    if (tilde_text_fault(text, limit) != TildeTextFault::TooLong) return {};
    return strfmt("The %s of %s %s cannot be longer than %zu bytes.", proto_field_name(kind, field),
                  kind == TableKind::Mobile ? "a" : "an", proto_names(kind).noun, limit);
}

// The look description as typing stores it; none, with the status line told
// why, when it cannot be stored.
std::optional<std::string> typed_look(Workspace& ws, TableKind kind, std::string_view typed,
                                      std::string_view shown) {
    std::string why = proto_text_refusal(kind, ProtoField::LookDescription, typed);
    std::string text;
    if (why.empty()) {
        text = wrap_edited_lines(shown, typed);
        why = length_refusal(kind, ProtoField::LookDescription, text);
    }
    if (why.empty()) return text;
    ws.ui().show_status(why);
    return std::nullopt;
}

}  // namespace

std::string proto_text_refusal(TableKind kind, ProtoField field, std::string_view typed) {
    if (tilde_text_fault(typed) == TildeTextFault::Tilde)
        return strfmt("%s text cannot hold \"~\"; it ends texts in the area files.",
                      kind == TableKind::Mobile ? "A mobile" : "An object");
    return length_refusal(kind, field, typed);
}

bool store_proto_text(Workspace& ws, TableKind kind, int vnum, ProtoField field,
                      std::string_view typed, std::string_view shown, EditOptions options) {
    const std::string* stored = proto_text(ws, kind, vnum, field);
    if (!stored) return false;
    std::string text;
    if (field == ProtoField::LookDescription) {
        std::optional<std::string> look = typed_look(ws, kind, typed, shown);
        if (!look) return false;
        text = std::move(*look);
    } else {
        if (!proto_text_refusal(kind, field, typed).empty()) return false;
        text = typed;
        // A mobile's long description is a line of its own in the game: it
        // ends in CR LF, even when the field was emptied before.
        if (field == ProtoField::LongDescription && !text.empty() && line_end_of(text).empty()) {
            std::string_view end = line_end_of(*stored);
            text += end.empty() && kind == TableKind::Mobile ? std::string_view("\r\n") : end;
        }
    }
    return set_text(ws, kind, vnum, field, text, "Edit", options);
}

bool format_proto_look(Workspace& ws, TableKind kind, int vnum, std::string_view typed,
                       EditOptions options) {
    options.merge = {};
    std::string why = proto_text_refusal(kind, ProtoField::LookDescription, typed);
    std::string text;
    if (why.empty()) {
        text = formatted_look(typed);
        why = length_refusal(kind, ProtoField::LookDescription, text);
    }
    if (!why.empty()) {
        ws.ui().show_status(why);
        return false;
    }
    return set_text(ws, kind, vnum, ProtoField::LookDescription, text, "Format", options);
}

bool clear_proto_colours(Workspace& ws, TableKind kind, int vnum, std::string_view typed,
                         std::string_view shown, EditOptions options) {
    if (!proto_text(ws, kind, vnum, ProtoField::LookDescription)) return false;
    options.merge = {};
    std::optional<std::string> look = typed_look(ws, kind, typed, shown);
    if (!look) return false;
    std::string text = without_colour_codes(*look);
    std::string name = strfmt("Clear Colors of %s %d", proto_names(kind).title, vnum);
    options.fields = field_bit(ProtoField::LookDescription);
    auto clear = [&](auto& r) { look_of(r) = text; };
    if (kind == TableKind::Mobile)
        return edit_mobile(
            ws, vnum, std::move(name), [&](MobilePrototype& m) { clear(m); }, options);
    return edit_object(
        ws, vnum, std::move(name), [&](ObjectPrototype& o) { clear(o); }, options);
}

std::pair<ProtoField, int> proto_preview_text(PreviewPoint at) {
    if (at.title) return {ProtoField::ShortDescription, 0};
    if (at.line == 0) return {ProtoField::LongDescription, 0};
    return {ProtoField::LookDescription, at.line - 1};
}

bool paint_proto_preview(Workspace& ws, TableKind kind, int vnum, PreviewPoint at, bool right,
                         std::string_view paint_code, EditOptions options) {
    auto [field, line] = proto_preview_text(at);
    const std::string* stored = proto_text(ws, kind, vnum, field);
    if (!stored) return false;
    auto painted = paint_preview_text(*stored, line, at.column, right, paint_code);
    if (!painted) return false;
    if (painted->size() > kMaxTextLength) {  // a code more would pass the files' limit
        ws.ui().show_status(strfmt("The %s of %s %d cannot be longer than %zu bytes.",
                                   proto_field_name(kind, field), proto_names(kind).title, vnum,
                                   kMaxTextLength));
        return false;
    }
    options.merge = {};
    return set_text(ws, kind, vnum, field, *painted, "Paint", options);
}

std::string proto_tree_label(int vnum, std::string_view short_description, bool colour_codes) {
    std::string shown =
        colour_codes ? std::string(short_description) : without_colour_codes(short_description);
    return strfmt("%d - %s", vnum, shown.c_str());
}

std::vector<ProtoTreeZone> proto_tree(const Workspace& ws, TableKind kind) {
    bool codes = ws.options().color_codes_in_trees != 0;
    return with_table(ws, kind, [&](const auto& table) {
        std::vector<ProtoTreeZone> tree;
        for (int s = 0; s < table.count(); ++s) {
            const auto& r = table.record(s);
            if (tree.empty() || tree.back().zone != r.zone) tree.push_back({r.zone, {}});
            tree.back().items.emplace_back(r.vnum,
                                           proto_tree_label(r.vnum, r.short_description, codes));
        }
        return tree;
    });
}

std::optional<int> tree_label_vnum(std::string_view label) {
    label = label.substr(0, label.find(' '));
    if (label.empty() || label[0] < '0' || label[0] > '9') return std::nullopt;
    std::optional<long long> n = box_number(label);
    if (!n || *n > kVnumMax) return std::nullopt;
    return static_cast<int>(*n);
}

bool select_proto(Workspace& ws, TableKind kind, int vnum) {
    int slot = -1;
    if (kind == TableKind::Mobile) {
        slot = ws.mobiles().find_mobile(vnum);
        if (slot >= 0) ws.mobiles().select_slot(slot);
    } else {
        slot = ws.objects().find_object(vnum);
        if (slot >= 0) ws.objects().select_slot(slot);
    }
    if (slot < 0) return false;
    ws.ui().show_status(strfmt("%s %d selected.", proto_names(kind).title, vnum));
    ws.request_redraw();
    return true;
}

bool select_proto_from_box(Workspace& ws, TableKind kind, std::string_view box) {
    bool refused = false;
    std::optional<int> vnum = typed_vnum(ws, kind, box, refused);
    if (!vnum) {
        if (!refused)
            ws.ui().show_status(strfmt("Error: no %s vnum given.", proto_names(kind).noun));
        return false;
    }
    if (select_proto(ws, kind, *vnum)) return true;
    ws.ui().show_status(strfmt("%s with vnum %d not found.", proto_names(kind).title, *vnum));
    return false;
}

std::optional<int> suggested_proto_vnum(const Workspace& ws, TableKind kind) {
    return with_table(ws, kind, [](const auto& table) -> std::optional<int> {
        const auto* current = table.selected();
        if (!current) return 100;
        int zone = current->zone;
        for (int v = zone * 100; v <= zone * 100 + 99 && v <= kVnumMax; ++v)
            if (table.find(v) < 0) return v;
        return std::nullopt;
    });
}

bool create_proto_from_box(Workspace& ws, TableKind kind, std::string_view box) {
    bool refused = false;
    std::optional<int> typed = typed_vnum(ws, kind, box, refused);
    if (!typed) return false;
    int vnum = *typed;
    const ProtoNames& names = proto_names(kind);
    if (proto_text(ws, kind, vnum, ProtoField::Keywords)) {
        ws.ui().show_status(strfmt("Error: %s %d already exists.", names.short_noun, vnum));
        return false;
    }
    int zone = zone_of(vnum);
    {
        Transaction tx(ws, strfmt("Create %s %d", names.title, vnum));
        tx.focus(kind, vnum);
        if (kind == TableKind::Mobile) {
            tx.mobiles().reserve_mobile_zone(zone);
            ws.mobiles().select_slot(tx.mobiles().create_mobile(static_cast<Vnum>(vnum), zone));
        } else {
            tx.objects().reserve_object_zone(zone);
            ws.objects().select_slot(tx.objects().create_object(static_cast<Vnum>(vnum), zone));
        }
        tx.commit();
    }
    ws.request_redraw(true);
    ws.ui().show_status(strfmt("New %s %d created.", names.noun, vnum));
    return true;
}

}  // namespace zs
