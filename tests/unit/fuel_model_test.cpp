// The fuel model: the fill a vehicle starts with and keeps in its fuel
// record, consumption, refuelling, the spare can, the odometer and the fuel
// display.

#include "autoservice/fuel_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

const std::uint32_t kEstate = hostsim::vehicle_models()[0].id;  // 60 L, 10 km/l below
const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;   // no fuel data: 50 L, 12 km/l
constexpr hostsim::Vec3 kRoad{400.0f, -300.0f, 6.0f};

class FuelModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::write_file("corvalen/fuel_data.csv", "Estate," + std::to_string(kEstate) +
                                                       ",60,10,0,\nBroken," +
                                                       std::to_string(kCoupe) + ",0,0,0,\n");
        game().leave_vehicle();
        game().teleport_player(kRoad);
    }

    FuelModel& model() {
        if (!fuel)
            fuel.emplace(&config);
        return *fuel;
    }
    hostsim::Vehicle& add_car(std::uint32_t car_model) {
        return game().world().add_vehicle(car_model, kRoad, 0.0f);
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
    static float field(const hostsim::Vehicle& car, std::uint32_t offset) {
        return hostsim::vehicle_float(car.object, offset);
    }
    static void set_field(hostsim::Vehicle& car, std::uint32_t offset, float value) {
        hostsim::set_vehicle_float(car.object, offset, value);
    }

    test::WorkingFolder folder;
    Config config;
    std::optional<FuelModel> fuel;
};

TEST_F(FuelModelTest, TheFillLeftInAVehicleTravelsInItsFuelRecord) {
    test::write_file("corvalen/fuel_data.csv", "");  // the coupe gets the default tank
    hostsim::Vehicle& coupe = add_car(kCoupe);
    FuelState& state = drive(coupe);
    EXPECT_EQ(state.tank, 50);
    EXPECT_EQ(state.saved_health, 1000.0f);
    state.litres = 25.0f;
    leave();
    EXPECT_EQ(field(coupe, hostsim::kFuelRecordOffset), 1500.0f);
    EXPECT_EQ(model().current, FuelModel::kNoVehicle);

    // Entered again, the vehicle gets its own record back and keeps its fuel.
    drive(coupe);
    EXPECT_EQ(field(coupe, hostsim::kFuelRecordOffset), 1000.0f);
    EXPECT_NEAR(state.litres, 25.0f, 0.001f);
    state.litres = 25.0f;
    leave();

    // After a reload (or a re-creation from a car file) the record is all
    // that is left: 500 thousandths of 50 L.
    model().forget_vehicles();
    EXPECT_NEAR(drive(coupe).litres, 25.0f, 0.001f);
    EXPECT_TRUE(game().world().errors().empty());
}

TEST_F(FuelModelTest, FillsOfNewVehiclesAreDrawnFromTheirRanges) {
    model().random_engine.seed(7);
    for (bool runs_without_fuel : {false, true}) {
        for (int i = 0; i < 8; ++i) {
            hostsim::Vehicle& car = add_car(kEstate);
            car.parts.runs_without_fuel = runs_without_fuel;
            // Such vehicles ignore a record too.
            if (runs_without_fuel)
                set_field(car, hostsim::kFuelRecordOffset, 1900.0f);
            double fill = drive(car).litres * 1000.0 / 60.0;
            SCOPED_TRACE(fill);
            EXPECT_GE(fill, runs_without_fuel ? 299.99 : 4.99);
            EXPECT_LE(fill, runs_without_fuel ? 800.01 : 400.01);
            leave();
        }
    }
}

TEST_F(FuelModelTest, RecordsBeyondAFullTankCountAsFull) {
    for (float record : {2500.0f, std::numeric_limits<float>::infinity()}) {
        hostsim::Vehicle& car = add_car(kEstate);
        set_field(car, hostsim::kFuelRecordOffset, record);
        EXPECT_NEAR(drive(car).litres, 60.0f, 0.001f);
        leave();
    }
}

TEST_F(FuelModelTest, EveryUpdateBurnsAtLeastOnePointFourMetresWorth) {
    hostsim::Vehicle& car = add_car(kEstate);
    struct Case {
        float divisor_field;
        double metres_per_litre;
    };
    for (Case c : {Case{0.0f, 10000.0}, Case{2000.0f, 8000.0}}) {
        SCOPED_TRACE(c.divisor_field);
        set_field(car, hostsim::kFuelDivisorOffset, c.divisor_field);
        FuelState& state = drive(car);
        state.litres = 30.0f;
        for (int i = 0; i < 100; ++i)
            update();
        EXPECT_NEAR(state.litres, 30.0 - 100 * 1.4 / c.metres_per_litre, 0.0005);
        EXPECT_EQ(state.odometer, 0.0) << "standing still";
        leave();
    }
}

TEST_F(FuelModelTest, DrivingShowsFuelDistanceAndSpeed) {
    config.parse("fuel_ui_x=0.5\nfuel_ui_y=0.9\nfuel_ui_size=0.4\n");
    hostsim::Vehicle& car = add_car(kEstate);
    FuelState& state = drive(car);
    state.litres = 30.0f;
    game().world().set_walk_target({kRoad.x + 20.0f, kRoad.y, kRoad.z}, 10.0f);
    hostsim::DrawRecord draws = update();
    ASSERT_EQ(draws.size(), 5u);
    EXPECT_EQ(texts_of(draws),
              (std::vector<std::string>{"fuel 30.00 L", "dist 0.00 km", "36 km/h"}));
    const float xs[] = {0.5f, 0.65f, 0.8f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(draws[i].x, xs[i]);
        EXPECT_FLOAT_EQ(draws[i].y, 0.9f);
        EXPECT_FLOAT_EQ(draws[i].width, 0.4f);
    }
    while (game().world().walking())
        update();
    // The frame that arrives stands: its last step is not counted.
    EXPECT_NEAR(state.odometer, 20.0, 0.34);
    EXPECT_EQ(texts_of(update())[1], "dist 0.02 km");
    EXPECT_EQ(model().odometer_metres(static_cast<host::Handle>(car.handle)), 19);
}

