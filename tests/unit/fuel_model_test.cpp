// The fuel model: the fuel data it reads, the fill a vehicle starts with and
// keeps in its fuel record, consumption, refuelling, the spare can, the
// odometer and the fuel display.

#include "autoservice/fuel_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "core/dice.h"
#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

const std::uint32_t kEstate = hostsim::vehicle_models()[0].id;  // 60 L, 10 km/l below
const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;   // no tank, no mileage below
constexpr hostsim::Vec3 kRoad{400.0f, -300.0f, 6.0f};
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

class FuelModelTest : public ::testing::Test {
  protected:
    // The estate's first row (its model written signed) gives way to the
    // later one; rows that hold no model are skipped.
    void SetUp() override {
        test::write_file("corvalen/fuel_data.csv",
                         "Estate,-1977860603,70,9,1,\r\n"
                         "name,model,tank,km,extra,\n"
                         "Van,1,60,fast,0,\n"
                         "Van,1,60,10.5,\n"
                         "Minus,6,-20,10,0,\n"
                         "Estate," +
                             std::to_string(kEstate) + ",60,10,0,\n" + "Broken," +
                             std::to_string(kCoupe) + ",0,0,0,\n");
        game().leave_vehicle();
        game().teleport_player(kRoad);
    }

    FuelModel& model() {
        if (!fuel)
            fuel.emplace(&config);
        return *fuel;
    }
    hostsim::Vehicle& add_car(std::uint32_t car_model, float fuel_record = 1000.0f) {
        hostsim::Vehicle& car = game().world().add_vehicle(car_model, kRoad, 0.0f);
        set_field(car, hostsim::kFuelRecordOffset, fuel_record);
        return car;
    }
    // The player drives the car and the fuel model takes it up.
    FuelState& drive(hostsim::Vehicle& car) {
        game().enter_vehicle(car.handle);
        update();
        FuelState* state = model().state_of(static_cast<host::Handle>(car.handle));
        EXPECT_NE(state, nullptr);
        return *state;
    }
    void leave() {
        game().leave_vehicle();
        update();
    }
    hostsim::DrawRecord update(bool refuelling = false) {
        return game_frame([&] { model().update(refuelling); });
    }
    static float fuel_record(const hostsim::Vehicle& car) {
        return hostsim::vehicle_float(car.object, hostsim::kFuelRecordOffset);
    }
    static void set_field(hostsim::Vehicle& car, std::uint32_t offset, float value) {
        hostsim::set_vehicle_float(car.object, offset, value);
    }

    test::WorkingFolder folder;
    Config config;
    std::optional<FuelModel> fuel;
};

// The fill left in a vehicle travels in its fuel record; a vehicle the fuel
// model forgot, or a new one on a reused handle, starts from its record.
TEST_F(FuelModelTest, TheFillLeftInAVehicleTravelsInItsFuelRecord) {
    hostsim::Vehicle& estate = add_car(kEstate);
    FuelState& state = drive(estate);
    state.litres = 30.0f;
    leave();
    EXPECT_EQ(fuel_record(estate), 1500.0f);

    // Entered again, the vehicle gets its own record back and keeps its fuel.
    drive(estate);
    EXPECT_EQ(fuel_record(estate), 1000.0f);
    EXPECT_NEAR(state.litres, 30.0f, 0.001f);
    state.litres = 30.0f;
    leave();

    // After a reload (or a re-creation from a car file) the record is all
    // that is left; one beyond a full tank counts as full.
    model().forget_vehicles();
    struct Case {
        float record, litres;
    };
    const Case cases[] = {{1500.0f, 30.0f},
                          {1999.9f, 59.94f},
                          {2500.0f, 60.0f},
                          {std::numeric_limits<float>::infinity(), 60.0f}};
    for (Case c : cases) {
        SCOPED_TRACE(c.record);
        set_field(estate, hostsim::kFuelRecordOffset, c.record);
        EXPECT_NEAR(drive(estate).litres, c.litres, 0.001f);
        leave();
        model().forget_vehicles();
    }

    // A reload while driving forgets the vehicle: it is taken up afresh.
    drive(estate);
    model().forget_vehicles();
    EXPECT_EQ(update().size(), 5u);
    EXPECT_NE(model().state_of(static_cast<host::Handle>(estate.handle)), nullptr);

    // The host gives a gone vehicle's handle to its next one: a new tank.
    leave();
    hostsim::Vehicle& coupe = game().world().reuse_vehicle_handle(estate.handle, kCoupe);
    set_field(coupe, hostsim::kFuelRecordOffset, 1200.0f);
    EXPECT_NEAR(drive(coupe).litres, 10.0f, 0.001f) << "a fifth of the coupe's 50 L";
    EXPECT_TRUE(game().world().errors().empty());
}

// The host's dice, so that a stand-in can fix them: vehicles that run without
// fuel (and ignore a record) get 300 to 800 thousandths, others 5 to 400.
TEST_F(FuelModelTest, NewVehiclesStartWithAFillFromTheHostsDice) {
    // The stand-in hands out seeds in turn: the fuel model gets the next one.
    Dice dice(game().world().next_random_seed() + 1);
    EXPECT_EQ(model().specs.size(), 3u);
    EXPECT_EQ(model().specs.at(6).tank, 50) << "a tank below 1 L counts as the default";
    for (bool runs_without_fuel : {false, true, false, true, true, false}) {
        SCOPED_TRACE(runs_without_fuel);
        hostsim::Vehicle& car = add_car(kEstate, runs_without_fuel ? 1900.0f : 1000.0f);
        car.parts.runs_without_fuel = runs_without_fuel;
        std::int32_t fill = runs_without_fuel ? roll(dice, 300, 800) : roll(dice, 5, 400);
        EXPECT_NEAR(drive(car).litres, fill * 60 / 1000.0, 0.001);
        leave();
    }
}

