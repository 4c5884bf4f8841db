#pragma once
// Every host location the plug-in touches, as offsets from the host module
// base for the two builds it knows. Nothing else in the plug-in spells out a
// host offset.

#include <cstdint>

namespace corvalen::host {

// One host location: its offset on build 1070 and on build 1080.
struct HostAddress {
    std::uint32_t offset_1070;
    std::uint32_t offset_1080;
};

// Host function: native hash in ESI, handler address (or 0) out in EAX.
inline constexpr HostAddress kNativeLookup{0x1A76D0, 0x226AF0};
// Host global: the script-thread record on whose behalf natives run.
inline constexpr HostAddress kActiveScriptPointer{0x1449AE0, 0x1394FB4};
// Host global: unsigned 32-bit milliseconds of game time.
inline constexpr HostAddress kGameTimer{0xDDDE74, 0xCFCB6C};
// Host function without arguments returning the player object.
inline constexpr HostAddress kPlayerAccessor{0x417F40, 0x3CD230};
// Host global: pointer to the vehicle pool.
inline constexpr HostAddress kVehiclePool{0x1219240, 0xE52CD0};
// Host member function on a pool: handle in, object out.
inline constexpr HostAddress kVehiclePoolLookup{0x26700, 0x92E00};
// Host global: pointer to a second handle pool, searched with the same lookup.
inline constexpr HostAddress kSecondPool{0x14A82AC, 0x14CB03C};
// Host global: seconds of the in-game clock.
inline constexpr HostAddress kClockSeconds{0xDD530C, 0xD516A0};
// Host global: pointer to the object whose virtual slot 1 creates a vehicle.
inline constexpr HostAddress kVehicleFactory{0x11F5514, 0xE52DE8};
// Host global: pointer to the object whose virtual slot 5 creates a pedestrian.
inline constexpr HostAddress kPedestrianFactory{0x11E35A0, 0xE52DE0};
// Host function: model identifier in, model index out.
inline constexpr HostAddress kModelIndexLookup{0x58AAE0, 0x4DD2D0};
// Host function: asks for a model to be loaded (index, 0).
inline constexpr HostAddress kModelRequest{0x76C3D0, 0x7191D0};
// Host function: loads the requested models at once (0).
inline constexpr HostAddress kLoadRequestedModels{0x432C20, 0x4B4BB0};
// Host function called with a newly created vehicle or pedestrian and 0.
inline constexpr HostAddress kAfterCreationStep{0x417350, 0x3CC640};
// Host member function on a pool: object in, handle out.
inline constexpr HostAddress kHandleFromObject{0x47230, 0xAFF10};

// The eight host call instructions diverted at attach; event n is entry n - 1.
inline constexpr int kHookSiteCount = 8;
inline constexpr HostAddress kHookSites[kHookSiteCount] = {
    {0x21601, 0x95141},    // event 1: once per frame, drives the mod
    {0x4ADB38, 0x770748},  // event 2
    {0x4ADA9D, 0x7706AD},  // event 3
    {0x46AFA8, 0x60E1C8},  // event 4
    {0x7FE9C6, 0x652C26},  // event 5: member call, callbacks after it
    {0x3C4002, 0x46A802},  // event 6: member call, callbacks after it
    {0x52C4C2, 0x694232},  // event 7
    {0x3B2E27, 0x456C27},  // event 8
};

}  // namespace corvalen::host
