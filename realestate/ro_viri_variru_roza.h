#pragma once
// The real-estate department: houses for sale, hotels and the agent's
// office, each a spot on the map; owned houses keep the player's vehicles in
// their garages and let the player save the game there.

#include <cstdint>
#include <string>

#include "core/data_folder.h"
#include "core/menu.h"
#include "core/screen_text.h"
#include "core/spot_controller.h"
#include "garage/garage_controller.h"

namespace corvalen {

class ROViriVariruRoza : public SpotController {
  public:
    explicit ROViriVariruRoza(std::string identity_text);

    // Names the save whose houses and vehicles are kept: makes sure the save's
    // folder exists and points the garage at the save's car file.
    void set_save_identity(const std::string& text);

    // The property files, and saving the game at a spot. The property,
    // buying and hotel work fills these in.
    void load_houses();
    void save_owned_houses();
    void save_at(float x, float y, float z);
    void restore_saved_position();
    void clear_saved_position();

    void tick() override;
    void style_blip(Place& place) override;
    void on_activate(Place& place) override;
    void on_prompt(Place& place) override;

    // A garage shown on the map until `deadline` (game-timer milliseconds).
    struct GarageHighlight {
        std::uint32_t deadline = 0;
        GarageSpot spot;
    };

    std::string house_file_name = "house_db.csv";
    std::string owned_file_name = "player_houses_db.dat";
    std::string cars_file_name = "house_cars.csv";
    std::string data_folder = kDataFolder;
    std::string save_identity;
    TimedMessage message;
    GarageHighlight garage_highlight;
    GarageController garage;
    Menu menu{"RO Viri Variru Roza. settings"};
};

}  // namespace corvalen
