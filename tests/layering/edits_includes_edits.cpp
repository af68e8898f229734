// Compiled as a source of the edits layer, like edits_includes_world.cpp but
// with the layer's own header: it must build.
#include "edits/history.h"
