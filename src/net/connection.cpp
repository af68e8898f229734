// Filled in by the server link work.
#include "net/connection.h"
