#pragma once
// One transit service (bus, boat or ship): its route network and stop file,
// the fleet of vehicles that drive the network around the player, and the
// editor menu. The mod owns three.

#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/config.h"
#include "core/data_folder.h"
#include "core/dice.h"
#include "core/menu.h"
#include "core/screen_text.h"
#include "host/host_game.h"
#include "transit/point_grid.h"
#include "transit/route_point.h"
#include "transit/service_vehicle.h"

namespace corvalen {

// Points a vehicle left lately, which it is not to be captured by again.
using RecentPoints = std::span<const std::int32_t>;

enum class ServiceMode : std::int32_t { Bus = 0, Boat = 1, Ship = 2 };

// The stop file of a service, in the data folder.
const char* stops_file_for(ServiceMode mode);

// Vehicle models of the three services.
inline constexpr std::uint32_t kBusModel = 0xD577C962;
inline constexpr std::uint32_t kShipModel = 0x3F724E66;

// Action ids of the items of a service's editor menu.
enum EditorAction : std::int32_t {
    kAddBusStop = 1,
    kAddWayPoint = 2,
    kAddSpawnSpot = 3,
    kAddCapturePoint = 4,
    kDeletePoint = 7,
    kMakeConnection = 8,
    kMarkBackwards = 10,
    kSpawnVehicle = 11,
    kShowPoints = 13,
    kLoadPoints = 16,
    kSavePoints = 17,
};

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
    // network, and lines that repeat a position are skipped. Lines that are
    // short or malformed are kept for the next save. False when the file is
    // there but could not be read.
    bool load_points();
    // Replaces the stop file with the points and the kept lines; false (the
    // old file kept whole) when it cannot be written, or when it could not
    // be read at the last load and so holds points this network never had.
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
                                    RecentPoints excluded, float* distance = nullptr) const;
    // Where a vehicle leaving point `index` heads; -1 when nowhere (a point
    // linked to itself leads nowhere).
    std::int32_t next_point(std::int32_t index) const;
    // Another save was loaded: the fleet and the driver mission of the
    // previous world are let go, every point may spawn again, the first spawn waits
    // first_spawn_delay, and the status line is cleared.
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

    // --- passengers and fares (passengers.cpp) -----------------------------------------
    // The player pressed B on foot, riding, or during a driver mission: stops
    // the fleet vehicle the player rides in (and lets him off), or boards the
    // nearest one within reach.
    void passenger_action();
    // Takes the player's fare ten seconds after boarding, if still aboard.
    void charge_player();
    // Lets go of the people told to board more than 15 seconds ago.
    void release_boarders();

    // --- the driver mission (driver_mission.cpp) ---------------------------------------
    // The player sits at the wheel of a vehicle of one of the service's models.
    bool player_drives_service_vehicle() const;
    // The player's vehicle becomes a service vehicle driven by the player.
    void start_mission();
    // The mission's frame: its vehicle's update and the panel, or its end
    // once the player no longer drives that vehicle.
    void update_mission();
    // Lets go of what the mission holds; never the player's character or
    // vehicle.
    void end_mission();

    // --- the editor (transit_editor.cpp) -----------------------------------------------
    void editor_frame();
    void connection_frame();
    void inspect_frame();
    // Erases a point; the vehicles' indices that follow it move down with it,
    // and a vehicle that was heading for it wanders.
    void delete_point(std::int32_t index);

    // The network.
    std::string data_folder = kDataFolder;
    std::string stops_file;
    ServiceMode mode;
    bool is_water;
    std::vector<RoutePoint> points;
    // Made again whenever the points change: at a load, an addition, a
    // deletion; a search finding it over other points makes it first.
    void index_points() const { grid.build(points); }
    const PointGrid& point_grid() const {
        if (!grid.covers(points))
            index_points();
        return grid;
    }
    std::vector<std::string> kept_lines;  // of the stop file, held no point
    bool stops_file_unread = false;       // there, but not read at the last load
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
    std::int32_t max_vehicles =
        settings::max_busses.fallback;  // the mode's own cap, after the set-up
    std::int32_t max_buses = settings::max_busses.fallback;
    std::int32_t max_ferries = settings::max_ferries.fallback;
    std::int32_t max_ships = settings::max_ships.fallback;
    std::int32_t reduced_cap = 2;      // the cap while the player's standing trims traffic
    std::int32_t reduced_cap_arg = 2;  // the level of that standing
    std::int32_t spawn_delay = settings::bus_spawn_delay.fallback;
    std::int32_t spot_cooldown = settings::bus_spawn_spot_delay.fallback;
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

    // Passengers and fares.
    std::int32_t fare = 3;              // dollars
    bool all_leave = false;             // everyone gets off at every stop (boats, ships)
    float board_search_radius = 60.0f;  // how far from the vehicle boarders are found
    // The people told to board, and when.
    std::vector<std::pair<host::Handle, std::uint32_t>> releases;
    bool player_fare_due = false;
    std::uint32_t player_fare_time = 0;

    // The driver mission.
    bool mission_allowed = true;
    bool mission_active = false;
    std::unique_ptr<ServiceVehicle> mission_vehicle;  // not one of `vehicles`
    std::int32_t mission_passengers = 0;
    std::int32_t mission_revenue = 0;
    host::Handle mission_blip = kNoHandle;  // the next stop on the map

    // The truncated position of the point a connection capture started from,
    // by which it is found again however the points changed meanwhile.
    std::int32_t connect_x = 0;
    std::int32_t connect_y = 0;

  private:
    void set_up_boat();
    void set_up_ship();

    // Steps of update_fleet (fleet.cpp).
    void spawn_around_player(std::uint32_t now);
    std::int32_t choose_spawn_point(std::uint32_t now, host::Vec3 player) const;
    bool occupied(const RoutePoint& point) const;
    mutable PointGrid grid;
    void update_next_vehicle();
    bool keep_alive(ServiceVehicle& record, host::Vec3 player) const;

    // B: the passenger action, or the start of a driver mission.
    void b_key_action();
    // The fleet vehicle (that still exists) the character sits in; null when
    // none.
    ServiceVehicle* vehicle_carrying(host::Handle character);
    void draw_mission_panel() const;

    // Editor steps (transit_editor.cpp).
    void build_editor_menu();
    void act_on_editor_item(std::int32_t action);
    void start_connection();
    // The point the connection capture started from, -1 when it is gone.
    std::int32_t connection_source() const;
    // The network was reloaded: no index a vehicle holds means anything.
    void reload_points();
    void drop_inspector_blip();
    // Every vehicle of the service, the mission's included.
    template <typename Action>
    void for_each_vehicle(Action action) {
        for (ServiceVehicle& record : vehicles)
            action(record);
        if (mission_vehicle)
            action(*mission_vehicle);
    }
};

}  // namespace corvalen
