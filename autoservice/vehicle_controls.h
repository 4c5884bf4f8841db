#pragma once
// A few controls for the vehicle the player last drove: indicators and hazard
// lights from the driver's seat, its doors, bonnet and boot with Shift and
// the numeric keypad, and a roadside repair: standing by the vehicle, Shift+F
// opens the bonnet, and five seconds later body and engine are a little
// better, as long as the player stayed within five metres.

#include <array>
#include <cstdint>

#include "host/host_game.h"
#include "host/vehicle_structure.h"

namespace corvalen {

class VehicleControls {
  public:
    static constexpr std::size_t kDoorCount = 6;
    static constexpr std::int32_t kBonnet = 4;
    static constexpr std::int32_t kBoot = 5;
    static constexpr std::uint32_t kRepairMilliseconds = 5000;
    static constexpr float kRepairReach = 5.0f;
    static constexpr float kRepairPoints = 50.0f;

    // Once per frame.
    void update();

    host::Handle vehicle = 0;  // the vehicle the player last drove
    bool left_on = false;
    bool right_on = false;
    bool hazard_on = false;
    std::array<bool, kDoorCount> door_open{};  // as these controls left them
    bool fixing = false;
    std::uint32_t fix_deadline = 0;  // game timer value at which the repair is done

  private:
    void take_over(host::Handle driven);
    void in_vehicle_keys();
    void left_indicator();
    void right_indicator();
    void set_indicators(bool on, const host::LampBytes& lamps);
    void toggle_door(std::int32_t door);
    void repair_step();
    bool vehicle_gone() const;
};

}  // namespace corvalen
