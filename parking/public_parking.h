#pragma once
// Public parking: pay car parks whose parked vehicles persist per save.

#include <string>

#include "core/data_folder.h"
#include "core/menu.h"
#include "core/position_capture.h"
#include "core/screen_text.h"
#include "garage/garage_controller.h"

namespace corvalen {

class PublicParking {
  public:
    explicit PublicParking(std::string identity_text);

    // Names the save whose vehicles are kept: makes sure the save's folder
    // exists and points the garage at the save's car file.
    void set_save_identity(const std::string& text);
    // Reads the lots file; the parking lots' work fills it in.
    void load_lots();
    // Per-frame operation.
    void tick();

    std::string car_file_name = "pub_parking_cars.csv";
    std::string lots_file_name = "pub_parking_lots.csv";
    std::string data_folder = kDataFolder;
    std::string save_identity;
    PositionCapture capture;
    GarageController garage;
    TimedMessage message;  // the ticket
    Menu menu{"Public Parking"};
};

}  // namespace corvalen
