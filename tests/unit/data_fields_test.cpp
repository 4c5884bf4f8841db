// Reading and writing the fields of the mod's data files: splitting a line,
// numbers as the standard conversions read them (or nothing where those
// would fail), and numbers with fixed decimals.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/csv.h"
#include "core/text_number.h"

namespace corvalen {
namespace {

TEST(DataFieldsTest, LinesSplitAtEveryCommaButTheLast) {
    using Fields = std::vector<std::string_view>;
    EXPECT_EQ(split_fields("1.00,2.00,3.00,4,2,"), (Fields{"1.00", "2.00", "3.00", "4", "2"}));
    EXPECT_EQ(split_fields("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(split_fields(","), (Fields{""}));
    EXPECT_TRUE(split_fields("").empty());
}

TEST(DataFieldsTest, NumbersReadLikeTheStandardConversions) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> integer;
        std::optional<float> real;
    };
    const Case cases[] = {{"42", 42, 42.0f},
                          {"  -7xyz", -7, -7.0f},
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
                          {"1e39", 1, std::nullopt}};  // the last beyond a float
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(int_field(c.text), c.integer);
        EXPECT_EQ(float_field(c.text), c.real);
    }
}

// Two decimals as "{:.2f}" writes them, halfway cases to even.
TEST(DataFieldsTest, EveryValueIsFollowedByAComma) {
    std::string line;
    for (float value : {-1234.56f, -120.456f, 0.125f, -0.001f, 0.005f})
        append_field(line, value);
    append_field(line, std::int32_t{-1190});
    EXPECT_EQ(line, "-1234.56,-120.46,0.12,-0.00,0.00,-1190,");
    EXPECT_EQ(fixed_decimals(35.6, 0), "36");
    EXPECT_EQ(fixed_decimals(std::numeric_limits<float>::max(), 2).size(), 42u);
}

}  // namespace
}  // namespace corvalen
