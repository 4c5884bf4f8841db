// The plug-in's shared object attached to the stand-in host: every call site
// now leads into the plug-in, the game's own routines still run intact, and
// one tick happens per frame.

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

class AttachTest : public PluginScenario, public ::testing::WithParamInterface<hostsim::Build> {};

TEST_P(AttachTest, EverySiteLeadsIntoThePluginAndTheGameRunsIntact) {
    boot(hostsim::boot_options(GetParam()));
    EXPECT_EQ(game->patched_site_count(), 8);
    EXPECT_EQ(game->sites_into_plugin(), 8);

    game->run_frames(5);
    EXPECT_EQ(game->frame_ticks(), 5);
    EXPECT_FALSE(game->hooks().corrupted()) << game->hooks().first_problem;
    EXPECT_TRUE(game->hooks().after_eax_ok());
    EXPECT_TRUE(game->hooks().script_pointer_ok);
    for (int runs : game->hooks().runs)
        EXPECT_EQ(runs, 5);

    // The loader is asked to free the plug-in; it stays, and keeps ticking.
    EXPECT_TRUE(game->free_plugin());
    EXPECT_EQ(game->sites_into_plugin(), 8);
    game->run_frames(2);
    EXPECT_EQ(game->frame_ticks(), 7);
}

INSTANTIATE_TEST_SUITE_P(Builds, AttachTest,
                         ::testing::Values(hostsim::Build::v1070, hostsim::Build::v1080),
                         [](const auto& info) {
                             return info.param == hostsim::Build::v1070 ? "b1070" : "b1080";
                         });

}  // namespace
}  // namespace corvalen::test
