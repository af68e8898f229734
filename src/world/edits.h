// The builder's edits of records that are not tied to the map, each one
// named, undoable step (see Transaction). Records are found by vnum (zone
// number for zedits); a record that is not loaded changes nothing.
#pragma once

#include <functional>
#include <string>

#include "world/workspace.h"

namespace zs {

// A room's fields as edits name them: the bits of a change's field mask and
// the field of a merge key.
enum class RoomField {
    Title,
    Description,
    SideText,
    Sector,
    Climate,
    Flags,
    Exits,
    Colour,
    MineKind,
    MineMaterial,
    MineAmount,
    MineReset,
    FlyUp,
    FlyDown,
    Fall,
    Height,
    Nation,
    ExtraDescriptions,
    Other
};
constexpr FieldMask field_bit(RoomField f) {
    return FieldMask{1} << static_cast<int>(f);
}

// "Delete Room 3004": the room and every exit that leads to it.
bool delete_room(Workspace& ws, int vnum);

// Changes fields of one record as a step named `name`. Give the options a
// merge key when consecutive calls (typing in one box) should be one step.
bool edit_room(Workspace& ws, int vnum, std::string name, const std::function<void(Room&)>& fn,
               EditOptions options = {});
bool edit_object(Workspace& ws, int vnum, std::string name,
                 const std::function<void(ObjectPrototype&)>& fn, EditOptions options = {});
bool edit_mobile(Workspace& ws, int vnum, std::string name,
                 const std::function<void(MobilePrototype&)>& fn, EditOptions options = {});
bool edit_zedit(Workspace& ws, int zone, std::string name, const std::function<void(Zedit&)>& fn,
                EditOptions options = {});

}  // namespace zs
