#include "hostsim/host_image.h"

#include <stdexcept>

#include "hostsim/host_abi.h"
#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

// Tags at the start of the pool objects, for anyone reading the image.
constexpr std::uint32_t kVehiclePoolTag = 0x4C4F4F50;  // "POOL"
constexpr std::uint32_t kSecondPoolTag = 0x324C4F50;   // "POL2"

}  // namespace

HostImage::HostImage(std::uint32_t base, std::uint32_t writable_begin, std::uint32_t writable_end,
                     const BuildLayout& layout, const HostEntryPoints& entries,
                     std::size_t native_count, std::uint8_t stack_skew)
    : base_(base), writable_begin_(writable_begin), writable_end_(writable_end), layout_(layout) {
    if (native_count > kNativeThunkCapacity)
        throw std::logic_error("too many natives");
    write_native_machinery(entries, native_count);
    write_function_thunks(entries);
    write_globals_and_objects(entries);
    sites_ = std::make_unique<CallSites>(
        base_, layout_, at(layout_.active_script), host_script_record(), stack_skew,
        [this](std::uint32_t offset, std::uint32_t size, const std::string& what) {
            reserve(offset, size, what);
        });
    reserve(kScratchCodeOffset, kScratchCodeSize, "scratch code");
}

void HostImage::reserve(std::uint32_t offset, std::uint32_t size, const std::string& what) {
    std::uint32_t end = offset + size;
    if (offset < writable_begin_ || end > writable_end_ || end < offset) {
        throw std::logic_error(what + " lies outside the writable image");
    }
    for (const Claim& claim : claims_) {
        if (offset < claim.end && claim.begin < end) {
            throw std::logic_error(what + " overlaps " + claim.what);
        }
    }
    claims_.push_back({offset, end, what});
}

std::uint32_t HostImage::native_entry(std::size_t index) const {
    return at(kNativeThunksOffset + static_cast<std::uint32_t>(index) * kNativeThunkStride);
}

// The lookup routine takes the hash in ESI and answers in EAX, keeping every
// other register; the handler entries load their native's index into EAX and
// share one dispatcher that calls into C++ on a 16-byte aligned stack.
void HostImage::write_native_machinery(const HostEntryPoints& entries, std::size_t native_count) {
    reserve(layout_.native_lookup, 0x20, "native lookup routine");
    CodeWriter lookup(at(layout_.native_lookup));
    lookup.push(Reg::ecx);
    lookup.push(Reg::edx);
    lookup.push(Reg::ebp);
    lookup.mov(Reg::ebp, Reg::esp);
    lookup.align_esp(0xF0);
    lookup.sub_esp(12);
    lookup.push(Reg::esi);
    lookup.call(entries.native_lookup);
    lookup.mov(Reg::esp, Reg::ebp);
    lookup.pop(Reg::ebp);
    lookup.pop(Reg::edx);
    lookup.pop(Reg::ecx);
    lookup.ret();

    reserve(kNativeDispatchOffset, 0x40, "native dispatcher");
    CodeWriter dispatch(at(kNativeDispatchOffset));
    dispatch.push(Reg::ebp);
    dispatch.mov(Reg::ebp, Reg::esp);  // [ebp+4] return address, [ebp+8] the context
    dispatch.align_esp(0xF0);
    dispatch.sub_esp(8);
    dispatch.push_ebp_relative(8);
    dispatch.push(Reg::eax);
    dispatch.call(entries.native_dispatch);
    dispatch.mov(Reg::esp, Reg::ebp);
    dispatch.pop(Reg::ebp);
    dispatch.ret();

    reserve(kNativeThunksOffset, kNativeThunkCapacity * kNativeThunkStride, "native handlers");
    for (std::size_t i = 0; i < native_count; ++i) {
        CodeWriter entry(native_entry(i));
        entry.mov_imm(Reg::eax, static_cast<std::uint32_t>(i));
        entry.jmp(at(kNativeDispatchOffset));
    }
}

