#pragma once
// The vehicle's condition on screen: two labelled bars, body and engine, each
// filled in proportion to its condition out of 1000.

#include <cstdint>

namespace corvalen {

// Draws the panel for a host vehicle structure (nothing for 0).
void draw_condition_panel(std::uint32_t structure);

}  // namespace corvalen
