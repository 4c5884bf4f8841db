#include "host/host_version.h"

#include <gtest/gtest.h>

#include "fresh_process.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using platform::FileVersion;
using test::require;

TEST(BuildCode, JoinsTheFourNumbersInDecimal) {
    EXPECT_EQ(build_code_from_version(FileVersion{1, 0, 7, 0}), 1070);
    EXPECT_EQ(build_code_from_version(FileVersion{1, 0, 8, 0}), 1080);
    EXPECT_EQ(build_code_from_version(FileVersion{1, 0, 7, 1}), 1071);
    EXPECT_EQ(build_code_from_version(FileVersion{10, 7, 0, 0}), 10700);
    EXPECT_EQ(build_code_from_version(FileVersion{0, 1, 0, 0}), 100);
    EXPECT_EQ(build_code_from_version(FileVersion{0, 0, 0, 0}), 0);
}

TEST(BuildCode, DigitStringsBeyondThe32BitRangeGiveZero) {
    EXPECT_EQ(build_code_from_version(FileVersion{2, 1, 47483, 647}), 2147483647);
    EXPECT_EQ(build_code_from_version(FileVersion{2, 1, 47483, 648}), 0);
    EXPECT_EQ(build_code_from_version(FileVersion{65535, 65535, 65535, 65535}), 0);
}

TEST(BuildCode, OnlyTheTwoKnownBuildsSelectOffsets) {
    EXPECT_EQ(selector_for_build(1070), kSelector1070);
    EXPECT_EQ(selector_for_build(1080), kSelector1080);
    for (std::int32_t other : {0, -1, 1071, 10700, 107, 2147483647}) {
        EXPECT_EQ(selector_for_build(other), kUnknownBuild) << other;
    }
}

TEST(Resolve, AddsTheSelectedBuildsOffsetToTheBase) {
    constexpr HostAddress location{0x1A76D0, 0x226AF0};
    EXPECT_EQ(resolve_for(HostVersion{true, kSelector1070, 0x400000}, location), 0x5A76D0u);
    EXPECT_EQ(resolve_for(HostVersion{true, kSelector1080, 0x400000}, location), 0x626AF0u);
    EXPECT_EQ(resolve_for(HostVersion{true, kUnknownBuild, 0x400000}, location), 0u);
    // 32-bit addresses wrap like the host's.
    EXPECT_EQ(resolve_for(HostVersion{true, kSelector1070, 0xFFFFF000}, HostAddress{0x2000, 0}),
              0x1000u);
}

TEST(Resolve, TwoLocationsOnOneBuildDifferByTheirOffsets) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, 8, 0};
        test::boot_test_host();
        std::uint32_t lookup = resolve(kNativeLookup);
        std::uint32_t timer = resolve(kGameTimer);
        require(host_version_initialised(), "detected on first resolve");
        require(host_selector() == kSelector1080, "1.0.8.0 selects the second column");
        require(lookup == platform::host_module_base() + kNativeLookup.offset_1080,
                "offset from the module base");
        require(timer - lookup == kGameTimer.offset_1080 - kNativeLookup.offset_1080,
                "difference of the offsets");
        require(resolve(0x10, 0x20) == platform::host_module_base() + 0x20, "pair form");
    });
}

TEST(Resolve, UnknownBuildResolvesEverythingToZero) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, 7, 1};
        test::boot_test_host();
        require(resolve(kNativeLookup) == 0, "1.0.7.1 is unknown");
        require(host_version_initialised() && host_selector() == kUnknownBuild, "selector 0");
        require(resolve(0, 0) == 0 && resolve(kHookSites[7]) == 0, "any pair gives 0");
    });
}

TEST(Resolve, ExecutableWithoutVersionIsUnknown) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::nullopt;
        test::boot_test_host();
        require(detect_host_version() == 0, "no version reads as code 0");
        require(resolve(kHookSites[0]) == 0, "nothing resolves");
    });
}

}  // namespace
}  // namespace corvalen::host
