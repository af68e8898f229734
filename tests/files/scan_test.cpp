#include "files/scan.h"

#include <gtest/gtest.h>

namespace zs {
namespace {

TEST(Scan, CountsFieldsLikeSscanfAndIgnoresTrailingFields) {
    std::int32_t a = 0, b = 0, c = 0;
    std::string_view w;
    EXPECT_EQ(scan("30 cdeh 0", "%d %s %d", &a, &w, &c), 3);
    EXPECT_EQ(w, "cdeh");
    EXPECT_EQ(scan("1 2 3 4 5", "%d %d %d", &a, &b, &c), 3);
    EXPECT_EQ(scan("1 x 3", "%d %d %d", &a, &b, &c), 1);
    EXPECT_EQ(scan("", "%d", &a), 0);
    EXPECT_EQ(scan("+200", "%d", &a), 1);
    EXPECT_EQ(a, 200);
    std::int32_t n, s, p;
    EXPECT_EQ(scan(" 2d8+10 ", " %dd%d+%d ", &n, &s, &p), 3);
    EXPECT_EQ(p, 10);
}

TEST(Scan, NumbersThatDoNotFitTheirFieldStopTheScan) {
    std::int32_t a = 7;
    std::int16_t h = 0;
    EXPECT_EQ(scan("99999999999", "%d", &a), 0);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(scan("40000", "%hd", &h), 0);
    EXPECT_EQ(scan("-32768", "%hd", &h), 1);
    EXPECT_EQ(h, -32768);
    std::int32_t v[4];
    EXPECT_EQ(scan_numbers("1 2 99999999999 4", v, 4), 2);
}

}  // namespace
}  // namespace zs
