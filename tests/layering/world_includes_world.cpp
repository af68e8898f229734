// Compiled as a source of the world layer, like world_includes_files.cpp but
// with one of the layer's own headers: it must build.
#include "world/room.h"
