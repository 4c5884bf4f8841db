// The stand-in's world as the plug-in relies on it, driven through its
// natives the way a script calls them.

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kIntStat = 0x48994D58;
constexpr std::uint32_t kSetIntStat = 0x1B64665B;
constexpr std::uint32_t kFloatStat = 0x1D801FC0;
constexpr std::uint32_t kSetFloatStat = 0x5213511B;
constexpr std::uint32_t kNotPlaying = 0x34F9164D;
constexpr std::uint32_t kOpenSaveScreen = 0x78AC735F;
constexpr std::uint32_t kKeyPressed = 0x540D127D;
constexpr std::uint32_t kKeyHeld = 0x5FA96262;
constexpr std::uint32_t kCreateBlip = 0x3E7D3074;
constexpr std::uint32_t kRemoveBlip = 0x7BBF3625;
constexpr std::uint32_t kBlipSprite = 0x6A90123D;
constexpr std::uint32_t kBlipName = 0x6C9F2330;
constexpr std::uint32_t kTextScale = 0x02C069E5;
constexpr std::uint32_t kTextColour = 0x19C967B5;
constexpr std::uint32_t kText = 0x661B239A;
constexpr std::uint32_t kRectangle = 0x3B2526E3;
constexpr std::uint32_t kVehiclePosition = 0x2D432EAB;
constexpr std::uint32_t kAddCash = 0x537379A8;
constexpr std::uint32_t kPlayerHandleNative = 0x5996315E;
constexpr std::uint32_t kClock = 0x384B3876;
constexpr std::uint32_t kPlayerCharacter = 0x511454A9;
constexpr std::uint32_t kInVehicle = 0x1DBD7385;
constexpr std::uint32_t kVehicleOfCharacter = 0x1B067237;
constexpr std::uint32_t kDriver = 0x22457083;
constexpr std::uint32_t kNearestVehicle = 0x2CB303F8;
constexpr std::uint32_t kSeatFree = 0x1BDA0DA5;
constexpr std::uint32_t kWarpIntoSeat = 0x0A2C70AF;
constexpr std::uint32_t kStreetsAt = 0x49763A4F;
constexpr std::uint32_t kStreetName = 0x16E14EA4;

bool as_bool(std::uint32_t slot) {
    return (slot & 0xFF) != 0;
}
float as_float(std::uint32_t slot) {
    return std::bit_cast<float>(slot);
}

class WorldTest : public ::testing::Test {
  protected:
    Host host;
    ScriptCaller script{host};

    bool not_playing() { return as_bool(script.call(kNotPlaying, {})); }
};

TEST_F(WorldTest, StatisticsSurviveSaveAndLoadWhileLaterChangesAreLost) {
    script.call(kSetIntStat, {A::arg(429), A::arg(7)});
    script.call(kSetFloatStat, {A::arg(210), A::arg(12.5f)});
    host.run_frames(2);
    ASSERT_GT(host.save_game(), 0);

    script.call(kSetIntStat, {A::arg(429), A::arg(99)});
    script.call(kSetFloatStat, {A::arg(210), A::arg(-1.0f)});
    host.run_frames(5);
    std::uint32_t timer_before_load = host.world().game_timer();

    ASSERT_TRUE(host.world().load_save(1));
    host.run_frame();
    EXPECT_EQ(script.call(kIntStat, {A::arg(429)}), 7u);
    EXPECT_EQ(as_float(script.call(kFloatStat, {A::arg(210)})), 12.5f);
    // The loaded game's timer is the saved one: it jumps back.
    EXPECT_EQ(host.world().game_timer(), host.world().saves().at(1).game_timer);
    EXPECT_LT(host.world().game_timer(), timer_before_load);
    EXPECT_FALSE(host.world().load_save(2)) << "nothing was saved in slot 2";
}

