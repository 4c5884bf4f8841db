// The configuration file's parsing rules and the typed getters. (Reading the
// file itself is shown where the mod is built from one.)

#include "core/config.h"

#include <gtest/gtest.h>

#include <limits>

namespace corvalen {
namespace {

Config parsed(std::string_view text) {
    Config config;
    config.parse(text);
    return config;
}

// Which key a line stores, and its value text (nullptr: the key is absent).
TEST(ConfigTest, LinesSplitAtEqualsSignsAndLoseTheirBlanks) {
    struct Case {
        const char* text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"a=b=c", "a", "b"},
        {"=lonely", "", "lonely"},         // an empty first field
        {"novalue=", "novalue", nullptr},  // a single field
        {"noequals", "noequals", nullptr},
        {"empty==x", "empty", ""},
        {"n=1\nn=4", "n", "4"},    // the later line wins
        {"  # x = 1", "#x", "1"},  // a comment only with '#' first
        {"#y=2", "#y", nullptr},
        {"max busses = 6 0\r", "maxbusses", "60"},
        {"max_ships=3 ships", "max_ships", "3ships"},
        {"\xEF\xBB\xBF"
         "first=1",
         "first", "1"},                        // after a byte-order mark
        {"a=1\rold_mac=2\r", "old_mac", "2"},  // lines ending in CR alone
        {"on=true\x1A", "on", "true"},         // an old editor's end-of-file mark
        {"a=1\x1A\nafter=2", "after", nullptr},
    };
    for (const Case& c : cases) {
        Config config = parsed(c.text);
        const std::string* value = config.find(c.key);
        ASSERT_EQ(value != nullptr, c.value != nullptr) << c.text;
        if (value != nullptr) {
            EXPECT_EQ(*value, c.value) << c.text;
        }
    }
}

TEST(ConfigTest, GettersConvertLikeTheRunTimeButSaturate) {
    Config config = parsed(
        "upper=TRUE\ni= \nf= \nword=abc\nneg=-12abc\n"
        "plus=+5\nbig=99999999999999999999\nsmall=-99999999999999999999\nhuge=1e300\n"
        "exp=2.5e1x\nships=3 ships\n");
    EXPECT_FALSE(config.get_bool("upper", true));
    EXPECT_TRUE(config.get_bool("absent", true));
    EXPECT_EQ(config.get_int("i", 7), 0);
    EXPECT_EQ(config.get_float("f", 7.0f), 0.0f);
    EXPECT_EQ(config.get_int("word", 7), 0);
    EXPECT_EQ(config.get_int("neg", 0), -12);
    EXPECT_EQ(config.get_int("plus", 0), 5);
    EXPECT_EQ(config.get_int("ships", 0), 3);
    EXPECT_EQ(config.get_int("big", 0), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(config.get_int("small", 0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(config.get_float("huge", 0.0f), std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(config.get_float("exp", 0.0f), 25.0f);
}

TEST(ConfigTest, SurvivesArbitraryBytes) {
    std::string noise;
    for (int i = 0; i < 2048; ++i) {
        char c = static_cast<char>((i * 131 + 7) % 256);
        noise += c == '\x1A' ? ' ' : c;  // that one ends the text
    }
    EXPECT_EQ(parsed(noise + "\nok=1").get_int("ok", 0), 1);
}

}  // namespace
}  // namespace corvalen
