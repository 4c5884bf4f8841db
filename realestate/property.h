#pragma once
// One spot of the real-estate feature: a house, a hotel or the agent's
// office. It is a Place whose label is its key, whose user flag says that the
// player owns it and whose user value is its price in whole dollars.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/place.h"

namespace corvalen {

enum PropertyKind : std::int32_t {
    kHouse = 1,
    kHotel = 2,
    kEstateOffice = 3,
};

// The whole metres of a position, each truncated toward zero, joined by
// commas ("-120,45,14"). A house is owned, and keeps its garage, under this
// key. -0.4 gives "0", never "-0".
std::string property_key(float x, float y, float z);

// A position as the property database holds it: two decimals. A property
// made in the game is rounded so before its key is taken, so that it keeps
// that key once the file has been written and read back.
float as_stored(float coordinate);
// The same for `read`, the value of the database field `text`, without
// writing it out and reading it back where the text already has the stored
// form: a plain decimal of at most two decimals, as every written line has,
// is read as the float that writing with two decimals and reading give back.
float as_stored(std::string_view text, float read);

// Adds no field to Place, so it is kept by value in a spot list of places.
// It does not own its blip either: copies come and go, and the controller
// that keeps the property removes the blip when it drops the property.
class Property : public Place {
  public:
    static constexpr std::int32_t kEntryRadius = 1;

    Property(bool owned, std::int32_t property_kind, std::uint32_t value, float at_x, float at_y,
             float at_z);
};

inline bool is_owned(const Place& property) {
    return property.user_flag != 0;
}

}  // namespace corvalen
