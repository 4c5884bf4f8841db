#pragma once
// The mod: every feature, owned by value, driven by one call per host frame.
// The frame tick ties the features' data to the loaded game save: it reloads
// them when another save is loaded (or game time jumps while the host is not
// playing), autosaves at most every 12 wall-clock seconds while the host is
// not playing, and otherwise runs the main menu and each feature's per-frame
// operation in a fixed order.

#include <cstdint>
#include <string>

#include "autoservice/auto_service.h"
#include "core/config.h"
#include "core/data_folder.h"
#include "core/menu.h"
#include "core/save_tracker.h"
#include "parking/public_parking.h"
#include "realestate/ro_viri_variru_roza.h"
#include "transit/transit_service.h"

namespace corvalen {

// Action ids of the main menu's items.
enum MainMenuAction : std::int32_t {
    kOpenRealEstate = 1,
    kOpenParking = 2,
    kOpenAutoService = 3,
    kOpenBus = 4,
    kOpenBoat = 5,
    kOpenShip = 6,
};

class Mod {
  public:
    // Built at load time, under the host's loader lock: it reads the
    // configuration file and builds the features, but asks the host nothing
    // that needs the frame (the save identity is first read by the first
    // tick, which always reloads). The game timer is read only on a build the
    // plug-in knows.
    Mod();
    Mod(const Mod&) = delete;
    Mod& operator=(const Mod&) = delete;

    // Once per host frame, inside event 1.
    void frame_tick();
    // The loaded save changed: every feature reloads its data.
    void reload_all();
    // Autosave: rotate the backups, then write the per-save files.
    void save_all();

    std::string data_folder = kDataFolder;
    std::string save_identity_text;
    ROViriVariruRoza real_estate;
    PublicParking public_parking;
    Config config;
    AutoService auto_service;
    TransitService bus;
    TransitService boat;
    TransitService ship;
    bool developer_toggle = false;
    SaveTracker save_tracker;
    Menu main_menu;

  private:
    // Reads the save identity from the host statistic, allocates and stores
    // one when the save has none, and asks for a reload when it changed.
    // False when the save has none and no unused one can be made.
    // `host_stopped_playing`: a save or a load may have begun this frame.
    bool check_save_identity(std::int64_t now, bool host_stopped_playing);
    void interactive_frame();
    void open_feature_menu(std::int32_t action);
    void developer_hotkeys();
};

}  // namespace corvalen
