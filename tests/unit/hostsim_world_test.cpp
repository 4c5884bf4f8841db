// What the plug-in relies on in the stand-in's world that its own tests
// cannot show: positions handed back as fix-ups, saves and loads, street
// names and where people may be spawned.

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kIntStat = 0x48994D58;
constexpr std::uint32_t kSetIntStat = 0x1B64665B;
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
    EXPECT_EQ(context.fixup_value[0].z, at.z);
    EXPECT_EQ(position[0], 0.0f) << "left for the caller to copy";

    script.call(0x2D432EAB, {A::arg(car.handle), A::arg(&position[0]), A::arg(&position[1]),
                             A::arg(&position[2])});
    EXPECT_EQ(position[2], at.z) << "copied as a script does";
}

// A loaded game starts from its own world: the statistics and the timer it
// was saved with, and nothing made since the start.
TEST(WorldTest, ALoadGivesBackTheSavedGameAndTakesAwayWhatWasMadeSince) {
    Host host;
    ScriptCaller script(host);
    script.call(kSetIntStat, {A::arg(429), A::arg(7)});
    script.call(kSetFloatStat, {A::arg(210), A::arg(12.5f)});
    host.run_frames(2);
    ASSERT_GT(host.save_game(), 0);
    script.call(kSetIntStat, {A::arg(429), A::arg(99)});
    script.call(kSetFloatStat, {A::arg(210), A::arg(-1.0f)});
    std::int32_t bus = host.world().add_vehicle(0xD577C962, {0.0f, 0.0f, 6.0f}, 0.0f).handle;
    std::int32_t on_bus = 0;
    std::int32_t fixed = 0;
    script.call(0x6D21564D, {A::arg(bus), A::arg(&on_bus)});
    script.call(0x3E7D3074, {A::arg(1.0f), A::arg(2.0f), A::arg(3.0f), A::arg(&fixed)});
    host.run_frames(5);

    ASSERT_TRUE(host.world().load_save(1));
    host.run_frame();
    EXPECT_EQ(script.call(kIntStat, {A::arg(429)}), 7u);
    EXPECT_EQ(host.world().float_stat(210), 12.5f);
    EXPECT_EQ(host.world().game_timer(), host.world().saves().at(1).game_timer) << "back";
    EXPECT_EQ(host.world().vehicle(bus), nullptr);
    EXPECT_EQ(host.world().blip(on_bus), nullptr);
    EXPECT_NE(host.world().blip(fixed), nullptr);
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

// Backing out closes the screen at once, and a game that saves at the end
// of it then saves nothing.
TEST(WorldTest, BackingOutOfTheSaveScreenSavesNothing) {
    BootOptions options;
    options.world.save_written_at_open = false;
    Host game(options);
    ScriptCaller caller(game);
    game.run_frame();
    caller.call(kOpenSaveScreen, {});
    game.run_frame();
    ASSERT_TRUE(game.world().non_playing());
    game.world().cancel_save_screen();
    game.run_frame();
    EXPECT_FALSE(game.world().non_playing());
    game.run_frames(40);
    EXPECT_EQ(game.world().saves().count(1), 0u);
}

// Where the map names no street its name is null, not empty.
TEST(WorldTest, StreetsHaveNamesAndSpawnPointsLieOnLandBesideThePoint) {
    Host host;
    ScriptCaller script(host);
    auto name_at = [&](float x, float y) {
        std::int32_t street = -1;
        std::int32_t crossing = -1;
        script.call(0x49763A4F,
                    {A::arg(x), A::arg(y), A::arg(6.0f), A::arg(&street), A::arg(&crossing)});
        return reinterpret_cast<const char*>(
            static_cast<std::uintptr_t>(script.call(0x16E14EA4, {A::arg(street)})));
    };
    EXPECT_STREQ(name_at(-120.0f, 35.0f), "Harbour Road");
    EXPECT_EQ(name_at(700.0f, 700.0f), nullptr);

    float x = 0, y = 0, z = 0, heading = 0;
    std::int32_t node = 0;
    auto spawn_near = [&](Vec3 near) {
        return (script.call(0x63C00DE7, {A::arg(near.x), A::arg(near.y), A::arg(near.z),
                                         A::arg(1.0f), A::arg(1), A::arg(&x), A::arg(&y),
                                         A::arg(&z), A::arg(&heading), A::arg(&node)}) &
                0xFF) != 0;
    };
    ASSERT_TRUE(spawn_near({-120.0f, 35.0f, 6.0f}));
    EXPECT_EQ(x, -118.0f);
    EXPECT_EQ(y, 35.0f);
    EXPECT_EQ(z, 6.0f);
    EXPECT_FALSE(spawn_near({0.0f, 700.0f, 1.0f})) << "at sea";
}

}  // namespace
}  // namespace hostsim
