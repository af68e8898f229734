#include "world/room_text.h"

#include "world/colour_codes.h"
#include "world/format_text.h"
#include "world/strfmt.h"
#include "world/text.h"

namespace zs {

namespace {

const char* field_name(RoomField field) {
    switch (field) {
        case RoomField::Title:
            return "Title";
        case RoomField::Description:
            return "Description";
        default:
            return "Side Text";
    }
}

}  // namespace

std::string room_text_refusal(std::string_view text) {
    switch (tilde_text_fault(text)) {
        case TildeTextFault::Tilde:
            return "A room text cannot hold \"~\"; it ends texts in the area files.";
        case TildeTextFault::TooLong:
            return strfmt("A room text cannot be longer than %zu bytes.", kMaxTextLength);
        case TildeTextFault::None:
            break;
    }
    return {};
}

std::string without_colour_codes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&')
            ++i;  // the code's letter goes with it
        else
            out += text[i];
    }
    return out;
}

std::optional<std::string> room_text_to_store(Workspace& ws, RoomField field,
                                              std::string_view typed, std::string_view shown) {
    std::string why = room_text_refusal(typed);
    std::string stored;
    if (why.empty()) {
        stored = field == RoomField::Title ? std::string(typed) : wrap_edited_lines(shown, typed);
        // Wrapping adds line breaks: the stored text must fit too.
        why = room_text_refusal(stored);
    }
    if (why.empty()) return stored;
    ws.ui().show_status(why);
    return std::nullopt;
}

bool store_room_text(Workspace& ws, int vnum, RoomField field, std::string_view typed,
                     std::string_view shown, EditOptions options) {
    std::optional<std::string> stored = room_text_to_store(ws, field, typed, shown);
    if (!stored) return false;
    options.fields = field_bit(field);
    return edit_room(
        ws, vnum, strfmt("Edit %s of Room %d", field_name(field), vnum),
        [&](Room& r) {
            if (field == RoomField::Title)
                r.title = *stored;
            else if (field == RoomField::Description)
                r.description = *stored;
            else
                r.side_text = *stored;
        },
        options);
}

bool format_room_texts(Workspace& ws, int vnum, std::string_view description,
                       std::string_view side_text, EditOptions options) {
    std::string d = format_text(description, Indent::paragraph);
    std::string s = format_text(side_text, Indent::none);
    options.fields = field_bit(RoomField::Description) | field_bit(RoomField::SideText);
    options.merge = {};
    return edit_room(
        ws, vnum, strfmt("Format Description of Room %d", vnum),
        [&](Room& r) {
            r.description = d;
            r.side_text = s;
        },
        options);
}

bool clear_room_colours(Workspace& ws, int vnum, std::string_view description,
                        std::string_view shown, EditOptions options) {
    std::optional<std::string> typed =
        room_text_to_store(ws, RoomField::Description, description, shown);
    if (!typed) return false;
    std::string d = without_colour_codes(*typed);
    options.fields = field_bit(RoomField::Description);
    options.merge = {};
    return edit_room(
        ws, vnum, strfmt("Clear Colors of Room %d", vnum), [&](Room& r) { r.description = d; },
        options);
}

bool colour_room_description(Workspace& ws, int vnum, std::string_view description,
                             std::string_view code, EditOptions options) {
    std::string coloured = code == "&n" ? std::string(description) + "&n"
                                        : std::string(code) + std::string(description);
    std::string d = format_text(coloured, Indent::paragraph);
    options.fields = field_bit(RoomField::Description);
    options.merge = {};
    return edit_room(
        ws, vnum, strfmt("Color Description of Room %d", vnum), [&](Room& r) { r.description = d; },
        options);
}

std::optional<PreviewPoint> preview_point(int split_line, int x, int y) {
    int top = y - split_line;
    if (top < kPreviewTitleTop || x < kPreviewLeft) return std::nullopt;
    PreviewPoint at;
    at.column = (x - kPreviewLeft) / kPreviewCharWidth;
    if (top < kPreviewBodyTop)
        at.title = true;
    else
        at.line = (top - kPreviewBodyTop) / kPreviewLineHeight;
    return at;
}

bool paint_room_preview(Workspace& ws, int vnum, PreviewPoint at, bool right,
                        std::string_view paint_code, EditOptions options) {
    const Room* room = ws.world().find_room_record(vnum);
    if (!room) return false;
    const std::string text = at.title ? room->title.str() : room->description.str();
    auto painted = paint_preview_text(text, at.title ? 0 : at.line, at.column, right, paint_code);
    if (!painted) return false;
    if (std::string why = room_text_refusal(*painted); !why.empty()) {
        ws.ui().show_status(why);  // a code more would pass the files' limit
        return false;
    }
    RoomField field = at.title ? RoomField::Title : RoomField::Description;
    options.fields = field_bit(field);
    options.merge = {};
    return edit_room(
        ws, vnum, strfmt("Paint %s of Room %d", field_name(field), vnum),
        [&](Room& r) { (at.title ? r.title : r.description) = *painted; }, options);
}

}  // namespace zs
