// The data files' fields: splitting at commas, the strict number readings
// that refuse what the standard conversions would throw on, and two-decimal
// floats.

#include "core/csv.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/text_number.h"

namespace corvalen {
namespace {

TEST(CsvTest, EveryCommaSplitsAndTheLastOneLeavesAnEmptyField) {
    EXPECT_EQ(split_fields("1,2,"), (std::vector<std::string_view>{"1", "2", ""}));
    EXPECT_EQ(split_fields("1,,3\r"), (std::vector<std::string_view>{"1", "", "3\r"}));
    EXPECT_EQ(split_fields(""), (std::vector<std::string_view>{""}));
}

TEST(CsvTest, FloatsGetTwoDecimalsAndEveryValueAComma) {
    std::string line;
    append_field(line, -1234.56f);
    append_field(line, 410.0f);
    append_field(line, 0.005f);  // the float lies just below 0.005
    append_field(line, -0.004f);
    append_field(line, std::int32_t{-1190});
    append_field(line, 1e30f);
    EXPECT_EQ(line, "-1234.56,410.00,0.00,-0.00,-1190,1000000015047466219876688855040.00,");
}

TEST(TextNumberTest, FieldsReadLikeTheStandardConversionsWithoutThrowing) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> integer;
        std::optional<float> real;
    };
    const Case cases[] = {
        {"410.00", 410, 410.0f},
        {"  -12.5x", -12, -12.5f},
        {"+7", 7, 7.0f},
        {"\t3e2", 3, 300.0f},
        {"2147483647", 2147483647, 2147483647.0f},
        {"3000000000", std::nullopt, 3e9f},
        {"-2147483649", std::nullopt, -2147483649.0f},
        {"abc", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {"+-1", std::nullopt, std::nullopt},
        {"1e39", 1, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_int_field(c.text), c.integer) << c.text;
        EXPECT_EQ(parse_float_field(c.text), c.real) << c.text;
    }
}

}  // namespace
}  // namespace corvalen
