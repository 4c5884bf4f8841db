// The auto service with the real plug-in in the stand-in: a driver fills up
// at a gas station and pays.

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

const std::uint32_t kEstate = hostsim::vehicle_models()[0].id;

bool shows(const hostsim::DrawRecord& draws, const std::string& text) {
    std::vector<std::string> texts = texts_of(draws);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The text on screen that starts with `prefix`, empty when none.
std::string text_starting(const hostsim::DrawRecord& draws, const std::string& prefix) {
    for (const std::string& text : texts_of(draws)) {
        if (text.rfind(prefix, 0) == 0)
            return text;
    }
    return {};
}

using AutoServiceScenario = PluginScenario;

// The estate car parked by the start stands inside a gas station there, with
// a tenth of its 60 L tank.
TEST_F(AutoServiceScenario, ADriverFillsUpAtAGasStationAndPaysByTheLitre) {
    write_file("corvalen/service_stations.csv", "-120.00,35.00,5.00,8,1,Harbour Road,\n");
    write_file("corvalen/fuel_data.csv", "Estate," + std::to_string(kEstate) + ",60,10,0,\n");
    boot();
    auto estate = std::find_if(world().vehicles().begin(), world().vehicles().end(),
                               [](const auto& entry) { return entry.second.model == kEstate; });
    ASSERT_NE(estate, world().vehicles().end());
    hostsim::Vehicle& car = *world().vehicle(estate->first);
    hostsim::set_vehicle_float(car.object, hostsim::kFuelRecordOffset, 1100.0f);
    frame();  // the first frame loads the stations
    ASSERT_TRUE(game->enter_vehicle(car.handle));
    frame();
    hostsim::DrawRecord inside = frame();
    EXPECT_EQ(text_starting(inside, "fuel "), "fuel 6.00 L");
    EXPECT_TRUE(shows(inside, "Fill up Gas"));
    float cash = world().cash();
    frame_pressing(ScanCode::Numpad5);
    std::string paid;
    for (int i = 0; i < 1000 && paid.empty(); ++i)
        paid = text_starting(frame(), "Fuel cost $");
    float charged = cash - world().cash();
    EXPECT_EQ(paid, "Fuel cost $" + std::to_string(static_cast<int>(charged)));
    EXPECT_GE(charged, 128.0f) << "about 54 L at 2.39 a litre";
    EXPECT_LE(charged, 130.0f);
    EXPECT_EQ(text_starting(frame(), "fuel "), "fuel 60.00 L");
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen::test
