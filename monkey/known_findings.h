#pragma once
// Findings the monkey already knows of, whose mends are under way elsewhere.
// A finding whose holder is of one of these kinds is counted and shown, but
// does not fail the run. Empty this list as the mends land; every other
// finding fails the run.

#include <array>
#include <string_view>

namespace monkey {

inline constexpr std::array<std::string_view, 2> kKnownForNow = {
    // A garage's debug-mode car blips are kept across a load that removed
    // them with their cars, and removed later.
    "garage debug blip",
    // A service vehicle's group is released after a load removed it.
    "service vehicle group",
};

}  // namespace monkey
