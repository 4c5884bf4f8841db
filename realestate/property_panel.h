#pragma once
// The texts of a property's prompt and information panel.

#include <cstdint>
#include <string>

#include "core/place.h"

namespace corvalen {

// "Press [ENTER] to ..." for what Enter does at the property.
std::string prompt_text(const Place& place, bool selling_mode);

// The whole square metres of a garage of `radius` metres, as the panel shows
// them: radius² × 3.14, truncated. Any radius gives a number.
std::string parking_area(std::int32_t radius);

}  // namespace corvalen
