// The garage controller: which cars it stores when the player gets out, what
// taking one out does, what a reload leaves it holding, and its debug blips.

#include "garage/garage_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
using Texts = std::vector<std::string>;

const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;
const std::uint32_t kVan = hostsim::vehicle_models()[2].id;

class GarageControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        std::filesystem::create_directories("corvalen/1");
        garage.emplace();
        garage->set_car_file("corvalen/1/cars.csv");
    }

    hostsim::World& world() { return game().world(); }
    host::Handle add_car(hostsim::Vec3 at) {
        return static_cast<host::Handle>(world().add_vehicle(kCoupe, at, 0.0f).handle);
    }
    hostsim::Vehicle& car(host::Handle handle) {
        return *world().vehicle(static_cast<std::int32_t>(handle));
    }
    hostsim::DrawRecord update() {
        return game_frame([&] { garage->update(); });
    }
    // The player drives the car for a frame and gets out; returns what the
    // frame after shows.
    Texts drive_and_leave(host::Handle handle) {
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

// The first area that holds the car decides, even when its height test fails
// and the second would take the car.
TEST_F(GarageControllerTest, TheFirstAreaThatHoldsACarDecidesWhetherItIsStored) {
    EXPECT_FALSE(garage->add_spot({"", 0.0f, 0.0f, 5.0f, 0, 0}));
    garage->add_spot({"", 100.0f, 0.0f, 5.0f, 10, 1});
    garage->add_spot({"", 100.0f, 0.0f, 5.0f, 20, 0});
    EXPECT_EQ(garage->spots.size(), 2u);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        hostsim::Vec3 at;
        bool held_out, kept;  // the game keeps it out of garages; stored
    };
    const Case cases[] = {
        {{100.0f, 0.0f, 7.0f}, false, true},   {{100.0f, 0.0f, 7.1f}, false, false},
        {{100.0f, 0.0f, 3.0f}, false, true},   {{100.0f, 0.0f, 2.9f}, false, false},
        {{110.0f, 0.0f, 5.0f}, false, true},   {{120.0f, 0.0f, 5.0f}, false, true},
        {{120.01f, 0.0f, 5.0f}, false, false}, {{100.0f, 0.0f, 5.0f}, true, false},
        {{nan, 0.0f, 5.0f}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << " " << c.at.z << " " << c.held_out);
        game().pass_wall_time(6);  // the last notice has gone
        host::Handle handle = add_car(c.at);
        if (c.held_out)
            hostsim::set_vehicle_word(car(handle).object, hostsim::kHoldOffset, 3);
        EXPECT_EQ(drive_and_leave(handle), c.kept ? Texts{"Vehicle Parked"} : Texts{});
        EXPECT_EQ(stored(handle), c.kept);
    }
}

TEST_F(GarageControllerTest, ACarTakenOutLeavesTheStoreAndTheNextCarFile) {
    garage->add_spot({"", 400.0f, 0.0f, 5.0f, 10, 0});
    host::Handle first = add_car({400.0f, 0.0f, 5.0f});
    host::Handle second = add_car({403.0f, 0.0f, 5.0f});
    drive_and_leave(first);
    drive_and_leave(second);
    EXPECT_EQ(hostsim::vehicle_byte(car(second).object, hostsim::kGarageByteOffset), 4);
    EXPECT_EQ(garage->records.at(second).vehicle.area_code, world().area_code());
    EXPECT_EQ(garage->records.at(second).parked_month, 0) << "January, counted from 0";
    world().set_area_code(77);
    car(second).parts.needs_restoring = true;

    game().enter_vehicle(static_cast<std::int32_t>(second));
    update();
    EXPECT_TRUE(garage->taken_out);
    EXPECT_EQ(garage->current, &garage->records.at(second));
    EXPECT_NE(garage->records.at(second).retrieved_at, 0);
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

    // The host gives a destroyed car's handle to the next car it makes:
    // driving that one is no collection of the stored car.
    world().reuse_vehicle_handle(static_cast<std::int32_t>(first), kVan);
    game().enter_vehicle(static_cast<std::int32_t>(first));
    update();
    EXPECT_FALSE(garage->taken_out);
    EXPECT_TRUE(stored(first)) << "the stored car is still owed to the player";
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
        EXPECT_EQ(test::texts_of(update()), Texts{});
        EXPECT_TRUE(garage->stored.empty());
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

// Only the cars in the store that the world still has get a blip. A load
// takes the cars and the blips on them away: debug mode marks the areas and
// the cars of the car file afresh, asking nothing about the old handles.
TEST_F(GarageControllerTest, DebugBlipsMarkTheAreasAndTheStoredCarsStillThere) {
    garage->add_spot({"", 700.0f, 0.0f, 5.0f, 10, 0});
    host::Handle kept = add_car({700.0f, 0.0f, 5.0f});
    host::Handle gone = add_car({702.0f, 0.0f, 5.0f});
    host::Handle collected = add_car({704.0f, 0.0f, 5.0f});
    for (host::Handle handle : {kept, gone, collected})
        drive_and_leave(handle);
    game().enter_vehicle(static_cast<std::int32_t>(collected));
    update();
    world().remove_vehicle(static_cast<std::int32_t>(gone));
    ASSERT_TRUE(garage->write_car_file());
    ASSERT_GT(game().save_game(), 0);
    std::size_t before = world().blip_count();
    // What each blip follows, its colour, display and (for an area) sprite.
    auto shown = [&] {
        Texts texts;
        for (const auto* blips : {&garage->spot_blips, &garage->car_blips}) {
            for (host::Handle blip : *blips) {
                const hostsim::Blip& b = *world().blip(static_cast<std::int32_t>(blip));
                texts.push_back(std::to_string(b.entity) + " " + std::to_string(b.colour) + " " +
                                std::to_string(b.display) +
                                (b.entity == 0 ? " " + std::to_string(b.sprite) : ""));
            }
        }
        return texts;
    };
    game_frame([&] { garage->toggle_blips(); });
    EXPECT_EQ(shown(), (Texts{"0 9 2 79", std::to_string(kept) + " 11 4"}));
    EXPECT_EQ(world().blip_count(), before + 2);
    game_frame([&] { garage->toggle_blips(); });
    EXPECT_EQ(world().blip_count(), before);
    EXPECT_TRUE(garage->spot_blips.empty() && garage->car_blips.empty());

    game_frame([&] { garage->toggle_blips(); });
    ASSERT_TRUE(game().load_game(1));
    game_frame([&] { garage->read_car_file_after_load(); });
    std::vector<host::Handle> cars;
    for (const auto& [handle, block] : garage->stored)
        cars.push_back(handle);
    ASSERT_EQ(cars.size(), 2u) << "the two cars of the car file";
    std::sort(cars.begin(), cars.end());
    EXPECT_EQ(shown(), (Texts{"0 9 2 79", std::to_string(cars[0]) + " 11 4",
                              std::to_string(cars[1]) + " 11 4"}));
    game_frame([&] { garage->toggle_blips(); });
    EXPECT_EQ(world().blip_count(), before);

    // Shown when the controller goes, they go with it.
    game_frame([&] { garage->toggle_blips(); });
    game_frame([&] { garage.reset(); });
    EXPECT_EQ(world().blip_count(), before);
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
