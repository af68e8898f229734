#include "world/proto_fields.h"

#include <algorithm>
#include <cctype>

#include "world/box_numbers.h"
#include "world/mobile_fields.h"
#include "world/numbers.h"
#include "world/object_fields.h"
#include "world/prototype_edits.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

// --- Reading boxes ---------------------------------------------------------

std::string range_refusal(std::string_view label, long long value, FieldRange range) {
    if (range.holds(value)) return {};
    return strfmt("%.*s must be a whole number from %lld to %lld; %lld does not fit.",
                  static_cast<int>(label.size()), label.data(), range.low, range.high, value);
}

namespace {

// True for a positive number below the range that more digits typed after
// it can bring into the range.
bool number_may_grow_into(long long n, FieldRange range) {
    if (n <= 0 || n >= range.low) return false;
    for (long long low = n * 10, high = n * 10 + 9; low <= range.high;
         low *= 10, high = high * 10 + 9) {
        if (high >= range.low) return true;
        if (low > range.high / 10) break;
    }
    return false;
}

}  // namespace

std::optional<long long> read_number_box(std::string_view label, std::string_view text,
                                         FieldRange range, std::string& why) {
    bool bad = false;
    std::optional<long long> n = box_number(text, &bad);
    if (bad) {
        why = strfmt("%.*s must be a whole number from %lld to %lld.",
                     static_cast<int>(label.size()), label.data(), range.low, range.high);
        return std::nullopt;
    }
    if (!n || number_may_grow_into(*n, range)) return std::nullopt;
    why = range_refusal(label, *n, range);
    if (!why.empty()) return std::nullopt;
    return n;
}

std::optional<std::uint32_t> read_flags_box(std::string_view label, std::string_view text,
                                            std::string& why) {
    text = strip_blanks(text, " \t");
    if (text.empty()) return std::nullopt;
    const bool digits = text.find_first_not_of("0123456789") == std::string_view::npos;
    // Only the letters of the 32 bits: the file's reader wraps "G".."Z".
    const bool letters =
        text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEF") == std::string_view::npos;
    if (digits ? flag_word_fits(text) : letters) return flags_from_word(text);
    why = strfmt("%.*s takes the flag letters a to z and A to F, or a whole number from 0 to %lld.",
                 static_cast<int>(label.size()), label.data(), kFlagsRange.high);
    return std::nullopt;
}

std::string text_refusal(std::string_view label, std::string_view text) {
    switch (tilde_text_fault(text)) {
        case TildeTextFault::Tilde:
            return strfmt("%.*s cannot hold \"~\"; it ends texts in the area files.",
                          static_cast<int>(label.size()), label.data());
        case TildeTextFault::TooLong:
            return strfmt("%.*s cannot be longer than %zu bytes.", static_cast<int>(label.size()),
                          label.data(), kMaxTextLength);
        case TildeTextFault::None:
            break;
    }
    return {};
}

std::optional<std::vector<long long>> read_number_list(std::string_view label,
                                                       std::string_view text, FieldRange range,
                                                       std::string& why) {
    std::vector<long long> out;
    while (true) {
        std::size_t start = text.find_first_not_of(" \t\r\n,");
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        std::size_t end = text.find_first_of(" \t\r\n,");
        std::string_view word = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        std::optional<long long> n = read_number_box(label, word, range, why);
        if (!n) return std::nullopt;
        out.push_back(*n);
    }
    return out;
}

std::string number_list_text(const std::vector<long long>& numbers) {
    std::string out;
    for (long long n : numbers) {
        if (!out.empty()) out += ' ';
        out += std::to_string(n);
    }
    return out;
}

// --- The catalogues, by kind -------------------------------------------------

