// The real DLL in the stand-in host process, under Wine: attach, hooks, ticks,
// the pin that outlives FreeLibrary, and the silence on builds the plug-in
// does not know.

#include <gtest/gtest.h>

#include <string>

#include "host_process.h"

namespace corvalen::test {
namespace {

const std::string kPlugin = build_path("corvalen.dll");

// The loader is asked to free the plug-in before the first frame: pinned, it
// stays, and every frame still runs through its stubs.
TEST(HostProcess, OnAKnownBuildEverySiteLeadsIntoThePinnedPluginWhichTicksOncePerFrame) {
    for (long build : {1070L, 1080L}) {
        std::string name = std::to_string(build);
        HostRun run = run_host("hostsim/hostsim_" + name + ".exe",
                               {"--plugin", kPlugin, "--frames", "7", "--free-plugin"},
                               fresh_folder("attach-" + name));
        ASSERT_EQ(run.exit_code, 0u) << run.output;
        ASSERT_TRUE(run.has("frame_ticks")) << run.output;
        EXPECT_EQ(run.number("build"), build);
        EXPECT_TRUE(run.flag("pinned")) << run.output;
        EXPECT_EQ(run.number("patched_sites"), 8);
        EXPECT_EQ(run.number("sites_into_plugin"), 8);
        EXPECT_EQ(run.number("frame_ticks"), 7);
        EXPECT_FALSE(run.flag("corrupted")) << run.output;
        EXPECT_TRUE(run.flag("after_eax_ok")) << run.output;
        EXPECT_TRUE(run.flag("script_pointer_ok")) << run.output;
    }
}

TEST(HostProcess, OnAnyOtherBuildThePluginStaysSilent) {
    for (std::string name : {"1071", "10700", "01070", "noversion", "overflow"}) {
        HostRun run =
            run_host("hostsim/hostsim_" + name + ".exe", {"--plugin", kPlugin, "--frames", "5"},
                     fresh_folder("unknown-" + name));
        ASSERT_EQ(run.exit_code, 0u) << run.output;
        ASSERT_TRUE(run.has("patched_sites")) << run.output;
        EXPECT_TRUE(run.flag("plugin_loaded")) << name;
        EXPECT_EQ(run.number("patched_sites"), 0) << name;
        EXPECT_EQ(run.number("natives"), 0) << name;
        EXPECT_EQ(run.number("frame_ticks"), 0) << name;
        EXPECT_FALSE(run.flag("corrupted")) << run.output;
    }
}

}  // namespace
}  // namespace corvalen::test
