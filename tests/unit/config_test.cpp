// The configuration file's parsing rules and the typed getters.

#include "core/config.h"

#include <gtest/gtest.h>

#include <limits>

#include "working_folder.h"

namespace corvalen {
namespace {

Config parsed(std::string_view text) {
    Config config;
    config.parse(text);
    return config;
}

TEST(ConfigTest, ReadsTheFileItWasBuiltFrom) {
    test::WorkingFolder folder;
    test::write_file("corvalen/corvalen.conf",
                     "#transit\nmax_busses = 8\nbus_respect_traffic=false\nkeep_backups = 3\n");
    Config config("corvalen/corvalen.conf");
    EXPECT_EQ(config.path(), "corvalen/corvalen.conf");
    EXPECT_EQ(config.get_int("max_busses", 6), 8);
    EXPECT_FALSE(config.get_bool("bus_respect_traffic", true));
    EXPECT_EQ(config.get_int("keep_backups", 0), 3);
    EXPECT_EQ(config.find("#transit"), nullptr);

    Config missing("corvalen/none.conf");
    EXPECT_EQ(missing.get_int("max_busses", 6), 6);
    EXPECT_TRUE(missing.get_bool("bus_respect_traffic", true));
}

TEST(ConfigTest, FieldsSplitAtEveryEqualsSign) {
    Config config = parsed("a=b=c\n=lonely\nnovalue=\nnoequals\n\nempty==x\nn=1\nn=4\n");
    EXPECT_EQ(config.get_int("n", 0), 4) << "later duplicates replace earlier ones";
    ASSERT_NE(config.find("a"), nullptr);
    EXPECT_EQ(*config.find("a"), "b");
    ASSERT_NE(config.find(""), nullptr);  // a line starting with '=' has an empty key
    EXPECT_EQ(*config.find(""), "lonely");
    EXPECT_EQ(config.find("novalue"), nullptr);  // "key=" has a single field
    EXPECT_EQ(config.find("noequals"), nullptr);
    ASSERT_NE(config.find("empty"), nullptr);
    EXPECT_EQ(*config.find("empty"), "");
}

TEST(ConfigTest, OnlyAHashAtTheVeryStartMakesAComment) {
    Config config = parsed("  # x = 1\n#y=2\n");
    ASSERT_NE(config.find("#x"), nullptr);
    EXPECT_EQ(config.get_int("#x", 0), 1);
    EXPECT_EQ(config.find("#y"), nullptr);
    EXPECT_EQ(config.find("y"), nullptr);
}

TEST(ConfigTest, SpacesAndLineEndsVanishEverywhere) {
    Config config = parsed("max busses = 6 0\r\nfuel_ui_x = 0.5\r\nmax_ships=3 ships\r\n");
    EXPECT_EQ(config.find("max busses"), nullptr);
    EXPECT_EQ(config.get_int("maxbusses", 0), 60);
    EXPECT_FLOAT_EQ(config.get_float("fuel_ui_x", 0.0f), 0.5f);
    ASSERT_NE(config.find("max_ships"), nullptr);
    EXPECT_EQ(*config.find("max_ships"), "3ships");
    EXPECT_EQ(config.get_int("max_ships", 2), 3);
}

TEST(ConfigTest, BooleansAreExactlyTrue) {
    Config config = parsed("upper=TRUE\nlower=true\nspaced= true \nwords=truely\none=1\n");
    EXPECT_FALSE(config.get_bool("upper", true));
    EXPECT_TRUE(config.get_bool("lower", false));
    EXPECT_TRUE(config.get_bool("spaced", false));
    EXPECT_FALSE(config.get_bool("words", true));
    EXPECT_FALSE(config.get_bool("one", true));
    EXPECT_TRUE(config.get_bool("absent", true));
}

TEST(ConfigTest, EmptyAndNonNumericValuesReadAsZero) {
    Config config = parsed("i= \nf= \nb= \nword=abc\n");
    EXPECT_EQ(config.get_int("i", 7), 0);
    EXPECT_EQ(config.get_float("f", 7.0f), 0.0f);
    EXPECT_FALSE(config.get_bool("b", true));
    EXPECT_EQ(config.get_int("word", 7), 0);
}

TEST(ConfigTest, NumbersFollowAtoiAndAtofButSaturate) {
    Config config = parsed(
        "neg=-12abc\nplus=+5\nbig=99999999999999999999\nsmall=-99999999999999999999\n"
        "edge=2147483647\nlow=-2147483648\nhuge=1e300\ntiny=-1e300\nexp=2.5e1x\n");
    EXPECT_EQ(config.get_int("neg", 0), -12);
    EXPECT_EQ(config.get_int("plus", 0), 5);
    EXPECT_EQ(config.get_int("big", 0), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(config.get_int("small", 0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(config.get_float("huge", 0.0f), std::numeric_limits<float>::infinity());
    EXPECT_EQ(config.get_float("tiny", 0.0f), -std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(config.get_float("exp", 0.0f), 25.0f);
}

TEST(ConfigTest, SurvivesArbitraryBytes) {
    std::string noise;
    for (int i = 0; i < 2048; ++i)
        noise += static_cast<char>((i * 131 + 7) % 256);
    noise += "\nok=1";
    Config config = parsed(noise);
    EXPECT_EQ(config.get_int("ok", 0), 1);
}

}  // namespace
}  // namespace corvalen
