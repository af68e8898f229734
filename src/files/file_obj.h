// Object files (<zone>.obj): the reader of the current layout and of the two
// older layouts it falls back to, the writer, and the load and save commands.
#pragma once

#include <string>
#include <vector>

#include "files/diagnostic.h"
#include "world/object.h"

namespace zs {

class AreaChange;
struct Staging;
class Workspace;

enum class ObjectLayout {
    Current,  // eight texts, eight numeric lines
    TbaMud,   // tbaMUD: four texts, four-word flag fields, "T" trigger lines
    Circle3,  // CircleMUD 3.x: four texts, "type extra wear", four values
};

// Reads the object records of one layout from a file's bytes; `file_name` is
// what string errors name. With `report`, the read tells of its string errors
// as it meets them, of a failure in the object-file error box and status, and
// on success lists its string errors as load problems; the older layouts are
// read silently, noting the fields they leave out.
ReadResult<ObjectPrototype> read_objects_layout(std::string_view bytes, std::string_view file_name,
                                                ObjectLayout layout, bool report,
                                                ReadSink<ObjectPrototype>* sink = nullptr);
// The current layout, reporting.
ReadResult<ObjectPrototype> read_objects(std::string_view bytes, std::string_view file_name,
                                         ReadSink<ObjectPrototype>* sink = nullptr);
// The older layouts (tbaMUD, then CircleMUD 3.x) in order: the read of the
// first that fits, with what the conversion has to tell (string errors that
// `shown` did not meet get their box, then the warning of what was left
// out); when none fits, a failed read whose diagnostics are the error box.
ReadResult<ObjectPrototype> read_older_objects(std::string_view bytes, std::string_view file_name,
                                               const std::vector<TextReader::StringError>& shown);

// The file text of the objects in these slots.
std::string write_objects(const ObjectTable& objects, const std::vector<int>& slots);

bool load_objects(Workspace& ws, const std::string& path);
// The same with the file's bytes read already; `path` names the file.
bool load_object_bytes(Workspace& ws, const std::string& path, std::string_view bytes);
std::string objects_file_text(const Workspace& ws, int zone);
// Puts the object files of zones that hold objects into a save's change.
void stage_object_files(Workspace& ws, AreaChange& change, const std::vector<int>& zones,
                        Staging& out);
// Saves a zone's objects as every save does (save_zone_files).
bool save_objects(Workspace& ws, int zone);
bool save_current_objects(Workspace& ws);

}  // namespace zs
