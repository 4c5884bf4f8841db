// The driver mission: the player at the wheel of a bus presses B and drives
// it as a service vehicle from stop to stop, following the prompts, the
// ground marker and the route blip; passengers board and pay the player. It
// ends as soon as the player no longer drives that bus.

#include <algorithm>
#include <optional>

#include "core/geometry.h"
#include "core/player.h"
#include "core/screen_text.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

// The start point is the nearest stop or capture point, whichever way the
// player faces.
constexpr float kNoHeading = -1.0f;
constexpr float kStartSearchAngle = 50.0f;

// The prompt for the player at the wheel, and the marker at the next stop.
constexpr float kPromptX = 0.1f;
constexpr float kPromptY = 0.1f;
constexpr float kPromptScale = 1.0f;
constexpr std::int32_t kMarkerRed = 0;
constexpr std::int32_t kMarkerGreen = 128;
constexpr std::int32_t kMarkerAlpha = 64;

// The panel with the mission's totals.
constexpr host::Rgba kPanelColour{0, 0, 0, 64};
constexpr float kPanelTextX = 0.8f;
constexpr float kPanelTextScale = 0.3f;

}  // namespace

bool TransitService::player_drives_service_vehicle() const {
    host::Handle me = player_character();
    if (me == 0 || !host::character_in_vehicle(me))
        return false;
    host::Handle vehicle = host::character_vehicle(me);
    if (vehicle == 0 || host::vehicle_driver(vehicle) != me)
        return false;
    std::uint32_t model = host::vehicle_model(vehicle);
    return std::find(models.begin(), models.end(), model) != models.end();
}

void TransitService::start_mission() {
    std::optional<host::Vec3> at = player_position();
    if (!at)
        return;
    host::Handle vehicle = player_vehicle();
    std::uint32_t object = host::vehicle_object(vehicle);
    std::int32_t start = nearest_capturable(*at, kNoHeading, kStartSearchAngle, {});
    mission_vehicle = std::make_unique<ServiceVehicle>(*this, vehicle, object, start, true);
    // Without a link to follow it leaves from where it starts, not from the
    // network's first point: away from the network it wanders ("Go ahead")
    // until it passes a stop.
    if (mission_vehicle->target < 0)
        mission_vehicle->last_target = start;
    mission_active = true;
    mission_passengers = 0;
    mission_revenue = 0;
}

void TransitService::update_mission() {
    if (!mission_active)
        return;
    // Another vehicle of the same model is another mission's.
    if (!player_drives_service_vehicle() || mission_vehicle == nullptr ||
        player_vehicle() != mission_vehicle->vehicle) {
        end_mission();
        return;
    }
    mission_vehicle->update();
    draw_mission_panel();
}

void TransitService::end_mission() {
    mission_active = false;
    if (mission_vehicle) {
        if (host::vehicle_exists(mission_vehicle->vehicle))
            host::end_vehicle_service(mission_vehicle->vehicle);
        // Its group and blip go; the bus and its driver stay the player's.
        mission_vehicle->remove();
        mission_vehicle.reset();
    }
    if (mission_blip != kNoHandle) {
        host::remove_blip(mission_blip);
        mission_blip = kNoHandle;
    }
}

void TransitService::draw_mission_panel() const {
    host::draw_rectangle(0.86f, 0.845f, 0.14f, 0.1f, kPanelColour);
    draw_text("Driver Mission", kPanelTextX, 0.80f, kPanelTextScale);
    draw_text("passengers: " + std::to_string(mission_passengers), kPanelTextX, 0.83f,
              kPanelTextScale);
    draw_text("revenue: $" + std::to_string(mission_revenue), kPanelTextX, 0.86f, kPanelTextScale);
}

// --- the mission's vehicle ---------------------------------------------------------

void ServiceVehicle::draw_mission_prompt(float distance) {
    if (wandering) {
        draw_text("Go ahead", kPromptX, kPromptY, kPromptScale);
    } else if (at_point) {
        draw_text("Wait...", kPromptX, kPromptY, kPromptScale);
    } else {
        draw_text("Proceed to next stop. " + std::to_string(whole_metres(distance)) + "m", kPromptX,
                  kPromptY, kPromptScale);
        host::draw_ground_marker(target_point().position(), kMarkerRed, kMarkerGreen, kMarkerAlpha);
    }
}

void ServiceVehicle::move_route_blip() {
    host::Handle& route = service->mission_blip;
    if (route != kNoHandle) {
        host::remove_blip(route);
        route = kNoHandle;
    }
    if (wandering)
        return;
    host::Handle made = host::add_blip(target_point().position());
    if (made != 0)
        route = made;
}

}  // namespace corvalen
