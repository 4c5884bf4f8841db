#pragma once
// The simulated game world: the player, vehicles, statistics and save games,
// keys, the game timer and clock, blips and what is drawn each frame. Natives
// and the host functions act on it; the scenario API drives it between frames.
// It knows nothing about the module image.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hostsim/draw_record.h"
#include "hostsim/entities.h"

namespace hostsim {

// Statistics the plug-in relies on.
inline constexpr std::int32_t kCashStat = 108;          // float
inline constexpr std::int32_t kSavedXStat = 210;        // float, 211 y, 212 z
inline constexpr std::int32_t kDayCountStat = 260;      // integer
inline constexpr std::int32_t kSaveIdentityStat = 429;  // integer

inline constexpr std::int32_t kPlayerIndex = 0;
inline constexpr std::int32_t kPlayerHandle = 0x2A;  // differs from the index on purpose
// The group the game keeps for the player, which scripts may fill.
inline constexpr std::int32_t kPlayerGroup = 0x4000;
inline constexpr std::uint32_t kPlayerModel = 0x6F0783F5;
// The seed handed out when no game runs.
inline constexpr std::uint32_t kFallbackRandomSeed = 0x5EED;

struct WorldSettings {
    Vec3 player_start{-120.0f, 35.0f, 6.0f};
    float player_heading = 0.0f;
    float cash = 5000.0f;
    std::int32_t save_identity = 0;  // stat 429 of the game that is running
    std::uint32_t game_timer_start = 30000;
    std::uint32_t frame_ms = 33;                       // game time per frame
    std::int64_t wall_clock_start_ms = 1767225600000;  // 2026-01-01 00:00 UTC
    std::int64_t wall_ms_per_frame = 33;
    std::uint32_t clock_rate = 30;  // game clock runs 30 times faster than game time
    int clock_hour = 12;
    int clock_minute = 0;
    int day = 1;
    int month = 1;
    std::int32_t day_count = 0;
    int save_screen_frames = 30;
    // When the save is written: at the end of the save screen's last frame,
    // or (true) at the end of the frame that opened it, before any frame in
    // which the plug-in sees the game not playing.
    bool save_written_at_open = false;
    int load_screen_frames = 10;
    bool parked_vehicles = true;  // a few vehicles standing near the start
    // The plug-in's random engines get this seed, the next one, and so on.
    std::uint32_t random_seed = 1;
    // The area value the game gives where a car is left (native 0x4E493AAF).
    std::uint32_t area_code = 0x1E;
    // The process's time zone (a TZ value such as "IST-5:30"), set when the
    // host boots; empty leaves the machine's own.
    std::string time_zone;
};

struct ClockReading {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int day = 1;
    int month = 1;
    std::int32_t day_count = 0;
};

struct Blip {
    std::int32_t handle = 0;
    Vec3 position;
    std::int32_t entity = 0;  // the character or vehicle it follows, 0 for a fixed point
    std::int32_t sprite = 0;
    std::int32_t colour = 0;
    bool short_range = false;
    std::int32_t alpha = 255;
    std::int32_t display = 2;
    float scale = 1.0f;
    std::int32_t setting = 0;  // the further setting (native 0x69EC0E70)
    std::string name;
};

struct SaveGame {
    std::map<std::int32_t, std::int32_t> int_stats;
    std::map<std::int32_t, float> float_stats;
    std::uint32_t game_timer = 0;
    std::uint32_t clock_ms = 0;
    int day = 1;
    int month = 1;
    Vec3 player_position;
    float player_heading = 0.0f;
    std::uint32_t saved_frame = 0;
};

// A line of the world's journal: money, statistics written, blips, saves,
// loads and other effects, in the order they happened.
struct JournalEntry {
    std::uint32_t frame = 0;
    std::string text;
};

// What the traffic has done so far.
struct TrafficCounts {
    int vehicles_created = 0;   // by the vehicle factory
    int vehicles_released = 0;  // given back by a script
    int arrivals = 0;           // drives that came to rest at their target
};

// The model of the drivers the game puts into vehicles.
inline constexpr std::uint32_t kDriverModel = 0x4B1C96F2;
// The model of the people about the streets.
inline constexpr std::uint32_t kPedestrianModel = 0x5A7E0D31;

// A line of speech a script made a character say.
struct Speech {
    std::uint32_t frame = 0;
    std::int32_t character = 0;
    std::string line;
};

struct VehicleModel {
    std::uint32_t id;
    const char* name;
    int passenger_seats;
};
const std::vector<VehicleModel>& vehicle_models();
// The models of people on foot the game has (besides the player's).
const std::vector<std::uint32_t>& pedestrian_models();

// The lie of the land (world_map.cpp): the named streets, each a rectangle
// on the ground, and the land, which lies between two x and south of a y;
// the rest is sea.
struct MapStreet {
    std::int32_t id;
    const char* name;
    float min_x, min_y, max_x, max_y;
};
const std::vector<MapStreet>& map_streets();
struct MapLand {
    float west, east, north;
};
MapLand map_land();

class World {
  public:
    explicit World(const WorldSettings& settings = {});
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    const WorldSettings& settings() const { return settings_; }

