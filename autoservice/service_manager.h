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

// Action ids of the station menus' items.
enum StationAction : std::int32_t {
    kFillUpGas = 1,
    kFixTyres = 2,
    kTopUpRadiator = 3,
    kBuySpareGas = 4,
    kBuyMolotov = 5,
    kFixCar = 6,
    kToggleComponent = 7,  // the item's value is the component
};

class ServiceManager : public SpotController {
  public:
    static constexpr const char* kStationsFileName = "service_stations.csv";
    static constexpr double kFuelPricePerLitre = 2.39;
    static constexpr std::int32_t kTyrePrice = 55;
    static constexpr std::int32_t kRadiatorPrice = 2;
    static constexpr std::int32_t kSpareGasPrice = 10;
    static constexpr std::int32_t kMolotovPrice = 15;
    static constexpr std::int64_t kRadiatorRestSeconds = 60;
    static constexpr std::int32_t kLastTyre = 5;
    static constexpr std::int32_t kComponentCount = 10;

    explicit ServiceManager(const Config* config);

    // Reads the two blip settings again; existing blips stay as they are.
    void apply_config(const Config* config);

    // Replaces the stations (and their blips) with those of the station file;
    // lines that hold no station are kept for the next save. False when the
    // file is there but could not be read.
    bool load_stations();
    // Writes every station and the kept lines to the station file, replacing
    // it; false when it could not be written, or when it could not be read at
    // the last load and so holds stations this list never had.
    bool save_stations() const;

    // Per-frame operation: the stations, the notice, the menus and the jobs
    // under way (refuelling, tyres).
    void tick() override;
    void style_blip(Place& place) override;
    void on_activate(Place& place) override;
    void on_prompt(Place& place) override;
    // The player is inside station `index`: its name, and its menu while the
    // player stays (on foot at a gas station; in a standing vehicle at both).
    void on_enter(std::int32_t index) override;

    // The services.
    void fix_car();
    void fix_tyres_step();
    void top_up_radiator();
    void toggle_component(std::int32_t component);

    // What "Fix Car" costs for a body condition: half a dollar per point
    // below 1000, in whole dollars, never less than nothing.
    static std::int32_t repair_cost(float body);

    Menu gas_menu{"Gas Station"};
    Menu repair_menu{"Repair Shop"};
    Menu shop_menu{"Gas Station"};
    FuelModel* fuel = nullptr;
    TimedMessage notice;
    std::int64_t tyre_step_time = 0;  // wall-clock second the next tyre step may run
    std::string stations_file = data_path(kDataFolder, kStationsFileName);
    std::vector<std::string> kept_lines;  // of the station file, held no station
    bool stations_file_unread = false;    // there, but not read at the last load
    bool show_repair_blips = settings::blip_car_service.fallback;
    bool show_gas_blips = settings::blip_gas_station.fallback;
    bool refuel_pending = false;
    bool tyres_pending = false;
    std::int32_t tyre_step = 0;

  private:
    void act_on_choice(Menu& menu);
    void charge_fuel();
    // Takes a price from the player's cash; the player may go into debt.
    static void charge(std::int32_t amount);
    // Opens a station menu for this frame; it closes at the end of its next
    // processed frame unless the player is still in the station then.
    static void open_for_visit(Menu& menu);
    // Closed for good: a choice was made.
    static void close_menu(Menu& menu);
};

}  // namespace corvalen
