#include "host/host_version.h"

#include <gtest/gtest.h>

#include "fresh_process.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using platform::FileVersion;
using test::HostFileVersion;
using test::require;

// A build code comes only from four one-digit numbers, the first not 0; only
// the two known builds select offsets. Digit strings that merely read as
// 1070 ("01070", "0100") or overflow an int are no build code.
TEST(BuildCode, FromTheFourNumbersToTheSelector) {
    const struct {
        FileVersion version;
        std::int32_t code;
        std::int32_t selector;
    } cases[] = {
        {{1, 0, 7, 0}, 1070, kSelector1070},    {{1, 0, 8, 0}, 1080, kSelector1080},
        {{1, 0, 7, 1}, 1071, kUnknownBuild},    {{0, 10, 7, 0}, 0, kUnknownBuild},
        {{0, 1, 0, 0}, 0, kUnknownBuild},       {{10, 7, 0, 0}, 0, kUnknownBuild},
        {{2, 1, 47483, 647}, 0, kUnknownBuild}, {{65535, 65535, 65535, 65535}, 0, kUnknownBuild},
    };
    for (const auto& c : cases) {
        std::int32_t code = build_code_from_version(c.version);
        EXPECT_EQ(code, c.code) << c.version.major << "." << c.version.minor << "."
                                << c.version.build << "." << c.version.revision;
        EXPECT_EQ(selector_for_build(code), c.selector) << c.code;
    }
}

TEST(Resolve, UnknownBuildOrNoVersionResolvesEverythingToZero) {
    for (HostFileVersion version : {HostFileVersion{{1, 0, 7, 1}}, HostFileVersion{}}) {
        test::run_in_fresh_process([version] {
            test::test_host_version() = version;
            test::boot_test_host();
            require(resolve(kNativeLookup) == 0 && resolve(kHookSites[7]) == 0, "nothing resolves");
            require(host_version_initialised() && host_selector() == kUnknownBuild, "selector 0");
        });
    }
}

}  // namespace
}  // namespace corvalen::host