    // --- frames and time ---------------------------------------------------------
    // Frame numbers count from 1; 0 means "before the first frame" (load time).
    void begin_frame();
    void end_frame();
    std::uint32_t frame() const { return frame_; }
    std::uint32_t game_timer() const { return game_timer_; }
    std::int64_t wall_clock_ms() const { return wall_clock_ms_; }
    std::int64_t wall_clock_seconds() const;
    ClockReading clock() const;
    std::uint32_t clock_seconds() const;  // what the clock-seconds global holds
    void set_clock(int hour, int minute);
    void advance_day();
    // Game time (timer and clock) or wall-clock time passes: every frame, and
    // between frames when a scenario says so.
    void pass_game_time(std::uint32_t ms);
    void pass_wall_time(std::int64_t ms);
    // Seeds for the plug-in's random engines, in the order it asks.
    std::uint32_t next_random_seed() { return settings_.random_seed + seeds_given_++; }

    // --- keys ----------------------------------------------------------------------
    // A press lasts exactly the frame it is scheduled for; a hold keeps the key
    // down through frames from..to and counts as a press in its first frame.
    void schedule_press(std::uint32_t frame, std::uint8_t scan_code);
    void schedule_hold(std::uint32_t from, std::uint32_t to, std::uint8_t scan_code);
    void release_key(std::uint8_t scan_code);  // ends holds after the current frame
    bool key_pressed(std::uint32_t scan_code) const;
    bool key_held(std::uint32_t scan_code) const;

    // --- the player ------------------------------------------------------------------
    Character& player() { return *character(player_character_); }
    const Character& player() const;
    std::int32_t player_character() const { return player_character_; }
    Vec3 player_position() const;
    void set_player_position(Vec3 position);
    // Moves the player (or the vehicle the player drives) toward a point at a
    // speed in metres per second, frame by frame.
    void set_walk_target(Vec3 target, float metres_per_second);
    bool walking() const { return walk_target_.has_value(); }
    float cash() const;
    void add_cash(std::int32_t amount);
    bool on_mission() const { return on_mission_; }
    void set_on_mission(bool on) { on_mission_ = on; }

