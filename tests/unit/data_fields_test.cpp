// Reading and writing the fields of the mod's data files: splitting a line,
// numbers as the standard conversions read them (or nothing where those
// would fail), and numbers with fixed decimals.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/csv.h"
#include "core/text_number.h"
#include "working_folder.h"

namespace corvalen {
namespace {

TEST(DataFieldsTest, LinesSplitAtEveryCommaButTheLast) {
    using Fields = std::vector<std::string_view>;
    EXPECT_EQ(split_fields("1.00,2.00,3.00,4,2,"), (Fields{"1.00", "2.00", "3.00", "4", "2"}));
    EXPECT_EQ(split_fields("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(split_fields("no comma"), (Fields{"no comma"}));
    EXPECT_EQ(split_fields(","), (Fields{""}));
    EXPECT_TRUE(split_fields("").empty());
}

TEST(DataFieldsTest, NumbersReadLikeTheStandardConversions) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> integer;
        std::optional<float> real;
    };
    const Case cases[] = {
        {"42", 42, 42.0f},
        {"  -7xyz", -7, -7.0f},  // blanks before, text after
        {"+3", 3, 3.0f},
        {"4.9", 4, 4.9f},
        {"1e2", 1, 100.0f},
        {"2147483647", 2147483647, 2147483647.0f},
        {"2147483648", std::nullopt, 2147483648.0f},
        {"-2147483649", std::nullopt, -2147483649.0f},
        {"+-1", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"x,", std::nullopt, std::nullopt},
        {"- 1", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"1e39", 1, std::nullopt},  // beyond a float
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(int_field(c.text), c.integer);
        EXPECT_EQ(float_field(c.text), c.real);
    }
}

TEST(DataFieldsTest, UnsignedFieldsTakeSignedModelNumbersAsTheirBits) {
    EXPECT_EQ(unsigned_field("2317106693"), 2317106693u);
    EXPECT_EQ(unsigned_field("-1977860603"), 2317106693u);
    EXPECT_EQ(unsigned_field("4294967296"), std::nullopt);
    EXPECT_EQ(unsigned_field("model"), std::nullopt);
}

TEST(DataFieldsTest, NumbersAreWrittenWithFixedDecimals) {
    EXPECT_EQ(fixed_decimals(1.0f, 2), "1.00");
    EXPECT_EQ(fixed_decimals(-120.456f, 2), "-120.46");
    EXPECT_EQ(fixed_decimals(0.125f, 2), "0.12");  // exactly halfway: to even
    EXPECT_EQ(fixed_decimals(-0.001f, 2), "-0.00");
    EXPECT_EQ(fixed_decimals(35.6, 0), "36");
    EXPECT_EQ(fixed_decimals(std::numeric_limits<float>::max(), 2).size(), 42u);
}

TEST(DataFieldsTest, EveryValueIsFollowedByAComma) {
    std::string line;
    append_field(line, -1234.56f);
    append_field(line, 0.005f);  // the float lies just below 0.005
    append_field(line, std::int32_t{-1190});
    EXPECT_EQ(line, "-1234.56,0.00,-1190,");
}

TEST(DataFieldsTest, LinesLoseTheirLineEnds) {
    test::WorkingFolder folder;
    test::write_file("lines.csv", "a,\r\nb,\n\nc");
    EXPECT_EQ(read_lines("lines.csv"), (std::vector<std::string>{"a,", "b,", "", "c"}));
    EXPECT_TRUE(read_lines("missing.csv").empty());
}

}  // namespace
}  // namespace corvalen
