// The stand-in's serviceable cars: the object fields the plug-in reads and
// writes, speed and engine as driving sets them, and the natives on tyres,
// extras, doors and repairs.

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kSpeed = 0x16DD2D00;
constexpr std::uint32_t kEngine = 0x0CAA42D0;
constexpr std::uint32_t kTyreBurst = 0x1DF623F9;
constexpr std::uint32_t kFixTyre = 0x0FDA7965;
constexpr std::uint32_t kRepair = 0x3D562F78;
constexpr std::uint32_t kExtraFitted = 0x4B920E81;
constexpr std::uint32_t kSetExtra = 0x05966824;
constexpr std::uint32_t kOpenDoor = 0x1E352CEF;
constexpr std::uint32_t kShutDoor = 0x5E7A620E;
constexpr std::uint32_t kStreetsAt = 0x49763A4F;
constexpr std::uint32_t kStreetName = 0x16E14EA4;

class VehiclePartsTest : public ::testing::Test {
  protected:
    VehiclePartsTest() : car(host.world().vehicles().begin()->first) {}

    Vehicle& vehicle() { return *host.world().vehicle(car); }
    bool ask(std::uint32_t hash, std::int32_t index) {
        return (script.call(hash, {A::arg(car), A::arg(index)}) & 0xFF) != 0;
    }
    float speed() {
        float value = -1.0f;
        script.call(kSpeed, {A::arg(car), A::arg(&value)});
        return value;
    }

    Host host;
    ScriptCaller script{host};
    std::int32_t car;
};

TEST_F(VehiclePartsTest, ACarMovesAtItsSpeedOnlyWhileItsEngineRuns) {
    ASSERT_TRUE(host.enter_vehicle(car));
    EXPECT_TRUE(vehicle().parts.engine_running) << "the driver starts it";
    Vec3 start = vehicle().object.position();
    host.world().set_walk_target({start.x + 20.0f, start.y, start.z}, 10.0f);
    host.run_frame();
    EXPECT_EQ(speed(), 10.0f);

    script.call(kEngine, {A::arg(car), A::arg(false), A::arg(false)});
    Vec3 stalled = vehicle().object.position();
    host.run_frames(3);
    EXPECT_EQ(speed(), 0.0f);
    EXPECT_EQ(vehicle().object.position().x, stalled.x);

    script.call(kEngine, {A::arg(car), A::arg(true), A::arg(true)});
    EXPECT_GT(host.walk_player_to({start.x + 20.0f, start.y, start.z}, 10.0f), 0);
    EXPECT_EQ(speed(), 0.0f) << "arrived";
    EXPECT_EQ(host.world().errors().size(), 0u);
}

TEST_F(VehiclePartsTest, TyresExtrasAndDoorsChangeThroughTheirNatives) {
    vehicle().parts.burst_tyres[2] = true;
    EXPECT_TRUE(ask(kTyreBurst, 2));
    EXPECT_FALSE(ask(kTyreBurst, 1));
    script.call(kFixTyre, {A::arg(car), A::arg(2)});
    EXPECT_FALSE(ask(kTyreBurst, 2));

    EXPECT_FALSE(ask(kExtraFitted, 9));
    script.call(kSetExtra, {A::arg(car), A::arg(9), A::arg(false)});  // false fits it
    EXPECT_TRUE(ask(kExtraFitted, 9));
    script.call(kSetExtra, {A::arg(car), A::arg(9), A::arg(true)});
    EXPECT_FALSE(ask(kExtraFitted, 9));

    script.call(kOpenDoor, {A::arg(car), A::arg(4)});
    EXPECT_TRUE(vehicle().parts.open_doors[4]);
    script.call(kShutDoor, {A::arg(car), A::arg(4)});
    EXPECT_FALSE(vehicle().parts.open_doors[4]);
    EXPECT_TRUE(host.world().errors().empty());

    // Indices beyond a car's parts are calls the game refuses.
    ask(kTyreBurst, 6);
    ask(kExtraFitted, 10);
    script.call(kOpenDoor, {A::arg(car), A::arg(-1)});
    EXPECT_EQ(host.world().errors().size(), 3u);
}

TEST_F(VehiclePartsTest, ANewCarIsSoundAndARepairMakesItSoundAgain) {
    EXPECT_EQ(vehicle_float(vehicle().object, kFuelRecordOffset), 1000.0f);
    EXPECT_EQ(lamp_bytes(vehicle().object), (LampBytes{1, 1, 1, 1}));
    EXPECT_EQ(vehicle_float(vehicle().object, kBodyOffset), 1000.0f);
    set_vehicle_float(vehicle().object, kBodyOffset, 250.0f);
    set_vehicle_float(vehicle().object, kEngineOffset, -40.0f);
    vehicle().parts.burst_tyres = {true, false, true, false, false, true};
    script.call(kRepair, {A::arg(car)});
    EXPECT_EQ(vehicle_float(vehicle().object, kBodyOffset), 1000.0f);
    EXPECT_EQ(vehicle_float(vehicle().object, kEngineOffset), 1000.0f);
    EXPECT_EQ(vehicle().parts.burst_tyres, (std::array<bool, kTyreCount>{}));
}

TEST_F(VehiclePartsTest, AReusedHandleNamesANewVehicle) {
    Vec3 at = vehicle().object.position();
    std::uint32_t model = vehicle().model;
    vehicle().parts.extras[0] = true;
    Vehicle& fresh = host.world().reuse_vehicle_handle(car, vehicle_models()[2].id);
    EXPECT_EQ(fresh.handle, car);
    EXPECT_NE(fresh.model, model);
    EXPECT_EQ(fresh.object.position().x, at.x);
    EXPECT_FALSE(fresh.parts.extras[0]);
}

TEST_F(VehiclePartsTest, StreetsHaveNamesAndOpenGroundANullOne) {
    auto name_at = [&](float x, float y) -> const char* {
        std::int32_t street = -1;
        std::int32_t crossing = -1;
        script.call(kStreetsAt,
                    {A::arg(x), A::arg(y), A::arg(6.0f), A::arg(&street), A::arg(&crossing)});
        return reinterpret_cast<const char*>(
            static_cast<std::uintptr_t>(script.call(kStreetName, {A::arg(street)})));
    };
    EXPECT_STREQ(name_at(-120.0f, 35.0f), "Harbour Road");
    EXPECT_EQ(name_at(700.0f, 700.0f), nullptr);
}

}  // namespace
}  // namespace hostsim
