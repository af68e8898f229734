// The number helpers keep what each reader of numbers accepted before they
// shared them: a sign '+' or '-', blanks before, junk after, overflow; a
// box's number has a sign only once.
#include "world/numbers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "files/area_io.h"
#include "world/box_numbers.h"

namespace zs {
namespace {

TEST(Numbers, TakeNumberReadsTheFrontOfAFileLine) {
    struct Case {
        std::string input;
        std::optional<long long> value;  // nothing: no number, the input unchanged
        std::string rest;
    };
    const Case cases[] = {
        {"42", 42, ""},
        {"  -7 x", -7, " x"},
        {"+5", 5, ""},
        {"\t\n\v9", 9, ""},
        {"007", 7, ""},
        {"12abc", 12, "abc"},
        {"9223372036854775807", 9223372036854775807LL, ""},
        {"9223372036854775808", std::nullopt, ""},
        {"-9223372036854775808", std::nullopt, ""},  // its magnitude is past the range
        {"+-5", std::nullopt, ""},
        {"-", std::nullopt, ""},
        {"- 5", std::nullopt, ""},
        {"abc", std::nullopt, ""},
        {"", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::string_view in = c.input;
        long long v = -1;
        bool ok = take_number(in, v);
        EXPECT_EQ(ok, c.value.has_value()) << c.input;
        if (c.value) {
            EXPECT_EQ(v, *c.value) << c.input;
            EXPECT_EQ(in, c.rest) << c.input;
        } else {
            EXPECT_EQ(in, c.input) << c.input;
        }
    }
}

TEST(Numbers, WholeNumberIsTheWholeTextOrNothing) {
    struct Case {
        std::string text;
        Sign sign;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"30", Sign::PlusOrMinus, 30},
        {"+30", Sign::PlusOrMinus, 30},
        {"-30", Sign::PlusOrMinus, -30},
        {"+30", Sign::MinusOnly, std::nullopt},
        {"-3", Sign::MinusOnly, -3},
        {"+-30", Sign::PlusOrMinus, std::nullopt},
        {" 30", Sign::PlusOrMinus, std::nullopt},
        {"30 ", Sign::PlusOrMinus, std::nullopt},
        {"3x", Sign::PlusOrMinus, std::nullopt},
        {"", Sign::PlusOrMinus, std::nullopt},
        {"+", Sign::PlusOrMinus, std::nullopt},
        {"2147483648", Sign::PlusOrMinus, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(whole_number<int>(c.text, c.sign), c.value) << c.text;
}

TEST(Numbers, ReadLeadingReadsAsAtoiAndSaturates) {
    struct Case {
        std::string text;
        std::string_view blanks;
        long long value;
    };
    const Case cases[] = {
        {"12abc", " \t", 12},
        {"  -5", " \t", -5},
        {"+8", " \t", 8},
        {"abc", " \t", 0},
        {"", " \t", 0},
        {"-", " \t", 0},
        {"99999999999999999999", " \t", 1'000'000'000'000LL},
        {"-99999999999999999999", " \t", -1'000'000'000'000LL},
        {"\n5", " \t", 0},
        {"\n5", kScanBlanks, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_leading(c.text, 1'000'000'000'000LL, c.blanks), c.value) << c.text;
}

TEST(Numbers, ABoxHoldsOneNumberBetweenBlanks) {
    struct Case {
        std::string text;
        std::optional<long long> value;
        bool bad;  // not a number, as against an empty box
    };
    const Case cases[] = {
        {"42", 42, false},
        {" \t-42\r\n", -42, false},
        {"+42", 42, false},
        {"", std::nullopt, false},
        {" \t\r\n", std::nullopt, false},
        {"+-5", std::nullopt, true},
        {"+", std::nullopt, true},
        {"4 2", std::nullopt, true},
        {"42x", std::nullopt, true},
        {"\v42", std::nullopt, true},
        {"9223372036854775808", std::nullopt, true},
    };
    for (const Case& c : cases) {
        bool bad = !c.bad;
        EXPECT_EQ(box_number(c.text, &bad), c.value) << c.text;
        EXPECT_EQ(bad, c.bad) << c.text;
    }
}

TEST(Numbers, AFileNameGivesItsZoneAsAtoiReadsIt) {
    struct Case {
        std::string path;
        int zone;
    };
    const Case cases[] = {
        {"30.wld", 30},
        {"dir/12.obj", 12},
        {"a\\7.mob", 7},
        {"x.wld", 0},
        {"-3.wld", -3},
        {" 5.zon", 5},
        {"+5.zon", 5},
        {"0012.wld", 12},
        {"12a.wld", 12},
        {"12345678.wld", 1234567},
        {"000123456789.wld", 1234567},
        {".wld", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zone_number_from_path(c.path), c.zone) << c.path;
}

}  // namespace
}  // namespace zs
