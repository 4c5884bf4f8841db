// The Windows platform seam reads the wall clock and the seeds through the
// system's own calls; outside the stand-in they are the real ones.

#include <gtest/gtest.h>

#include <time.h>

#include <cstdlib>

#include "host/platform.h"

namespace {

TEST(PlatformClockWindows, TheWallClockCountsSecondsSinceTheEpochAsTheRunTimeDoes) {
    std::int64_t before = _time64(nullptr);
    std::int64_t seen = corvalen::platform::wall_clock_seconds();
    std::int64_t after = _time64(nullptr);
    EXPECT_GE(seen, before);
    EXPECT_LE(seen, after);
}

TEST(PlatformClockWindows, EachSeedIsDrawnAnew) {
    EXPECT_NE(corvalen::platform::random_seed(), corvalen::platform::random_seed());
}

}  // namespace
