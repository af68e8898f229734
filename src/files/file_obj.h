// Object files (<zone>.obj): the reader of the current layout and of the two
// older layouts it falls back to (fileold_obj.h), and the writer.
#pragma once

#include <string>
#include <vector>

#include "files/diagnostic.h"
#include "world/object.h"

namespace zs {

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
// The file text of the objects in these slots.
WriteResult write_objects(const ObjectTable& objects, const std::vector<int>& slots);

}  // namespace zs
