#pragma once
// Public parking: pay car parks. A vehicle the player leaves inside a lot is
// kept by the parking's garage and persists per save; collecting it again
// costs a ticket by the parking rates. Lots are shared by every save and
// placed with the "Public Parking" editor menu.

#include <cstdint>
#include <string>

#include "core/data_folder.h"
#include "core/menu.h"
#include "core/position_capture.h"
#include "core/screen_text.h"
#include "garage/garage_controller.h"
#include "parking/lot_file.h"

namespace corvalen {

// Action ids of the editor menu's items.
enum ParkingEditorAction : std::int32_t {
    kLoadVehicles = 1,
    kSaveVehicles = 2,
    kCreateLot = 4,
    kSaveLots = 5,
    kLoadLots = 6,
    kMakeLotSingleStorey = 7,
    kDeleteLot = 8,
    kParkingDebugMode = 9,
};

struct ParkingRate {
    float fee;
    const char* name;
};
inline constexpr ParkingRate kOneHourRate{5.69f, "1 Hour"};
inline constexpr ParkingRate kOvernightRate{9.69f, "Overnight"};
inline constexpr ParkingRate kEarlyBirdRate{11.69f, "Early Bird"};
inline constexpr ParkingRate kDailyRate{16.69f, "Daily rate"};

class PublicParking {
  public:
    // Game-time seconds: shorter stays are free, and the cheaper rates need
    // stays shorter than a long day.
    static constexpr std::int32_t kFreeStay = 100;
    static constexpr std::int32_t kOneHour = 3600;
    static constexpr std::int32_t kLongDay = 72000;

    explicit PublicParking(std::string identity_text);

    // Names the save whose vehicles are kept: makes sure the save's folder
    // exists (false when it could not be made) and points the garage at the
    // save's car file.
    bool set_save_identity(const std::string& text);
    // The lots file, shared by all saves. Loading empties the list first and
    // keeps the lines that hold no lot for the next save; false when the file
    // is there but could not be read, and then saving refuses to replace it
    // until a load succeeds.
    bool load_lots();
    bool save_lots();
    std::string lots_path() const { return data_path(data_folder, lots_file_name); }

    // Index of the lot nearest to the player, wherever the player stands; the
    // lower index wins ties. -1 when there are none.
    std::int32_t nearest_lot();
    // Chooses the rate of a stay by the stored car's parked and retrieved
    // stamps, its parked hour and the clock now; writes fee and rate name
    // into the record and returns the fee.
    float compute_rate(StoredCar& record);

    // Per-frame operation.
    void tick();

    std::string car_file_name = kParkedCarsFileName;
    std::string lots_file_name = kLotsFileName;
    std::string data_folder = kDataFolder;
    std::string save_identity;
    PositionCapture capture;
    GarageController garage;  // its spots are the lots, in file order
    TimedMessage message;     // the ticket
    Menu menu{"Public Parking"};
    // The lots file was there but could not be read at the last load.
    bool lots_file_unread = false;
    std::vector<std::string> kept_lines;  // of the lots file, held no lot

  private:
    void run_editor_action(std::int32_t action);
    void charge_ticket();
    void add_captured_lot();
};

}  // namespace corvalen
