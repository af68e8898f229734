// The generators' random numbers: the sequence a seed gives, and draws from
// a range staying inside it.
#include "generators/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace zs {
namespace {

TEST(Random, SeedsGiveTheirKnownSequences) {
    struct Case {
        std::uint64_t seed;
        std::vector<std::uint32_t> values;
    };
    for (const Case& c : {Case{0, {21035, 34036, 55071, 89107, 144179}},
                          Case{1700000000, {9461903, 3541288, 13003191, 16544479, 12770455}}}) {
        Random random(c.seed);
        std::vector<std::uint32_t> got;
        for (std::size_t i = 0; i < c.values.size(); ++i)
            got.push_back(random.next());
        EXPECT_EQ(got, c.values) << c.seed;
    }
}

TEST(Random, DrawsStayInTheirRangeAndReachBothEnds) {
    Random random(42);
    EXPECT_EQ(random.between(7, 7), 7);
    EXPECT_EQ(random.between(9, 3), 9);  // an empty span gives its start
    bool low = false, high = false;
    for (int i = 0; i < 2000; ++i) {
        int v = random.between(-2, 4);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 4);
        low |= v == -2;
        high |= v == 4;
    }
    EXPECT_TRUE(low && high);
}

}  // namespace
}  // namespace zs