    // --- statistics and save games ------------------------------------------------
    std::int32_t int_stat(std::int32_t number) const;
    float float_stat(std::int32_t number) const;
    void set_int_stat(std::int32_t number, std::int32_t value);
    void set_float_stat(std::int32_t number, float value);
    // Opens the save screen: from the next frame on, some frames of not
    // playing; at the end of the last the statistics go into the current slot.
    void open_save_screen();
    bool save_screen_open() const { return save_screen_frames_left_ > 0 || save_screen_pending_; }
    // The player backs out of the save screen: it closes after this frame,
    // and the game saves nothing (unless it already saved when it opened).
    void cancel_save_screen();
    // Loads a slot at the start of the next frame (statistics restored, timer
    // jumps, vehicles created since the start are gone), followed by some
    // frames of loading; false when the slot holds no save.
    bool load_save(int slot);
    const std::map<int, SaveGame>& saves() const { return saves_; }
    int current_slot() const { return current_slot_; }
    void set_current_slot(int slot) { current_slot_ = slot; }
    bool non_playing() const { return non_playing_; }
    void set_paused(bool paused) { paused_ = paused; }

    // --- characters and vehicles ----------------------------------------------------
    Character* character(std::int32_t handle);
    const Character* character(std::int32_t handle) const;
    Character* character_by_object(std::uint32_t address);
    Character& add_character(std::uint32_t model, Vec3 position, float heading);
    Vehicle* vehicle(std::int32_t handle);
    const Vehicle* vehicle(std::int32_t handle) const;
    Vehicle* vehicle_by_object(std::uint32_t address);
    Vehicle& add_vehicle(std::uint32_t model, Vec3 position, float heading);
    bool remove_vehicle(std::int32_t handle);
    // The game gives a freed handle to a new vehicle, as its pools do: the
    // vehicle there (if any) goes, a new one of `model` takes its place.
    Vehicle& reuse_vehicle_handle(std::int32_t handle, std::uint32_t model);
    const std::map<std::int32_t, Vehicle>& vehicles() const { return vehicles_; }
    // Puts a character into a seat (kDriverSeat for the driver's); false when
    // the seat does not exist or is taken.
    bool enter_vehicle(std::int32_t character, std::int32_t vehicle, std::int32_t seat);
    bool leave_vehicle(std::int32_t character);
    std::int32_t nearest_vehicle(Vec3 point, float radius) const;
    int passenger_seats(std::uint32_t model) const;
    const std::map<std::int32_t, Character>& characters() const { return characters_; }
    // A script gives a character or vehicle back to the game, which takes it
    // away at once: its handle no longer resolves. False when there is none.
    bool release_character(std::int32_t handle);
    bool release_vehicle(std::int32_t handle);

    // --- traffic (world_traffic.cpp) ------------------------------------------------------
    // A driver the game makes up for the vehicle's driver seat; null when the
    // seat is taken.
    Character* create_driver(std::int32_t vehicle);
    // Orders for a vehicle's driver; the driver must sit in its driver seat.
    void order_drive(Vehicle& car, const DriveOrder& order);
    void cancel_drive(Vehicle& car);
    // Something blocks the vehicle (or no longer does): it moves only under
    // the style that pushes through.
    void set_blocked(std::int32_t vehicle, bool blocked);
    void set_wanted_level(std::int32_t level) { wanted_level_ = level; }
    std::int32_t wanted_level() const { return wanted_level_; }
    // The vehicle factory makes nothing while the pool is full.
    void set_vehicle_pool_full(bool full) { vehicle_pool_full_ = full; }
    bool vehicle_pool_full() const { return vehicle_pool_full_; }
    void count_created_vehicle() { ++traffic_.vehicles_created; }
    const TrafficCounts& traffic() const { return traffic_; }

    // --- groups (world_groups.cpp) --------------------------------------------------------
    // Groups scripts made; the player's group is not among them.
    std::int32_t create_group();
    Group* group(std::int32_t handle);  // the player's group too
    bool release_group(std::int32_t handle);
    const std::map<std::int32_t, Group>& groups() const { return groups_; }
    const Group& player_group() const { return player_group_; }

