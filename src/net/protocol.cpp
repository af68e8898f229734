// Filled in by the server link work.
#include "net/protocol.h"
