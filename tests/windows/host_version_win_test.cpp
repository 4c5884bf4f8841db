// Build detection against real PE files with and without version resources.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "host/host_version.h"
#include "host/platform.h"
#include "host_process.h"

namespace corvalen::host {
namespace {

// The stand-in host's executables differ only in their version resources.
std::string probe(const std::string& name) {
    return test::build_path("hostsim/hostsim_" + name + ".exe");
}

struct Probe {
    const char* name;
    platform::FileVersion version;
    std::int32_t code;
    std::int32_t selector;
};

TEST(HostVersionFiles, ReadsTheFixedFileVersionOfEachProbe) {
    const Probe probes[] = {
        {"1070", {1, 0, 7, 0}, 1070, kSelector1070},
        {"1080", {1, 0, 8, 0}, 1080, kSelector1080},
        {"1071", {1, 0, 7, 1}, 1071, kUnknownBuild},
        {"10700", {10, 7, 0, 0}, 0, kUnknownBuild},
        {"01070", {0, 10, 7, 0}, 0, kUnknownBuild},
        {"overflow", {65535, 65535, 65535, 65535}, 0, kUnknownBuild},
    };
    for (const Probe& p : probes) {
        auto version = platform::file_version_of(probe(p.name).c_str());
        ASSERT_TRUE(version.has_value()) << p.name;
        EXPECT_EQ(
            (std::array{version->major, version->minor, version->build, version->revision}),
            (std::array{p.version.major, p.version.minor, p.version.build, p.version.revision}))
            << p.name;
        std::int32_t code = build_code_from_version(*version);
        EXPECT_EQ(code, p.code) << p.name;
        EXPECT_EQ(selector_for_build(code), p.selector) << p.name;
    }
}

TEST(HostVersionFiles, FilesWithoutVersionResourceHaveNone) {
    EXPECT_FALSE(platform::file_version_of(probe("noversion").c_str()).has_value());
    EXPECT_FALSE(
        platform::file_version_of(test::build_path("no/such/file.exe").c_str()).has_value());
}

TEST(HostVersionFiles, ThePluginCarriesItsOwnVersion) {
    auto version = platform::file_version_of(test::build_path("corvalen.dll").c_str());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(build_code_from_version(*version), 1000);
}

TEST(HostVersionFiles, TheRunningExecutableIsTheOneAsked) {
    // This test program carries no version resource: an unknown build.
    EXPECT_FALSE(platform::host_file_version().has_value());
    EXPECT_EQ(detect_host_version(), 0);
    EXPECT_EQ(resolve(kNativeLookup), 0u);
    EXPECT_EQ(host_selector(), kUnknownBuild);
    EXPECT_NE(platform::host_module_base(), 0u);
}

}  // namespace
}  // namespace corvalen::host
