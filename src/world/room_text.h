// The room text pane's edits in the core: which typed texts a room may hold,
// and the named steps that store the title, description and side text, format
// them, and clear their colour codes. The pane passes the boxes' bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "world/edits.h"

namespace zs {

// Why a typed text cannot be stored, as the status line says it; empty when
// it can. A "~" ends a text in the area files, and the reader takes at most
// kMaxTextLength bytes.
std::string room_text_refusal(std::string_view text);

// The text with every "&" and the character after it removed.
std::string without_colour_codes(std::string_view text);

// Stores a box's text into one of the room's texts ("Edit Title of Room
// 3001"): the title as typed; the description and side text keep every line
// the builder did not edit (`shown` is the text the box was filled with) and
// wrap the edited lines that run past the game's columns (see
// wrap_edited_lines). Pass a merge key in the options so that typing in one
// box is one step. `field` is Title, Description or SideText.
bool store_room_text(Workspace& ws, int vnum, RoomField field, std::string_view typed,
                     std::string_view shown, EditOptions options = {});

// The text store_room_text stores for the field; empty, with the status line
// told why, when it cannot be stored.
std::optional<std::string> room_text_to_store(Workspace& ws, RoomField field,
                                              std::string_view typed, std::string_view shown);

// "Format Description of Room 3001": stores the description and side text
// boxes, formatted, in one step.
bool format_room_texts(Workspace& ws, int vnum, std::string_view description,
                       std::string_view side_text, EditOptions options = {});

// "Clear Colors of Room 3001": stores the description box as typing would,
// without its colour codes.
bool clear_room_colours(Workspace& ws, int vnum, std::string_view description,
                        std::string_view shown, EditOptions options = {});

// "Color Description of Room 3001", a double click on a colour button: stores
// the description box with the code ("&R") put in front of it, or "&n"
// appended, formatted with paragraph indentation.
bool colour_room_description(Workspace& ws, int vnum, std::string_view description,
                             std::string_view code, EditOptions options = {});

// The colour preview below the map's split line: the title on one line from
// the split line + 2, the description from the split line + 17, 8 pixels a
// character and 15 a line, starting 2 pixels in.
constexpr int kPreviewLeft = 2;
constexpr int kPreviewCharWidth = 8;
constexpr int kPreviewLineHeight = 15;
constexpr int kPreviewTitleTop = 2;
constexpr int kPreviewBodyTop = 17;

// Where a click in the preview lands: the title line, or a line of the
// description; the column counts visible characters.
struct PreviewPoint {
    bool title = false;
    int line = 0;
    int column = 0;
};
// None for a point above the title or left of the first column.
std::optional<PreviewPoint> preview_point(int split_line, int x, int y);

// A click on the preview of room `vnum`, as one step ("Paint Description of
// Room 3001"): the right button removes the nearest colour code before the
// character clicked, the left puts `paint_code` ("&R") before it, replacing a
// code that stands right there. Nothing changes (false) when the point lies
// beyond the text, or for a left click with no paint colour chosen.
bool paint_room_preview(Workspace& ws, int vnum, PreviewPoint at, bool right,
                        std::string_view paint_code, EditOptions options = {});

}  // namespace zs
