// The server link's headers stand on their own.
#include <gtest/gtest.h>

#include "net/connection.h"
#include "net/server_link.h"
#include "net/updater.h"

TEST(NetHeaders, StandAlone) {
    SUCCEED();
}
