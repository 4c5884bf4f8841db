// A service's editor menu against the stand-in: the menu, connections made
// with Y, edits under a running fleet, and the point inspector.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transit_fixture.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
using test::kPlayer;
using test::point_near;
using test::read_file;
using test::texts_of;

constexpr std::uint8_t kNumpad5 = 0x4C;
constexpr std::uint8_t kY = 0x15;
constexpr std::uint8_t kN = 0x31;

// The editor's items in menu order.
constexpr std::int32_t kItems[] = {kAddBusStop,     kAddSpawnSpot,  kAddWayPoint, kAddCapturePoint,
                                   kMakeConnection, kMarkBackwards, kDeletePoint, kSpawnVehicle,
                                   kLoadPoints,     kSavePoints,    kShowPoints};

class EditorTest : public test::TransitTest {
  protected:
    void SetUp() override {
        TransitTest::SetUp();
        // Three points in a row east of the player, 50 m apart.
        service_with(ServiceMode::Bus, {point_near(0, 0), point_near(50, 0), point_near(100, 0)});
        service->next_spawn_time = world().game_timer() + 100000000;
    }
    // Opens the editor menu if it is closed and chooses the item.
    hostsim::DrawRecord choose(std::int32_t action) {
        Menu& menu = service->editor_menu;
        if (!menu.open) {
            menu.toggle();
            tick();  // opened menus first arm
        }
        menu.highlighted = static_cast<std::int32_t>(
            std::find(std::begin(kItems), std::end(kItems), action) - std::begin(kItems));
        return press(kNumpad5);
    }
    void stand_at(std::int32_t point) {
        const RoutePoint& at = service->points[static_cast<std::size_t>(point)];
        game().teleport_player({at.x, at.y, 6.0f});
    }
    void stand_at(float dx, float dy) {
        game().teleport_player({kPlayer.x + dx, kPlayer.y + dy, 6.0f});
    }
    std::string stop_file() { return read_file("corvalen/bus_stops.csv"); }
    std::vector<std::int32_t> links_x() {
        std::vector<std::int32_t> links;
        for (const RoutePoint& point : service->points)
            links.push_back(point.link_x);
        return links;
    }
    // A fleet vehicle west of the points, driving to one of them.
    ServiceVehicle& vehicle_heading_for(std::int32_t point, float dx) {
        ServiceVehicle& record = spawn_at({kPlayer.x + dx, kPlayer.y + 10, 6.0f});
        game_frame([&] { record.set_target(point); });
        return record;
    }
    std::size_t orders_of(const ServiceVehicle& record) {
        std::string name =
            "vehicle " + hostsim::hex(static_cast<std::uint32_t>(record.vehicle)) + " ordered";
        return static_cast<std::size_t>(std::count_if(
            world().journal().begin(), world().journal().end(),
            [&](const hostsim::JournalEntry& e) { return e.text.rfind(name, 0) == 0; }));
    }
    std::vector<const hostsim::DrawItem*> circles(const hostsim::DrawRecord& draws) {
        std::vector<const hostsim::DrawItem*> found;
        for (const hostsim::DrawItem& item : draws) {
            if (item.kind == hostsim::DrawKind::circle)
                found.push_back(&item);
        }
        return found;
    }
};

TEST_F(EditorTest, SpawningAndLoadingKeepTheMenuOpenEveryOtherItemClosesIt) {
    for (std::int32_t action : kItems) {
        SCOPED_TRACE(action);
        stand_at(10.0f * static_cast<float>(action), 30);  // adds never meet an old point
        choose(action);
        bool stays = action == kSpawnVehicle || action == kLoadPoints;
        EXPECT_EQ(service->editor_menu.open, stays);
        service->connecting = false;
        service->show_points = false;
        EXPECT_EQ(texts_of(tick()).empty(), !stays) << "a closed menu draws nothing";
        service->editor_menu.close();
    }
}

TEST_F(EditorTest, ACapturePointIsSavedThenLinkedToThePointWhereYIsPressed) {
    stand_at(25, 0);
    choose(kAddCapturePoint);
    ASSERT_EQ(service->points.size(), 4u);
    EXPECT_TRUE(service->connecting);
    EXPECT_EQ(service->connect_from, 3) << "from the point just added";
    std::string added = stop_file();
    EXPECT_NE(added.find(",3,0,0,0,\n"), std::string::npos) << added;

    stand_at(52, 1);  // beside the second point
    hostsim::DrawRecord shown = tick();
    EXPECT_EQ(texts_of(shown),
              std::vector<std::string>{"Adding. Go and press Y to save, or N to cancel."});
    press(kY);
    EXPECT_FALSE(service->connecting);
    EXPECT_EQ(service->points[3].link_x, static_cast<std::int32_t>(kPlayer.x + 50));
    EXPECT_EQ(service->points[3].link_y, static_cast<std::int32_t>(kPlayer.y));
    std::string linked = stop_file();
    EXPECT_NE(linked, added) << "saved again with the link";
    EXPECT_NE(linked.find(",3,0,-250,-150,\n"), std::string::npos) << linked;

    // N cancels and writes nothing.
    stand_at(0);
    choose(kMakeConnection);
    stand_at(2);
    press(kN);
    EXPECT_FALSE(service->connecting);
    EXPECT_EQ(service->points[0].link_x, 0);
    EXPECT_EQ(stop_file(), linked);
}

