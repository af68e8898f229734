// Filled in by the server link work.
#include "net/client.h"