TEST_F(FuelModelTest, TheBarShowsTheShareOfTheTankLeftAligned) {
    test::write_file("corvalen/fuel_data.csv", "");
    FuelState& state = drive(add_car(kCoupe));
    struct Case {
        float litres;
        float width;
    };
    for (Case c : {Case{0.0f, 0.0f}, Case{25.0f, 0.05f}, Case{60.0f, 0.1f}}) {
        SCOPED_TRACE(c.litres);
        state.litres = c.litres;
        hostsim::DrawRecord draws = update();
        ASSERT_EQ(draws.size(), 5u);
        const hostsim::DrawItem& back = draws[3];
        const hostsim::DrawItem& fill = draws[4];
        EXPECT_FLOAT_EQ(back.x, 0.11f);
        EXPECT_FLOAT_EQ(back.y, 0.96f);
        EXPECT_FLOAT_EQ(back.width, 0.1f);
        EXPECT_FLOAT_EQ(back.height, 0.012f);
        EXPECT_EQ(back.colour, (hostsim::Colour{0, 0, 0, 128}));
        EXPECT_NEAR(fill.width, c.width, 0.0001f);
        EXPECT_NEAR(fill.x, 0.11f - 0.05f + c.width / 2, 0.0001f);
        EXPECT_FLOAT_EQ(fill.height, 0.01f);
        EXPECT_EQ(fill.colour, (hostsim::Colour{0, 128, 0, 128}));
    }
}

TEST_F(FuelModelTest, RefuellingAddsAFixedAmountUntilTheTankIsFullOrTheCarMoves) {
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
}

TEST_F(FuelModelTest, AnEmptyTankStopsTheEngineUntilTheSpareCanIsUsed) {
    hostsim::Vehicle& car = add_car(kEstate);
    FuelState& state = drive(car);
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

// Fuel data without a tank or mileage, and a host value in the way, must
// neither stop the game nor put an infinity or NaN into its memory.
TEST_F(FuelModelTest, BrokenFuelDataBurnsNothingAndWritesOnlyNumbers) {
    hostsim::Vehicle& car = add_car(kCoupe);
    for (float divisor_field : {0.0f, std::numeric_limits<float>::quiet_NaN(), 5000.0f}) {
        SCOPED_TRACE(divisor_field);
        set_field(car, hostsim::kFuelDivisorOffset, divisor_field);
        FuelState& state = drive(car);
        EXPECT_EQ(state.tank, 50);
        EXPECT_EQ(state.metres_per_litre, 0.0f);
        state.litres = 20.0f;
        for (int i = 0; i < 5; ++i)
            update();
        EXPECT_EQ(state.litres, 20.0f);
        leave();
        EXPECT_EQ(field(car, hostsim::kFuelRecordOffset), 1400.0f);
    }
}

TEST_F(FuelModelTest, ANewVehicleOnAReusedHandleGetsATankOfItsOwn) {
    hostsim::Vehicle& car = add_car(kEstate);
    auto handle = static_cast<host::Handle>(car.handle);
    drive(car).litres = 55.0f;
    leave();

    hostsim::Vehicle& coupe = game().world().reuse_vehicle_handle(car.handle, kCoupe);
    set_field(coupe, hostsim::kFuelRecordOffset, 1200.0f);
    FuelState& state = drive(coupe);
    EXPECT_EQ(state.model, kCoupe);
    EXPECT_EQ(state.tank, 50);
    EXPECT_NEAR(state.litres, 10.0f, 0.001f);
    EXPECT_EQ(model().state_of(handle), &state);
}

TEST_F(FuelModelTest, LeavingAVehicleWhoseStateIsGoneChangesNothing) {
    hostsim::Vehicle& car = add_car(kEstate);
    drive(car);
    model().states.clear();
    set_field(car, hostsim::kFuelRecordOffset, 1234.0f);
    leave();
    EXPECT_EQ(field(car, hostsim::kFuelRecordOffset), 1234.0f);
    EXPECT_EQ(model().current, FuelModel::kNoVehicle);

    // A reload while driving forgets the vehicle: it is taken up afresh.
    drive(car);
    model().forget_vehicles();
    EXPECT_EQ(update().size(), 5u);
    EXPECT_NE(model().state_of(static_cast<host::Handle>(car.handle)), nullptr);
}

TEST_F(FuelModelTest, OdometersStartFromTheCarFilesValue) {
    hostsim::Vehicle& car = add_car(kEstate);
    auto handle = static_cast<host::Handle>(car.handle);
    EXPECT_EQ(model().odometer_metres(handle), 0);
    model().restore_odometer(handle, 1234);
    EXPECT_EQ(model().odometer_metres(handle), 1234);
    FuelState& state = drive(car);
    EXPECT_EQ(state.odometer, 1234.0);
    state.odometer = 1500.75;
    EXPECT_EQ(model().odometer_metres(handle), 1500);
}

}  // namespace
}  // namespace corvalen