TEST_F(WorldTest, SaveScreenGivesNonPlayingFramesThenSavesAtItsEnd) {
    host.world().set_float_stat(211, 3.0f);
    host.world().begin_frame();
    script.call(kOpenSaveScreen, {});
    EXPECT_FALSE(not_playing()) << "the frame in which it is opened still plays";
    host.world().end_frame();

    int frames = host.world().settings().save_screen_frames;
    for (int i = 0; i < frames; ++i) {
        host.world().begin_frame();
        EXPECT_TRUE(not_playing()) << "frame " << i;
        EXPECT_TRUE(host.world().saves().empty()) << "saved early, frame " << i;
        host.world().end_frame();
    }
    ASSERT_EQ(host.world().saves().count(1), 1u);
    EXPECT_EQ(host.world().saves().at(1).float_stats.at(211), 3.0f);
    host.world().begin_frame();
    EXPECT_FALSE(not_playing());
    host.world().end_frame();
}

TEST(WorldSaveTest, SaveWrittenAtOpenHappensBeforeAnyNonPlayingFrame) {
    WorldSettings settings;
    settings.save_written_at_open = true;
    World world(settings);
    world.begin_frame();
    world.set_float_stat(210, 8.0f);
    world.open_save_screen();
    world.end_frame();
    ASSERT_EQ(world.saves().count(1), 1u);
    EXPECT_EQ(world.saves().at(1).float_stats.at(210), 8.0f);

    world.begin_frame();
    EXPECT_TRUE(world.non_playing());
    world.set_float_stat(210, 0.0f);  // what a plug-in's autosave may do now
    world.end_frame();
    for (int i = 1; i < settings.save_screen_frames; ++i) {
        world.begin_frame();
        world.end_frame();
    }
    EXPECT_FALSE(world.save_screen_open());
    EXPECT_EQ(world.saves().at(1).float_stats.at(210), 8.0f) << "saved once, at the opening";

    // Opened between frames, it is written before the next frame runs.
    world.set_float_stat(210, 9.0f);
    world.open_save_screen();
    world.begin_frame();
    EXPECT_EQ(world.saves().at(1).float_stats.at(210), 9.0f);
    world.end_frame();
}

TEST_F(WorldTest, LoadingGivesNonPlayingFramesAndRemovesVehiclesCreatedSince) {
    host.save_game();
    host.world().add_vehicle(0xD577C962, {0.0f, 0.0f, 5.0f}, 0.0f);
    std::size_t with_new = host.world().vehicles().size();
    ASSERT_TRUE(host.world().load_save(1));
    host.world().begin_frame();
    EXPECT_TRUE(not_playing());
    EXPECT_EQ(host.world().vehicles().size(), with_new - 1);
    host.world().end_frame();
}

TEST_F(WorldTest, KeyPressLastsExactlyOneFrameAndHoldPressesOnlyWhenItStarts) {
    host.press_key(0x58);
    host.world().begin_frame();
    EXPECT_TRUE(as_bool(script.call(kKeyPressed, {A::arg(0x58)})));
    EXPECT_TRUE(as_bool(script.call(kKeyPressed, {A::arg(0x58)}))) << "asked twice in one frame";
    EXPECT_FALSE(as_bool(script.call(kKeyHeld, {A::arg(0x58)})));
    host.world().end_frame();
    host.world().begin_frame();
    EXPECT_FALSE(as_bool(script.call(kKeyPressed, {A::arg(0x58)})));
    host.world().end_frame();

    host.hold_key(0x38);
    host.run_frame();
    EXPECT_TRUE(host.world().key_pressed(0x38));
    EXPECT_TRUE(host.world().key_held(0x38));
    host.run_frame();
    EXPECT_FALSE(host.world().key_pressed(0x38));
    EXPECT_TRUE(as_bool(script.call(kKeyHeld, {A::arg(0x38)})));
    host.release_key(0x38);
    host.run_frame();
    EXPECT_FALSE(host.world().key_held(0x38));
}

TEST_F(WorldTest, BlipsAreCountedStyledAndBadRemovalsRecorded) {
    std::int32_t first = 0;
    std::int32_t second = 0;
    script.call(kCreateBlip, {A::arg(1.0f), A::arg(2.0f), A::arg(3.0f), A::arg(&first)});
    script.call(kCreateBlip, {A::arg(4.0f), A::arg(5.0f), A::arg(6.0f), A::arg(&second)});
    ASSERT_NE(first, 0);
    ASSERT_NE(second, first);
    EXPECT_EQ(host.world().blip_count(), 2u);

    script.call(kBlipSprite, {A::arg(first), A::arg(79)});
    script.call(kBlipName, {A::arg(first), A::arg("Gas station")});
    EXPECT_EQ(host.world().blip(first)->sprite, 79);
    EXPECT_EQ(host.world().blip(first)->name, "Gas station");
    EXPECT_EQ(host.world().blip(first)->position.y, 2.0f);

    script.call(kRemoveBlip, {A::arg(first)});
    EXPECT_EQ(host.world().blip_count(), 1u);
    EXPECT_TRUE(host.world().errors().empty());
    script.call(kRemoveBlip, {A::arg(first)});
    EXPECT_EQ(host.world().blip_count(), 1u);
    EXPECT_EQ(host.world().errors().size(), 1u) << "a blip removed twice is a leak elsewhere";
}