    // --- people (world_people.cpp) --------------------------------------------------------
    // One of the people about the streets, standing at a point; walk speed
    // 0 makes someone who never moves (on the telephone, say).
    Character& add_pedestrian(Vec3 position, float heading, float walk_speed = 1.5f);
    // The nearest character within the radius whom the game would hand a
    // script: on foot, alive, nobody's, not busy with an order; 0 when none.
    std::int32_t find_pedestrian_near(Vec3 point, float radius) const;
    // The character walks to the vehicle and takes the seat (or, for
    // kAnyPassengerSeat, the first free one) if he gets there within
    // `time_limit` ms (negative: no limit) and it is still free.
    void order_enter(Character& person, std::int32_t vehicle, std::int32_t seat,
                     std::int32_t time_limit);
    // Gets out of his vehicle a moment later; the seat stays his till then.
    void order_leave(Character& person);
    // Walks off along his heading, dropping any order to board.
    void order_wander(Character& person);
    void say(std::int32_t character, const std::string& line);
    const std::vector<Speech>& speeches() const { return speeches_; }

    // Where a pedestrian may appear near a point: on land beside it, none at
    // sea.
    std::optional<Vec3> spawn_point_near(Vec3 point) const;
    // The pedestrian factory makes nothing while the pool is full.
    void set_pedestrian_pool_full(bool full) { pedestrian_pool_full_ = full; }
    bool pedestrian_pool_full() const { return pedestrian_pool_full_; }
    // Things that happen to people: one dies, one walks off on his own.
    void kill_character(std::int32_t handle);
    void send_wandering(std::int32_t handle);
    void leave_groups(std::int32_t handle);
    // Whether `character` no longer keeps to `other`: he is in no group that
    // `other` leads, or strayed beyond its separation.
    bool character_left(std::int32_t character, std::int32_t other) const;

    // --- the area value where cars are left ------------------------------------------
    std::uint32_t area_code() const { return area_code_; }
    void set_area_code(std::uint32_t code) { area_code_ = code; }

    // --- models ---------------------------------------------------------------------------
    // The models the game has: the vehicle models and the player's.
    bool model_exists(std::uint32_t model) const;
    // A model's index; -1 for a model the game does not have.
    std::int32_t model_index(std::uint32_t model);
    std::optional<std::uint32_t> model_of_index(std::int32_t index) const;
    void request_model(std::int32_t index);
    void load_requested_models();
    bool model_loaded(std::int32_t index) const { return loaded_models_.count(index) != 0; }

    // --- blips ----------------------------------------------------------------------------
    std::int32_t create_blip(Vec3 position, std::int32_t entity);
    Blip* blip(std::int32_t handle);
    bool remove_blip(std::int32_t handle);
    std::size_t blip_count() const { return blips_.size(); }
    const std::map<std::int32_t, Blip>& blips() const { return blips_; }

    // --- drawing ----------------------------------------------------------------------------
    void set_text_scale(float x, float y);
    void set_text_colour(const Colour& colour);
    void draw_text(float x, float y, const std::string& text);
    void draw(const DrawItem& item);  // rectangles, circles, markers
    const DrawRecord& last_frame_draws() const { return last_frame_draws_; }

    // --- the map --------------------------------------------------------------------------
    float ground_height(Vec3 point) const;
    // Street ids at a point: the street, and a crossing street (0 when none).
    std::array<std::int32_t, 2> streets_at(Vec3 point) const;
    // Text of a street id, null for 0 or an unknown id (where the map names
    // no street); stays valid for the life of the process.
    const char* street_name(std::int32_t id) const;

    // --- journal and mistakes -----------------------------------------------------------
    void note(const std::string& text);  // an effect worth a line in the timeline
    const std::vector<JournalEntry>& journal() const { return journal_; }
    // Calls the game would not accept (bad arguments, unknown handles).
    void record_error(const std::string& text);
    const std::vector<JournalEntry>& errors() const { return errors_; }
    // Drops the journal and the errors, for a process that runs the world
    // far longer than a timeline is kept (the fuzz targets).
    void forget_journal();

