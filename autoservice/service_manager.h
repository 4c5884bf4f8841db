#pragma once
// Gas stations and repair shops: the auto service's spots on the map.

#include "core/config.h"
#include "core/screen_text.h"
#include "core/spot_controller.h"

namespace corvalen {

class FuelModel;

class ServiceManager : public SpotController {
  public:
    explicit ServiceManager(const Config* config);

    // Reads the station file and creates the stations' blips; the stations'
    // own work fills it in.
    void load_stations();

    void style_blip(Place& place) override;
    void on_activate(Place& place) override;
    void on_prompt(Place& place) override;

    FuelModel* fuel = nullptr;
    TimedMessage notice;
};

}  // namespace corvalen