TEST_F(WorldTest, DrawRecordKeepsScaleAndColourForTheNextTextOnly) {
    host.world().begin_frame();
    script.call(kTextScale, {A::arg(0.35f), A::arg(0.4f)});
    script.call(kTextColour, {A::arg(0), A::arg(87), A::arg(233), A::arg(255)});
    script.call(kText, {A::arg(0.1f), A::arg(0.2f), A::arg("STRING"), A::arg("Bus Service")});
    script.call(kText, {A::arg(0.7f), A::arg(0.13f), A::arg("STRING"), A::arg("help")});
    script.call(kRectangle, {A::arg(0.5f), A::arg(0.5f), A::arg(0.2f), A::arg(0.1f), A::arg(0),
                             A::arg(0), A::arg(0), A::arg(128)});
    script.call(kText, {A::arg(0.1f), A::arg(0.1f), A::arg("OTHER"), A::arg("not shown")});
    script.call(kTextScale, {A::arg(2.0f), A::arg(2.0f)});  // never used this frame
    host.world().end_frame();

    const DrawRecord& drawn = host.world().last_frame_draws();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(describe(drawn[0]),
              "text \"Bus Service\" at (0.100,0.200) scale (0.350,0.400) colour (0,87,233,255)");
    EXPECT_EQ(describe(drawn[1]),
              "text \"help\" at (0.700,0.130) scale (1.000,1.000) colour (255,255,255,255)");
    EXPECT_EQ(describe(drawn[2]),
              "rectangle at (0.500,0.500) size (0.200,0.100) colour (0,0,0,128)");
    EXPECT_EQ(host.world().errors().size(), 1u);

    host.world().begin_frame();
    script.call(kText, {A::arg(0.1f), A::arg(0.1f), A::arg("STRING"), A::arg("next frame")});
    host.world().end_frame();
    ASSERT_EQ(host.world().last_frame_draws().size(), 1u);
    EXPECT_EQ(host.world().last_frame_draws()[0].width, kDefaultTextScale);
}

TEST_F(WorldTest, VehiclePositionComesBackAsAFixupVectorForAContiguousDestination) {
    const Vehicle& car = host.world().vehicles().begin()->second;
    Vec3 at = car.object.position();
    float position[3] = {0.0f, 0.0f, 0.0f};

    corvalen::host::NativeContext context;
    ASSERT_TRUE(script.call_raw(
        kVehiclePosition,
        {A::arg(car.handle), A::arg(&position[0]), A::arg(&position[1]), A::arg(&position[2])},
        context));
    ASSERT_EQ(context.fixup_count, 1u);
    EXPECT_EQ(context.fixup_destination[0], A::arg(&position[0]));
    EXPECT_EQ(context.fixup_value[0].x, at.x);
    EXPECT_EQ(context.fixup_value[0].z, at.z);
    EXPECT_EQ(position[0], 0.0f) << "left for the caller to copy";

    script.call(kVehiclePosition, {A::arg(car.handle), A::arg(&position[0]), A::arg(&position[1]),
                                   A::arg(&position[2])});
    EXPECT_EQ(position[0], at.x);
    EXPECT_EQ(position[1], at.y);
    EXPECT_EQ(position[2], at.z);

    // Scattered destinations get their floats written directly, no fix-up.
    float x = 0.0f;
    float z = 0.0f;
    float y = 0.0f;
    ASSERT_TRUE(script.call_raw(kVehiclePosition,
                                {A::arg(car.handle), A::arg(&x), A::arg(&y), A::arg(&z)}, context));
    EXPECT_EQ(context.fixup_count, 0u);
    EXPECT_EQ(y, at.y);
}

