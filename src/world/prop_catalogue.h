// How a catalogue of properties reaches into its records: an entry per
// field with its access to the record, and the reading and checking of a
// box's text that every catalogue shares. Used by object_fields.cpp,
// mobile_fields.cpp and proto_fields.cpp; panes use proto_fields.h.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/proto_fields.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

// The ranges of the widths the area files give their numbers.
constexpr FieldRange kInt32Range{std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()};
constexpr FieldRange kInt16Range{-32768, 32767};
constexpr FieldRange kUint8Range{0, 255};
constexpr FieldRange kFlagsRange{0, 0xFFFFFFFFLL};

template <class Record>
struct PropEntry {
    PropField field;
    // Number and Flags fields.
    std::function<long long(const Record&)> get;
    std::function<void(Record&, long long)> set;
    // Instead of `set` where a number may be refused by what else the
    // record holds: stores it and says what else it did in `note`, or
    // returns the refusal.
    std::function<std::string(Record&, long long, std::string& note)> store_number;
    // Text fields.
    std::function<std::string*(Record&)> text;
    // List fields: the box's text, and storing one (the refusal, or empty).
    std::function<std::string(const Record&)> list_text;
    std::function<std::string(Record&, std::string_view)> list_store;
};

// A number box's text: nothing for an empty box (blanks only); the refusal
// in `why` for a text that is no whole number or a number outside `range`,
// saying what `label` holds. A number below the range whose digits can
// still grow into it (the "1" typed on the way to "10" in a box of 5 to 100)
// is nothing too, and no refusal: the builder is still typing.
std::optional<long long> read_number_box(std::string_view label, std::string_view text,
                                         FieldRange range, std::string& why);
// The refusal of a number outside the range; empty when it fits.
std::string range_refusal(std::string_view label, long long value, FieldRange range);
// A flag box: letters a..z and A..F (bits 0 to 31), "0", or a decimal
// number up to 4294967295.
std::optional<std::uint32_t> read_flags_box(std::string_view label, std::string_view text,
                                            std::string& why);
// Why a text cannot be held by a tilde text of the area files, by
// tilde_text_fault's rule; empty when it can.
std::string text_refusal(std::string_view label, std::string_view text);
// The whole numbers of a list box, separated by blanks; each within range.
std::optional<std::vector<long long>> read_number_list(std::string_view label,
                                                       std::string_view text, FieldRange range,
                                                       std::string& why);
// "1 5 9": numbers joined by blanks.
std::string number_list_text(const std::vector<long long>& numbers);

// The list of trigger vnums (1 to 32767, at most kMaxTriggers) of an object
// or a mobile; `record` names the kind in the refusal ("An object").
template <class Record>
PropEntry<Record> trigger_entry(int id, const char* record) {
    PropEntry<Record> e;
    e.field = {id, "Triggers", PropKind::List, PropGroup::Lists, {1, kVnumMax}, true, 0, 0};
    e.list_text = [](const Record& r) {
        return number_list_text({r.triggers.begin(), r.triggers.end()});
    };
    e.list_store = [record](Record& r, std::string_view box) {
        std::string why;
        auto list = read_number_list("A trigger", box, {1, kVnumMax}, why);
        if (!list) return why;
        if (list->size() > static_cast<std::size_t>(kMaxTriggers))
            return strfmt("%s holds at most %d triggers.", record, kMaxTriggers);
        r.triggers.assign(list->begin(), list->end());
        return std::string();
    };
    return e;
}

// A plain text of the record.
template <class Record>
PropEntry<Record> text_entry(int id, std::string name, std::string Record::*member) {
    PropEntry<Record> e;
    e.field = {id, std::move(name), PropKind::Text, PropGroup::Texts, {}, false, 0, 0};
    e.text = [member](Record& r) { return &(r.*member); };
    return e;
}

// The value of an entry as its box shows it.
template <class Record>
std::string entry_box_text(const PropEntry<Record>& e, const Record& r) {
    switch (e.field.kind) {
        case PropKind::Number:
            return std::to_string(e.get(r));
        case PropKind::Flags:
            return word_from_flags(static_cast<std::uint32_t>(e.get(r)));
        case PropKind::Text:
            return *e.text(const_cast<Record&>(r));
        case PropKind::List:
            break;
    }
    return e.list_text(r);
}

// Stores a box's text into the record through the entry; the refusal, or
// empty. An empty number box stores nothing.
template <class Record>
std::string entry_store_box(const PropEntry<Record>& e, Record& r, std::string_view label,
                            std::string_view text, std::string& note) {
    std::string why;
    switch (e.field.kind) {
        case PropKind::Number:
            if (auto n = read_number_box(label, text, e.field.range, why)) {
                if (e.store_number) return e.store_number(r, *n, note);
                e.set(r, *n);
            }
            return why;
        case PropKind::Flags:
            if (auto n = read_flags_box(label, text, why)) e.set(r, *n);
            return why;
        case PropKind::Text:
            why = text_refusal(label, text);
            if (why.empty()) *e.text(r) = std::string(text);
            return why;
        case PropKind::List:
            break;
    }
    return e.list_store(r, text);
}

// Stores a number through a Number or Flags entry; the refusal, or empty.
template <class Record>
std::string entry_store_number(const PropEntry<Record>& e, Record& r, std::string_view label,
                               long long value, std::string& note) {
    FieldRange range = e.field.kind == PropKind::Flags ? kFlagsRange : e.field.range;
    if (e.field.kind != PropKind::Number && e.field.kind != PropKind::Flags)
        return std::string(label) + " holds no single number.";
    std::string why = range_refusal(label, value, range);
    if (!why.empty()) return why;
    if (e.store_number) return e.store_number(r, value, note);
    e.set(r, value);
    return {};
}

}  // namespace zs
