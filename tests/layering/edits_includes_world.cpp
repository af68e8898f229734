// Compiled as a source of the edits layer, which sits below the world layer
// and may not use it: this include must not be found.
#include "world/change.h"
