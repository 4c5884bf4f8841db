#pragma once
// One transit service (bus, boat or ship): its route network, vehicles,
// passengers and editor.

#include <cstdint>
#include <string>

#include "core/config.h"
#include "core/data_folder.h"
#include "core/menu.h"

namespace corvalen {

enum class ServiceMode : std::int32_t { Bus = 0, Boat = 1, Ship = 2 };

class TransitService {
  public:
    TransitService(ServiceMode service_mode, const Config* config);

    // Restarts spawning after another save is loaded; the service vehicles'
    // work fills it in.
    void reset_spawning();
    // Per-frame operation.
    void tick();

    std::string data_folder = kDataFolder;
    std::string stops_file;
    ServiceMode mode;
    bool is_water;
    // All three services share the title.
    Menu editor_menu{"Bus Service"};
};

}  // namespace corvalen
