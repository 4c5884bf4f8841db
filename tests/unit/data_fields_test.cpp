// Reading and writing the fields of the mod's data files: splitting a line,
// numbers as the standard conversions read them (or nothing where those
// would fail), and numbers with fixed decimals.

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/csv.h"
#include "core/geometry.h"
#include "core/text_number.h"
#include "working_folder.h"

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

// The readers' and writers' own ways with numbers must give what the library
// conversions give, for texts and values of every shape (random, seeded).
TEST(DataFieldsTest, NumbersAsTheLibraryConvertsThem) {
    auto read_as_library = [](const std::string& text) {
        SCOPED_TRACE(text);
        // from_chars refuses what a double cannot hold, beyond its range or
        // below its least subnormal.
        char* end = nullptr;
        errno = 0;
        double value = std::strtod(text.c_str(), &end);
        bool lost = errno == ERANGE && (value == 0.0 || std::isinf(value));
        bool read = end != text.c_str() && !lost && std::fabs(value) <= FLT_MAX;
        EXPECT_EQ(float_field(text),
                  read ? std::optional(static_cast<float>(value)) : std::nullopt);
        long long whole = std::strtoll(text.c_str(), &end, 10);
        bool fits = end != text.c_str() && whole >= INT32_MIN && whole <= INT32_MAX;
        EXPECT_EQ(int_field(text),
                  fits ? std::optional(static_cast<std::int32_t>(whole)) : std::nullopt);
    };
    auto written_as_library = [](float number) {
        std::string written;
        append_two_decimals(written, number);
        EXPECT_EQ(written, fixed_decimals(number, 2)) << number;
        if (std::fabs(number) < 2147483648.0f) {
            EXPECT_EQ(whole_metres(number), static_cast<std::int32_t>(number)) << number;
        }
    };
    // Halfway between two floats or two hundredths, and just beside.
    for (const char* text : {"16777217", "16777219", "-8388608.5", "8388609.50", "33554435", "0.1",
                             "999999.99", "-0.00", "1.5e3", "12.", "0000000000.5"})
        read_as_library(text);
    for (float number : {0.125f, 0.375f, -0.005f, 0.015f, 1099511627776.0f, 1e-40f})
        written_as_library(number);

    std::mt19937 random(20261208);
    auto pick = [&](std::string_view from) { return from[random() % from.size()]; };
    for (int round = 0; round < 200000 && !HasFailure(); ++round) {
        // Mostly what the files hold ("-1234.56"), now and then longer,
        // with an exponent or with something after the number.
        std::string text;
        for (std::size_t n = random() % 12; n > 0; --n)
            text += pick(round % 4 == 0 ? "0123456789.-e" : "0123456789");
        if (round % 2 == 1)
            text.insert(text.size() - text.size() / 3, ".");
        if (round % 3 == 0)
            text.insert(0, "-");
        if (round % 5 == 0)
            text += pick(",x e.");
        read_as_library(text);
        // Any float: a bit pattern, or one near a hundredth's halfway point.
        written_as_library(
            round % 2 == 0
                ? std::bit_cast<float>(static_cast<std::uint32_t>(random()))
                : static_cast<float>(static_cast<int>(random() % 2000001) - 1000000) / 200.0f);
    }
}

// One pass over a text gives the lines and fields that splitting it twice does.
TEST(DataFieldsTest, RecordsAsLinesAndFieldsSplitThem) {
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string text = round % 7 == 0 ? "\xEF\xBB\xBF" : "";
        for (std::size_t n = random() % 40; n > 0; --n)
            text += std::string_view("ab,,\r\n1\0", 8)[random() % 8];
        std::vector<std::string> lines = split_lines(text);
        std::size_t line = 0;
        for_each_record<3>(text,
                           [&](std::string_view got, std::span<const std::string_view> fields) {
                               ASSERT_LT(line, lines.size());
                               EXPECT_EQ(got, lines[line]);
                               std::vector<std::string_view> all = split_fields(lines[line]);
                               all.resize(std::min<std::size_t>(all.size(), 3));
                               EXPECT_EQ(std::vector(fields.begin(), fields.end()), all) << text;
                               ++line;
                           });
        EXPECT_EQ(line, lines.size()) << text;
    }
}

// Records read from a file a part at a time are the whole text's, wherever
// the parts end: inside a line, a byte-order mark or a "\r\n".
TEST(DataFieldsTest, AFileReadInPartsGivesTheRecordsOfItsWholeText) {
    test::WorkingFolder folder;
    auto records = [](auto each) {
        std::vector<std::string> got;
        FileRead read = each([&](std::string_view line, std::span<const std::string_view> fields) {
            got.emplace_back(line);
            for (std::string_view field : fields)
                got.back().append("|").append(field);
        });
        got.push_back(read == FileRead::read      ? "read"
                      : read == FileRead::missing ? "missing"
                                                  : "unread");
        return got;
    };
    std::vector<std::string> texts = {
        "",
        "\xEF\xBB\xBF",
        "\xEF\xBB",
        std::string(kByteOrderMark) + "1,2,\n",
        "1,2,3,4,\r\n5,6,\r\n7,",
        "a\r\r\n\n\rb,\r",
        "long line, longer than a part,,,\nx\n",
    };
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string text = round % 5 == 0 ? "\xEF\xBB\xBF" : "";
        for (std::size_t n = random() % 40; n > 0; --n)
            text += std::string_view("ab,,\r\n\n1", 8)[random() % 8];
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        test::write_file("stops.csv", text);
        std::vector<std::string> whole = records([&](auto record) {
            for_each_record<3>(text, record);
            return FileRead::read;
        });
        for (std::size_t part : {1, 2, 3, 4, 7, 64}) {
            EXPECT_EQ(records([&](auto record) {
                          return for_each_record_in_file<3>("stops.csv", record, part);
                      }),
                      whole)
                << part << " bytes a part: " << text;
        }
    }
    std::filesystem::create_directory("folder");
    EXPECT_EQ(records([](auto record) { return for_each_record_in_file<3>("none.csv", record); }),
              std::vector<std::string>{"missing"});
    EXPECT_EQ(records([](auto record) { return for_each_record_in_file<3>("folder", record); }),
              std::vector<std::string>{"unread"});
}

}  // namespace
}  // namespace corvalen
