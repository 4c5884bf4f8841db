#pragma once
// The game functions the plug-in calls by address (host_abi.h gives their
// calling forms): the player accessor, pool lookups, model loading and the
// two factories. host_entry.cpp routes the image's thunks here.

#include <cstdint>

namespace hostsim {

class World;
class HostImage;

class HostFunctions {
  public:
    HostFunctions(World& world, const HostImage& image) : world_(world), image_(image) {}

    std::uint32_t player_object();
    std::uint32_t pool_lookup(std::uint32_t pool, std::int32_t handle);
    std::int32_t handle_from_object(std::uint32_t pool, std::uint32_t object);
    std::int32_t model_index(std::uint32_t model, std::int32_t* out_index);
    void model_request(std::int32_t index, std::int32_t flags);
    void load_requested_models(std::int32_t flag);
    void after_creation(std::uint32_t object, std::int32_t zero);
    std::uint32_t create_vehicle(std::uint32_t factory, std::int32_t model_index, std::int32_t kind,
                                 const float* matrix, std::int32_t flag);
    std::uint32_t create_pedestrian(std::uint32_t factory, std::int32_t model_index,
                                    const float* matrix, std::int32_t flag);

  private:
    bool can_create(const char* kind, std::uint32_t factory, std::uint32_t own_factory,
                    std::int32_t model_index, const float* matrix);

    World& world_;
    const HostImage& image_;
};

}  // namespace hostsim
