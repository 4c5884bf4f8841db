#pragma once
// Fuel, distance and speed of the vehicles the player drives.

namespace corvalen {

class FuelModel {
  public:
    // Forgets every vehicle's fuel state when another save is loaded; the
    // fuel model's own work fills it in.
    void forget_vehicles();
};

}  // namespace corvalen
