// The stand-in's car park: models that must exist and be loaded before the
// factory makes a car, a factory that can fail, the values and marks of kept
// cars, the area value, the world's own cars after a load, and the time zone.

#include <gtest/gtest.h>

#include <ctime>

#include "hostsim/host.h"
#include "hostsim/host_abi.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kExtraValue = 0x10237666;
constexpr std::uint32_t kSetExtraValue = 0x2E9E149D;
constexpr std::uint32_t kNeedsRestoring = 0x62EA75E0;
constexpr std::uint32_t kSetRestoringMark = 0x295C4C52;
constexpr std::uint32_t kAreaCode = 0x4E493AAF;
constexpr std::uint32_t kRestoreAreaCode = 0x48ED6432;

const std::uint32_t kCoupe = vehicle_models()[1].id;

class CarParkTest : public ::testing::Test {
  protected:
    std::uint32_t create(std::int32_t index) {
        float matrix[16] = {};
        matrix[kMatrixPositionRow] = 10.0f;
        matrix[kMatrixPositionRow + 2] = 5.0f;
        return host.functions().create_vehicle(host.image().vehicle_factory(), index, 4, matrix, 1);
    }

    Host host;
    ScriptCaller script{host};
};

TEST_F(CarParkTest, TheFactoryMakesOnlyModelsTheGameHasAndHasLoaded) {
    std::int32_t out = 0;
    EXPECT_EQ(host.functions().model_index(0x12345678, &out), -1);
    EXPECT_EQ(out, -1);
    std::int32_t index = host.functions().model_index(kCoupe, nullptr);
    ASSERT_GE(index, 0);

    EXPECT_EQ(create(index), 0u) << "not requested";
    ASSERT_EQ(host.world().errors().size(), 1u);
    host.functions().model_request(index, 0);
    EXPECT_EQ(create(index), 0u) << "requested, not loaded";
    host.functions().load_requested_models(0);

    host.world().set_vehicle_pool_full(true);
    EXPECT_EQ(create(index), 0u) << "no room";
    host.world().set_vehicle_pool_full(false);
    std::uint32_t object = create(index);
    ASSERT_NE(object, 0u);
    std::int32_t handle = host.functions().handle_from_object(host.image().vehicle_pool(), object);
    ASSERT_NE(host.world().vehicle(handle), nullptr);
    EXPECT_EQ(host.world().vehicle(handle)->model, kCoupe);
    EXPECT_EQ(host.world().errors().size(), 2u) << "a full pool is no mistake of the caller";
}

TEST_F(CarParkTest, KeptCarsCarryTheirValueMarkAndArea) {
    std::int32_t car = host.world().vehicles().begin()->first;
    script.call(kSetExtraValue, {A::arg(car), A::arg(-7)});
    std::int32_t value = 0;
    script.call(kExtraValue, {A::arg(car), A::arg(&value)});
    EXPECT_EQ(value, -7);

    EXPECT_FALSE(script.call(kNeedsRestoring, {A::arg(car)}) & 0xFF);
    script.call(kSetRestoringMark, {A::arg(car), A::arg(1)});
    EXPECT_TRUE(script.call(kNeedsRestoring, {A::arg(car)}) & 0xFF);

    EXPECT_EQ(script.call(kAreaCode, {}), host.world().settings().area_code);
    script.call(kRestoreAreaCode, {A::arg(static_cast<std::int32_t>(4000000000u))});
    EXPECT_EQ(script.call(kAreaCode, {}), 4000000000u);
    EXPECT_TRUE(host.world().errors().empty());
}

TEST_F(CarParkTest, ALoadedGameHasItsOwnCarsWhereItParksThem) {
    World& world = host.world();
    std::int32_t coupe = 0;
    for (const auto& [handle, car] : world.vehicles()) {
        if (car.model == kCoupe)
            coupe = handle;
    }
    Vec3 home = world.vehicle(coupe)->object.position();
    host.run_frame();
    ASSERT_GT(host.save_game(), 0);
    ASSERT_TRUE(host.enter_vehicle(coupe));
    world.set_walk_target({home.x + 30.0f, home.y, home.z}, 10.0f);
    host.run_frames(10);
    std::int32_t extra = world.add_vehicle(kCoupe, {0.0f, 0.0f, 5.0f}, 0.0f).handle;

    ASSERT_TRUE(host.load_game(1));
    EXPECT_EQ(world.vehicle(extra), nullptr);
    ASSERT_NE(world.vehicle(coupe), nullptr);
    EXPECT_EQ(world.vehicle(coupe)->object.position().x, home.x);
    EXPECT_EQ(world.player().vehicle, 0);
}

TEST(CarParkTimeZoneTest, TheHostSetsTheProcesssTimeZone) {
    BootOptions options;
    options.world.time_zone = "IST-5:30";
    Host host(options);
    std::time_t midnight = 0;
    std::tm local{};
    localtime_r(&midnight, &local);
    EXPECT_EQ(local.tm_hour, 5);
    EXPECT_EQ(local.tm_min, 30);
}

}  // namespace
}  // namespace hostsim
