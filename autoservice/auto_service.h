#pragma once
// The auto service: the fuel model, the gas stations and repair shops with
// their paid services, the controls of the player's vehicle, and the station
// editor a modder uses to place new stations in the game.

#include <cstdint>

#include "autoservice/fuel_model.h"
#include "autoservice/service_manager.h"
#include "autoservice/vehicle_controls.h"
#include "core/config.h"
#include "core/menu.h"
#include "core/position_capture.h"

namespace corvalen {

// Action ids of the editor menu's items.
enum AutoServiceEditorAction : std::int32_t {
    kCloseEditor = 1,
    kCreateGasStation = 2,
    kCreateRepairShop = 3,
    kSaveStations = 4,
    kLoadStations = 5,
};

class AutoService {
  public:
    explicit AutoService(const Config* config);
    AutoService(const AutoService&) = delete;
    AutoService& operator=(const AutoService&) = delete;

    void load_stations() { stations.load_stations(); }
    // Per-frame operation: the editor, the stations, the fuel model, the
    // vehicle controls, then a capture under way.
    void tick();

    FuelModel fuel;
    ServiceManager stations;
    VehicleControls controls;
    PositionCapture capture;
    std::int32_t new_station_kind = 1;  // what the capture under way will create
    Menu editor_menu{"Auto Service"};

  private:
    void run_editor_action(std::int32_t action);
    void add_captured_station();
};

}  // namespace corvalen