void HostImage::write_function_thunks(const HostEntryPoints& entries) {
    auto thunk = [this](std::uint32_t offset, std::uint32_t target, const char* what) {
        reserve(offset, 5, what);
        CodeWriter code(at(offset));
        code.jmp(target);
    };
    thunk(layout_.player_accessor, entries.player_accessor, "player accessor");
    thunk(layout_.pool_lookup, entries.pool_lookup, "pool lookup");
    thunk(layout_.handle_from_object, entries.handle_from_object, "handle from object");
    thunk(layout_.model_index_lookup, entries.model_index_lookup, "model index lookup");
    thunk(layout_.model_request, entries.model_request, "model request");
    thunk(layout_.load_requested_models, entries.load_requested_models, "load requested models");
    thunk(layout_.after_creation, entries.after_creation, "after-creation step");
}

void HostImage::write_globals_and_objects(const HostEntryPoints& entries) {
    reserve(kHostScriptRecordOffset, kHostScriptRecordSize, "host script record");
    reserve(layout_.active_script, 4, "active script pointer");
    write_u32(at(layout_.active_script), host_script_record());
    reserve(layout_.game_timer, 4, "game timer");
    reserve(layout_.clock_seconds, 4, "clock seconds");

    reserve(kVehiclePoolObjectOffset, 0x40, "vehicle pool");
    reserve(kSecondPoolObjectOffset, 0x40, "second pool");
    write_u32(vehicle_pool(), kVehiclePoolTag);
    write_u32(second_pool(), kSecondPoolTag);
    reserve(layout_.vehicle_pool, 4, "vehicle pool pointer");
    reserve(layout_.second_pool, 4, "second pool pointer");
    write_u32(at(layout_.vehicle_pool), vehicle_pool());
    write_u32(at(layout_.second_pool), second_pool());

    // Factories: an object whose first word is its virtual table. The slots
    // that are not offered lead to a host function that stops the process
    // with a message, since their calling forms are unknown.
    reserve(kFactoryThunksOffset, 0x20, "factory slot thunks");
    std::uint32_t thunk_at = at(kFactoryThunksOffset);
    auto thunk = [&thunk_at](std::uint32_t target) {
        CodeWriter code(thunk_at);
        code.jmp(target);
        std::uint32_t address = thunk_at;
        thunk_at += 8;
        return address;
    };
    std::uint32_t unexpected = thunk(entries.unexpected_virtual_call);
    std::uint32_t create_vehicle = thunk(entries.create_vehicle);
    std::uint32_t create_pedestrian = thunk(entries.create_pedestrian);
    auto factory = [&](std::uint32_t object_offset, std::uint32_t global_offset, std::uint32_t slot,
                       std::uint32_t function, const std::string& what) {
        reserve(object_offset, kFactoryVtableOffset + kFactoryVtableSlots * 4, what);
        reserve(global_offset, 4, what + " pointer");
        std::uint32_t object = at(object_offset);
        std::uint32_t vtable = object + kFactoryVtableOffset;
        write_u32(object, vtable);
        for (std::uint32_t i = 0; i < kFactoryVtableSlots; ++i) {
            write_u32(vtable + 4 * i, i == slot ? function : unexpected);
        }
        write_u32(at(global_offset), object);
    };
    factory(kVehicleFactoryObjectOffset, layout_.vehicle_factory, kCreateVehicleSlot,
            create_vehicle, "vehicle factory");
    factory(kPedestrianFactoryObjectOffset, layout_.pedestrian_factory, kCreatePedestrianSlot,
            create_pedestrian, "pedestrian factory");
}

std::uint32_t HostImage::active_script() const {
    return read_u32(at(layout_.active_script));
}

void HostImage::set_active_script(std::uint32_t record) {
    write_u32(at(layout_.active_script), record);
}

void HostImage::set_game_timer(std::uint32_t ms) {
    write_u32(at(layout_.game_timer), ms);
}

void HostImage::set_clock_seconds(std::uint32_t seconds) {
    write_u32(at(layout_.clock_seconds), seconds);
}

}  // namespace hostsim