// Fuel data without a tank or mileage, and a host value in the way, must
// neither stop the game nor put an infinity or NaN into its memory.
TEST_F(FuelModelTest, EveryUpdateBurnsAtLeastOnePointFourMetresWorth) {
    struct Case {
        std::uint32_t model;
        float divisor_field, record_left;
        double litres_left;
    };
    const Case cases[] = {
        {kEstate, 0.0f, 1499.0f, 30.0 - 100 * 1.4 / 10000},
        {kEstate, 2000.0f, 1499.0f, 30.0 - 100 * 1.4 / 8000},
        {kEstate, 10000.0f, 1500.0f, 30.0},
        {kEstate, kNan, 1500.0f, 30.0},
        {kCoupe, 0.0f, 1600.0f, 30.0},  // of the default 50 L tank
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.divisor_field);
        hostsim::Vehicle& car = add_car(c.model);
        set_field(car, hostsim::kFuelDivisorOffset, c.divisor_field);
        FuelState& state = drive(car);
        state.litres = 30.0f;
        for (int i = 0; i < 100; ++i)
            update();
        EXPECT_NEAR(state.litres, c.litres_left, 0.0005);
        EXPECT_EQ(state.odometer, 0.0) << "standing still";
        leave();
        EXPECT_EQ(fuel_record(car), c.record_left);
    }
}

TEST_F(FuelModelTest, TheDisplayShowsFuelDistanceSpeedAndTheTanksShare) {
    config.parse("fuel_ui_x=0.5\nfuel_ui_y=0.9\nfuel_ui_size=0.4\n");
    hostsim::Vehicle& car = add_car(kEstate);
    auto handle = static_cast<host::Handle>(car.handle);
    model().restore_odometer(handle, 1000);  // from a car file
    EXPECT_EQ(model().odometer_metres(handle), 1000);
    FuelState& state = drive(car);
    state.litres = 30.0f;
    game().world().set_walk_target({kRoad.x + 20.0f, kRoad.y, kRoad.z}, 10.0f);
    hostsim::DrawRecord draws = update();
    std::vector<std::string> drawn(draws.size());
    std::transform(draws.begin(), draws.end(), drawn.begin(), hostsim::describe);
    const std::string white = " scale (0.400,0.400) colour (255,255,255,255)";
    EXPECT_EQ(drawn, (std::vector<std::string>{
                         "text \"fuel 30.00 L\" at (0.500,0.900)" + white,
                         "text \"dist 1.00 km\" at (0.650,0.900)" + white,
                         "text \"36 km/h\" at (0.800,0.900)" + white,
                         "rectangle at (0.560,0.890) size (0.100,0.012) colour (0,0,0,128)",
                         "rectangle at (0.535,0.890) size (0.050,0.010) colour (0,128,0,128)"}));

    for (int i = 0; game().world().walking() && i < 1000; ++i)
        update();
    // The frame that arrives stands: its last step is not counted.
    EXPECT_NEAR(state.odometer, 1020.0, 0.34);
    EXPECT_EQ(texts_of(update())[1], "dist 1.02 km");
    EXPECT_EQ(model().odometer_metres(handle), 1019);

    // The fill: the tank's share of the bar, left-aligned with it.
    for (auto [litres, fill] : {std::pair{90.0f, "(0.560,0.890) size (0.100,0.010)"},
                                std::pair{0.0f, "(0.510,0.890) size (0.000,0.010)"}}) {
        state.litres = litres;
        EXPECT_EQ(hostsim::describe(update().at(4)),
                  std::string("rectangle at ") + fill + " colour (0,128,0,128)");
    }
}

// Refuelling adds a fixed amount until the tank is full (the engine starts)
// or the car moves.
TEST_F(FuelModelTest, RefuellingAndTheSpareCanStartTheEngine) {
    hostsim::Vehicle& car = add_car(kEstate);
    FuelState& state = drive(car);
    state.litres = 59.7f;
    int updates = 0;
    while (!model().refuel_done && updates < 10) {
        update(true);
        ++updates;
    }
    EXPECT_EQ(updates, 4) << "three times 0.111 L, then the tank is found full";
    EXPECT_EQ(state.litres, 60.0f);
    EXPECT_TRUE(car.parts.engine_running);
    EXPECT_NEAR(model().refuelled_litres, 0.333f, 0.0001f);
    update();
    EXPECT_EQ(model().refuelled_litres, 0.0f) << "counted afresh for the next refuelling";

    state.litres = 10.0f;
    update(true);
    EXPECT_FALSE(model().refuel_done);
    car.parts.speed = 0.06f;
    update(true);
    EXPECT_TRUE(model().refuel_done);
    EXPECT_NEAR(model().refuelled_litres, 0.111f, 0.0001f);
    EXPECT_LT(state.litres, 10.111f);

    // An empty tank stops the engine until the spare can is used.
    car.parts.speed = 0.0f;
    state.litres = 0.0001f;
    update();
    EXPECT_EQ(state.litres, 0.0f) << "never below empty";
    EXPECT_FALSE(car.parts.engine_running);
    model().spare_fuel = true;
    update();
    EXPECT_NEAR(state.litres, 3.0f, 0.001f);
    EXPECT_TRUE(car.parts.engine_running);
    EXPECT_FALSE(model().spare_fuel);
    state.litres = 0.0f;
    car.parts.runs_without_fuel = true;
    update();
    EXPECT_TRUE(car.parts.engine_running);
}

}  // namespace
}  // namespace corvalen