  private:
    // The entry of a handle in one of the maps below; null when none.
    template <class Map>
    static auto entry_of(Map& map, std::int32_t handle) -> decltype(&map.begin()->second) {
        auto it = map.find(handle);
        return it == map.end() ? nullptr : &it->second;
    }
    // The character or vehicle whose game object lies at an address.
    template <class Entity>
    static Entity* owner_of(std::map<std::int32_t, Entity>& map, std::uint32_t address) {
        for (auto& [handle, entity] : map) {
            if (entity.object.address() == address)
                return &entity;
        }
        return nullptr;
    }

    void update_keys();
    void move_walker();
    void apply_pending_load();
    void write_save();
    void place_parked_vehicles();
    void keep_riders_with_vehicles();
    // Frees whichever seat of the vehicle the character holds.
    static void vacate_seat(Vehicle& car, std::int32_t character_handle);
    void drive_traffic();
    void bring_to_rest(Vehicle& car);
    // Boarders and leavers act on their orders, group members walk after
    // their leaders, wanderers walk on.
    void move_people();
    void follow_enter_order(Character& person, float seconds);
    void forget_created_since_start();
    void reset_text_style();

    WorldSettings settings_;
    std::uint32_t frame_ = 0;
    std::uint32_t game_timer_;
    std::int64_t wall_clock_ms_;
    std::uint32_t clock_ms_;  // game clock, milliseconds since midnight
    int day_;
    int month_;
    std::uint32_t seeds_given_ = 0;

    std::map<std::uint32_t, std::set<std::uint8_t>> scheduled_presses_;
    struct Hold {
        std::uint32_t from;
        std::uint32_t to;
        std::uint8_t scan_code;
    };
    std::vector<Hold> holds_;
    std::set<std::uint8_t> pressed_;
    std::set<std::uint8_t> held_;
    std::set<std::uint8_t> held_before_;

    std::map<std::int32_t, std::int32_t> int_stats_;
    std::map<std::int32_t, float> float_stats_;
    std::map<int, SaveGame> saves_;
    int current_slot_ = 1;
    int save_screen_frames_left_ = 0;
    bool save_screen_pending_ = false;
    bool saved_at_open_ = false;
    std::optional<int> pending_load_;
    int load_screen_frames_left_ = 0;
    bool non_playing_ = false;
    bool paused_ = false;
    bool on_mission_ = false;

    std::map<std::int32_t, Character> characters_;
    std::map<std::int32_t, Vehicle> vehicles_;
    std::int32_t player_character_ = 0;
    std::int32_t next_character_ = 0x1001;
    std::int32_t next_vehicle_ = 0x2001;
    std::optional<Vec3> walk_target_;
    float walk_speed_ = 0.0f;

    std::uint32_t area_code_;

    std::map<std::uint32_t, std::int32_t> model_indices_;
    std::set<std::int32_t> requested_models_;
    std::set<std::int32_t> loaded_models_;

    std::map<std::int32_t, Blip> blips_;
    std::int32_t next_blip_ = 0x3001;

    std::map<std::int32_t, Group> groups_;
    std::int32_t next_group_ = 0x4001;
    Group player_group_;  // handle kPlayerGroup
    bool pedestrian_pool_full_ = false;
    std::int32_t wanted_level_ = 0;
    bool vehicle_pool_full_ = false;
    TrafficCounts traffic_;

    float text_scale_x_ = kDefaultTextScale;
    float text_scale_y_ = kDefaultTextScale;
    Colour text_colour_ = kDefaultTextColour;
    DrawRecord current_draws_;
    DrawRecord last_frame_draws_;

    std::vector<JournalEntry> journal_;
    std::vector<JournalEntry> errors_;
    std::vector<Speech> speeches_;
};

std::string hex(std::uint32_t value);
inline std::string format_point(Vec3 point) {
    return format_point(point.x, point.y, point.z);
}

}  // namespace hostsim
