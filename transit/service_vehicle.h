#pragma once
// One vehicle of a transit service's fleet, with the host driver who drives
// it from point to point (or the player, in the driver mission): its handles,
// its route state, its dwell at stops, its passengers and its stuck check.

#include <cstdint>
#include <set>
#include <vector>

#include "host/host_game.h"
#include "transit/route_point.h"

namespace corvalen {

class TransitService;

class ServiceVehicle {
  public:
    // Builds the record for a vehicle that exists: makes its group, gives a
    // fleet vehicle a host driver (the mission's driver is the player) and
    // its first order, and heads for the link of `start_point` when that
    // point has both link values.
    ServiceVehicle(TransitService& owner, host::Handle vehicle_handle, std::uint32_t object,
                   std::int32_t start_point, bool driven_by_player);

    // One update of a vehicle that passed the keep-alive test: departure,
    // arrival and dwell, capture while wandering, stuck check.
    void update();
    // Gives the driver the order for the current target (or to wander).
    void drive();
    // Leaves the point it stands at for the next one (or to wander).
    void depart();
    // Heads for point `index`; an index that designates no point leaves the
    // vehicle wandering.
    void set_target(std::int32_t index);
    // The point at `target` (or `last_target` while there is none); a
    // stand-alone point at (0, 0, 0) when that index designates no point.
    RoutePoint target_point() const;
    // Releases what the vehicle holds in the host: driver, vehicle, blip and
    // group, each only while it exists, each at most once.
    void remove();

    // Passengers and fares (passengers.cpp).
    // On arrival at a stop near the player: some passengers get off, people
    // nearby are told to get on.
    void exchange_passengers();
    // Tells someone to get on (the player takes any seat, without a limit);
    // false when the vehicle has no seat at all.
    bool board(host::Handle character, bool is_player);
    // Each update: fares for the seats taken at the last stop, then people
    // told to board who did not make it are sent away.
    void check_fares();
    // The vehicle's passenger seats, from the host's vehicle object.
    std::int32_t seats() const;

    // The editor changed the network (transit_editor.cpp).
    // Point `index` was erased: later indices move down; a vehicle heading
    // for it wanders.
    void forget_point(std::int32_t index);
    // The points were reloaded: the vehicle wanders without a past.
    void lose_route();

    host::Handle driver = kNoHandle;
    host::Handle vehicle = kNoHandle;
    std::uint32_t vehicle_object = 0;
    std::int32_t last_target = 0;
    host::Handle group = kNoHandle;
    float player_distance = 0.0f;
    host::Handle blip = kNoHandle;
    bool wandering = true;
    bool player_driven = false;
    TransitService* service = nullptr;
    std::vector<std::int32_t> history;  // points left, oldest first
    std::set<host::Handle> passengers;
    std::int32_t target = -1;
    std::uint32_t depart_time = 0;
    std::uint32_t latest_depart_time = 0;
    std::uint32_t next_capture_check = 0;
    std::uint32_t spawn_time = 0;
    bool at_point = true;
    bool started = false;
    std::int32_t seat_cursor = 0;
    std::int32_t revenue = 0;
    std::int32_t spawn_x = 0;
    std::int32_t spawn_y = 0;
    std::int32_t spawn_z = 0;
    bool stuck = false;
    std::uint32_t next_stuck_check = 0;
    std::int32_t stuck_interval_far = 30000;
    std::int32_t stuck_interval_near = 10000;
    host::Matrix last_transform;
    std::int32_t stuck_distance = 10;
    std::int32_t board_range = 100;
    std::int32_t capture_radius = 60;
    std::int32_t capture_interval = 3000;
    float speed = 0.0f;
    std::int32_t style = 0;
    std::set<std::int32_t> reserved_seats;
    bool fare_due = false;
    std::uint32_t fare_time = 0;
    bool leave_check_due = false;
    std::uint32_t leave_check_time = 0;

  private:
    // No longer at the point it reached; its dwell there, if any, is over.
    void leave_point();
    // Steps of update().
    void approach(std::uint32_t now);
    void capture(std::uint32_t now);
    void check_stuck(std::uint32_t now);
    host::Vec3 position() const;
    bool valid_point(std::int32_t index) const;

    // Each boarding or alighting passenger keeps the vehicle a little longer
    // at the stop, up to its latest departure.
    void extend_dwell();
    void take_fares(std::uint32_t now);
    void send_away_latecomers(std::uint32_t now);

    // The driver mission (driver_mission.cpp): the prompt for the player at
    // the wheel (`distance` to the target while approaching it), and the
    // route blip at the next target.
    void draw_mission_prompt(float distance);
    void move_route_blip();
};

}  // namespace corvalen