namespace {

constexpr int kPropMergeBase = 16;

std::optional<PropEntry<ObjectPrototype>> entry_of(const ObjectPrototype&, int id) {
    const auto* e = object_entry(id);
    if (!e) return std::nullopt;
    return *e;
}
std::optional<PropEntry<MobilePrototype>> entry_of(const MobilePrototype& m, int id) {
    return mobile_entry(m, id);
}

std::vector<PropField> fields_of(const ObjectPrototype&) {
    std::vector<PropField> out;
    for (const auto& e : object_entries())
        out.push_back(e.field);
    return out;
}
std::vector<PropField> fields_of(const MobilePrototype& m) {
    return mobile_fields(m);
}

std::string label_of(const ObjectPrototype& o, int id) {
    return object_label(o, id);
}
std::string label_of(const MobilePrototype& m, int id) {
    auto e = mobile_entry(m, id);
    return e ? e->field.name : std::string();
}

std::string hint_of(const ObjectPrototype& o, int id) {
    return object_hint(o, id);
}
std::string hint_of(const MobilePrototype& m, int id) {
    return mobile_hint(m, id);
}

std::string store_refusal(const ObjectPrototype& before, const ObjectPrototype& after) {
    return object_store_refusal(before, after);
}
std::string store_refusal(const MobilePrototype&, const MobilePrototype&) {
    return {};
}

std::string after_store(const ObjectPrototype&, ObjectPrototype& after) {
    return object_after_store(after);
}
std::string after_store(const MobilePrototype& before, MobilePrototype& after) {
    return mobile_after_store(before, after);
}

bool edit_record(Workspace& ws, int vnum, std::string name, const ObjectPrototype& now,
                 EditOptions options) {
    return edit_object(
        ws, vnum, std::move(name), [&](ObjectPrototype& o) { o = now; }, options);
}
bool edit_record(Workspace& ws, int vnum, std::string name, const MobilePrototype& now,
                 EditOptions options) {
    return edit_mobile(
        ws, vnum, std::move(name), [&](MobilePrototype& m) { m = now; }, options);
}

// Calls fn with the record of the vnum (ObjectPrototype or MobilePrototype),
// or with none when there is no such record or the kind has no properties
// (rooms and zones).
template <class Fn>
auto with_record(const Workspace& ws, TableKind kind, int vnum, Fn&& fn) {
    if (kind == TableKind::Mobile) return fn(ws.mobiles().find_record(vnum));
    if (kind == TableKind::Object) return fn(ws.objects().find_record(vnum));
    return fn(static_cast<const ObjectPrototype*>(nullptr));
}

// The warnings a stored record earns: a container key that names no loaded
// object, a trigger in a zone of which no file is loaded.
void vnum_warnings(const Workspace& ws, const ObjectPrototype& before, const ObjectPrototype& after,
                   std::string& warning) {
    bool key_changed =
        after.values[kObjKeyValue] != before.values[kObjKeyValue] || after.type != before.type;
    if (key_changed && container_key_missing(after, ws.objects())) {
        // The checker's words, as a sentence.
        warning = container_key_warning(after) + ".";
        warning[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(warning[0])));
    }
}
void vnum_warnings(const Workspace&, const MobilePrototype&, const MobilePrototype&, std::string&) {
}

template <class Record>
void trigger_warnings(const Workspace& ws, const Record& before, const Record& after,
                      std::string& warning) {
    for (std::int32_t t : after.triggers) {
        if (std::find(before.triggers.begin(), before.triggers.end(), t) != before.triggers.end())
            continue;
        int zone = zone_of(t);
        bool loaded = false;
        for (TableKind k :
             {TableKind::World, TableKind::Zone, TableKind::Object, TableKind::Mobile})
            loaded = loaded || ws.has_zone(k, zone);
        if (!loaded) {
            warning = strfmt("Trigger %d lies in zone %d, of which no file is loaded.", t, zone);
            return;
        }
    }
}

// The bits of every field whose box, label or hint differs between the two
// images of a record: what a store changed beside its own field (the drink
// rule's weight, the values a type names anew, affects moved up a slot).
template <class Record>
FieldMask changed_fields(const Record& before, const Record& after) {
    FieldMask mask = 0;
    for (const PropField& f : fields_of(after)) {
        auto was = entry_of(before, f.id);
        auto now = entry_of(after, f.id);
        if (!was || !now || entry_box_text(*was, before) != entry_box_text(*now, after) ||
            label_of(before, f.id) != label_of(after, f.id) ||
            hint_of(before, f.id) != hint_of(after, f.id))
            mask |= prop_field_bit(f.id);
    }
    return mask;
}

