// Creating vehicles and pedestrians the way the host's own code does: model
// loading, the factories' virtual creation, the after-creation step and the
// handle lookup, each reached by address.

#include "host/host_addresses.h"
#include "host/host_game.h"
#include "host/host_version.h"

namespace corvalen::host {
namespace {

// Calling forms of the host functions: free functions are cdecl; members of
// the factory and the pool are thiscall (object in ECX, arguments on the
// stack, removed by the callee), which GCC's attribute gives on i386.
using ModelIndexLookup = std::int32_t(__attribute__((cdecl)) *)(std::uint32_t model,
                                                                std::int32_t* index);
using ModelRequest = void(__attribute__((cdecl)) *)(std::int32_t index, std::int32_t flags);
using LoadRequestedModels = void(__attribute__((cdecl)) *)(std::int32_t flag);
using AfterCreation = void(__attribute__((cdecl)) *)(std::uint32_t object, std::int32_t zero);
using CreateVehicle = std::uint32_t(__attribute__((thiscall)) *)(std::uint32_t factory,
                                                                 std::int32_t model_index,
                                                                 std::int32_t kind,
                                                                 const float* transform,
                                                                 std::int32_t flag);
using CreatePedestrian = std::uint32_t(__attribute__((thiscall)) *)(std::uint32_t factory,
                                                                    std::int32_t model_index,
                                                                    const float* transform,
                                                                    std::int32_t flag);
using HandleFromObject = Handle(__attribute__((thiscall)) *)(std::uint32_t pool,
                                                             std::uint32_t object);

// The factory's virtual operation that creates a vehicle (slot 1 of its
// table of virtual functions).
constexpr std::uint32_t kCreateVehicleSlot = 1;
// The pedestrian factory's operation that creates a pedestrian (slot 5).
constexpr std::uint32_t kCreatePedestrianSlot = 5;

template <typename Function>
Function function_at(std::uint32_t address) {
    return reinterpret_cast<Function>(static_cast<std::uintptr_t>(address));
}

std::uint32_t read_word(std::uint32_t address) {
    return *reinterpret_cast<const volatile std::uint32_t*>(static_cast<std::uintptr_t>(address));
}

// The object a host global points to; 0 on an unknown build or when unset.
std::uint32_t object_at(HostAddress global) {
    std::uint32_t address = resolve(global);
    return address == 0 ? 0 : read_word(address);
}

// The handle of an object in the pool a host global points to; 0 when none.
Handle handle_in_pool(HostAddress pool_global, std::uint32_t object) {
    std::uint32_t pool = object_at(pool_global);
    std::uint32_t lookup = resolve(kHandleFromObject);
    if (pool == 0 || lookup == 0 || object == 0)
        return 0;
    return function_at<HandleFromObject>(lookup)(pool, object);
}

}  // namespace

std::int32_t load_model_now(std::uint32_t model) {
    std::uint32_t lookup = resolve(kModelIndexLookup);
    std::uint32_t request = resolve(kModelRequest);
    std::uint32_t load = resolve(kLoadRequestedModels);
    if (lookup == 0 || request == 0 || load == 0)
        return -1;
    std::int32_t index = -1;
    function_at<ModelIndexLookup>(lookup)(model, &index);
    // A model the host does not have is no index to ask it to load.
    if (index < 0)
        return -1;
    function_at<ModelRequest>(request)(index, 0);
    function_at<LoadRequestedModels>(load)(0);
    return index;
}

std::uint32_t create_vehicle_object(std::int32_t model_index, std::int32_t kind,
                                    const Matrix& transform) {
    std::uint32_t factory = object_at(kVehicleFactory);
    if (factory == 0)
        return 0;
    std::uint32_t table = read_word(factory);
    std::uint32_t create = read_word(table + 4 * kCreateVehicleSlot);
    return function_at<CreateVehicle>(create)(factory, model_index, kind, &transform.rows[0][0], 1);
}

std::uint32_t create_pedestrian_object(std::int32_t model_index, const Matrix& transform) {
    std::uint32_t factory = object_at(kPedestrianFactory);
    if (factory == 0)
        return 0;
    std::uint32_t table = read_word(factory);
    std::uint32_t create = read_word(table + 4 * kCreatePedestrianSlot);
    return function_at<CreatePedestrian>(create)(factory, model_index, &transform.rows[0][0], 1);
}

void finish_object_creation(std::uint32_t object) {
    std::uint32_t step = resolve(kAfterCreationStep);
    if (step != 0 && object != 0)
        function_at<AfterCreation>(step)(object, 0);
}

Handle vehicle_handle_of(std::uint32_t object) {
    return handle_in_pool(kVehiclePool, object);
}

Handle character_handle_of(std::uint32_t object) {
    return handle_in_pool(kSecondPool, object);
}

}  // namespace corvalen::host
