#include "autoservice/auto_service.h"

#include "autoservice/station_file.h"
#include "host/host_game.h"

namespace corvalen {

AutoService::AutoService(const Config* config) : fuel(config), stations(config) {
    stations.fuel = &fuel;
    editor_menu.add_item("Create new Gas station", kCreateGasStation);
    editor_menu.add_item("Create new Repair Shop", kCreateRepairShop);
    editor_menu.add_item("Save stations", kSaveStations);
    editor_menu.add_item("Load stations", kLoadStations);
    editor_menu.add_item("Close menu", kCloseEditor);
}

void AutoService::tick() {
    editor_menu.process();
    run_editor_action(editor_menu.selected_action());

    stations.tick();
    fuel.update(stations.refuel_pending);
    controls.update();

    capture.process();
    if (capture.confirmed)
        add_captured_station();
}

void AutoService::run_editor_action(std::int32_t action) {
    switch (action) {
        case kCreateGasStation:
        case kCreateRepairShop:
            new_station_kind = action == kCreateGasStation ? kGasStation : kRepairShop;
            capture.start();
            editor_menu.close();  // the player walks out the radius
            break;
        case kCloseEditor:
            editor_menu.close();
            break;
        case kSaveStations:
            stations.save_stations();
            break;
        case kLoadStations:
            stations.load_stations();
            break;
        default:
            break;
    }
}

// The new station stands on the ground under the point where the capture
// started. It gets its blip when the stations are next loaded.
void AutoService::add_captured_station() {
    host::Vec3 anchor = capture.start_position();
    float ground = host::ground_height(anchor);
    stations.places.emplace_back(capture.radius, new_station_kind, anchor.x, anchor.y, ground);
    stations.save_stations();
}

}  // namespace corvalen
