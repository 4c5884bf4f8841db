// The frame tick's save tracking with the real plug-in: identities, reloads on
// identity changes and time jumps, autosaves with backups, and the silence
// outside the frame tick.

#include <gtest/gtest.h>

#include <filesystem>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

class SaveTrackingTest : public PluginScenario {};

TEST_F(SaveTrackingTest, ANewGameGetsIdentityOneAtTheFirstTickAndKeepsItThroughSaveAndLoad) {
    boot();
    EXPECT_TRUE(game->native_log().empty()) << "nothing asked of the host at load time";
    EXPECT_FALSE(fs::exists("corvalen")) << "the identity is first read by the first tick";

    frame();
    EXPECT_EQ(world().int_stat(hostsim::kSaveIdentityStat), 1);
    EXPECT_TRUE(fs::is_directory("corvalen/1"));

    game->run_frames(3);
    ASSERT_GT(game->save_game(), 0);
    game->run_frames(3);
    ASSERT_TRUE(game->load_game(1));
    game->run_frames(3);
    EXPECT_EQ(world().int_stat(hostsim::kSaveIdentityStat), 1);
    EXPECT_FALSE(fs::exists("corvalen/2"));

    for (const hostsim::NativeCall& call : game->native_log()) {
        ASSERT_TRUE(call.in_site_one && call.plugin_script)
            << "native " << hostsim::hex(call.hash) << " outside the frame tick in frame "
            << call.frame;
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

// A reload re-creates the save's folder; removing it shows whether a frame
// reloaded.
class ReloadTest : public PluginScenario {
  protected:
    void SetUp() override {
        PluginScenario::SetUp();
        if (IsSkipped())
            return;
        boot(still_time());
        frame();
        ASSERT_TRUE(fs::is_directory("corvalen/1"));
    }
    bool reloaded_in_next_frame() {
        fs::remove_all("corvalen/1");
        frame();
        return fs::is_directory("corvalen/1");
    }
};

// After the first tick only game-time jumps while the host is not playing,
// and identity changes, reload.
TEST_F(ReloadTest, JumpsWhileNotPlayingAndIdentityChangesReload) {
    game->pass_game_time(60000);
    EXPECT_FALSE(reloaded_in_next_frame()) << "playing";

    world().set_paused(true);
    frame();
    game->pass_game_time(10000);
    EXPECT_FALSE(reloaded_in_next_frame()) << "a step of exactly 10000 ms";
    game->pass_game_time(10001);
    EXPECT_TRUE(reloaded_in_next_frame()) << "a step of 10001 ms";
    game->pass_game_time(0u - 1u);  // the timer goes back by 1 ms
    EXPECT_TRUE(reloaded_in_next_frame()) << "a backwards timer";

    world().set_paused(false);
    world().set_int_stat(hostsim::kSaveIdentityStat, 9);
    frame();
    EXPECT_TRUE(fs::is_directory("corvalen/9"));
}

class AutosaveTest : public PluginScenario {
  protected:
    void SetUp() override {
        PluginScenario::SetUp();
        if (IsSkipped())
            return;
        write_file("corvalen/corvalen.conf", "# two copies\nkeep_backups = 2\n");
        boot(still_time());
        frame();
        write_file("corvalen/1/houses.dat", "first");
    }
};

TEST_F(AutosaveTest, AtMostEveryTwelveSecondsWhileNotPlaying) {
    world().set_paused(true);
    game->pass_wall_time(12);
    frame();
    EXPECT_FALSE(fs::exists("corvalen/1.backup1")) << "12 s after start-up is not yet later";

    game->pass_wall_time(1);
    frame();
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "first");

    write_file("corvalen/1/houses.dat", "second");
    game->pass_wall_time(12);
    game->run_frames(5);
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "first");
    EXPECT_FALSE(fs::exists("corvalen/1.backup2"));

    game->pass_wall_time(1);
    frame();
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "second");
    EXPECT_EQ(read_file("corvalen/1.backup2/houses.dat"), "first");
}

TEST_F(AutosaveTest, NeverWhilePlaying) {
    game->pass_wall_time(100);
    game->run_frames(3);
    EXPECT_FALSE(fs::exists("corvalen/1.backup1"));

    // The host's save screen is a non-playing stretch: the autosave comes then.
    ASSERT_GT(game->save_game(), 0);
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "first");
}

// F11 saves where the player stands, and that save is loaded there. Like an
// autosave, it starts the 12 seconds afresh: one generation per save in the
// backups, however the two fall.
TEST_F(AutosaveTest, F11SavesHereAndStartsTheSpacingAfresh) {
    frame();  // the spots' first check, swallowed
    game->teleport_player({-110.0f, 120.0f, 6.0f});
    game->pass_wall_time(6);
    frame_pressing(host::ScanCode::F11);
    while (world().save_screen_open() || world().non_playing())
        frame();
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "first");

    write_file("corvalen/1/houses.dat", "second");
    world().set_paused(true);
    game->pass_wall_time(7);  // 13 s after start-up, 7 after the save
    game->run_frames(3);
    EXPECT_FALSE(fs::exists("corvalen/1.backup2"));
    game->pass_wall_time(6);
    frame();
    EXPECT_EQ(read_file("corvalen/1.backup2/houses.dat"), "first");
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "second");

    world().set_paused(false);
    game->pass_game_time(60000);  // so that the load moves the timer back
    frame();
    ASSERT_TRUE(game->load_game(1));
    EXPECT_EQ(world().player_position().x, -110.0f);
    EXPECT_EQ(world().float_stat(210), 0.0f) << "restored";
}

// 0.10.7.0 spells "01070" and runs on the 1070 layout: taken for 1070, the
// plug-in would hook it.
class UnknownBuildTest : public PluginScenario,
                         public ::testing::WithParamInterface<hostsim::Build> {};

TEST_P(UnknownBuildTest, StaysSilent) {
    boot(hostsim::boot_options(GetParam()));
    game->run_frames(5);
    EXPECT_TRUE(game->native_log().empty());
    EXPECT_EQ(game->frame_ticks(), 0);
    EXPECT_EQ(game->patched_site_count(), 0);
    EXPECT_FALSE(fs::exists("corvalen"));
}

INSTANTIATE_TEST_SUITE_P(Builds, UnknownBuildTest,
                         ::testing::Values(hostsim::Build::v1071, hostsim::Build::v01070),
                         [](const auto& info) {
                             return info.param == hostsim::Build::v1071 ? "v1071" : "v01070";
                         });

}  // namespace
}  // namespace corvalen::test
