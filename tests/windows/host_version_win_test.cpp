// The fixed file version read from real PE files, field by field. (That the
// running executable is the one asked, and which builds count, the host
// process tests show with the real DLL.)

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "host/platform.h"
#include "host_process.h"

namespace corvalen::platform {
namespace {

std::string probe(const std::string& name) {
    return test::build_path("hostsim/hostsim_" + name + ".exe");
}

TEST(FileVersion, EachOfTheFourNumbersFromItsOwnHalfWord) {
    auto version = file_version_of(probe("1071").c_str());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ((std::array{version->major, version->minor, version->build, version->revision}),
              (std::array<std::uint16_t, 4>{1, 0, 7, 1}));
    EXPECT_FALSE(file_version_of(probe("noversion").c_str()).has_value());
    EXPECT_FALSE(file_version_of(test::build_path("no/such/file.exe").c_str()).has_value());
}

}  // namespace
}  // namespace corvalen::platform
