// The object and mobile editors' core, one implementation for both tables:
// the four display texts a prototype editor shows (keywords, short, long and
// look description), the named steps that store, format and clear them and
// paint their colour preview, the selection tree's labels, choosing a record
// by a typed vnum, and New Object / New Mobile with its suggested vnum.
// `kind` is TableKind::Object or TableKind::Mobile throughout.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "world/edits.h"
#include "world/room_text.h"
#include "world/text.h"

namespace zs {

// A prototype's texts as the editors name them: the bits of a change's
// field mask and the field of a merge key. The look description is a
// mobile's `description`.
enum class ProtoField { Keywords, ShortDescription, LongDescription, LookDescription };
constexpr int kProtoFieldCount = 4;
constexpr FieldMask field_bit(ProtoField f) {
    return FieldMask{1} << static_cast<int>(f);
}

// The words messages use for the kind: "object"/"mobile" (noun), "Object"/
// "Mobile" (title), "obj"/"mob" (short).
struct ProtoNames {
    const char* noun;
    const char* title;
    const char* short_noun;
};
const ProtoNames& proto_names(TableKind kind);
// The field's name in step names: "Short Description", "Look Description"
// (a mobile's is "Description").
const char* proto_field_name(TableKind kind, ProtoField field);

// The vnum of the current record, -1 when there is none.
int current_proto(const Workspace& ws, TableKind kind);
// The stored text of a field; null when no record has the vnum.
const std::string* proto_text(const Workspace& ws, TableKind kind, int vnum, ProtoField field);

// What a field shows of the stored text: the long description without the
// line end it ends with; the others as stored.
std::string proto_field_text(ProtoField field, std::string_view stored);

// Why a typed text cannot be stored, as the status line says it; empty when
// it can, by tilde_text_fault's rule (the long description's kept line end
// counts too).
std::string proto_text_refusal(TableKind kind, ProtoField field, std::string_view typed);

// Stores a field's text into the record ("Edit Short Description of Object
// 1200"): the look description keeps every line the builder did not edit
// (`shown` is the text the field was filled with) and wraps the edited lines
// that run past the game's columns (see wrap_edited_lines); the long
// description gets the line end the stored one had (none for an empty
// field); the others are stored as typed. Pass a merge key so that typing in
// one field is one step. False when nothing was stored (no record, a refused
// text, or the same text).
bool store_proto_text(Workspace& ws, TableKind kind, int vnum, ProtoField field,
                      std::string_view typed, std::string_view shown, EditOptions options = {});

// "Format Look Description of Object 1200": stores the typed look description
// formatted.
bool format_proto_look(Workspace& ws, TableKind kind, int vnum, std::string_view typed,
                       EditOptions options = {});
// "Clear Colors of Object 1200": the typed look description, stored as
// typing would store it, without its colour codes.
bool clear_proto_colours(Workspace& ws, TableKind kind, int vnum, std::string_view typed,
                         std::string_view shown, EditOptions options = {});

// The three-text preview below the split line, on the room preview's grid
// (preview_point): the short description on the title's line, the long
// description on the next, the look description from the line after.
// The text a point lands on, and the line within that text.
std::pair<ProtoField, int> proto_preview_text(PreviewPoint at);
// A click on the preview, as one step ("Paint Long Description of Object
// 1200"): the right button removes the nearest colour code before the
// character clicked, the left puts `paint_code` there, replacing a code that
// stands right before it. False when nothing changes.
bool paint_proto_preview(Workspace& ws, TableKind kind, int vnum, PreviewPoint at, bool right,
                         std::string_view paint_code, EditOptions options = {});

// The selection tree: a zone item "Zone %d" whenever the zone differs from
// the record before, each record a child "%d - %s" (vnum, short description,
// colour codes removed unless `colour_codes`).
std::string proto_tree_label(int vnum, std::string_view short_description, bool colour_codes);
struct ProtoTreeZone {
    int zone = 0;
    std::vector<std::pair<int, std::string>> items;  // vnum, label
};
// The whole tree in table order, labels as the options say.
std::vector<ProtoTreeZone> proto_tree(const Workspace& ws, TableKind kind);
// The vnum an item's label names: the number up to its first blank; none
// when the label does not start with a digit (a zone item).
std::optional<int> tree_label_vnum(std::string_view label);

// Makes the record current: "Object 1200 selected." and a redraw. False when
// no record has the vnum.
bool select_proto(Workspace& ws, TableKind kind, int vnum);
// "Select Obj" / "Select Mob" with the vnum field's text: "Object with vnum
// %d not found." when there is none; a text that is no vnum is refused with
// a message.
bool select_proto_from_box(Workspace& ws, TableKind kind, std::string_view box);

// The New dialog's suggested vnum: 100 with no current record, else the
// lowest vnum of the current record's zone that no record uses; none when
// all hundred are used.
std::optional<int> suggested_proto_vnum(const Workspace& ws, TableKind kind);
// The New dialog's OK ("Create Object 1205", one step): an empty box does
// nothing; a text that is not a number, a negative number or one past 16 bits
// is refused with a message; an existing vnum gives "Error: obj %d already
// exists."; otherwise the record is made, selected, and "New object %d
// created." said. True when a record was made.
bool create_proto_from_box(Workspace& ws, TableKind kind, std::string_view box);

}  // namespace zs
