// The vehicle controls: indicators and hazard lights, doors, and the
// roadside repair with its five seconds and five metres.

#include "autoservice/vehicle_controls.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

#include "game_frame.h"

namespace corvalen {
namespace {

using host::ScanCode;
using test::game;
using test::game_frame;

constexpr hostsim::Vec3 kRoad{400.0f, -300.0f, 6.0f};

std::uint8_t code(ScanCode key) {
    return static_cast<std::uint8_t>(key);
}

class VehicleControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        game().teleport_player(kRoad);
        car = &game().world().add_vehicle(hostsim::vehicle_models()[0].id, kRoad, 0.0f);
        game().enter_vehicle(car->handle);
        update();
    }
    void TearDown() override { game().release_key(code(ScanCode::LeftShift)); }

    hostsim::DrawRecord update(std::initializer_list<ScanCode> pressed = {}) {
        for (ScanCode key : pressed)
            game().press_key(code(key));
        return game_frame([&] { controls.update(); });
    }
    void hold_shift() { game().hold_key(code(ScanCode::LeftShift)); }
    // Out of the car, standing `metres` from it.
    void step_out(float metres) {
        game().leave_vehicle();
        hostsim::Vec3 at = car->object.position();
        game().teleport_player({at.x + metres, at.y, at.z});
    }
    hostsim::LampBytes lamps() const { return hostsim::lamp_bytes(car->object); }
    float field(std::uint32_t offset) const { return hostsim::vehicle_float(car->object, offset); }

    VehicleControls controls;
    hostsim::Vehicle* car = nullptr;
};

// Frames of keys: "," comma, "." full stop, ",." both together.
TEST_F(VehicleControlsTest, IndicatorsAndHazardsFollowCommaAndFullStop) {
    struct Case {
        std::vector<std::string> frames;
        bool left, right, hazard;
        hostsim::LampBytes lamps;
    };
    const Case cases[] = {
        {{","}, true, false, false, {0, 1, 0, 1}},
        {{"."}, false, true, false, {1, 0, 1, 0}},
        {{",", "."}, false, false, false, {1, 1, 1, 1}},  // the key switches the other side off
        {{".", ","}, false, false, false, {1, 1, 1, 1}},
        {{",."}, false, false, true, {0, 0, 0, 0}},
        {{",.", ",."}, false, false, false, {1, 1, 1, 1}},
        {{",", ",."}, false, false, true, {0, 0, 0, 0}},
        {{",.", ","}, true, false, false, {0, 1, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.frames));
        controls.left_on = controls.right_on = controls.hazard_on = false;
        for (const std::string& keys : c.frames) {
            for (char key : keys)
                game().press_key(code(key == ',' ? ScanCode::Comma : ScanCode::FullStop));
            game_frame([&] { controls.update(); });
        }
        EXPECT_EQ(std::tuple(controls.left_on, controls.right_on, controls.hazard_on),
                  std::tuple(c.left, c.right, c.hazard));
        EXPECT_EQ(lamps(), c.lamps);
        EXPECT_EQ(car->parts.indicators, c.lamps != hostsim::LampBytes({1, 1, 1, 1}));
    }
}

TEST_F(VehicleControlsTest, ShiftAndTheKeypadOpenAndShutEachDoor) {
    const ScanCode keys[] = {ScanCode::Numpad4, ScanCode::Numpad6, ScanCode::Numpad1,
                             ScanCode::Numpad3, ScanCode::Numpad8, ScanCode::Numpad2};
    update({ScanCode::Numpad4});
    EXPECT_FALSE(car->parts.open_doors[0]) << "not without Shift";
    hold_shift();
    for (int door = 0; door < 6; ++door) {
        SCOPED_TRACE(door);
        update({keys[door]});
        EXPECT_TRUE(car->parts.open_doors[static_cast<std::size_t>(door)]);
        update({keys[door]});
        EXPECT_FALSE(car->parts.open_doors[static_cast<std::size_t>(door)]);
    }

    // On foot, bonnet and boot only.
    step_out(2.0f);
    update({ScanCode::Numpad8, ScanCode::Numpad2, ScanCode::Numpad4});
    EXPECT_EQ(car->parts.open_doors, (std::array<bool, 6>{false, false, false, false, true, true}));

    // Another vehicle starts with its doors as they are: Shift+8 opens its bonnet.
    car = &game().world().add_vehicle(hostsim::vehicle_models()[1].id, kRoad, 0.0f);
    game().enter_vehicle(car->handle);
    update({ScanCode::Numpad8});
    EXPECT_TRUE(car->parts.open_doors[4]);
    EXPECT_TRUE(game().world().errors().empty());
}

// Walking 5 m away or getting in cancels a repair; a new one takes five fresh
// seconds; one that ends improves body and engine by 50, never beyond sound.
// A vehicle that is gone cancels it too.
TEST_F(VehicleControlsTest, ARoadsideRepairTakesFiveSecondsNearTheCar) {
    hostsim::set_vehicle_float(car->object, hostsim::kBodyOffset, 900.0f);
    hostsim::set_vehicle_float(car->object, hostsim::kEngineOffset, 1100.0f);
    step_out(3.0f);
    hold_shift();
    update({ScanCode::F});
    EXPECT_TRUE(car->parts.open_doors[4]) << "the bonnet is up";
    step_out(5.0f);
    update();
    EXPECT_FALSE(controls.fixing) << "5 m is too far";
    game().pass_game_time(6000);
    step_out(3.0f);
    update({ScanCode::F});
    game().pass_game_time(4000);
    update();
    EXPECT_EQ(field(hostsim::kBodyOffset), 900.0f) << "five fresh seconds";
    game().enter_vehicle(car->handle);
    update();
    EXPECT_FALSE(controls.fixing) << "back in the vehicle";
    step_out(3.0f);
    game().pass_game_time(2000);
    update();
    EXPECT_EQ(field(hostsim::kBodyOffset), 900.0f);

    car->parts.engine_running = false;
    update({ScanCode::F});
    game().pass_game_time(4900);
    std::vector<std::string> texts = texts_of(update());
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 2),
              (std::vector<std::string>{"Fixing vehicle...", "body"}));
    EXPECT_EQ(field(hostsim::kBodyOffset), 900.0f);
    game().pass_game_time(200);
    update();
    EXPECT_FALSE(controls.fixing);
    EXPECT_EQ(field(hostsim::kBodyOffset), 950.0f);
    EXPECT_EQ(field(hostsim::kEngineOffset), 1000.0f);
    EXPECT_TRUE(car->parts.engine_running);
    EXPECT_FALSE(car->parts.open_doors[4]);

    update({ScanCode::F});
    game().world().remove_vehicle(car->handle);
    update({ScanCode::Numpad8});
    EXPECT_FALSE(controls.fixing);
    update({ScanCode::F});
    EXPECT_FALSE(controls.fixing);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