TEST_F(EditorTest, YFindsTheCapturesPointAgainOrWritesNothingWhenItIsGone) {
    struct Case {
        const char* deleted;
        std::int32_t capture_from;
        std::int32_t delete_at;
        std::int32_t y_at;                // where Y is pressed, after the delete
        std::vector<std::int32_t> links;  // link_x of each point afterwards
    };
    const std::int32_t first = static_cast<std::int32_t>(kPlayer.x);
    const Case cases[] = {
        // The capture's own point: nothing is written anywhere, neither past
        // the end nor into the point that took its place.
        {"its own point, the last", 2, 2, 1, {0, 0}},
        {"its own point, the middle one", 1, 1, 0, {0, 0}},
        // An earlier point: the source moved down one place and still links
        // to the point where Y is pressed.
        {"an earlier point", 2, 0, 0, {0, first + 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deleted);
        SetUp();
        ASSERT_TRUE(service->save_points());
        stand_at(c.capture_from);
        choose(kMakeConnection);
        ASSERT_EQ(service->connect_from, c.capture_from);
        stand_at(c.delete_at);
        choose(kDeletePoint);
        ASSERT_EQ(service->points.size(), 2u);
        std::string before = stop_file();
        stand_at(c.y_at);  // the old second point
        press(kY);
        EXPECT_FALSE(service->connecting);
        EXPECT_EQ(links_x(), c.links);
        EXPECT_EQ(stop_file() == before, c.links[1] == 0) << "saved only when linked";
    }
}

TEST_F(EditorTest, DeletingAndLoadingRenumberOrReleaseTheVehiclesTargets) {
    ASSERT_TRUE(service->save_points());
    vehicle_heading_for(2, -100);
    vehicle_heading_for(0, -120);
    ServiceVehicle& far = service->vehicles[0];
    ServiceVehicle& near = service->vehicles[1];
    far.history = {0, 1};
    std::size_t orders = orders_of(far);

    stand_at(0);
    choose(kDeletePoint);
    EXPECT_EQ(far.target, 1) << "the same point, one place down";
    EXPECT_EQ(far.last_target, 1);
    EXPECT_EQ(far.history, std::vector<std::int32_t>{0});
    EXPECT_EQ(orders_of(far), orders) << "its driver drives on to the same point";
    EXPECT_EQ(car_of(far).order.target.x, kPlayer.x + 100);
    EXPECT_TRUE(near.wandering) << "its point is gone";
    EXPECT_EQ(near.target, -1);
    EXPECT_EQ(car_of(near).order.kind, hostsim::DriveOrder::Kind::wander);

    choose(kLoadPoints);
    ASSERT_EQ(service->points.size(), 3u) << "the deleted point is back";
    EXPECT_EQ(service->points[0].x, kPlayer.x);
    for (const ServiceVehicle& record : service->vehicles) {
        EXPECT_TRUE(record.wandering);
        EXPECT_EQ(record.target, -1);
        EXPECT_TRUE(record.history.empty());
        EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::wander);
    }
}

TEST_F(EditorTest, APointLinkedToItselfLeadsNowhereButIsKeptInTheFile) {
    stand_at(1);
    choose(kMakeConnection);
    press(kY);  // without moving
    EXPECT_EQ(service->points[1].link_x, static_cast<std::int32_t>(kPlayer.x + 50));
    EXPECT_NE(stop_file().find(",0,0,-250,-150,\n"), std::string::npos);
    EXPECT_EQ(service->next_point(1), -1);

    // A vehicle leaving it wanders instead of arriving there for ever.
    ServiceVehicle& record = vehicle_heading_for(1, -20);
    record.at_point = true;
    record.depart_time = 0;
    tick();
    tick();
    EXPECT_TRUE(record.wandering);
}

