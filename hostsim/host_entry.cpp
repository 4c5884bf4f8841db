// The functions the image's code jumps to, in the calling forms of
// host_abi.h. They find the active Host, and never let a C++ exception run
// into machine code that cannot unwind it.

#include <cstdio>
#include <cstdlib>

#include "host/native_context.h"
#include "hostsim/host.h"
#include "hostsim/host_abi.h"

namespace hostsim {
namespace {

template <class T>
std::uint32_t address_of(T* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <class T>
T* pointer_to(std::uint32_t address) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

HostFunctions* functions() {
    Host* host = Host::active();
    return host != nullptr ? &host->functions() : nullptr;
}

void report_escape(const char* where) {
    std::fprintf(stderr, "hostsim: exception in %s\n", where);
    if (Host* host = Host::active())
        host->world().record_error(std::string("exception in ") + where);
}

// After the game has gone (a retired host), the plug-in may still look at the
// player while it shuts down; it finds a still figure at the origin.
struct RetiredPlayer {
    std::uint8_t bytes[kObjectMatrixStorage + 64] = {};
    RetiredPlayer() {
        std::uint32_t matrix = address_of(bytes + kObjectMatrixStorage);
        __builtin_memcpy(bytes + kObjectMatrixPointer, &matrix, sizeof(matrix));
    }
};

__attribute__((cdecl)) std::uint32_t native_lookup_entry(std::uint32_t hash) {
    try {
        Host* host = Host::active();
        return host != nullptr ? host->lookup_native(hash) : 0;
    } catch (...) {
        report_escape("native lookup");
        return 0;
    }
}

__attribute__((cdecl)) void native_dispatch_entry(std::uint32_t index,
                                                  corvalen::host::NativeContext* context) {
    try {
        if (Host* host = Host::active())
            host->dispatch_native(index, context);
    } catch (...) {
        report_escape("native handler");
    }
}

__attribute__((cdecl)) void* player_accessor_entry() {
    static RetiredPlayer retired;
    HostFunctions* f = functions();
    return f != nullptr ? pointer_to<void>(f->player_object()) : retired.bytes;
}

__attribute__((thiscall)) void* pool_lookup_entry(void* pool, std::int32_t handle) {
    try {
        HostFunctions* f = functions();
        return f != nullptr ? pointer_to<void>(f->pool_lookup(address_of(pool), handle)) : nullptr;
    } catch (...) {
        report_escape("pool lookup");
        return nullptr;
    }
}

__attribute__((thiscall)) std::int32_t handle_from_object_entry(void* pool, void* object) {
    try {
        HostFunctions* f = functions();
        return f != nullptr ? f->handle_from_object(address_of(pool), address_of(object)) : 0;
    } catch (...) {
        report_escape("handle from object");
        return 0;
    }
}

__attribute__((cdecl)) std::int32_t model_index_entry(std::uint32_t model, std::int32_t* out) {
    try {
        HostFunctions* f = functions();
        return f != nullptr ? f->model_index(model, out) : -1;
    } catch (...) {
        report_escape("model index lookup");
        return -1;
    }
}

__attribute__((cdecl)) void model_request_entry(std::int32_t index, std::int32_t flags) {
    try {
        if (HostFunctions* f = functions())
            f->model_request(index, flags);
    } catch (...) {
        report_escape("model request");
    }
}

__attribute__((cdecl)) void load_requested_models_entry(std::int32_t flag) {
    try {
        if (HostFunctions* f = functions())
            f->load_requested_models(flag);
    } catch (...) {
        report_escape("load requested models");
    }
}

__attribute__((cdecl)) void after_creation_entry(void* object, std::int32_t zero) {
    try {
        if (HostFunctions* f = functions())
            f->after_creation(address_of(object), zero);
    } catch (...) {
        report_escape("after-creation step");
    }
}

__attribute__((thiscall)) void* create_vehicle_entry(void* factory, std::int32_t model_index,
                                                     std::int32_t kind, const float* matrix,
                                                     std::int32_t flag) {
    try {
        HostFunctions* f = functions();
        return f != nullptr ? pointer_to<void>(f->create_vehicle(address_of(factory), model_index,
                                                                 kind, matrix, flag))
                            : nullptr;
    } catch (...) {
        report_escape("vehicle factory");
        return nullptr;
    }
}

__attribute__((thiscall)) void* create_pedestrian_entry(void* factory, std::int32_t model_index,
                                                        const float* matrix, std::int32_t flag) {
    try {
        HostFunctions* f = functions();
        return f != nullptr ? pointer_to<void>(f->create_pedestrian(address_of(factory),
                                                                    model_index, matrix, flag))
                            : nullptr;
    } catch (...) {
        report_escape("pedestrian factory");
        return nullptr;
    }
}

// A factory slot the game does not offer: its arguments are unknown, so there
// is no way back to the caller.
[[noreturn]] __attribute__((thiscall)) void unexpected_virtual_call_entry(void* object) {
    std::fprintf(stderr, "hostsim: unexpected virtual call on factory object %p\n", object);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

HostEntryPoints host_entry_points() {
    auto entry = [](auto* function) {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(function));
    };
    return {
        .native_lookup = entry(&native_lookup_entry),
        .native_dispatch = entry(&native_dispatch_entry),
        .player_accessor = entry(&player_accessor_entry),
        .pool_lookup = entry(&pool_lookup_entry),
        .handle_from_object = entry(&handle_from_object_entry),
        .model_index_lookup = entry(&model_index_entry),
        .model_request = entry(&model_request_entry),
        .load_requested_models = entry(&load_requested_models_entry),
        .after_creation = entry(&after_creation_entry),
        .create_vehicle = entry(&create_vehicle_entry),
        .create_pedestrian = entry(&create_pedestrian_entry),
        .unexpected_virtual_call = entry(&unexpected_virtual_call_entry),
    };
}

}  // namespace hostsim
