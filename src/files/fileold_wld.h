// Older world layouts: four earlier layouts of the game's own format and the
// stock CircleMUD layout, tried in a fixed order when the current reader
// fails and the builder agrees to convert.
#pragma once

#include <array>
#include <string_view>

#include "files/file_wld.h"
#include "files/load_attempt.h"
#include "world/world_table.h"

namespace zs {

class Workspace;
class TextReader;

// Layouts A, B, C, D, then tbaMUD and stock CircleMUD, in the order they are
// tried.
extern const std::array<WorldLayout, 6> kLegacyWorldLayouts;

// Tries every older layout on the file's bytes, each as a fresh try of the
// load `attempt`. On success the rooms are in the table, and what the
// conversion left out has been told in one warning; on failure the table is
// back as it was before the load.
// `current` is the reader the current layout failed with.
bool legacy_world_chain(Workspace& ws, std::string_view data, const TextReader& current,
                        LoadAttempt<WorldTable>& attempt);

}  // namespace zs
