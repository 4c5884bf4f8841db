// The stand-in's traffic as the transit service relies on it: vehicles from
// the factory laid out like the game's, drivers and their orders, blocked
// vehicles, releases that leave handles dead, and a load that takes
// everything made since the start with it.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

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
constexpr std::uint32_t kCreateGroup = 0x78300C0C;
constexpr std::uint32_t kAddToGroup = 0x5E0F611E;
constexpr std::uint32_t kReleaseCharacter = 0x0B774604;
constexpr std::uint32_t kReleaseVehicle = 0x20C76FD1;
constexpr std::uint32_t kReleaseGroup = 0x250C2D39;
constexpr std::uint32_t kVehicleExists = 0x67A42263;
constexpr std::uint32_t kBlipOnVehicle = 0x6D21564D;
constexpr std::uint32_t kCreateBlip = 0x3E7D3074;

float as_float(std::int32_t bits) {
    return std::bit_cast<float>(bits);
}

class TrafficTest : public ::testing::Test {
  protected:
    // A bus from the factory at a point, facing north.
    std::int32_t factory_bus(Vec3 at) {
        HostFunctions& game = host.functions();
        std::int32_t index = game.model_index(kBus, nullptr);
        game.model_request(index, 0);
        game.load_requested_models(0);
        float matrix[16] = {};
        matrix[12] = at.x;
        matrix[13] = at.y;
        matrix[14] = at.z;
        matrix[15] = 1.0f;
        std::uint32_t object =
            game.create_vehicle(host.image().vehicle_factory(), index, 2, matrix, 1);
        return object == 0 ? 0 : game.handle_from_object(host.image().vehicle_pool(), object);
    }
    std::int32_t driver_of(std::int32_t bus) {
        std::int32_t driver = 0;
        script.call(kCreateDriver, {A::arg(bus), A::arg(&driver)});
        return driver;
    }
    void drive_to(std::int32_t driver, std::int32_t bus, Vec3 to, float speed, std::int32_t style,
                  float range) {
        script.call(kDriveTo, {A::arg(driver), A::arg(bus), A::arg(to.x), A::arg(to.y),
                               A::arg(to.z), A::arg(speed), A::arg(0), A::arg(0), A::arg(style),
                               A::arg(range), A::arg(-1)});
    }
    float read_float(std::uint32_t hash, std::int32_t handle) {
        std::int32_t bits = 0;
        script.call(hash, {A::arg(handle), A::arg(&bits)});
        return as_float(bits);
    }
    Vec3 at(std::int32_t vehicle) { return host.world().vehicle(vehicle)->object.position(); }

    Host host;
    ScriptCaller script{host};
};

TEST_F(TrafficTest, FactoryVehiclesAreLaidOutLikeTheGames) {
    std::int32_t bus = factory_bus({10.0f, 20.0f, 6.0f});
    ASSERT_NE(bus, 0);
    const Vehicle& car = *host.world().vehicle(bus);
    auto* bytes = reinterpret_cast<const std::uint8_t*>(car.object.address());
    EXPECT_EQ(bytes[kVehicleSeatCountOffset], 8) << "a bus has eight passenger seats";
    std::uint32_t matrix = 0;
    std::memcpy(&matrix, bytes + kObjectMatrixPointer, sizeof(matrix));
    EXPECT_EQ(reinterpret_cast<const float*>(matrix)[kMatrixPositionRow + 1], 20.0f);
    EXPECT_EQ(host.world().traffic().vehicles_created, 1);

    host.world().set_vehicle_pool_full(true);
    std::size_t before = host.world().vehicles().size();
    EXPECT_EQ(factory_bus({0.0f, 0.0f, 6.0f}), 0);
    EXPECT_EQ(host.world().vehicles().size(), before);
    EXPECT_TRUE(host.world().errors().empty()) << "a full pool is the game's, not a mistake";
}

TEST_F(TrafficTest, ADriveToAPointBrakesAndComesToRestWithinItsRange) {
    std::int32_t bus = factory_bus({0.0f, 0.0f, 6.0f});
    std::int32_t driver = driver_of(bus);
    ASSERT_NE(driver, 0);
    EXPECT_EQ(host.world().vehicle(bus)->driver, driver);
    drive_to(driver, bus, {100.0f, 0.0f, 5.0f}, 8.0f, 1, 15.0f);

    host.run_frames(30);  // one second: accelerating at 4 m/s per second
    EXPECT_NEAR(read_float(kSpeed, bus), 4.0f, 0.2f);
    EXPECT_NEAR(read_float(kHeading, bus), 270.0f, 0.01f) << "east of north, counter-clockwise";
    host.run_frames(60);
    EXPECT_NEAR(read_float(kSpeed, bus), 8.0f, 0.01f) << "the ordered speed";

    int frames = 0;
    while (read_float(kSpeed, bus) > 0.0f && frames++ < 1000)
        host.run_frame();
    EXPECT_NEAR(at(bus).x, 85.0f, 0.01f) << "at rest at the edge of the range";
    EXPECT_EQ(at(bus).z, 6.0f);
    EXPECT_EQ(host.world().traffic().arrivals, 1);
    host.run_frames(10);
    EXPECT_EQ(host.world().traffic().arrivals, 1) << "one arrival per order";
    EXPECT_TRUE(host.world().errors().empty()) << host.world().errors().front().text;
}

