// The garage controller: which cars it stores when the player gets out, what
// taking one out does, what a reload leaves it holding, and its debug blips.

#include "garage/garage_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;
const std::uint32_t kVan = hostsim::vehicle_models()[2].id;
constexpr const char* kParked = "Vehicle Parked";

class GarageControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        std::filesystem::create_directories("corvalen/1");
        garage.emplace();
        garage->set_car_file("corvalen/1/cars.csv");
    }

    hostsim::World& world() { return game().world(); }
    host::Handle add_car(hostsim::Vec3 at, std::uint32_t model = kCoupe) {
        return static_cast<host::Handle>(world().add_vehicle(model, at, 0.0f).handle);
    }
    hostsim::Vehicle& car(host::Handle handle) {
        return *world().vehicle(static_cast<std::int32_t>(handle));
    }
    hostsim::DrawRecord update() {
        return game_frame([&] { garage->update(); });
    }
    // The player drives the car for a frame, gets out, and the frame after
    // shows what parking did.
    std::vector<std::string> drive_and_leave(host::Handle handle) {
        game().enter_vehicle(static_cast<std::int32_t>(handle));
        update();
        game().leave_vehicle();
        update();
        return test::texts_of(update());
    }
    bool stored(host::Handle handle) const { return garage->stored.count(handle) != 0; }

    test::WorkingFolder folder;
    std::optional<GarageController> garage;
};

TEST_F(GarageControllerTest, ACarExactlyAtTheRadiusIsStoredAndOneBeyondIsNot) {
    garage->add_spot({"", 100.0f, 100.0f, 5.0f, 10, 0});
    host::Handle at_radius = add_car({110.0f, 100.0f, 5.0f});
    host::Handle beyond = add_car({100.0f, 110.01f, 5.0f});

    EXPECT_EQ(drive_and_leave(beyond), std::vector<std::string>());
    EXPECT_FALSE(stored(beyond));
    EXPECT_EQ(drive_and_leave(at_radius), std::vector<std::string>{kParked});
    EXPECT_TRUE(stored(at_radius));
    EXPECT_EQ(hostsim::vehicle_byte(car(at_radius).object, hostsim::kGarageByteOffset), 4);
    EXPECT_EQ(garage->records.at(at_radius).vehicle.area_code, world().area_code());
}

// The first area that holds the car decides, even when its height test fails
// and a later one would take the car.
TEST_F(GarageControllerTest, OfOverlappingAreasTheFirstDecides) {
    garage->add_spot({"", 200.0f, 0.0f, 5.0f, 10, 1});
    garage->add_spot({"", 200.0f, 0.0f, 5.0f, 20, 0});
    struct Case {
        float z;
        bool kept;
    };
    for (Case c : {Case{7.0f, true}, Case{7.1f, false}, Case{2.9f, false}, Case{3.0f, true}}) {
        SCOPED_TRACE(c.z);
        host::Handle handle = add_car({200.0f, 0.0f, c.z});
        drive_and_leave(handle);
        EXPECT_EQ(stored(handle), c.kept);
    }
}

TEST_F(GarageControllerTest, SpotsWithoutRadiusAndCarsHeldOutOfGaragesAreRefused) {
    EXPECT_FALSE(garage->add_spot({"", 0.0f, 0.0f, 5.0f, 0, 0}));
    EXPECT_TRUE(garage->spots.empty());
    garage->add_spot({"", 300.0f, 0.0f, 5.0f, 10, 0});
    host::Handle held = add_car({300.0f, 0.0f, 5.0f});
    hostsim::set_vehicle_word(car(held).object, hostsim::kHoldOffset, 3);
    EXPECT_EQ(drive_and_leave(held), std::vector<std::string>());
    EXPECT_FALSE(stored(held));
}

TEST_F(GarageControllerTest, ACarTakenOutLeavesTheStoreAndTheNextCarFile) {
    garage->add_spot({"", 400.0f, 0.0f, 5.0f, 10, 0});
    host::Handle first = add_car({400.0f, 0.0f, 5.0f});
    host::Handle second = add_car({403.0f, 0.0f, 5.0f});
    drive_and_leave(first);
    drive_and_leave(second);
    world().set_area_code(77);
    car(second).parts.needs_restoring = true;

    game().enter_vehicle(static_cast<std::int32_t>(second));
    update();
    EXPECT_TRUE(garage->taken_out);
    ASSERT_NE(garage->current, nullptr);
    EXPECT_EQ(garage->current, &garage->records.at(second));
    EXPECT_NE(garage->current->retrieved_at, 0);
    EXPECT_FALSE(stored(second));
    EXPECT_EQ(world().area_code(), hostsim::WorldSettings().area_code) << "restored";
    EXPECT_FALSE(car(second).parts.needs_restoring);
    update();
    EXPECT_FALSE(garage->taken_out) << "for one frame only";
    EXPECT_EQ(garage->current, nullptr);

    ASSERT_TRUE(garage->write_car_file());
    EXPECT_EQ(test::read_file("corvalen/1/cars.csv"), garage->car_line(first));

    // Left in the area again, it is stored with a new stamp.
    std::int32_t first_stamp = garage->records.at(second).parked_at;
    game().pass_game_time(60000);
    game().leave_vehicle();
    update();
    EXPECT_TRUE(stored(second));
    EXPECT_GT(garage->records.at(second).parked_at, first_stamp);
}

