#pragma once
// A transit service against the stand-in's world, one frame at a time: the
// player stands on open ground south-west of the start, the test gives the
// service its points, and each frame runs inside the stand-in's frame.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "game_frame.h"
#include "transit/transit_service.h"
#include "working_folder.h"

namespace corvalen::test {

inline constexpr hostsim::Vec3 kPlayer{-300.0f, -150.0f, 6.0f};

// A point at an offset from the player's place, on the ground.
inline RoutePoint point_near(float dx, float dy, RoutePointType type = RoutePointType::BusStop) {
    RoutePoint point;
    point.x = kPlayer.x + dx;
    point.y = kPlayer.y + dy;
    point.z = 5.0f;
    point.type = static_cast<std::int32_t>(type);
    return point;
}

class TransitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        game().teleport_player(kPlayer);
        std::filesystem::create_directories("corvalen");
        // From the second frame on each frame moves the timer on.
        game_frame([] {});
    }

    TransitService& service_with(ServiceMode mode, std::vector<RoutePoint> points) {
        service.emplace(mode, nullptr);
        service->points = std::move(points);
        return *service;
    }
    hostsim::World& world() { return game().world(); }
    hostsim::Vehicle& car_of(const ServiceVehicle& record) {
        return *world().vehicle(static_cast<std::int32_t>(record.vehicle));
    }
    // The next frame's timer reads `ms`.
    void set_timer(std::uint32_t ms) {
        game().pass_game_time(ms - world().game_timer() - world().settings().frame_ms);
    }
    // One frame of the fleet, with a spawn attempt due.
    void spawn_frame() {
        service->next_spawn_time = world().game_timer() - 1;
        fleet_frame();
    }
    void fleet_frame() {
        game_frame([&] { service->update_fleet(); });
    }
    void expect_no_host_errors() {
        for (const hostsim::JournalEntry& error : world().errors())
            ADD_FAILURE() << "frame " << error.frame << ": " << error.text;
    }

    WorkingFolder folder;
    std::optional<TransitService> service;
};

}  // namespace corvalen::test
