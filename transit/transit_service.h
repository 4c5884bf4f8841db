#pragma once
// One transit service (bus, boat or ship): its route network and stop file,
// the fleet of vehicles that drive the network around the player, and the
// editor menu. The mod owns three.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/data_folder.h"
#include "core/dice.h"
#include "core/menu.h"
#include "core/screen_text.h"
#include "host/host_game.h"
#include "transit/route_point.h"
#include "transit/service_vehicle.h"

namespace corvalen {

enum class ServiceMode : std::int32_t { Bus = 0, Boat = 1, Ship = 2 };

// Vehicle models of the three services.
inline constexpr std::uint32_t kBusModel = 0xD577C962;
inline constexpr std::uint32_t kShipModel = 0x3F724E66;

class TransitService {
  public:
    // Reads its configuration keys (a null configuration gives the
    // defaults), sets itself up for the mode, loads the stop file and
    // schedules the first spawn.
    TransitService(ServiceMode service_mode, const Config* config);
    // Vehicles point back at their service, so it stays where it was built.
    TransitService(const TransitService&) = delete;
    TransitService& operator=(const TransitService&) = delete;

    // --- the network (route_network.cpp) --------------------------------------------
    // Replaces the points with the stop file's; a missing file is an empty
    // network, and lines that are short, malformed or repeat a position are
    // skipped.
    void load_points();
    // Replaces the stop file with the points; false (the old file kept whole)
    // when it cannot be written.
    bool save_points() const;
    // Appends a point of that type at the player, facing the player's way,
    // and saves. Refuses (false) where a point already has the same truncated
    // position, which the next load would drop along with its connection.
    bool add_point(RoutePointType type);
    // The first point whose truncated position is (link_x, link_y); -1 for
    // (0, 0) or when there is none.
    std::int32_t find_by_link(std::int32_t link_x, std::int32_t link_y) const;
    // The point nearest to (x, y) horizontally, -1 for an empty network.
    std::int32_t nearest_point(float x, float y) const;
    // The nearest stop or capture point in the square of half-size
    // search_extent around the position that is not excluded and, unless the
    // heading is 0 or less, faces the heading within max_angle degrees; -1
    // when none. The distance (+infinity when none) goes to *distance.
    std::int32_t nearest_capturable(host::Vec3 position, float heading, float max_angle,
                                    const std::set<std::int32_t>& excluded,
                                    float* distance = nullptr) const;
    // Where a vehicle leaving point `index` heads; -1 when nowhere.
    std::int32_t next_point(std::int32_t index) const;
    // Another save was loaded: the fleet of the previous world is let go,
    // every point may spawn again, the first spawn waits first_spawn_delay,
    // and the status line is cleared.
    void reset_spawning();

    // --- every frame (transit_service.cpp, fleet.cpp) --------------------------------
    void tick();
    // Spawning, one vehicle's update, then the driver mission.
    void update_fleet();
    // Creates a fleet vehicle at the transform's position facing `heading`;
    // false when the host made none.
    bool spawn_vehicle(const host::Matrix& transform, float heading);

    bool valid_point(std::int32_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < points.size();
    }

    // The network.
    std::string data_folder = kDataFolder;
    std::string stops_file;
    ServiceMode mode;
    bool is_water;
    std::vector<RoutePoint> points;
    bool show_points = false;
    host::Handle inspector_blip = kNoHandle;
    std::int32_t inspector_target = -1;
    bool connecting = false;
    std::int32_t connect_from = -1;
    // Half-size of the square searched for capturable points, and the
    // distance from the player beyond which vehicles are removed.
    std::int32_t search_extent = 230;
    Menu editor_menu{"Bus Service"};  // all three services share the title

    // Tuning (times in game-timer milliseconds, distances in metres, speeds
    // in the host's drive-order units).
    std::int32_t max_vehicles = 6;  // the mode's own cap, after the set-up
    std::int32_t max_buses = 6;
    std::int32_t max_ferries = 5;
    std::int32_t max_ships = 2;
    std::int32_t reduced_cap = 2;      // the cap while the player's standing trims traffic
    std::int32_t reduced_cap_arg = 2;  // the level of that standing
    std::int32_t spawn_delay = 6000;
    std::int32_t spot_cooldown = 60000;
    std::int32_t first_spawn_delay = 20000;
    std::int32_t spawn_max_distance = 180;
    std::int32_t spawn_min_distance = 60;
    std::int32_t occupied_radius = 60;
    float stop_range = 15.0f;
    std::int32_t arrival_distance = 20;
    float halted_speed = 0.05f;
    float stop_speed = 5.0f;  // boats and ships heading for a stop
    float cruise_speed = 8.0f;
    float boarded_speed = 14.0f;  // with the player aboard
    std::int32_t dwell_base = 4000;
    std::int32_t dwell_step = 7000;
    bool capture_enabled = true;
    std::int32_t normal_style = 1;
    std::int32_t boarded_style = 1;
    std::vector<std::uint32_t> models{kBusModel};

    // The fleet.
    std::vector<ServiceVehicle> vehicles;
    std::int32_t update_cursor = 0;
    std::uint32_t next_spawn_time = 0;
    TimedMessage status;
    // Each seeded once: one for the points' spawn order and the models, one
    // for the drivers (and what passengers do).
    Dice spawn_dice = seeded_dice();
    Dice driver_dice = seeded_dice();

  private:
    void set_up_boat();
    void set_up_ship();

    // Steps of update_fleet (fleet.cpp).
    void spawn_around_player(std::uint32_t now);
    std::int32_t choose_spawn_point(std::uint32_t now, host::Vec3 player) const;
    bool occupied(const RoutePoint& point) const;
    void update_next_vehicle();
    bool keep_alive(ServiceVehicle& record, host::Vec3 player) const;

    // Steps of the frame that the editor, passengers, fares and the driver
    // mission fill.
    void editor_frame();
    void update_mission();
    void release_boarders();
    void b_key_action();
    void charge_player();
    void connection_frame();
    void inspect_frame();
};

}  // namespace corvalen