// Stores what `apply` makes of a copy of the record as one step named
// `name`; `apply` gives the refusal, or empty, and may add a note. A copy
// equal to the record makes no step.
template <class Record, class Apply>
PropResult store_record(Workspace& ws, const Record& held, int id, std::string name, Apply&& apply,
                        EditOptions options) {
    PropResult result;
    Record probe = held;
    std::string note;
    result.refusal = apply(probe, note);
    if (result.refusal.empty()) result.refusal = store_refusal(held, probe);
    if (!result.refusal.empty()) return result;
    std::string after_note = after_store(held, probe);
    // What the record would be after storing nothing: a record made before
    // the rules that follow a store were applied to it is no change either.
    Record unchanged = held;
    after_store(held, unchanged);
    if (probe == unchanged) return result;
    result.note = note.empty() ? after_note : after_note.empty() ? note : note + " " + after_note;
    vnum_warnings(ws, held, probe, result.warning);
    if (result.warning.empty()) trigger_warnings(ws, held, probe, result.warning);
    options.fields = prop_field_bit(id) | changed_fields(held, probe);
    int vnum = static_cast<int>(held.vnum);
    result.stored = edit_record(ws, vnum, std::move(name), probe, options);
    return result;
}

// The refusal of a store, as its result.
PropResult refused(std::string why) {
    PropResult r;
    r.refusal = std::move(why);
    return r;
}

// Stores `change`, a change of a copy of the record that nothing refuses, as
// one step named `name`.
template <class Record, class Change>
PropResult store_change(Workspace& ws, const Record& held, int id, std::string name,
                        Change&& change) {
    return store_record(ws, held, id, std::move(name),
                        [&](Record& rec, std::string&) {
                            change(rec);
                            return std::string();
                        },
                        {});
}

int triggers_id(TableKind kind) {
    return kind == TableKind::Mobile ? int(kMobTriggers) : int(kObjTriggers);
}

// Why an affect's location or modifier does not fit its field.
std::string affect_refusal(long long location, long long modifier) {
    std::string why = range_refusal("An affect's location", location, kUint8Range);
    if (why.empty()) why = range_refusal("An affect's modifier", modifier, kInt32Range);
    return why;
}

ObjectAffect affect(long long location, long long modifier) {
    return {static_cast<std::uint8_t>(location), static_cast<std::int32_t>(modifier)};
}

template <class Record>
std::string step_name(TableKind kind, const Record& r, int id) {
    return strfmt("Edit %s of %s %d", label_of(r, id).c_str(), proto_names(kind).title,
                  static_cast<int>(r.vnum));
}

// The refusal of a store into a record that is not there; nothing for a
// kind that has no properties.
PropResult no_record(TableKind kind, int vnum) {
    if (kind != TableKind::Object && kind != TableKind::Mobile) return {};
    return refused(strfmt("No loaded zone holds %s %d.", proto_names(kind).noun, vnum));
}

}  // namespace

// --- The fields -------------------------------------------------------------

std::vector<PropField> prop_fields(const Workspace& ws, TableKind kind, int vnum) {
    return with_record(ws, kind, vnum,
                       [](const auto* r) { return r ? fields_of(*r) : std::vector<PropField>{}; });
}

std::optional<PropField> prop_field(const Workspace& ws, TableKind kind, int vnum, int id) {
    return with_record(ws, kind, vnum, [id](const auto* r) -> std::optional<PropField> {
        if (!r) return std::nullopt;
        auto e = entry_of(*r, id);
        if (!e) return std::nullopt;
        return e->field;
    });
}

std::string prop_label(const Workspace& ws, TableKind kind, int vnum, int id) {
    return with_record(ws, kind, vnum,
                       [id](const auto* r) { return r ? label_of(*r, id) : std::string(); });
}

std::string prop_hint(const Workspace& ws, TableKind kind, int vnum, int id) {
    return with_record(ws, kind, vnum,
                       [id](const auto* r) { return r ? hint_of(*r, id) : std::string(); });
}

std::optional<std::string> prop_box_text(const Workspace& ws, TableKind kind, int vnum, int id) {
    return with_record(ws, kind, vnum, [id](const auto* r) -> std::optional<std::string> {
        if (!r) return std::nullopt;
        auto e = entry_of(*r, id);
        if (!e) return std::nullopt;
        return entry_box_text(*e, *r);
    });
}

