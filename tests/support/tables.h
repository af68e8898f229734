// Copies of a workspace's four tables in slot order, and their comparison:
// what tests of edits, undo and redo hold the tables against.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "world/workspace.h"

namespace zs::test {

struct Tables {
    std::vector<Room> rooms;
    std::vector<Zedit> zedits;
    std::vector<ObjectPrototype> objects;
    std::vector<MobilePrototype> mobiles;
};

Tables tables_of(const Workspace& ws);

// A new room with plain exits (direction, target).
Room room_with_exits(int vnum, std::initializer_list<std::pair<int, int>> exits);

// Records equal slot by slot (rooms as records: the map's derived walk aside).
::testing::AssertionResult same_tables(const Tables& a, const Tables& b);

}  // namespace zs::test
