#pragma once
// The auto service: fuel model, service stations and the station editor.

#include "autoservice/fuel_model.h"
#include "autoservice/service_manager.h"
#include "core/config.h"
#include "core/menu.h"

namespace corvalen {

class AutoService {
  public:
    explicit AutoService(const Config* config);

    void load_stations() { stations.load_stations(); }
    // Per-frame operation.
    void tick();

    FuelModel fuel;
    ServiceManager stations;
    Menu editor_menu{"Auto Service"};
};

}  // namespace corvalen
