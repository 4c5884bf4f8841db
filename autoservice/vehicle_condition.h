#pragma once
// A vehicle's condition: body and engine, each out of 1000 when sound, shown
// as two labelled bars and raised by the services that mend them.

#include <cstdint>

namespace corvalen {

// Draws the panel for a host vehicle structure (nothing for 0).
void draw_condition_panel(std::uint32_t structure);

// Raises body and engine by `points` each, up to sound; a condition above
// sound comes down to it.
void improve_condition(std::uint32_t structure, float points);

}  // namespace corvalen
