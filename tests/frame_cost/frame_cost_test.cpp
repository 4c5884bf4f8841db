// What a frame of the game costs the mod, counted rather than timed so that
// a regression fails on any machine: a steady frame allocates nothing on the
// heap, and an idle frame asks the game only what it needs.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <sstream>

#include "bench/frame_rig.h"
#include "host/host_game.h"

namespace corvalen::bench {
namespace {

// An idle frame on foot with nothing near: the save identity, whether the
// game plays, six key presses and one held key, the player index and his
// character once each, four in-vehicle checks and one on-foot check.
constexpr std::uint64_t kIdleFrameNatives = 16;
const std::filesystem::path kSample = std::filesystem::path(CORVALEN_SOURCE_DIR) / "data/corvalen";

// Moves on whenever a service tries to make a vehicle.
std::array<std::uint32_t, 3> spawn_times(Mod& mod) {
    return {mod.bus.next_spawn_time, mod.boat.next_spawn_time, mod.ship.next_spawn_time};
}

// Frames in which no vehicle was made (a new one is a record and a history
// of its own) allocate nothing, wherever the player is and whatever shows.
TEST(FrameCostTest, SteadyFramesMakeNoHeapAllocation) {
    FrameRig rig(kSample);
    rig.frames(5);
    struct Case {
        const char* where;
        hostsim::Vec3 at;
        bool menu;
    };
    for (Case c : {Case{"on foot", {-120.0f, 35.0f, 6.0f}, false},
                   Case{"at a gas station", {-59.0f, 28.5f, 5.0f}, false},
                   Case{"at a house for sale", {-29.5f, 110.0f, 6.0f}, false},
                   Case{"with the menu open", {-120.0f, 35.0f, 6.0f}, true}}) {
        rig.stand_at(c.at);
        if (c.menu != rig.mod().main_menu.open)
            rig.host().press_key(static_cast<std::uint8_t>(host::ScanCode::F12));
        rig.frames(3);
        int steady = 0;
        for (int i = 0; i < 600; ++i) {
            std::array<std::uint32_t, 3> before = spawn_times(rig.mod());
            FrameCost cost = rig.frame();
            if (spawn_times(rig.mod()) != before)
                continue;
            ++steady;
            ASSERT_EQ(cost.allocations, 0u) << c.where << ", frame " << i;
        }
        EXPECT_GT(steady, 500) << c.where;
    }
}

// Any native more is a cost in every frame of the game.
TEST(FrameCostTest, AnIdleFrameCallsOnlyTheNativesItNeeds) {
    FrameRig rig;
    rig.frames(5);
    std::uint64_t before = rig.host().native_call_count();
    rig.frame();
    std::map<std::uint32_t, int> calls;
    for (const hostsim::NativeCall& call : rig.host().native_log()) {
        if (call.frame == rig.host().frame())
            ++calls[call.hash];
    }
    std::ostringstream seen;
    for (auto [hash, count] : calls)
        seen << std::hex << hash << " x" << std::dec << count << "\n";
    EXPECT_EQ(rig.host().native_call_count() - before, kIdleFrameNatives) << seen.str();
}

}  // namespace
}  // namespace corvalen::bench
