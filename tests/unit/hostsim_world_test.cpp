// What the plug-in relies on in the stand-in's world that its own tests
// cannot show: positions handed back as fix-ups, the moment a save is
// written, and where people may be spawned.

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kSetFloatStat = 0x5213511B;
constexpr std::uint32_t kOpenSaveScreen = 0x78AC735F;

// A script's three out-addresses make one vector: the game leaves it for the
// caller to copy back rather than writing it.
TEST(WorldTest, VehiclePositionComesBackAsAFixupVector) {
    Host host;
    ScriptCaller script(host);
    const Vehicle& car = host.world().vehicles().begin()->second;
    Vec3 at = car.object.position();
    float position[3] = {0.0f, 0.0f, 0.0f};
    corvalen::host::NativeContext context;
    ASSERT_TRUE(script.call_raw(
        0x2D432EAB,
        {A::arg(car.handle), A::arg(&position[0]), A::arg(&position[1]), A::arg(&position[2])},
        context));
    ASSERT_EQ(context.fixup_count, 1u);
    EXPECT_EQ(context.fixup_destination[0], A::arg(&position[0]));
    EXPECT_EQ(context.fixup_value[0].x, at.x);
    EXPECT_EQ(context.fixup_value[0].z, at.z);
    EXPECT_EQ(position[0], 0.0f) << "left for the caller to copy";
}

// A statistic set as the save screen opens, and changed again in its first
// frame: which of them the save holds depends on when the game writes it.
TEST(WorldTest, TheSaveHoldsTheStatisticsOfItsMoment) {
    for (bool at_open : {false, true}) {
        SCOPED_TRACE(at_open ? "written at open" : "written at the end");
        BootOptions options;
        options.world.save_written_at_open = at_open;
        Host game(options);
        ScriptCaller caller(game);
        game.run_frame();
        caller.call(kSetFloatStat, {A::arg(210), A::arg(12.5f)});
        caller.call(kOpenSaveScreen, {});
        game.run_frame();
        EXPECT_TRUE(game.world().non_playing());
        caller.call(kSetFloatStat, {A::arg(210), A::arg(0.0f)});
        game.run_frames(40);
        ASSERT_EQ(game.world().saves().count(1), 1u);
        EXPECT_EQ(game.world().saves().at(1).float_stats.at(210), at_open ? 12.5f : 0.0f);
    }
}

TEST(WorldTest, SpawnPointsLieOnLandBesideThePointAndNowhereAtSea) {
    Host host;
    ScriptCaller script(host);
    float x = 0, y = 0, z = 0, heading = 0;
    std::int32_t node = 0;
    auto ask = [&](Vec3 near) {
        return (script.call(0x63C00DE7, {A::arg(near.x), A::arg(near.y), A::arg(near.z),
                                         A::arg(1.0f), A::arg(1), A::arg(&x), A::arg(&y),
                                         A::arg(&z), A::arg(&heading), A::arg(&node)}) &
                0xFF) != 0;
    };
    ASSERT_TRUE(ask({-120.0f, 35.0f, 6.0f}));
    EXPECT_EQ(x, -118.0f);
    EXPECT_EQ(y, 35.0f);
    EXPECT_EQ(z, 6.0f);
    EXPECT_FALSE(ask({0.0f, 700.0f, 1.0f}));
}

}  // namespace
}  // namespace hostsim
