#pragma once
// The game's binary interface as the stand-in offers it: the calling forms of
// the routines reached by address, and the object fields the plug-in reads.
// Free functions are cdecl (caller removes the arguments); member functions,
// virtual ones included, are thiscall (object in ECX, arguments on the stack,
// removed by the callee). Everything is 32-bit.
//
// Reached at per-build offsets (host_layout.h):
//   native lookup        not a C function: hash in ESI, handler address (0 for an
//                        unknown hash) in EAX; ESI, EBX, EDI, EBP, ECX and EDX are
//                        left as they were.
//   native handler       void cdecl handler(NativeContext*) (host/native_context.h)
//   player accessor      PlayerAccessor: the player's character object
//   pool lookup          PoolLookup on the vehicle pool or the second pool (the
//                        characters): the object for a handle, 0 when none
//   handle from object   HandleFromObject on a pool: the object's handle, 0 when
//                        the object is not in that pool
//   model index lookup   ModelIndexLookup: writes the index through out_index when
//                        it is not null and also returns it; -1 for a model the
//                        game does not have
//   model request        ModelRequest (index, 0)
//   load requested       LoadRequestedModels (0)
//   after creation       AfterCreation (new vehicle or pedestrian object, 0)
//   vehicle factory      global holding a Factory*; vtable slot 1 is CreateVehicle
//   pedestrian factory   global holding a Factory*; vtable slot 5 is CreatePedestrian
// Creating an object of a model that was requested but not loaded yields 0.
//
// The eight call sites: sites 1, 2, 3, 4, 7 and 8 call cdecl functions with two
// stack arguments; sites 5 and 6 call thiscall members with no stack argument
// (ECX = an object) whose EAX result the calling routine uses.

#include <cstdint>

namespace hostsim {

using PlayerAccessor = void*(__attribute__((cdecl)) *)();
using PoolLookup = void*(__attribute__((thiscall)) *)(void* pool, std::int32_t handle);
using HandleFromObject = std::int32_t(__attribute__((thiscall)) *)(void* pool, void* object);
using ModelIndexLookup = std::int32_t(__attribute__((cdecl)) *)(std::uint32_t model,
                                                                std::int32_t* out_index);
using ModelRequest = void(__attribute__((cdecl)) *)(std::int32_t index, std::int32_t flags);
using LoadRequestedModels = void(__attribute__((cdecl)) *)(std::int32_t flag);
using AfterCreation = void(__attribute__((cdecl)) *)(void* object, std::int32_t zero);
// kind: how the vehicle is created (the plug-in passes 2 or 4); matrix: 4x4
// floats, position in the fourth row; flag: 1.
using CreateVehicle = void*(__attribute__((thiscall)) *)(void* factory, std::int32_t model_index,
                                                         std::int32_t kind, const float* matrix,
                                                         std::int32_t flag);
using CreatePedestrian = void*(__attribute__((thiscall)) *)(void* factory, std::int32_t model_index,
                                                            const float* matrix, std::int32_t flag);

inline constexpr std::uint32_t kCreateVehicleSlot = 1;
inline constexpr std::uint32_t kCreatePedestrianSlot = 5;

// Character and vehicle objects: the word at +0x20 points to a 4x4 float
// matrix (rows right, forward, up, position). Vehicle objects are 8400 bytes
// and longer; the plug-in writes some of their fields.
inline constexpr std::uint32_t kObjectMatrixPointer = 0x20;
inline constexpr std::uint32_t kObjectMatrixStorage = 0x40;  // where the stand-in keeps it
inline constexpr std::uint32_t kVehicleObjectSize = 0x2200;
inline constexpr std::uint32_t kCharacterObjectSize = 0x400;
inline constexpr std::uint32_t kMatrixPositionRow = 12;  // float index of x in the matrix
// The byte of a vehicle object that holds its passenger seat count.
inline constexpr std::uint32_t kVehicleSeatCountOffset = 0x10C0;

}  // namespace hostsim
