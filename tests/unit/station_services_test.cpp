// The paid services at gas stations and repair shops: which menu a player
// gets, what each service costs and says, and that a station's menu never
// outlives the visit.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "autoservice/auto_service.h"
#include "autoservice/station_file.h"
#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using host::ScanCode;
using test::game;
using test::game_frame;
using Texts = std::vector<std::string>;

constexpr hostsim::Vec3 kGas{400.0f, -300.0f, 5.0f};
constexpr hostsim::Vec3 kRepair{400.0f, -100.0f, 5.0f};
constexpr hostsim::Vec3 kOther{400.0f, 100.0f, 5.0f};

bool shows(const Texts& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class StationServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        PlaceList& places = service.stations.places;
        places.emplace_back(6, kGasStation, kGas.x, kGas.y, kGas.z);
        places.emplace_back(6, kRepairShop, kRepair.x, kRepair.y, kRepair.z);
        places.emplace_back(6, 3, kOther.x, kOther.y, kOther.z);
        service.stations.skip_once = false;
        // A first frame away from every station, as a game has before any
        // visit: the station menus arm.
        game().teleport_player({kGas.x - 300.0f, kGas.y, kGas.z});
        tick();
    }

    // The player at a station, on foot or in a standing car of their own.
    void arrive(hostsim::Vec3 at, bool by_car) {
        game().leave_vehicle();
        game().teleport_player(at);
        car = nullptr;
        if (by_car) {
            car = &game().world().add_vehicle(hostsim::vehicle_models()[0].id, at, 0.0f);
            game().enter_vehicle(car->handle);
        }
    }
    Texts tick() {
        return texts_of(game_frame([&] { service.tick(); }));
    }
    Texts tick_pressing(ScanCode key) {
        game().press_key(static_cast<std::uint8_t>(key));
        return tick();
    }
    float cash() const { return game().world().cash(); }
    const std::string& notice() const { return service.stations.notice.text; }
    float field(std::uint32_t offset) const { return hostsim::vehicle_float(car->object, offset); }
    void set_field(std::uint32_t offset, float value) {
        hostsim::set_vehicle_float(car->object, offset, value);
    }

    test::WorkingFolder folder;
    AutoService service{nullptr};
    hostsim::Vehicle* car = nullptr;
};