namespace {

// Stores one field through `store` (the box's text or a number) as one step.
// What the field holds already (`holds`) is never refused, even when the file
// gave it a number the field's width cannot hold.
template <class Store, class Holds>
PropResult store_field(Workspace& ws, TableKind kind, int vnum, int id, EditOptions options,
                       Store&& store, Holds&& holds) {
    return with_record(ws, kind, vnum, [&](const auto* r) -> PropResult {
        if (!r) return no_record(kind, vnum);
        auto e = entry_of(*r, id);
        if (!e) return {};
        std::string label = label_of(*r, id);
        PropResult result = store_record(
            ws, *r, id, step_name(kind, *r, id),
            [&](auto& rec, std::string& note) { return store(*e, rec, label, note); }, options);
        if (!result.refusal.empty() && holds(*e, *r)) return {};
        return result;
    });
}

}  // namespace

PropResult store_prop_box(Workspace& ws, TableKind kind, int vnum, int id, std::string_view text,
                          EditOptions options) {
    return store_field(
        ws, kind, vnum, id, options,
        [&](const auto& e, auto& rec, const std::string& label, std::string& note) {
            return entry_store_box(e, rec, label, text, note);
        },
        [&](const auto& e, const auto& r) { return entry_box_text(e, r) == text; });
}

PropResult store_prop_number(Workspace& ws, TableKind kind, int vnum, int id, long long value,
                             EditOptions options) {
    return store_field(
        ws, kind, vnum, id, options,
        [&](const auto& e, auto& rec, const std::string& label, std::string& note) {
            return entry_store_number(e, rec, label, value, note);
        },
        [&](const auto& e, const auto& r) {
            return (e.field.kind == PropKind::Number || e.field.kind == PropKind::Flags) &&
                   e.get(r) == value;
        });
}

char prop_flag_letter(int bit) {
    return bit >= 0 && bit < 32 ? word_from_flags(1u << bit)[0] : '?';
}

std::optional<long long> prop_number(const Workspace& ws, TableKind kind, int vnum, int id) {
    return with_record(ws, kind, vnum, [id](const auto* r) -> std::optional<long long> {
        if (!r) return std::nullopt;
        auto e = entry_of(*r, id);
        if (!e || (e->field.kind != PropKind::Number && e->field.kind != PropKind::Flags))
            return std::nullopt;
        return e->get(*r);
    });
}

PropResult set_prop_flag(Workspace& ws, TableKind kind, int vnum, int id, int bit, bool on) {
    auto field = prop_field(ws, kind, vnum, id);
    std::optional<long long> word = prop_number(ws, kind, vnum, id);
    if (!field || !word || field->kind != PropKind::Flags || bit < 0 || bit >= 32) return {};
    auto bits = static_cast<std::uint32_t>(*word);
    const std::uint32_t mask = 1u << bit;
    bits = on ? bits | mask : bits & ~mask;
    return store_prop_number(ws, kind, vnum, id, bits);
}

MergeKey prop_merge_key(TableKind kind, int vnum, int id) {
    return {kind, vnum, kPropMergeBase + id};
}

FieldMask prop_field_bit(int id) {
    constexpr int kShared = 64 - kProtoFieldCount;
    return FieldMask{1} << (kProtoFieldCount + (id % kShared + kShared) % kShared);
}

// --- Lists --------------------------------------------------------------------

PropResult add_prop_trigger(Workspace& ws, TableKind kind, int vnum, long long trigger) {
    return with_record(ws, kind, vnum, [&](const auto* r) -> PropResult {
        if (!r) return no_record(kind, vnum);
        if (auto why = range_refusal("A trigger", trigger, {1, kVnumMax}); !why.empty())
            return refused(why);
        if (r->triggers.size() >= static_cast<std::size_t>(kMaxTriggers))
            return refused(strfmt("%s %d holds %d triggers, as many as it can.",
                                  proto_names(kind).title, vnum, kMaxTriggers));
        return store_change(
            ws, *r, triggers_id(kind),
            strfmt("Add Trigger %lld to %s %d", trigger, proto_names(kind).title, vnum),
            [&](auto& rec) { rec.triggers.push_back(static_cast<std::int32_t>(trigger)); });
    });
}

PropResult remove_prop_trigger(Workspace& ws, TableKind kind, int vnum, int index) {
    return with_record(ws, kind, vnum, [&](const auto* r) -> PropResult {
        if (!r) return no_record(kind, vnum);
        if (index < 0 || index >= static_cast<int>(r->triggers.size()))
            return refused(
                strfmt("%s %d has no trigger %d.", proto_names(kind).title, vnum, index + 1));
        return store_change(
            ws, *r, triggers_id(kind),
            strfmt("Remove Trigger %d from %s %d", r->triggers[static_cast<std::size_t>(index)],
                   proto_names(kind).title, vnum),
            [&](auto& rec) { rec.triggers.erase(rec.triggers.begin() + index); });
    });
}

