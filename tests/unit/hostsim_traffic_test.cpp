// The stand-in's traffic and cars as the transit service and the auto service
// rely on them: drivers and their orders, blocked vehicles, released
// vehicles and a repair.

#include <gtest/gtest.h>

#include <bit>

#include "hostsim/host.h"
#include "hostsim/host_abi.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kBus = 0xD577C962;
constexpr std::uint32_t kCreateDriver = 0x31CD5F18;
constexpr std::uint32_t kDriveTo = 0x69715285;
constexpr std::uint32_t kWander = 0x1E9635A9;
constexpr std::uint32_t kSpeed = 0x16DD2D00;
constexpr std::uint32_t kHeading = 0x46803CFA;

class TrafficTest : public ::testing::Test {
  protected:
    TrafficTest() : bus(host.world().add_vehicle(kBus, {0.0f, 0.0f, 6.0f}, 0.0f).handle) {
        script.call(kCreateDriver, {A::arg(bus), A::arg(&driver)});
    }
    float read_float(std::uint32_t hash) {
        float value = -1.0f;
        script.call(hash, {A::arg(bus), A::arg(&value)});
        return value;
    }
    void wander(std::int32_t who, std::int32_t style) {
        script.call(kWander, {A::arg(who), A::arg(bus), A::arg(10.0f), A::arg(style)});
    }
    Vec3 at() { return host.world().vehicle(bus)->object.position(); }

    Host host;
    ScriptCaller script{host};
    std::int32_t bus;
    std::int32_t driver = 0;
};

TEST_F(TrafficTest, ADriveToAPointAcceleratesBrakesAndComesToRestWithinItsRange) {
    ASSERT_EQ(host.world().vehicle(bus)->driver, driver);
    auto* object =
        reinterpret_cast<const std::uint8_t*>(host.world().vehicle(bus)->object.address());
    EXPECT_EQ(object[kVehicleSeatCountOffset], 8) << "a bus's passenger seats";
    script.call(kDriveTo,
                {A::arg(driver), A::arg(bus), A::arg(100.0f), A::arg(0.0f), A::arg(5.0f),
                 A::arg(8.0f), A::arg(0), A::arg(0), A::arg(1), A::arg(15.0f), A::arg(-1)});
    host.run_frames(30);  // one second: accelerating at 4 m/s per second
    EXPECT_NEAR(read_float(kSpeed), 4.0f, 0.2f);
    EXPECT_NEAR(read_float(kHeading), 270.0f, 0.01f) << "east, counter-clockwise from north";
    host.run_frames(60);
    EXPECT_NEAR(read_float(kSpeed), 8.0f, 0.01f) << "the ordered speed";
    host.run_frames(600);
    EXPECT_NEAR(at().x, 85.0f, 0.01f) << "at rest at the edge of the range";
    EXPECT_EQ(read_float(kSpeed), 0.0f);
    EXPECT_EQ(host.world().traffic().arrivals, 1) << "one arrival per order";
    EXPECT_TRUE(host.world().errors().empty());
}

TEST_F(TrafficTest, AWandererKeepsItsHeadingAndABlockedOneMovesOnlyWhenPushingThrough) {
    wander(driver, 1);
    host.run_frames(100);
    EXPECT_GT(at().y, 10.0f) << "north, its heading";
    EXPECT_EQ(at().x, 0.0f);
    host.world().set_blocked(bus, true);
    float y = at().y;
    host.run_frames(30);
    EXPECT_EQ(at().y, y);
    EXPECT_EQ(read_float(kSpeed), 0.0f);
    wander(driver, 2);
    host.run_frames(30);
    EXPECT_GT(at().y, y);
    EXPECT_TRUE(host.world().errors().empty());
    wander(host.world().player_character(), 1);
    EXPECT_EQ(host.world().errors().size(), 1u) << "an order for one who does not drive it";
}

TEST_F(TrafficTest, AReleasedVehicleIsGoneAndTheScriptsVariableCleared) {
    std::int32_t variable = bus;
    script.call(0x20C76FD1, {A::arg(&variable)});
    EXPECT_EQ(variable, 0);
    EXPECT_EQ(host.world().vehicle(bus), nullptr);
    EXPECT_EQ(host.world().traffic().vehicles_released, 1);
    EXPECT_TRUE(host.world().errors().empty());
    read_float(kSpeed);
    EXPECT_EQ(host.world().errors().size(), 1u) << "a call on a dead handle";
}

TEST_F(TrafficTest, ARepairMakesACarSoundAndPartsBeyondItsOwnAreRefused) {
    Vehicle& car = *host.world().vehicle(bus);
    set_vehicle_float(car.object, kBodyOffset, 250.0f);
    set_vehicle_float(car.object, kEngineOffset, -40.0f);
    car.parts.burst_tyres = {true, false, true, false, false, true};
    script.call(0x3D562F78, {A::arg(bus)});
    EXPECT_EQ(vehicle_float(car.object, kBodyOffset), 1000.0f);
    EXPECT_EQ(vehicle_float(car.object, kEngineOffset), 1000.0f);
    EXPECT_EQ(car.parts.burst_tyres, (std::array<bool, kTyreCount>{}));
    EXPECT_TRUE(host.world().errors().empty());
    script.call(0x1DF623F9, {A::arg(bus), A::arg(6)});   // tyre 6 burst?
    script.call(0x4B920E81, {A::arg(bus), A::arg(10)});  // extra 10 fitted?
    script.call(0x1E352CEF, {A::arg(bus), A::arg(-1)});  // open door -1
    EXPECT_EQ(host.world().errors().size(), 3u);
}

}  // namespace
}  // namespace hostsim
