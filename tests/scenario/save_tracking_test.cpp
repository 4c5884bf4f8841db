// The frame tick's save tracking with the real plug-in: identities, reloads on
// identity changes and time jumps, autosaves with backups, and the silence
// outside the frame tick. (That an unknown build stays silent is shown by the
// Windows tests of the real DLL.)

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
    ASSERT_GT(game->save_game(), 0);
    ASSERT_TRUE(game->load_game(1));
    game->run_frames(3);
    EXPECT_EQ(world().int_stat(hostsim::kSaveIdentityStat), 1);
    EXPECT_TRUE(fs::is_directory("corvalen/1"));
    EXPECT_FALSE(fs::exists("corvalen/2"));

    for (const hostsim::NativeCall& call : game->native_log()) {
        ASSERT_TRUE(call.in_site_one && call.plugin_script)
            << "native " << hostsim::hex(call.hash) << " outside the frame tick in frame "
            << call.frame;
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

// A world whose time stands still unless a case moves it, with two backups
// kept. A reload re-creates the save's folder; removing it shows whether a
// frame reloaded.
class StillWorldTest : public PluginScenario {
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
    bool reloaded_in_next_frame() {
        fs::remove_all("corvalen/1");
        frame();
        return fs::is_directory("corvalen/1");
    }
};

// After the first tick only game-time jumps while the host is not playing,
// and identity changes, reload.
TEST_F(StillWorldTest, ReloadsOnJumpsWhileNotPlayingAndOnIdentityChanges) {
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

TEST_F(StillWorldTest, AutosavesAtMostEveryTwelveSecondsWhileNotPlaying) {
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

    // Never while playing; the host's save screen is a non-playing stretch.
    world().set_paused(false);
    write_file("corvalen/1/houses.dat", "third");
    game->pass_wall_time(100);
    game->run_frames(3);
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "second");
    ASSERT_GT(game->save_game(), 0);
    EXPECT_EQ(read_file("corvalen/1.backup1/houses.dat"), "third");
}

// F11 saves where the player stands. Like an
// autosave, it starts the 12 seconds afresh: one generation per save in the
// backups, however the two fall.
TEST_F(StillWorldTest, F11SavesHereAndStartsTheSpacingAfresh) {
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

    EXPECT_EQ(world().saves().at(1).float_stats.at(210), -110.0f);
}

}  // namespace
}  // namespace corvalen::test
