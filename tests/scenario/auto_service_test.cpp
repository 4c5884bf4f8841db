// The auto service with the real plug-in in the stand-in: the station editor,
// a driver who fills up at a gas station and pays, and what a reload keeps.

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

TEST_F(AutoServiceScenario, TheEditorPlacesAGasStationThatServesOnceLoaded) {
    write_file("corvalen/corvalen.conf", "blip_gas_station=true\n");
    boot();
    frame();
    open_editor();
    choose(0);  // "Create new Gas station"
    hostsim::DrawRecord capture = frame();
    EXPECT_TRUE(shows(capture, "Adding. Go and press Y to save, or N to cancel."));
    EXPECT_FALSE(shows(capture, "Create new Gas station")) << "the menu closed";

    ASSERT_GT(game->walk_player_to({-115.5f, 35.0f, 6.0f}), 0);
    frame_pressing(ScanCode::Y);
    EXPECT_EQ(read_file("corvalen/service_stations.csv"), "-120.00,35.00,5.00,4,1,Harbour Road,\n");
    EXPECT_EQ(world().blip_count(), 0u) << "blips come with loading";

    open_editor(0);  // the main menu's highlight stayed on "Auto Service"
    choose(3);       // "Load stations"
    ASSERT_EQ(world().blip_count(), 1u);
    const hostsim::Blip& blip = world().blips().begin()->second;
    EXPECT_EQ(blip.sprite, 79);
    EXPECT_EQ(blip.colour, 2);
    EXPECT_EQ(blip.name, "Gas Station");
    EXPECT_EQ(blip.scale, 0.5f);

    // On foot inside the station: its name and the shop.
    frame_pressing(ScanCode::F12);  // main menu open, editor closed
    frame_pressing(ScanCode::F12);
    game->walk_player_to({-119.0f, 35.0f, 6.0f});
    hostsim::DrawRecord inside = frame();
    EXPECT_TRUE(shows(inside, "Gas Station"));
    EXPECT_TRUE(shows(inside, "Buy spare gas"));
    expect_no_host_errors();
}

TEST_F(AutoServiceScenario, AStationMarkedAtItsAnchorCanNeverBeEntered) {
    boot();
    frame();
    open_editor();
    choose(1);  // "Create new Repair Shop"
    frame();
    frame_pressing(ScanCode::Y);
    EXPECT_EQ(read_file("corvalen/service_stations.csv"), "-120.00,35.00,5.00,0,2,Harbour Road,\n");

    hostsim::Vehicle& car = estate();
    game->teleport_player({-120.0f, 35.0f, 6.0f});
    car.object.set_position({-120.0f, 35.0f, 6.0f});
    ASSERT_TRUE(game->enter_vehicle(car.handle));
    for (int i = 0; i < 10; ++i) {
        hostsim::DrawRecord draws = frame();
        bool marker = std::any_of(draws.begin(), draws.end(), [](const hostsim::DrawItem& item) {
            return item.kind == hostsim::DrawKind::marker;
        });
        EXPECT_TRUE(marker);
        EXPECT_FALSE(shows(draws, "Auto Service"));
        EXPECT_FALSE(shows(draws, "Fix Car"));
    }
    expect_no_host_errors();
}

// A gas station on Harbour Road east of the start, and fuel data for the
// estate car parked by the start: 60 L, 10 km per litre.
class FillingUpScenario : public AutoServiceScenario {
  protected:
    void SetUp() override {
        AutoServiceScenario::SetUp();
        if (IsSkipped())
            return;
        write_file("corvalen/service_stations.csv", "-60.00,35.00,5.00,6,1,Harbour Road,\n");
        write_file("corvalen/fuel_data.csv", "Estate," + std::to_string(kEstate) + ",60,10,0,\n");
        write_file("corvalen/corvalen.conf", "blip_gas_station=true\n");
        boot();
        car = &estate();
        // Left with a tenth of its tank: 6 L.
        hostsim::set_vehicle_float(car->object, hostsim::kFuelRecordOffset, 1100.0f);
        ASSERT_TRUE(game->enter_vehicle(car->handle));
        frame();  // the first frame loads the stations
    }

    hostsim::Vehicle* car = nullptr;
};

TEST_F(FillingUpScenario, TheDriverFillsUpAndPaysByTheLitre) {
    hostsim::DrawRecord before = frame();
    EXPECT_EQ(text_starting(before, "fuel "), "fuel 6.00 L");
    EXPECT_EQ(world().blip_count(), 1u);

    ASSERT_GT(game->walk_player_to({-60.0f, 35.0f, 6.0f}, 8.0f), 0);
    hostsim::DrawRecord arrived = frame();
    EXPECT_TRUE(shows(arrived, "Gas Station"));
    EXPECT_TRUE(shows(arrived, "Fill up Gas"));
    EXPECT_TRUE(shows(arrived, "body"));
    EXPECT_EQ(text_starting(arrived, "dist "), "dist 0.05 km");

    float cash = world().cash();
    frame_pressing(ScanCode::Numpad5);
    std::string paid;
    for (int i = 0; i < 1000 && paid.empty(); ++i)
        paid = text_starting(frame(), "Fuel cost $");
    float charged = cash - world().cash();
    EXPECT_EQ(paid, "Fuel cost $" + std::to_string(static_cast<int>(charged)));
    // About 54 L at 2.39 a litre.
    EXPECT_GE(charged, 128.0f);
    EXPECT_LE(charged, 131.0f);
    EXPECT_EQ(text_starting(frame(), "fuel "), "fuel 60.00 L");
    expect_no_host_errors();
}

TEST_F(FillingUpScenario, AReloadForgetsTheTankButTheCarKeepsItsFill) {
    frame();
    game->leave_vehicle();
    frame();
    EXPECT_EQ(hostsim::vehicle_float(car->object, hostsim::kFuelRecordOffset), 1099.0f)
        << "6 L less a little of 60 L: 99 whole thousandths";

    ASSERT_GT(game->save_game(), 0);
    game->run_frames(3);
    ASSERT_TRUE(game->load_game(1));  // time goes back: the plug-in reloads
    frame();
    EXPECT_EQ(world().blip_count(), 1u) << "the stations' blips replaced, none left over";

    ASSERT_TRUE(game->enter_vehicle(car->handle));
    frame();
    EXPECT_EQ(text_starting(frame(), "fuel "), "fuel 5.94 L");
    expect_no_host_errors();
}

}  // namespace
}  // namespace corvalen::test
