// Area files of every kind together: choosing the loader by file name, and
// saving every loaded zone of every kind.
#pragma once

#include <string>

namespace zs {

class Workspace;

enum class AreaFileKind { World, Object, Mobile, Zone, Unknown };

// The kind the first letter of a three-letter extension names ("w", "o", "m",
// "z": the character third from the end).
AreaFileKind area_file_kind(const std::string& path);

// Loads a file with the loader of its kind; true when it loaded.
bool load_area_file(Workspace& ws, const std::string& path);

// Saves every loaded zone of every kind; true when everything was written.
bool save_everything(Workspace& ws);

}  // namespace zs
