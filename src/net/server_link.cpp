// Filled in by the server link work.
#include "net/server_link.h"
