// A car's condition and its parts: speed, engine, tyres, extras, doors,
// indicator lights and a full repair.

#include <string>

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

std::string name_of(const Vehicle& car) {
    return "vehicle " + hex(static_cast<std::uint32_t>(car.handle));
}

// Argument i as an index into one of a car's parts; null (and an error)
// beyond them.
template <std::size_t N>
bool* part(const NativeArgs& a, std::array<bool, N>& parts, std::uint32_t i, const char* what) {
    std::int32_t index = a.i(i);
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        a.error(std::string("no ") + what + " " + std::to_string(index));
        return nullptr;
    }
    return &parts[static_cast<std::size_t>(index)];
}

void open_or_shut(const NativeArgs& a, bool open) {
    Vehicle* car = a.vehicle(0);
    if (car == nullptr)
        return;
    bool* door = part(a, car->parts.open_doors, 1, "door");
    // Only a door that moves makes an entry: traffic shuts its doors each stop.
    if (door != nullptr && *door != open) {
        *door = open;
        a.world().note(name_of(*car) + " door " + std::to_string(a.i(1)) +
                       (open ? " opened" : " shut"));
    }
}

}  // namespace

void add_vehicle_service_natives(NativeTable& table) {
    table.add({0x16DD2D00, "vehicle speed", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0))
                       a.write_float(1, car->parts.speed);
               }});
    table.add({0x0CAA42D0, "vehicle engine", 3, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   if (car == nullptr || car->parts.engine_running == a.b(1))
                       return;
                   car->parts.engine_running = a.b(1);
                   a.world().note(name_of(*car) + " engine " + (a.b(1) ? "on" : "off"));
               }});
    table.add({0x7A422E14, "vehicle runs without fuel", 1, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   a.result_bool(car != nullptr && car->parts.runs_without_fuel);
               }});
    table.add({0x1DF623F9, "tyre burst", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   bool* tyre = car ? part(a, car->parts.burst_tyres, 1, "tyre") : nullptr;
                   a.result_bool(tyre != nullptr && *tyre);
               }});
    table.add({0x0FDA7965, "fix tyre", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   bool* tyre = car ? part(a, car->parts.burst_tyres, 1, "tyre") : nullptr;
                   if (tyre == nullptr)
                       return;
                   *tyre = false;
                   a.world().note(name_of(*car) + " tyre " + std::to_string(a.i(1)) + " fixed");
               }});
    table.add({0x3D562F78, "repair vehicle", 1, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   if (car == nullptr)
                       return;
                   set_vehicle_float(car->object, kBodyOffset, kSoundCondition);
                   set_vehicle_float(car->object, kEngineOffset, kSoundCondition);
                   car->parts.burst_tyres = {};
                   a.world().note(name_of(*car) + " repaired");
               }});
    table.add({0x4B920E81, "extra fitted", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   bool* extra = car ? part(a, car->parts.extras, 1, "extra") : nullptr;
                   a.result_bool(extra != nullptr && *extra);
               }});
    table.add({0x05966824, "remove or fit extra", 3, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   bool* extra = car ? part(a, car->parts.extras, 1, "extra") : nullptr;
                   if (extra == nullptr)
                       return;
                   *extra = !a.b(2);
                   a.world().note(name_of(*car) + " extra " + std::to_string(a.i(1)) +
                                  (*extra ? " fitted" : " removed"));
               }});
    table.add({0x1E352CEF, "open door", 2, [](const NativeArgs& a) { open_or_shut(a, true); }});
    table.add({0x5E7A620E, "shut door", 2, [](const NativeArgs& a) { open_or_shut(a, false); }});
    table.add({0x24B42ED2, "indicator lights", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   if (car == nullptr)
                       return;
                   car->parts.indicators = a.b(1);
                   a.world().note(name_of(*car) + " indicator lights " + (a.b(1) ? "on" : "off"));
               }});
}

}  // namespace hostsim
