// What the plug-in relies on in the stand-in's world: statistics kept by a
// save, a key press lasting one frame, and positions handed back as fix-ups.

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
constexpr std::uint32_t kKeyPressed = 0x540D127D;
constexpr std::uint32_t kVehiclePosition = 0x2D432EAB;

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

TEST_F(WorldTest, KeyPressLastsExactlyOneFrame) {
    host.press_key(0x58);
    host.world().begin_frame();
    EXPECT_TRUE(as_bool(script.call(kKeyPressed, {A::arg(0x58)})));
    EXPECT_TRUE(as_bool(script.call(kKeyPressed, {A::arg(0x58)}))) << "asked twice in one frame";
    host.world().end_frame();
    host.world().begin_frame();
    EXPECT_FALSE(as_bool(script.call(kKeyPressed, {A::arg(0x58)})));
    host.world().end_frame();
}

TEST_F(WorldTest, VehiclePositionComesBackAsAFixupVector) {
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
}

}  // namespace
}  // namespace hostsim
