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

void report_escape(const char* where) {
    std::fprintf(stderr, "hostsim: exception in %s\n", where);
    if (Host* host = Host::active())
        host->world().record_error(std::string("exception in ") + where);
}

// Tells the game's observer, if it has one, that the game's code runs.
class ObservedGameCode {
  public:
    explicit ObservedGameCode(Host& host) : observer_(host.game_code_observer()) {
        if (observer_ != nullptr)
            observer_->game_code_began();
    }
    ~ObservedGameCode() {
        if (observer_ != nullptr)
            observer_->game_code_ended();
    }
    ObservedGameCode(const ObservedGameCode&) = delete;
    ObservedGameCode& operator=(const ObservedGameCode&) = delete;

  private:
    GameCodeObserver* observer_;
};

// Runs a call on the active game; with no game running, or when the call
// throws, the caller gets the fallback.
template <class Result, class Call>
Result guarded(const char* where, Result fallback, Call call) {
    try {
        Host* host = Host::active();
        if (host == nullptr)
            return fallback;
        ObservedGameCode observed(*host);
        return call(*host);
    } catch (...) {
        report_escape(where);
        return fallback;
    }
}

template <class Call>
void guarded(const char* where, Call call) {
    try {
        if (Host* host = Host::active()) {
            ObservedGameCode observed(*host);
            call(*host);
        }
    } catch (...) {
        report_escape(where);
    }
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
    return guarded<std::uint32_t>("native lookup", 0,
                                  [&](Host& host) { return host.lookup_native(hash); });
}

__attribute__((cdecl)) void native_dispatch_entry(std::uint32_t index,
                                                  corvalen::host::NativeContext* context) {
    guarded("native handler", [&](Host& host) { host.dispatch_native(index, context); });
}

__attribute__((cdecl)) void* player_accessor_entry() {
    static RetiredPlayer retired;
    Host* host = Host::active();
    return host != nullptr ? pointer_to<void>(host->functions().player_object()) : retired.bytes;
}

__attribute__((thiscall)) void* pool_lookup_entry(void* pool, std::int32_t handle) {
    return guarded<void*>("pool lookup", nullptr, [&](Host& host) {
        return pointer_to<void>(host.functions().pool_lookup(address_of(pool), handle));
    });
}

__attribute__((thiscall)) std::int32_t handle_from_object_entry(void* pool, void* object) {
    return guarded<std::int32_t>("handle from object", 0, [&](Host& host) {
        return host.functions().handle_from_object(address_of(pool), address_of(object));
    });
}

__attribute__((cdecl)) std::int32_t model_index_entry(std::uint32_t model, std::int32_t* out) {
    return guarded<std::int32_t>("model index lookup", -1, [&](Host& host) {
        return host.functions().model_index(model, out);
    });
}

__attribute__((cdecl)) void model_request_entry(std::int32_t index, std::int32_t flags) {
    guarded("model request", [&](Host& host) { host.functions().model_request(index, flags); });
}

__attribute__((cdecl)) void load_requested_models_entry(std::int32_t flag) {
    guarded("load requested models",
            [&](Host& host) { host.functions().load_requested_models(flag); });
}

__attribute__((cdecl)) void after_creation_entry(void* object, std::int32_t zero) {
    guarded("after-creation step",
            [&](Host& host) { host.functions().after_creation(address_of(object), zero); });
}

__attribute__((thiscall)) void* create_vehicle_entry(void* factory, std::int32_t model_index,
                                                     std::int32_t kind, const float* matrix,
                                                     std::int32_t flag) {
    return guarded<void*>("vehicle factory", nullptr, [&](Host& host) {
        return pointer_to<void>(
            host.functions().create_vehicle(address_of(factory), model_index, kind, matrix, flag));
    });
}

__attribute__((thiscall)) void* create_pedestrian_entry(void* factory, std::int32_t model_index,
                                                        const float* matrix, std::int32_t flag) {
    return guarded<void*>("pedestrian factory", nullptr, [&](Host& host) {
        return pointer_to<void>(
            host.functions().create_pedestrian(address_of(factory), model_index, matrix, flag));
    });
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
    return {
        .native_lookup = address_of(&native_lookup_entry),
        .native_dispatch = address_of(&native_dispatch_entry),
        .player_accessor = address_of(&player_accessor_entry),
        .pool_lookup = address_of(&pool_lookup_entry),
        .handle_from_object = address_of(&handle_from_object_entry),
        .model_index_lookup = address_of(&model_index_entry),
        .model_request = address_of(&model_request_entry),
        .load_requested_models = address_of(&load_requested_models_entry),
        .after_creation = address_of(&after_creation_entry),
        .create_vehicle = address_of(&create_vehicle_entry),
        .create_pedestrian = address_of(&create_pedestrian_entry),
        .unexpected_virtual_call = address_of(&unexpected_virtual_call_entry),
    };
}

}  // namespace hostsim