TEST_F(TrafficTest, WanderingKeepsTheHeadingAndABlockedVehicleOnlyPushesThrough) {
    std::int32_t bus = factory_bus({0.0f, 0.0f, 6.0f});
    std::int32_t driver = driver_of(bus);
    script.call(kWander, {A::arg(driver), A::arg(bus), A::arg(10.0f), A::arg(1)});
    host.run_frames(100);
    EXPECT_GT(at(bus).y, 10.0f) << "north, its heading";
    EXPECT_EQ(at(bus).x, 0.0f);

    host.world().set_blocked(bus, true);
    float y = at(bus).y;
    host.run_frames(30);
    EXPECT_EQ(at(bus).y, y);
    EXPECT_EQ(read_float(kSpeed, bus), 0.0f);
    script.call(kWander, {A::arg(driver), A::arg(bus), A::arg(10.0f), A::arg(2)});
    host.run_frames(30);
    EXPECT_GT(at(bus).y, y);

    std::int32_t stranger = driver_of(factory_bus({50.0f, 0.0f, 6.0f}));
    script.call(kWander, {A::arg(stranger), A::arg(bus), A::arg(10.0f), A::arg(1)});
    ASSERT_EQ(host.world().errors().size(), 1u);
    EXPECT_NE(host.world().errors()[0].text.find("does not drive"), std::string::npos);
}

TEST_F(TrafficTest, ReleasedHandlesNoLongerResolve) {
    std::int32_t bus = factory_bus({0.0f, 0.0f, 6.0f});
    std::int32_t driver = driver_of(bus);
    std::int32_t group = 0;
    script.call(kCreateGroup, {A::arg(0), A::arg(&group), A::arg(true)});
    script.call(kAddToGroup, {A::arg(group), A::arg(driver)});
    std::size_t vehicles = host.world().vehicles().size();
    ASSERT_EQ(host.world().characters().size(), 2u);
    ASSERT_EQ(host.world().groups().size(), 1u);

    script.call(kReleaseCharacter, {A::arg(&driver)});
    script.call(kReleaseVehicle, {A::arg(&bus)});
    script.call(kReleaseGroup, {A::arg(group)});
    EXPECT_EQ(host.world().vehicles().size(), vehicles - 1);
    EXPECT_EQ(host.world().characters().size(), 1u);
    EXPECT_TRUE(host.world().groups().empty());
    EXPECT_EQ(host.world().traffic().vehicles_released, 1);
    EXPECT_TRUE(host.world().errors().empty());

    EXPECT_EQ(script.call(kVehicleExists, {A::arg(bus)}) & 0xFF, 0u);
    EXPECT_TRUE(host.world().errors().empty()) << "asking whether it exists is no mistake";
    script.call(kSpeed, {A::arg(bus), A::arg(&group)});
    script.call(kReleaseCharacter, {A::arg(&driver)});
    script.call(kReleaseGroup, {A::arg(group)});
    std::int32_t player = host.world().player_character();
    script.call(kReleaseCharacter, {A::arg(&player)});
    EXPECT_EQ(host.world().errors().size(), 4u) << "each call on a dead handle, and the player";
}

TEST_F(TrafficTest, ALoadTakesAwayWhatWasMadeSinceTheStart) {
    host.run_frames(2);
    ASSERT_GT(host.save_game(), 0);
    std::int32_t bus = factory_bus({0.0f, 0.0f, 6.0f});
    driver_of(bus);
    std::int32_t group = 0;
    script.call(kCreateGroup, {A::arg(0), A::arg(&group), A::arg(true)});
    std::int32_t on_bus = 0;
    script.call(kBlipOnVehicle, {A::arg(bus), A::arg(&on_bus)});
    std::int32_t fixed = 0;
    script.call(kCreateBlip, {A::arg(1.0f), A::arg(2.0f), A::arg(3.0f), A::arg(&fixed)});

    ASSERT_TRUE(host.load_game(1));
    EXPECT_EQ(host.world().vehicle(bus), nullptr);
    EXPECT_EQ(host.world().characters().size(), 1u) << "only the player";
    EXPECT_TRUE(host.world().groups().empty());
    EXPECT_EQ(host.world().blip(on_bus), nullptr);
    EXPECT_NE(host.world().blip(fixed), nullptr);
}

}  // namespace
}  // namespace hostsim