TEST_F(WorldTest, CashChangesThroughThePlayerHandleAndIsReadAsStatistic108) {
    std::uint32_t handle = script.call(kPlayerHandleNative, {A::arg(0)});
    script.call(kAddCash, {handle, A::arg(-250)});
    EXPECT_EQ(as_float(script.call(kFloatStat, {A::arg(108)})), 4750.0f);
    script.call(kAddCash, {A::arg(1234), A::arg(100)});
    EXPECT_EQ(host.world().cash(), 4750.0f) << "neither the player's handle nor index";
}

TEST_F(WorldTest, ClockRunsAtGameRateAndRollsOverIntoTheNextDay) {
    host.world().set_clock(23, 59);
    std::int32_t hour = -1;
    std::int32_t minute = -1;
    script.call(kClock, {A::arg(&hour), A::arg(&minute)});
    EXPECT_EQ(hour, 23);
    EXPECT_EQ(minute, 59);
    std::int32_t days = host.world().int_stat(kDayCountStat);
    host.pass_game_time(2000);  // one game minute
    script.call(kClock, {A::arg(&hour), A::arg(&minute)});
    EXPECT_EQ(hour, 0);
    EXPECT_EQ(minute, 0);
    EXPECT_EQ(host.world().int_stat(kDayCountStat), days + 1);
    EXPECT_EQ(host.world().clock().day, 2);
}

TEST_F(WorldTest, PlayerGetsIntoTheNearestVehicleAsPassengerAndDrivesAnotherOne) {
    std::int32_t me = 0;
    script.call(kPlayerCharacter, {A::arg(0), A::arg(&me)});
    ASSERT_EQ(me, host.world().player_character());
    Vec3 here = host.world().player_position();
    auto near = static_cast<std::int32_t>(script.call(
        kNearestVehicle,
        {A::arg(here.x), A::arg(here.y), A::arg(here.z), A::arg(20.0f), A::arg(0), A::arg(70)}));
    ASSERT_NE(near, 0);
    EXPECT_TRUE(as_bool(script.call(kSeatFree, {A::arg(near), A::arg(0)})));
    script.call(kWarpIntoSeat, {A::arg(me), A::arg(near), A::arg(0), A::arg(0)});
    EXPECT_TRUE(as_bool(script.call(kInVehicle, {A::arg(me)})));
    EXPECT_FALSE(as_bool(script.call(kSeatFree, {A::arg(near), A::arg(0)})));
    std::int32_t driver = -1;
    script.call(kDriver, {A::arg(near), A::arg(&driver)});
    EXPECT_EQ(driver, 0) << "nobody drives a parked car";

    std::int32_t other = 0;
    for (const auto& [handle, car] : host.world().vehicles()) {
        if (handle != near)
            other = handle;
    }
    ASSERT_TRUE(host.enter_vehicle(other));
    std::int32_t mine = 0;
    script.call(kVehicleOfCharacter, {A::arg(me), A::arg(&mine)});
    EXPECT_EQ(mine, other);
    EXPECT_EQ(host.world().vehicle(near)->passengers[0], 0) << "left the first one";

    // Driving moves the vehicle, and the player with it.
    int frames = host.walk_player_to({500.0f, 35.0f, 6.0f}, 20.0f);
    EXPECT_GT(frames, 0);
    EXPECT_EQ(host.world().vehicle(other)->object.position().x, 500.0f);
    EXPECT_EQ(host.world().player_position().x, 500.0f);
}

TEST_F(WorldTest, StreetsAreNamedByPosition) {
    std::int32_t street = -1;
    std::int32_t crossing = -1;
    Vec3 start = host.world().settings().player_start;
    script.call(kStreetsAt, {A::arg(start.x), A::arg(start.y), A::arg(start.z), A::arg(&street),
                             A::arg(&crossing)});
    auto name = [this](std::int32_t id) {
        return std::string(reinterpret_cast<const char*>(
            static_cast<std::uintptr_t>(script.call(kStreetName, {A::arg(id)}))));
    };
    EXPECT_EQ(name(street), "Harbour Road");
    EXPECT_EQ(name(crossing), "Cedar Avenue");
    EXPECT_EQ(name(0), "");
}

}  // namespace
}  // namespace hostsim
