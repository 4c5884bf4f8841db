#pragma once
// Gas stations and repair shops: the auto service's spots on the map, their
// blips, the station file, and the menus a player gets inside a station.

#include <cstdint>
#include <string>

#include "core/config.h"
#include "core/data_folder.h"
#include "core/menu.h"
#include "core/screen_text.h"
#include "core/spot_controller.h"

namespace corvalen {

class FuelModel;

class ServiceManager : public SpotController {
  public:
    static constexpr const char* kStationsFileName = "service_stations.csv";

    explicit ServiceManager(const Config* config);

    // Reads the two blip settings again; existing blips stay as they are.
    void apply_config(const Config* config);

    // Replaces the stations (and their blips) with those of the station file.
    void load_stations();
    // Writes every station to the station file, replacing it; false when it
    // could not be written.
    bool save_stations() const;

    void style_blip(Place& place) override;
    void on_activate(Place& place) override;
    void on_prompt(Place& place) override;

    Menu gas_menu{"Gas Station"};
    Menu repair_menu{"Repair Shop"};
    Menu shop_menu{"Gas Station"};
    FuelModel* fuel = nullptr;
    TimedMessage notice;
    std::int64_t tyre_step_time = 0;  // wall-clock second the next tyre step may run
    std::string stations_file = data_path(kDataFolder, kStationsFileName);
    bool show_repair_blips = false;
    bool show_gas_blips = false;
    bool refuel_pending = false;
    bool tyres_pending = false;
    std::int32_t tyre_step = 0;
};

}  // namespace corvalen
