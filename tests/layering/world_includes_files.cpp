// Compiled as a source of the world layer, which may not use the file layer:
// this include must not be found.
#include "files/area_files.h"
