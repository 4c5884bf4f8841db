#pragma once
// A transit service against the stand-in's world, one frame at a time: the
// player stands on open ground south-west of the start. Every case ends with
// no host errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game_frame.h"
#include "transit/transit_service.h"
#include "working_folder.h"

namespace corvalen::test {

inline constexpr hostsim::Vec3 kPlayer{-300.0f, -150.0f, 6.0f};
inline constexpr std::uint8_t kB = 0x30;

inline std::int32_t as_int(host::Handle handle) {
    return static_cast<std::int32_t>(handle);
}

inline RoutePoint point_at(float x, float y, RoutePointType type = RoutePointType::BusStop) {
    RoutePoint point;
    point.x = x;
    point.y = y;
    point.z = 5.0f;
    point.type = static_cast<std::int32_t>(type);
    return point;
}

// A point at an offset from the player's place, on the ground.
inline RoutePoint point_near(float dx, float dy, RoutePointType type = RoutePointType::BusStop) {
    return point_at(kPlayer.x + dx, kPlayer.y + dy, type);
}

// An engine whose next draw from 0..high is `value`: dice fixed for a case.
inline Dice dice_drawing(std::int32_t high, std::int32_t value) {
    for (std::uint32_t seed = 1;; ++seed) {
        if (Dice probe(seed); roll(probe, 0, high) == value)
            return Dice(seed);
    }
}

inline void link(RoutePoint& from, const RoutePoint& to) {
    from.link_x = static_cast<std::int32_t>(to.x);
    from.link_y = static_cast<std::int32_t>(to.y);
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
    void TearDown() override {
        for (const hostsim::JournalEntry& error : world().errors())
            ADD_FAILURE() << "frame " << error.frame << ": " << error.text;
    }

    // A fresh service with these points. No load comes between cases: the
    // last service's vehicles and boarders are let go in the same world.
    TransitService& service_with(ServiceMode mode, std::vector<RoutePoint> points,
                                 const Config* config = nullptr) {
        if (service) {
            game_frame([&] {
                for (ServiceVehicle& record : service->vehicles)
                    record.remove();
                service->end_mission();
                for (const auto& boarder : service->releases)
                    host::release_character(boarder.first);
                service->reset_spawning();
            });
        }
        service.emplace(mode, config);
        service->points = std::move(points);
        return *service;
    }
    hostsim::World& world() { return game().world(); }
    hostsim::Vehicle& car_of(const ServiceVehicle& record) {
        return *world().vehicle(static_cast<std::int32_t>(record.vehicle));
    }
    // A vehicle of the service, made where the player would make one, at `at`.
    ServiceVehicle& spawn_at(hostsim::Vec3 at, float heading = 270.0f) {
        host::Matrix transform;
        transform.rows[3][0] = at.x;
        transform.rows[3][1] = at.y;
        transform.rows[3][2] = at.z;
        game_frame([&] { service->spawn_vehicle(transform, heading); });
        return service->vehicles.back();
    }
    // A bus of the service that has just come to rest where it stands (at
    // its target, when it has one), 40 m west of the player unless told;
    // its driver holds still.
    ServiceVehicle& bus_at(hostsim::Vec3 at = {kPlayer.x - 40, kPlayer.y, 6.0f},
                           std::int32_t target = -1) {
        ServiceVehicle& record = spawn_at(at);
        record.started = true;
        game_frame([&] {
            if (target >= 0)
                record.set_target(target);
            host::clear_character_orders(record.driver);
        });
        record.at_point = true;
        record.depart_time = world().game_timer() + 4000;
        record.latest_depart_time = world().game_timer() + 32000;
        return record;
    }
    // One frame of the whole service, as the mod runs it; what it drew.
    hostsim::DrawRecord tick() {
        return game_frame([&] { service->tick(); });
    }
    hostsim::DrawRecord press(std::uint8_t key) {
        game().press_key(key);
        return tick();
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
    static std::vector<const hostsim::DrawItem*> drawn(const hostsim::DrawRecord& draws,
                                                       hostsim::DrawKind kind) {
        std::vector<const hostsim::DrawItem*> found;
        for (const hostsim::DrawItem& item : draws) {
            if (item.kind == kind)
                found.push_back(&item);
        }
        return found;
    }
    // The pointers lead into the record, so it must outlive them.
    static std::vector<const hostsim::DrawItem*> drawn(hostsim::DrawRecord&&,
                                                       hostsim::DrawKind) = delete;
    static bool has_text(const hostsim::DrawRecord& draws, const std::string& text) {
        std::vector<std::string> texts = texts_of(draws);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    WorkingFolder folder;
    std::optional<TransitService> service;
};

}  // namespace corvalen::test
