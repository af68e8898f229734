// Object files (<zone>.obj): the reader of the current layout and of the two
// older layouts it falls back to, the writer, and the load and save commands.
#pragma once

#include <string>

#include "files/load_notes.h"

namespace zs {

class Workspace;
class TextReader;

enum class ObjectLayout {
    Current,  // eight texts, eight numeric lines
    TbaMud,   // tbaMUD: four texts, four-word flag fields, "T" trigger lines
    Circle3,  // CircleMUD 3.x: four texts, "type extra wear", four values
};

// Reads object records of one layout into the object table. With `report`, a
// failure shows the object-file error box and status; the older layouts are
// tried silently, noting in `notes` the fields they leave out. Records read
// before a failure stay in the table.
bool parse_objects(Workspace& ws, TextReader& reader, ObjectLayout layout, bool report,
                   ReadNotes* notes = nullptr);

bool load_objects(Workspace& ws, const std::string& path);
std::string objects_file_text(const Workspace& ws, int zone);
bool save_objects(Workspace& ws, int zone);
bool save_current_objects(Workspace& ws);
// True when every zone was written.
bool save_all_objects(Workspace& ws);

}  // namespace zs