PropResult add_object_affect(Workspace& ws, int vnum, long long location, long long modifier) {
    const ObjectPrototype* o = ws.objects().find_record(vnum);
    if (!o) return no_record(TableKind::Object, vnum);
    if (auto why = affect_refusal(location, modifier); !why.empty()) return refused(why);
    if (modifier == 0)
        return refused("An affect's modifier cannot be 0: an affect of modifier 0 is empty.");
    if (o->affects.size() >= static_cast<std::size_t>(kMaxObjectAffects))
        return refused(
            strfmt("Object %d holds %d affects, as many as it can.", vnum, kMaxObjectAffects));
    int slot = static_cast<int>(o->affects.size());
    return store_change(
        ws, *o, kObjAffect0 + 2 * slot, strfmt("Add Affect %d to Object %d", slot + 1, vnum),
        [&](ObjectPrototype& rec) { rec.affects.push_back(affect(location, modifier)); });
}

PropResult change_object_affect(Workspace& ws, int vnum, int index, long long location,
                                long long modifier) {
    const ObjectPrototype* o = ws.objects().find_record(vnum);
    if (!o) return no_record(TableKind::Object, vnum);
    if (index < 0 || index >= static_cast<int>(o->affects.size()))
        return refused(strfmt("Object %d has no affect %d.", vnum, index + 1));
    if (auto why = affect_refusal(location, modifier); !why.empty()) return refused(why);
    if (modifier == 0) return remove_object_affect(ws, vnum, index);
    return store_change(
        ws, *o, kObjAffect0 + 2 * index, strfmt("Edit Affect %d of Object %d", index + 1, vnum),
        [&](ObjectPrototype& rec) {
            rec.affects[static_cast<std::size_t>(index)] = affect(location, modifier);
        });
}

PropResult remove_object_affect(Workspace& ws, int vnum, int index) {
    const ObjectPrototype* o = ws.objects().find_record(vnum);
    if (!o) return no_record(TableKind::Object, vnum);
    if (index < 0 || index >= static_cast<int>(o->affects.size()))
        return refused(strfmt("Object %d has no affect %d.", vnum, index + 1));
    return store_change(
        ws, *o, kObjAffect0 + 2 * index, strfmt("Remove Affect %d from Object %d", index + 1, vnum),
        [&](ObjectPrototype& rec) { rec.affects.erase(rec.affects.begin() + index); });
}

PropResult set_mobile_skill(Workspace& ws, int vnum, long long skill, long long value) {
    const MobilePrototype* m = ws.mobiles().find_record(vnum);
    if (!m) return no_record(TableKind::Mobile, vnum);
    std::string why = range_refusal("A skill number", skill, kSkillNumberRange);
    if (why.empty()) why = range_refusal("A skill's value", value, kInt32Range);
    if (!why.empty()) return refused(why);
    if (value == 0) return refused("A skill's value cannot be 0: a skill of value 0 is not set.");
    bool has = m->skill(static_cast<int>(skill)) != 0;
    std::string name = has ? strfmt("Edit Skill %lld of Mobile %d", skill, vnum)
                           : strfmt("Add Skill %lld to Mobile %d", skill, vnum);
    return store_change(ws, *m, kMobSkills, std::move(name), [&](MobilePrototype& rec) {
        rec.set_skill(static_cast<int>(skill), static_cast<std::int32_t>(value));
    });
}

PropResult remove_mobile_skill(Workspace& ws, int vnum, long long skill) {
    const MobilePrototype* m = ws.mobiles().find_record(vnum);
    if (!m) return no_record(TableKind::Mobile, vnum);
    if (!kSkillNumberRange.holds(skill) || m->skill(static_cast<int>(skill)) == 0)
        return refused(strfmt("Mobile %d has no skill %lld.", vnum, skill));
    return store_change(ws, *m, kMobSkills, strfmt("Remove Skill %lld from Mobile %d", skill, vnum),
                        [&](MobilePrototype& rec) { rec.set_skill(static_cast<int>(skill), 0); });
}

}  // namespace zs