TEST_F(StationServicesTest, EachStationOffersItsMenuToTheRightVisitor) {
    struct Case {
        hostsim::Vec3 at;
        bool by_car;
        float speed;
        Texts shown, not_shown;
    };
    const Case cases[] = {
        {kGas, false, 0.0f, {"Gas Station", "Buy spare gas", "Molotovs"}, {"Fill up Gas", "body"}},
        {kGas,
         true,
         0.05f,
         {"Fill up Gas", "Fix Tires", "Put water on radiator", "body", "engine"},
         {"Buy spare gas"}},
        {kGas, true, 0.06f, {"Gas Station"}, {"Fill up Gas", "body"}},
        {kRepair, false, 0.0f, {"Auto Service"}, {"Fix Car"}},
        {kRepair,
         true,
         0.0f,
         {"Repair Shop", "Fix Car", "Component #0", "Component #9", "body"},
         {}},
        {kOther, true, 0.0f, {}, {"Gas Station", "Auto Service", "body"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.y << " " << c.by_car << " " << c.speed);
        arrive(c.at, c.by_car);
        if (car != nullptr)
            car->parts.speed = c.speed;
        Texts texts = tick();
        for (const std::string& text : c.shown)
            EXPECT_TRUE(shows(texts, text)) << text;
        for (const std::string& text : c.not_shown)
            EXPECT_FALSE(shows(texts, text)) << text;
    }
}

// A bar's fill is the condition's share of 0.1, left-aligned with the bar,
// and may outgrow it for a condition above sound (the engine's 1500).
TEST_F(StationServicesTest, TheStationNameAndPanelSitWhereTheyBelong) {
    arrive(kRepair, true);
    set_field(hostsim::kBodyOffset, 500.0f);
    set_field(hostsim::kEngineOffset, 1500.0f);
    hostsim::DrawRecord draws = game_frame([&] { service.stations.tick(); });
    std::vector<std::string> drawn(draws.size());
    std::transform(draws.begin(), draws.end(), drawn.begin(), hostsim::describe);
    ASSERT_GE(drawn.size(), 8u);
    EXPECT_EQ(
        Texts(drawn.begin() + 1, drawn.begin() + 8),
        (Texts{
            R"(text "Auto Service" at (0.800,0.100) scale (0.400,0.400) colour (255,255,255,255))",
            R"(text "body" at (0.700,0.850) scale (0.250,0.250) colour (255,255,255,255))",
            "rectangle at (0.750,0.880) size (0.100,0.012) colour (0,0,0,128)",
            "rectangle at (0.725,0.880) size (0.050,0.010) colour (0,16,128,128)",
            R"(text "engine" at (0.700,0.900) scale (0.250,0.250) colour (255,255,255,255))",
            "rectangle at (0.750,0.930) size (0.100,0.012) colour (0,0,0,128)",
            "rectangle at (0.775,0.930) size (0.150,0.010) colour (128,128,0,128)"}));
}

TEST_F(StationServicesTest, AfterBuyingTheMenuClosesAndStaysClosedOnceThePlayerLeaves) {
    arrive(kGas, false);
    float before = cash();
    ASSERT_TRUE(shows(tick(), "Buy spare gas"));
    tick_pressing(ScanCode::Numpad5);
    EXPECT_EQ(cash(), before - 10);
    EXPECT_TRUE(service.fuel.spare_fuel);
    EXPECT_EQ(notice(), "Got spare fuel $10");

    // Still inside: the menu comes back, armed one frame later.
    EXPECT_FALSE(shows(tick(), "Buy spare gas"));
    EXPECT_TRUE(shows(tick(), "Buy spare gas"));
    tick_pressing(ScanCode::Numpad2);
    tick_pressing(ScanCode::Numpad5);
    EXPECT_EQ(cash(), before - 25);
    EXPECT_EQ(notice(), "Bought a molotov $15");
    const auto& journal = game().world().journal();
    std::string player =
        hostsim::hex(static_cast<std::uint32_t>(game().world().player_character()));
    EXPECT_EQ(journal[journal.size() - 2].text, player + " given weapon 5, ammunition 1");

    game().teleport_player({kGas.x + 30.0f, kGas.y, kGas.z});
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(shows(tick(), "Buy spare gas"));
    tick_pressing(ScanCode::Numpad5);
    EXPECT_EQ(cash(), before - 25) << "a closed menu sells nothing";
}

// "Fix Car" charges half a dollar a point and never pays; components come
// and go for nothing.
TEST_F(StationServicesTest, TheRepairShopMendsForAPriceAndSwapsComponentsForNothing) {
    arrive(kRepair, true);
    const std::pair<float, std::int32_t> cases[] = {{1000.0f, 0},    {999.5f, 0}, {998.0f, 1},
                                                    {500.0f, 250},   {0.0f, 500}, {1200.0f, 0},
                                                    {-1000.0f, 1000}};
    for (auto [body, cost] : cases) {
        SCOPED_TRACE(body);
        set_field(hostsim::kBodyOffset, body);
        float before = cash();
        game_frame([&] { service.stations.fix_car(); });
        EXPECT_EQ(cash(), before - static_cast<float>(cost));
        EXPECT_EQ(notice(), "Car repaired $" + std::to_string(cost));
        EXPECT_EQ(field(hostsim::kBodyOffset), 1000.0f);
    }
    EXPECT_EQ(ServiceManager::repair_cost(-std::numeric_limits<float>::max()),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ServiceManager::repair_cost(std::numeric_limits<float>::quiet_NaN()), 0);

    // A component, chosen twice from the menu that stays open, for nothing.
    float before = cash();
    tick();
    for (int i = 0; i < 4; ++i)
        tick_pressing(ScanCode::Numpad2);
    tick_pressing(ScanCode::Numpad5);
    EXPECT_EQ(notice(), "Component 3 added");
    EXPECT_TRUE(car->parts.extras[3]);
    tick_pressing(ScanCode::Numpad5);
    EXPECT_EQ(notice(), "Component 3 removed");
    EXPECT_FALSE(car->parts.extras[3]);
    EXPECT_EQ(cash(), before);

    game().leave_vehicle();
    game_frame([&] { service.stations.fix_car(); });
    EXPECT_EQ(notice(), "ServiceManager::fix_car could not get vehicle");
    EXPECT_EQ(cash(), before);
}

// Six tyres are looked at; a second passes between two repairs.
TEST_F(StationServicesTest, ThreeBurstTyresCost165AndTakeTwoSecondsBetweenThem) {
    arrive(kGas, true);
    car->parts.burst_tyres = {true, false, true, false, false, true};
    tick();
    tick_pressing(ScanCode::Numpad2);
    std::int64_t start = game().world().wall_clock_seconds();
    float before = cash();
    tick_pressing(ScanCode::Numpad5);
    for (int frames = 0; service.stations.tyres_pending && frames < 1000; ++frames)
        EXPECT_TRUE(shows(tick(), "Repairing tyres..."));
    EXPECT_GE(game().world().wall_clock_seconds() - start, 2);
    EXPECT_EQ(cash(), before - 165);
    EXPECT_EQ(car->parts.burst_tyres, (std::array<bool, hostsim::kTyreCount>{}));
}

// 100 points each for body and engine, never beyond sound, even from above.
TEST_F(StationServicesTest, TheRadiatorTakesWaterOnceAMinute) {
    arrive(kGas, true);
    set_field(hostsim::kBodyOffset, 1200.0f);
    set_field(hostsim::kEngineOffset, 850.0f);
    tick();  // the fuel model takes the car up
    float before = cash();
    struct Step {
        std::int64_t seconds_later;
        const char* notice;
        float engine, charged;
    };
    for (Step step : {Step{0, "Water on radiator $2", 950.0f, 2.0f},
                      Step{59, "Already done this!", 950.0f, 2.0f},
                      Step{1, "Water on radiator $2", 1000.0f, 4.0f}}) {
        game().pass_wall_time(step.seconds_later);
        game_frame([&] { service.stations.top_up_radiator(); });
        EXPECT_EQ(notice(), step.notice);
        EXPECT_EQ(field(hostsim::kBodyOffset), 1000.0f);
        EXPECT_EQ(field(hostsim::kEngineOffset), step.engine);
        EXPECT_EQ(cash(), before - step.charged);
    }
    game().leave_vehicle();
    tick();
    game_frame([&] { service.stations.top_up_radiator(); });
    EXPECT_EQ(notice(), "Already done this!") << "no vehicle followed";
}

// The editor puts a station on the ground where the capture started, with
// the radius walked out, and saves it at once; loading gives it its blip.
TEST_F(StationServicesTest, TheEditorPlacesAStationWhereTheCaptureStarted) {
    auto choose = [&](std::int32_t item) {
        service.editor_menu.toggle();
        tick();
        service.editor_menu.highlighted = item;
        tick_pressing(ScanCode::Numpad5);
    };
    game().teleport_player({-120.0f, 35.0f, 6.0f});  // on Harbour Road
    choose(1);                                       // "Create new Repair Shop"
    EXPECT_FALSE(service.editor_menu.open);
    game().walk_player_to({-111.5f, 35.0f, 6.0f});
    tick_pressing(ScanCode::Y);
    std::string saved = test::read_file("corvalen/service_stations.csv");
    EXPECT_EQ(saved.substr(saved.rfind(",\n-") + 2), "-120.00,35.00,5.00,8,2,Harbour Road,\n");
    EXPECT_EQ(service.stations.places.back().blip, 0) << "blips come with loading";
    service.stations.show_repair_blips = true;
    choose(3);  // "Load stations"
    EXPECT_NE(service.stations.places.back().blip, 0);
}

// Getting out ends the refuelling: the fuel added so far stays in the tank
// and is paid for.
TEST_F(StationServicesTest, GettingOutEndsTheJobsAndPaysForTheFuelSoFar) {
    arrive(kGas, true);
    tick();
    FuelState& state = *service.fuel.state_of(static_cast<host::Handle>(car->handle));
    state.litres = 10.0f;
    float before = cash();
    tick_pressing(ScanCode::Numpad5);
    for (int i = 1; i < 60; ++i)
        tick();
    service.stations.tyres_pending = true;
    game().leave_vehicle();
    tick();
    EXPECT_EQ(notice(), "Fuel cost $15") << "6.66 L at 2.39, 15.92 truncated";
    EXPECT_EQ(cash(), before - 15);
    EXPECT_NEAR(state.litres, 16.66f, 0.01f);
    EXPECT_FALSE(service.stations.refuel_pending);
    EXPECT_FALSE(service.stations.tyres_pending);
    tick();
    EXPECT_EQ(cash(), before - 15) << "paid once";
}

}  // namespace
}  // namespace corvalen
