// The auto service with the real plug-in in the stand-in: a modder places a
// gas station with the editor, a driver fills up there and pays, and the fill
// outlasts a save and a load.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;
namespace fs = std::filesystem;

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

class AutoServiceScenario : public PluginScenario {
  protected:
    // F12, then "Auto Service" from the main menu, `downs` places below its
    // highlighted item; the editor is armed after.
    void open_editor(int downs = 2) {
        frame_pressing(ScanCode::F12);
        frame();
        for (int i = 0; i < downs; ++i)
            frame_pressing(ScanCode::Numpad2);
        frame_pressing(ScanCode::Numpad5);
        frame();
        ASSERT_TRUE(shows(frame(), "Create new Gas station"));
    }
    // Chooses the editor item `downs` places below the highlighted one.
    void choose(int downs) {
        for (int i = 0; i < downs; ++i)
            frame_pressing(ScanCode::Numpad2);
        frame_pressing(ScanCode::Numpad5);
    }
    hostsim::Vehicle& estate() {
        for (const auto& [handle, car] : world().vehicles()) {
            if (car.model == kEstate)
                return *world().vehicle(handle);
        }
        throw std::logic_error("no estate car");
    }
    void expect_no_host_errors() {
        EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
    }
};

TEST_F(AutoServiceScenario, AGasStationPlacedInTheEditorFillsATankThatAReloadKeeps) {
    write_file("corvalen/corvalen.conf", "blip_gas_station=true\n");
    write_file("corvalen/fuel_data.csv", "Estate," + std::to_string(kEstate) + ",60,10,0,\n");
    boot();
    hostsim::Vehicle& car = estate();  // parked by the start, left with 6 L of 60
    hostsim::set_vehicle_float(car.object, hostsim::kFuelRecordOffset, 1100.0f);
    frame();
    open_editor();
    choose(0);  // "Create new Gas station"
    hostsim::DrawRecord capture = frame();
    EXPECT_TRUE(shows(capture, "Adding. Go and press Y to save, or N to cancel."));
    EXPECT_FALSE(shows(capture, "Create new Gas station")) << "the menu closed";
    ASSERT_GT(game->walk_player_to({-111.5f, 35.0f, 6.0f}), 0);
    frame_pressing(ScanCode::Y);
    EXPECT_EQ(read_file("corvalen/service_stations.csv"), "-120.00,35.00,5.00,8,1,Harbour Road,\n");
    EXPECT_EQ(world().blip_count(), 0u) << "blips come with loading";
    open_editor(0);  // the main menu's highlight stayed on "Auto Service"
    choose(3);       // "Load stations"
    ASSERT_EQ(world().blip_count(), 1u);
    EXPECT_EQ(world().blips().begin()->second.name, "Gas Station");
    frame_pressing(ScanCode::F12);  // main menu open, editor closed
    frame_pressing(ScanCode::F12);

    ASSERT_TRUE(game->enter_vehicle(car.handle));  // it stands in the new station
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

    // Left, saved and loaded: the plug-in forgets the tank, the car's fuel
    // record keeps 999 thousandths of it.
    game->leave_vehicle();
    frame();
    ASSERT_GT(game->save_game(), 0);
    game->run_frames(3);
    ASSERT_TRUE(game->load_game(1));
    frame();
    EXPECT_EQ(world().blip_count(), 1u) << "the stations' blips replaced, none left over";
    ASSERT_TRUE(game->enter_vehicle(car.handle));
    frame();
    EXPECT_EQ(text_starting(frame(), "fuel "), "fuel 59.94 L");
    expect_no_host_errors();
}

}  // namespace
}  // namespace corvalen::test
