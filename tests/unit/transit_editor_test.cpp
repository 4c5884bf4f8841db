// A service's editor menu against the stand-in: the menu, connections made
// with Y, edits under a running fleet, and the point inspector.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transit_fixture.h"

namespace corvalen::test {
namespace {

constexpr std::uint8_t kNumpad5 = 0x4C;
constexpr std::uint8_t kY = 0x15;
constexpr std::uint8_t kN = 0x31;

// The editor's items in menu order.
constexpr std::int32_t kItems[] = {kAddBusStop,     kAddSpawnSpot,  kAddWayPoint, kAddCapturePoint,
                                   kMakeConnection, kMarkBackwards, kDeletePoint, kSpawnVehicle,
                                   kLoadPoints,     kSavePoints,    kShowPoints};

class EditorTest : public TransitTest {
  protected:
    void SetUp() override {
        TransitTest::SetUp();
        // Two stops and a way point in a row east of the player, 50 m apart.
        service_with(ServiceMode::Bus, {point_near(0, 0), point_near(50, 0),
                                        point_near(100, 0, RoutePointType::WayPoint)})
            .next_spawn_time += 100000000;
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
    EXPECT_EQ(service->connect_from, 3) << "from the point just added";
    std::string added = stop_file();
    EXPECT_NE(added.find(",3,0,0,0,\n"), std::string::npos) << added;

    stand_at(52, 1);  // beside the second point
    hostsim::DrawRecord shown = tick();
    EXPECT_EQ(texts_of(shown),
              std::vector<std::string>{"Adding. Go and press Y to save, or N to cancel."});
    press(kY);
    EXPECT_FALSE(service->connecting);
    std::string linked = stop_file();
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
        std::int32_t capture_from, delete_at;
        std::int32_t y_at;         // where Y is pressed, after the delete
        std::int32_t second_link;  // link_x of the second point afterwards
    };
    const Case cases[] = {
        // The capture's own point: nothing is written anywhere, neither past
        // the end nor into the point that took its place.
        {"its own point, the last", 2, 2, 1, 0},
        {"its own point, the middle one", 1, 1, 0, 0},
        // An earlier point: the source moved down one place and still links
        // to the point where Y is pressed.
        {"an earlier point", 2, 0, 0, static_cast<std::int32_t>(kPlayer.x) + 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deleted);
        SetUp();
        ASSERT_TRUE(service->save_points());
        stand_at(c.capture_from);
        choose(kMakeConnection);
        stand_at(c.delete_at);
        choose(kDeletePoint);
        std::string before = stop_file();
        stand_at(c.y_at);  // the old second point
        press(kY);
        EXPECT_FALSE(service->connecting);
        EXPECT_EQ(service->points[0].link_x, 0);
        EXPECT_EQ(service->points[1].link_x, c.second_link);
        EXPECT_EQ(stop_file() == before, c.second_link == 0) << "saved only when linked";
    }
}

TEST_F(EditorTest, DeletingAndLoadingRenumberOrReleaseTheVehiclesTargets) {
    ASSERT_TRUE(service->save_points());
    spawn_at({kPlayer.x - 100, kPlayer.y + 10, 6.0f});
    spawn_at({kPlayer.x - 120, kPlayer.y + 10, 6.0f});
    ServiceVehicle& far = service->vehicles[0];
    ServiceVehicle& near = service->vehicles[1];
    game_frame([&] {
        far.set_target(2);
        near.set_target(0);
    });
    far.history = {0, 1};

    stand_at(0);
    choose(kDeletePoint);
    EXPECT_EQ(far.target, 1) << "the same point, one place down";
    EXPECT_EQ(far.history, std::vector<std::int32_t>{0});
    EXPECT_EQ(car_of(far).order.target.x, kPlayer.x + 100);
    EXPECT_EQ(near.target, -1) << "its point is gone";
    EXPECT_EQ(car_of(near).order.kind, hostsim::DriveOrder::Kind::wander);

    choose(kLoadPoints);
    ASSERT_EQ(service->points.size(), 3u) << "the deleted point is back";
    for (const ServiceVehicle& record : service->vehicles) {
        EXPECT_EQ(record.target, -1);
        EXPECT_TRUE(record.history.empty());
        EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::wander);
    }
}

TEST_F(EditorTest, TheInspectorFollowsTheNearestPointWithOneLinkBlip) {
    link(service->points[0], service->points[1]);
    link(service->points[1], service->points[2]);
    service->points[0].heading = 270.5f;
    stand_at(2);
    choose(kShowPoints);
    ASSERT_TRUE(service->show_points);
    const hostsim::DrawRecord first = tick();
    std::vector<const hostsim::DrawItem*> marks = drawn(first, hostsim::DrawKind::circle);
    ASSERT_EQ(marks.size(), 1u) << "no link, no target";
    EXPECT_EQ(marks[0]->colour, (hostsim::Colour{60, 20, 128, 255})) << "a way point";
    EXPECT_EQ(world().blip_count(), 0u);

    stand_at(0);
    hostsim::DrawRecord shown = tick();
    EXPECT_EQ(texts_of(shown), (std::vector<std::string>{"xyz", "-300", "-150", "5", "heading",
                                                         "270", "connection xy", "-250", "-150",
                                                         "type", "0", "normal", "0"}));
    marks = drawn(shown, hostsim::DrawKind::circle);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0]->colour, (hostsim::Colour{128, 0, 0, 255})) << "a stop with a link";
    EXPECT_EQ(marks[1]->x, kPlayer.x + 50) << "the point it links to";
    EXPECT_EQ(marks[1]->colour, (hostsim::Colour{0, 128, 0, 255}));
    ASSERT_EQ(world().blip_count(), 1u);
    EXPECT_EQ(world().blips().begin()->second.position.x, kPlayer.x + 50);
    stand_at(1);
    tick();
    ASSERT_EQ(world().blip_count(), 1u);
    EXPECT_EQ(world().blips().begin()->second.position.x, kPlayer.x + 100) << "the blip moved";
    choose(kShowPoints);
    EXPECT_EQ(world().blip_count(), 0u) << "switching the points off takes the blip";
}

TEST_F(EditorTest, SpawnBusCreatesAVehicleAtThePlayerFacingHisWay) {
    stand_at(20, 40);
    world().player().object.set_heading(135.0f);
    choose(kSpawnVehicle);
    ASSERT_EQ(service->vehicles.size(), 1u);
    const hostsim::Vehicle& car = car_of(service->vehicles[0]);
    EXPECT_EQ(car.object.position().x, kPlayer.x + 20);
    EXPECT_NEAR(car.object.heading(), 135.0f, 0.01f);
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
        link(stop, capture);
        link(capture, way);
        service_with(ServiceMode::Bus, {stop, capture, way});
        ASSERT_TRUE(service->save_points());
        ServiceVehicle& record = bus_at({stop.x, stop.y, 6.0f}, 0);
        record.depart_time += 26000;
        if (cut == Cut::fare_paid) {
            ASSERT_TRUE(game().enter_vehicle(as_int(record.vehicle), 0));
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
    }
}

}  // namespace
}  // namespace corvalen::test
