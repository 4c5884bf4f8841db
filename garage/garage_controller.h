#pragma once
// Keeps the player's vehicles in a set of garage areas: a vehicle the player
// gets out of inside an area is stored, one the player drives off again is
// taken out. The stored vehicles persist in a car file per save, which
// re-creates them after a load. The parking and real-estate features each own
// one.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/screen_text.h"
#include "garage/saved_vehicle.h"
#include "host/host_game.h"

namespace corvalen {

class FuelModel;
struct CarLine;

// One garage area.
struct GarageSpot {
    std::string name;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::int32_t radius = 0;
    std::uint8_t single_storey = 0;  // vehicles count only within 2 m of the spot's height
};

class GarageController {
  public:
    static constexpr const char* kDefaultCarFile = "default_garage_car_file.csv";
    static constexpr float kStoreyHeight = 2.0f;

    GarageController() = default;
    GarageController(const GarageController&) = delete;
    GarageController& operator=(const GarageController&) = delete;
    // Removes the debug blips still shown.
    virtual ~GarageController();

    // Another file: what was known about the old one's readability goes.
    void set_car_file(std::string path);
    // Appends an area; one without a positive radius is refused (false).
    bool add_spot(const GarageSpot& spot);

    // Once per frame: parks the vehicle the player got out of, takes out the
    // one the player started driving, and draws the notice.
    void update();
    // The player drives `handle`: if it is stored, it leaves the store.
    virtual void take_out(host::Handle handle);
    // The player left `handle`: stores it when it stands in an area.
    void park(host::Handle handle);
    // Shows or hides blips on the areas and the stored vehicles.
    void toggle_blips();

    // Empties the store and re-creates the cars of the car file; the lines of
    // cars it could not re-create are kept for the next write. False when
    // the file is there but could not be read; the next write then keeps it.
    bool read_car_file();
    // The same after the host loaded a game, which took the cars made since
    // the start away with the blips on them: those handles are dropped
    // without a word to the host. In debug mode the areas and the cars read
    // are marked afresh.
    bool read_car_file_after_load();
    // The editor's load, in the world the stored cars still stand in: they
    // go back to the game first, since the file brings them back and they
    // would otherwise stand there twice.
    bool read_car_file_again();
    // Replaces the car file with the stored cars and the kept lines. False
    // when nothing was written: the file could not be replaced, or it is one
    // that could not be read and so still holds cars this store never loaded.
    bool write_car_file() const;
    // The car-file line of a stored handle; empty for a handle without record.
    std::string car_line(host::Handle handle) const;

    TimedMessage notice;
    host::Handle last_vehicle = 0;  // driven at the last update, 0 = none
    StoredCar* current = nullptr;   // the record of the vehicle taken out this frame
    FuelModel* owner = nullptr;     // reads and restores odometer values
    std::unordered_map<host::Handle, host::VehicleBlock> stored;  // kept now
    std::unordered_map<host::Handle, StoredCar> records;          // every car known
    std::vector<GarageSpot> spots;
    std::string car_file = kDefaultCarFile;
    bool blips_shown = false;
    // Debug-mode blips: on the areas (fixed points, which a load leaves in
    // the world) and on the stored cars (which a load takes away).
    std::vector<host::Handle> spot_blips;
    std::vector<host::Handle> car_blips;
    bool taken_out = false;  // a vehicle was taken out this frame
    // The car file was there but could not be read at the last load.
    bool car_file_unread = false;
    std::vector<std::string> kept_lines;  // of the car file, cars not re-created

  private:
    enum class Recreation { made, model_unknown, no_room };

    void store(host::Handle handle, std::uint32_t structure);
    void release_stored_cars();
    Recreation recreate(const CarLine& car, float& fallback_row);
    void show_blips();
    void hide_blips();
};

}  // namespace corvalen
