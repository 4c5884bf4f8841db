#pragma once
// The real-estate department: houses for sale, hotels and the agent's
// office, each a spot on the map. The player shops for houses with the
// agent, keeps vehicles in the garages of owned houses, and rests and saves
// the game at an owned house or in a hotel.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/config.h"
#include "core/data_folder.h"
#include "core/dice.h"
#include "core/menu.h"
#include "core/position_capture.h"
#include "core/screen_text.h"
#include "core/spot_controller.h"
#include "garage/garage_controller.h"
#include "realestate/estate_agent.h"
#include "realestate/property.h"
#include "realestate/property_file.h"

namespace corvalen {

// Action ids of the editor menu's items.
enum EstateAction : std::int32_t {
    kEstateToggleSelling = 1,
    kEstateCreateHouse = 2,
    kEstateDeleteHouse = 3,
    kEstateAddGarage = 4,
    kEstateLoadHouses = 5,
    kEstateSaveHouses = 6,
    kEstateSaveOwnedHouses = 7,
    kEstateCloseMenu = 9,
    kEstateLoadCars = 10,
    kEstateSaveCars = 11,
    kEstateDebugMode = 12,
};

class ROViriVariruRoza : public SpotController {
  public:
    static constexpr std::uint32_t kNewHouseValue = 35000;
    static constexpr std::uint32_t kGarageHighlightMs = 40000;
    static constexpr std::int32_t kRestHours = 6;

    explicit ROViriVariruRoza(std::string identity_text);
    ~ROViriVariruRoza();

    // Reads the hotel blip setting; blips made later follow it.
    void apply_config(const Config* config);

    // Names the save whose houses and vehicles are kept: makes sure the save's
    // folder exists and points the garage at the save's car file. The mod
    // core calls it at every reload, when another game is in the world: an
    // agent of the game before is forgotten and selling mode ends.
    void set_save_identity(const std::string& text);

    // Replaces the properties (and their blips) with those of the property
    // database, owned as the save's owned-houses file says, and hands the
    // garages of owned houses to the garage. Database lines that hold no
    // property are kept for the next save. False when a file is there but
    // could not be read; it is then never overwritten.
    bool load_houses();
    // Write the property database and the save's owned-houses file; false
    // when nothing was written.
    bool save_houses();
    bool save_owned_houses();

    // Deals. A deal ends selling mode and sends the agent away.
    void set_selling_mode(bool on);
    void spawn_agent();
    void dismiss_agent(std::int32_t amount);
    void buy_property(Place& place);
    void sell_property(Place& place);

    // Resting and saving the game at a property.
    void hotel_stay(const Place& place);
    void rest_at(const Place& place);
    // Hands the position to the host's save (statistics 210 to 212) and opens
    // the host's save screen; refused on a mission.
    void save_at(float x, float y, float z);
    // After a load: puts the player at the position the save carries.
    void restore_saved_position();
    // The host plays again after its save screen: the position it was handed
    // is cleared, so that no later save carries it.
    void clear_saved_position();
    // The mod core tells of every frame in which the host does not play.
    // True in the first frame of a save screen opened here: the save the host
    // writes from it must find the per-save files written.
    bool note_host_not_playing();

    void tick() override;
    void style_blip(Place& place) override;
    void on_activate(Place& place) override;
    void on_prompt(Place& place) override;

    // The house garage kept under a property's key; made empty when missing.
    GarageSpot& house_garage(const Place& property);

    // A garage shown on the map until `deadline` (game-timer milliseconds).
    struct GarageHighlight {
        std::uint32_t deadline = 0;  // 0: nothing shown
        GarageSpot spot;
    };

    // Where the position handed to the host's save stands.
    enum class SavedPosition : std::uint8_t {
        none,
        handed,     // statistics set, the save screen not seen yet
        in_screen,  // the host's save screen is under way
    };

    std::string house_file_name = kPropertyFileName;
    std::string owned_file_name = kOwnedHousesFileName;
    std::string cars_file_name = kHouseCarsFileName;
    std::string data_folder = kDataFolder;
    std::string save_identity;
    EstateAgent agent;
    // A house garage and the load that last read it.
    struct HouseGarage {
        GarageSpot spot;
        std::uint32_t load = 0;
    };
    // By property key. A load finds the garages of the houses it reads again
    // instead of making the whole map afresh, and drops only those whose
    // house its database no longer holds.
    std::unordered_map<std::string, HouseGarage> house_garages;
    std::uint32_t garage_load = 0;
    bool selling_mode = false;
    TimedMessage message;
    PositionCapture capture;
    GarageHighlight garage_highlight;
    bool hotel_blips = settings::blip_hotels.fallback;
    GarageController garage;
    Menu menu{"RO Viri Variru Roza. settings"};

    Dice dice = seeded_dice();
    // Owned keys that matched no house at the last load: kept and written
    // back, so that a damaged or missing database loses no house.
    std::vector<std::string> unmatched_owned_keys;
    std::vector<std::string> kept_house_lines;  // of the database, held no property
    bool house_file_unread = false;
    bool owned_file_unread = false;
    SavedPosition saved_position = SavedPosition::none;

  private:
    bool may_save();
    void hand_position_to_save(float x, float y, float z);
    std::string house_file_path() const;
    std::string owned_file_path() const;
    void run_editor_action(std::int32_t action);
    void create_house();
    void delete_nearest_property();
    void store_captured_garage();
    void draw_garage_highlight() const;
    void draw_panel();
    // Takes a sold house's garage out of the garage's areas.
    void withdraw_garage(const Place& house);
    // Removes the blips of all properties and empties the list.
    void drop_properties();
    void watch_agent();
};

}  // namespace corvalen
