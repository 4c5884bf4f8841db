// Reading scenario scripts: every bad line is reported with the file and its
// line number, and good lines around it still read.

#include <gtest/gtest.h>

#include <string>

#include "hostsim/script.h"

namespace {

struct BadLine {
    const char* line;
    const char* message;  // what the error says after "bad.txt:1: "
};

const BadLine kBadLines[] = {
    {"jump to 1 2", "unknown action \"jump\""},
    {"walk 1 2", "expected walk to X Y [Z] [at SPEED]"},
    {"walk to 1", "expected walk to X Y [Z] [at SPEED]"},
    {"walk to 1 2 at 0", "expected walk to X Y [Z] [at SPEED]"},
    {"drive to 1 2 at fast", "expected drive to X Y [Z] [at SPEED]"},
    {"press F13", "unknown key \"F13\""},
    {"hold 0x100", "unknown key \"0x100\""},
    {"car tank at 1 2", "unknown vehicle model \"tank\""},
    {"car coupe at 1 2 fuel 120%", "expected car MODEL at"},
    {"car coupe at 1 2 condition 1001", "expected car MODEL at"},
    {"clock 24:00", "expected clock HH:MM"},
    {"clock 8:00", "expected clock HH:MM"},
    {"cash 99999999999", "expected cash AMOUNT"},
    {"wait 10", "expected wait DURATION"},
    {"wait 10d", "expected wait DURATION"},
    {"wait 721h", "expected wait DURATION"},
    {"wait 0 frames", "expected wait DURATION"},
    {"wait for tank", "unknown vehicle model \"tank\""},
    {"wait for bus within -3", "expected wait for"},
    {"pass time 1h", "expected pass game DURATION"},
    {"load 0", "expected load [SLOT]"},
    {"save now", "unexpected \"now\" after save"},
    {"note \"not closed", "a quoted text is not closed"},
    {"note \"a \\q\"", "unknown escape in a quoted text"},
    {"\"note\" first", "a line starts with an action, not a quoted text"},
    {"expect cash lots", "expected expect cash CHANGE"},
    {"expect file", "expected expect file PATH"},
    {"expect file a.csv holds \"x\"", "expected expect file PATH"},
    {"expect file a.csv matches \"((\"", "the pattern is no regular expression"},
    {"expect no text", "expected expect no text \"TEXT\""},
};

TEST(ScenarioScript, EveryBadLineIsReportedWithFileAndLine) {
    for (const BadLine& bad : kBadLines) {
        hostsim::Script script = hostsim::parse_script(bad.line, "bad.txt", "");
        ASSERT_EQ(script.errors.size(), 1u) << bad.line;
        const std::string& error = script.errors.front();
        EXPECT_EQ(error.rfind("bad.txt:1: ", 0), 0u) << error;
        EXPECT_NE(error.find(bad.message), std::string::npos) << bad.line << " gave " << error;
        EXPECT_TRUE(script.actions.empty()) << bad.line;
    }
}

TEST(ScenarioScript, GoodLinesReadAroundBadOnesAndCommentsCountAsLines) {
    hostsim::Script script = hostsim::parse_script(
        "# the morning\n"
        "\n"
        "walk to -60 35.5 at 4   # to the stop\n"
        "fly to 1 2\n"
        "wait 1h30m\n"
        "expect file \"my folder/a.csv\" is \"x,#\\n\"\n"
        "wait for player at 20 38 within 14 up to 3m\n"
        "car coupe at 1 2 3 heading 90 fuel 8% condition 600\n"
        "press numpad5\n",
        "day.txt", "");
    ASSERT_EQ(script.errors, std::vector<std::string>{"day.txt:4: unknown action \"fly\""});
    ASSERT_EQ(script.actions.size(), 6u);

    const hostsim::Action& walk = script.actions[0];
    EXPECT_EQ(walk.verb, hostsim::Verb::walk);
    EXPECT_EQ(walk.line, 3);
    EXPECT_FLOAT_EQ(walk.point.y, 35.5f);
    EXPECT_FALSE(walk.has_z);
    EXPECT_FLOAT_EQ(walk.speed, 4.0f);

    EXPECT_EQ(script.actions[1].ms, 5400000u);

    const hostsim::Action& file = script.actions[2];
    EXPECT_EQ(file.text, "my folder/a.csv");
    EXPECT_EQ(file.check, hostsim::FileCheck::is);
    EXPECT_EQ(file.pattern, "x,#\n");

    const hostsim::Action& arrival = script.actions[3];
    EXPECT_TRUE(arrival.player_at_point);
    EXPECT_FLOAT_EQ(arrival.within, 14.0f);
    EXPECT_EQ(arrival.ms, 180000u);

    const hostsim::Action& car = script.actions[4];
    EXPECT_TRUE(car.has_z);
    EXPECT_EQ(car.fuel_percent, 8);
    EXPECT_FLOAT_EQ(car.condition, 600.0f);
    EXPECT_FLOAT_EQ(car.heading, 90.0f);

    EXPECT_EQ(script.actions[5].key, 0x4C);
}

}  // namespace