// The host gives a destroyed car's handle to the next car it makes: driving
// that one is no collection of the stored car.
TEST_F(GarageControllerTest, AReusedHandleIsNotTheStoredCar) {
    garage->add_spot({"", 500.0f, 0.0f, 5.0f, 10, 0});
    host::Handle handle = add_car({500.0f, 0.0f, 5.0f});
    drive_and_leave(handle);
    ASSERT_TRUE(stored(handle));
    world().reuse_vehicle_handle(static_cast<std::int32_t>(handle), kVan);

    game().enter_vehicle(static_cast<std::int32_t>(handle));
    update();
    EXPECT_FALSE(garage->taken_out);
    EXPECT_EQ(garage->current, nullptr);
    EXPECT_TRUE(stored(handle)) << "the stored car is still owed to the player";
    EXPECT_EQ(garage->records.at(handle).vehicle.model, kCoupe);
}

TEST_F(GarageControllerTest, AReloadWhileDrivingThenAFrameOnFootNeitherParksNorCrashes) {
    garage->add_spot({"", 600.0f, 0.0f, 5.0f, 10, 0});
    for (bool car_survives : {true, false}) {
        SCOPED_TRACE(car_survives);
        host::Handle handle = add_car({600.0f, 0.0f, 5.0f});
        game().enter_vehicle(static_cast<std::int32_t>(handle));
        update();
        game_frame([&] { garage->read_car_file(); });
        if (car_survives) {
            game().leave_vehicle();
        } else {
            world().remove_vehicle(static_cast<std::int32_t>(handle));
        }
        EXPECT_EQ(test::texts_of(update()), std::vector<std::string>());
        EXPECT_TRUE(garage->stored.empty());
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

TEST_F(GarageControllerTest, DebugBlipsMarkTheAreasAndTheStoredCarsStillThere) {
    garage->add_spot({"", 700.0f, 0.0f, 5.0f, 10, 0});
    garage->add_spot({"", 800.0f, 0.0f, 5.0f, 10, 0});
    host::Handle kept = add_car({700.0f, 0.0f, 5.0f});
    host::Handle gone = add_car({702.0f, 0.0f, 5.0f});
    host::Handle collected = add_car({800.0f, 0.0f, 5.0f});
    for (host::Handle handle : {kept, gone, collected})
        drive_and_leave(handle);
    // Collected and driven away from the areas, so getting out parks nothing.
    game().enter_vehicle(static_cast<std::int32_t>(collected));
    update();
    game().teleport_player({0.0f, 0.0f, 5.0f});
    game().leave_vehicle();
    update();
    world().remove_vehicle(static_cast<std::int32_t>(gone));

    std::size_t before = world().blip_count();
    game_frame([&] { garage->toggle_blips(); });
    EXPECT_EQ(world().blip_count(), before + 3);
    std::vector<std::int32_t> on_cars;
    std::vector<std::int32_t> sprites;
    for (host::Handle blip : garage->blips) {
        const hostsim::Blip* shown = world().blip(static_cast<std::int32_t>(blip));
        ASSERT_NE(shown, nullptr);
        if (shown->entity != 0) {
            on_cars.push_back(shown->entity);
            EXPECT_EQ(shown->colour, 11);
            EXPECT_EQ(shown->display, 4);
        } else {
            EXPECT_EQ(shown->colour, 9);
            EXPECT_EQ(shown->sprite, 79);
            EXPECT_EQ(shown->display, 2);
        }
    }
    EXPECT_EQ(on_cars, std::vector<std::int32_t>{static_cast<std::int32_t>(kept)});

    game_frame([&] { garage->toggle_blips(); });
    EXPECT_EQ(world().blip_count(), before);
    EXPECT_TRUE(garage->blips.empty());

    // Shown when the controller goes, they go with it.
    game_frame([&] { garage->toggle_blips(); });
    game_frame([&] { garage.reset(); });
    EXPECT_EQ(world().blip_count(), before);
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
