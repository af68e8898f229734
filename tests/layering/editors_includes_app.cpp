// Compiled as a source of the editors, which lie below the window: this
// include must not be found.
#include "app/main_window.h"
