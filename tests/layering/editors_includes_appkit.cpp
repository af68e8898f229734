// Compiled as a source of the editors, like editors_includes_app.cpp but with
// a header of the Qt kit they are built on: it must build.
#include "appkit/workspace_signals.h"
