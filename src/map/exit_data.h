// The Exit Data dialog's core: what the dialog shows for one exit of a room,
// and the named steps that store what the builder typed into the exit (and
// into its return exit). The dialog passes its boxes as typed; numbers,
// ranges and texts are checked here, and every refusal is a status message
// with nothing changed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zs {

class Workspace;

// The three door radios, or none of them chosen.
enum class DoorChoice { None, NotADoor, Door, PickproofDoor };

// The dialog's fields for one direction, as the builder typed them. Texts are
// area bytes (CR LF line breaks).
struct ExitForm {
    std::string exits_to;  // "Exits to:"; empty applies nothing
    DoorChoice door = DoorChoice::None;
    std::string key_vnum;       // empty: no key (-1)
    std::string lock_quality;   // empty: 0
    std::string door_strength;  // empty: 0
    // An empty text box keeps the exit's old text.
    std::string keywords;
    std::string door_description;
    std::string description;
    bool one_way = false;
    // -1 "none", 0 to 7 a size name; nothing when no size is chosen (the
    // exit's size lies outside the list), which keeps the exit's size.
    std::optional<int> size;
    bool operator==(const ExitForm&) const = default;
};

// The fields for exit `dir` of a room: all empty when the room has no such
// exit. "One-Way" is ticked when the target is loaded and its reverse exit
// leads to another room.
ExitForm show_exit(const Workspace& ws, int vnum, int dir);

// Applies the form to exit `dir` of a room as one step ("Edit North Exit of
// Room 3001"). A new two-way exit links both rooms and stores the fields into
// both; a one-way exit is made alone, and may lead into a zone that is not
// loaded. An existing exit may keep a target that is not loaded. False when
// the form was refused (with a status message; nothing changed); an empty
// "Exits to:" box applies nothing and gives true.
bool apply_exit(Workspace& ws, int vnum, int dir, const ExitForm& form);

// Whether "One-Way Exit" may be ticked for the target the box names: not when
// that room's reverse exit leads back to this room.
bool one_way_allowed(const Workspace& ws, int vnum, int dir, std::string_view exits_to);

// "Copy door data to return exit", one step: the return exit of the exit's
// stored target is made (when missing) and the form's door fields are stored
// into it. Refused with a status message when the return exit leads
// elsewhere, the exit is missing or its target is not loaded.
bool copy_door_data(Workspace& ws, int vnum, int dir, const ExitForm& form);

}  // namespace zs
