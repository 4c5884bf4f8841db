// The real DLL in the stand-in host process, under Wine: attach, hooks, ticks
// and the silence on builds the plug-in does not know.

#include <gtest/gtest.h>

#include <string>

#include "host_process.h"

namespace corvalen::test {
namespace {

const std::string kPlugin = build_path("corvalen.dll");

struct KnownBuild {
    const char* exe;
    long build;
};

class KnownBuildTest : public ::testing::TestWithParam<KnownBuild> {};

TEST_P(KnownBuildTest, AttachDivertsEverySiteAndTicksOncePerFrame) {
    const KnownBuild& known = GetParam();
    HostRun run = run_host(known.exe, {"--plugin", kPlugin, "--frames", "7"},
                           fresh_folder(std::string("attach-") + std::to_string(known.build)));
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    ASSERT_TRUE(run.has("frame_ticks")) << run.output;
    EXPECT_EQ(run.number("build"), known.build);
    EXPECT_TRUE(run.flag("plugin_loaded"));
    EXPECT_EQ(run.number("patched_sites"), 8);
    EXPECT_EQ(run.number("sites_into_plugin"), 8);
    EXPECT_EQ(run.number("frame_ticks"), 7);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_TRUE(run.flag("after_eax_ok")) << run.output;
    EXPECT_TRUE(run.flag("script_pointer_ok")) << run.output;
    EXPECT_GT(run.number("natives"), 0);
}

TEST_P(KnownBuildTest, FreeingThePinnedPluginLeavesItLoadedAndTicking) {
    const KnownBuild& known = GetParam();
    HostRun run = run_host(known.exe, {"--plugin", kPlugin, "--frames", "4", "--free-plugin"},
                           fresh_folder(std::string("pin-") + std::to_string(known.build)));
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_TRUE(run.flag("pinned")) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 4);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Builds, KnownBuildTest,
                         ::testing::Values(KnownBuild{"hostsim/hostsim_1070.exe", 1070},
                                           KnownBuild{"hostsim/hostsim_1080.exe", 1080}),
                         [](const auto& info) { return std::to_string(info.param.build); });

class UnknownBuildTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnknownBuildTest, PluginStaysSilent) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    HostRun run = run_host(exe, {"--plugin", kPlugin, "--frames", "5"},
                           fresh_folder(std::string("unknown-") + GetParam()));
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    ASSERT_TRUE(run.has("patched_sites")) << run.output;
    EXPECT_TRUE(run.flag("plugin_loaded"));
    EXPECT_EQ(run.number("patched_sites"), 0);
    EXPECT_EQ(run.number("sites_into_plugin"), 0);
    EXPECT_EQ(run.number("frame_ticks"), 0);
    EXPECT_EQ(run.number("natives"), 0);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Builds, UnknownBuildTest,
                         ::testing::Values("1071", "10700", "01070", "noversion", "overflow"));

}  // namespace
}  // namespace corvalen::test
