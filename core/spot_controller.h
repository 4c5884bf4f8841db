#pragma once
// The common base of the spot-based features. Once per frame it finds the
// nearest enabled place, draws its ground marker while the player is near and,
// while the player stands inside its radius, hands the place to the derived
// feature: `on_activate` when Enter is pressed, `on_prompt` otherwise. It also
// creates the places' blips in the style the derived feature chooses.

#include <cstdint>
#include <limits>
#include <vector>

#include "core/place.h"
#include "core/place_list.h"

namespace corvalen {

class SpotController {
  public:
    static constexpr std::int32_t kSearchHalfWidth = 50;
    static constexpr std::uint32_t kFarRecheckSeconds = 5;

    SpotController() = default;
    SpotController(const SpotController&) = delete;
    SpotController& operator=(const SpotController&) = delete;

    // Per-frame update; a derived tick calls this one first.
    virtual void tick();
    // Fills the place's blip fields just before its blip is created.
    virtual void style_blip(Place& place) = 0;
    // The player is inside the place's radius and presses Enter.
    virtual void on_activate(Place& place) = 0;
    // The player is inside the place's radius without pressing Enter.
    virtual void on_prompt(Place& place) = 0;
    // The player is inside the radius of place `index`.
    virtual void on_enter(std::int32_t index);

    // Index of the nearest place whose square of half-width `half_width`
    // around it holds the player (enabled places only unless
    // `include_disabled`); the later index wins ties. -1 when none.
    std::int32_t find_nearest(bool include_disabled, std::int32_t half_width);
    // (Re)creates one place's blip; without `force` an enabled place keeps the
    // blip it has.
    void refresh_blip(Place& place, bool force);

    PlaceList places;
    std::int32_t nearest_index = -1;
    float nearest_distance = std::numeric_limits<float>::infinity();
    std::int64_t next_check_time = 0;  // wall-clock seconds
    std::uint32_t recheck_delay = 0;
    bool skip_once = true;  // swallow the next in-range check
    std::int32_t near_range = 50;

  protected:
    // Removes every blip the places still carry. Controllers are owned by
    // value, never deleted through this base.
    ~SpotController();
};

}  // namespace corvalen