TEST_F(EditorTest, TheInspectorFollowsTheNearestPointWithOneLinkBlip) {
    test::link(service->points[0], service->points[1]);
    test::link(service->points[1], service->points[2]);
    service->points[0].heading = 270.5f;
    stand_at(0);
    choose(kShowPoints);
    ASSERT_TRUE(service->show_points);

    hostsim::DrawRecord shown = tick();
    EXPECT_EQ(texts_of(shown), (std::vector<std::string>{"xyz", "-300", "-150", "5", "heading",
                                                         "270", "connection xy", "-250", "-150",
                                                         "type", "0", "normal", "0"}));
    std::vector<const hostsim::DrawItem*> marks = circles(shown);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0]->colour, (hostsim::Colour{128, 0, 0, 255})) << "a stop with a link";
    EXPECT_EQ(marks[1]->x, kPlayer.x + 50) << "the point it links to";
    EXPECT_EQ(marks[1]->colour, (hostsim::Colour{0, 128, 0, 255}));
    ASSERT_EQ(world().blip_count(), 1u);
    EXPECT_EQ(world().blips().begin()->second.position.x, kPlayer.x + 50);

    stand_at(1);
    tick();
    ASSERT_EQ(world().blip_count(), 1u);
    EXPECT_EQ(world().blips().begin()->second.position.x, kPlayer.x + 100);
    stand_at(2);
    shown = tick();
    EXPECT_EQ(world().blip_count(), 0u) << "no link, no blip";
    EXPECT_EQ(circles(shown).size(), 1u);

    // A link to a point that is gone shows no target and keeps no blip.
    stand_at(1);
    tick();
    service->points.pop_back();
    tick();
    EXPECT_EQ(world().blip_count(), 0u);

    stand_at(0);
    tick();
    EXPECT_EQ(world().blip_count(), 1u);
    choose(kShowPoints);
    EXPECT_FALSE(service->show_points);
    EXPECT_EQ(world().blip_count(), 0u) << "switching the points off takes the blip";
}

TEST_F(EditorTest, SpawnBusCreatesAVehicleAtThePlayerFacingHisWay) {
    stand_at(20, 40);
    world().player().object.set_heading(135.0f);
    choose(kSpawnVehicle);
    ASSERT_EQ(service->vehicles.size(), 1u);
    const hostsim::Vehicle& car = car_of(service->vehicles[0]);
    EXPECT_EQ(car.model, kBusModel);
    EXPECT_EQ(car.object.position().x, kPlayer.x + 20);
    EXPECT_NEAR(car.object.heading(), 135.0f, 0.01f);
    EXPECT_EQ(texts_of(tick()).back(), "Show bus stops") << "the menu stays open";

    // The boat service's item spawns a boat, on land too, at height 0.
    service_with(ServiceMode::Boat, {});
    choose(kSpawnVehicle);
    ASSERT_EQ(service->vehicles.size(), 1u);
    EXPECT_EQ(car_of(service->vehicles[0]).object.position().z, 0.0f);
}

TEST_F(EditorTest, ADwellCutShortLeavesNoWaitForTheNextPoint) {
    // The bus dwells at the stop S; the capture point C 12 m on leads to the
    // way point W. However the dwell is cut short, C is passed at once.
    enum class Cut { fare_paid, stop_deleted, points_reloaded };
    for (Cut cut : {Cut::fare_paid, Cut::stop_deleted, Cut::points_reloaded}) {
        SCOPED_TRACE(static_cast<int>(cut));
        RoutePoint stop = point_near(0, 20);
        RoutePoint capture = point_near(12, 20, RoutePointType::CapturePoint);
        RoutePoint way = point_near(100, 20, RoutePointType::WayPoint);
        test::link(stop, capture);
        test::link(capture, way);
        service_with(ServiceMode::Bus, {stop, capture, way});
        ASSERT_TRUE(service->save_points());
        ServiceVehicle& record = spawn_at({stop.x, stop.y, 6.0f});
        game_frame([&] {
            record.set_target(0);
            host::clear_character_orders(record.driver);
        });
        record.started = true;
        record.at_point = true;
        record.depart_time = world().game_timer() + 30000;
        if (cut == Cut::fare_paid) {
            ASSERT_TRUE(game().enter_vehicle(test::as_int(record.vehicle), 0));
            service->player_fare_due = true;
            service->player_fare_time = world().game_timer();
            tick();
        } else {
            stand_at(0.0f, 20.0f);
            choose(cut == Cut::stop_deleted ? kDeletePoint : kLoadPoints);
            // Captured where it stands, as a wandering bus would be.
            game_frame([&] { record.set_target(service->find_by_link(stop.link_x, stop.link_y)); });
        }
        for (int frame = 0; frame < 3; ++frame)
            tick();
        EXPECT_EQ(record.target_point().x, way.x);
        game().leave_vehicle();
        game_frame([&] { service->reset_spawning(); });
        service->editor_menu.close();
    }
}

}  // namespace
}  // namespace corvalen
