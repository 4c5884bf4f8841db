#include "hostsim/call_sites.h"

#include <cstring>
#include <stdexcept>

#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

// Where a site's capture block keeps each value.
namespace slot {
constexpr std::uint32_t saved_esp = 0x00;  // the routine's own, to come back to
constexpr std::uint32_t esp_at_call = 0x04;
constexpr std::uint32_t hits = 0x08;
constexpr std::uint32_t ebx_in = 0x0C;
constexpr std::uint32_t esi_in = 0x10;
constexpr std::uint32_t edi_in = 0x14;
constexpr std::uint32_t ebp_in = 0x18;
constexpr std::uint32_t ecx_in = 0x1C;
constexpr std::uint32_t edx_in = 0x20;
constexpr std::uint32_t esp_in = 0x24;
constexpr std::uint32_t return_in = 0x28;
constexpr std::uint32_t first_in = 0x2C;
constexpr std::uint32_t second_in = 0x30;
constexpr std::uint32_t script_in = 0x34;
constexpr std::uint32_t eax_after = 0x38;
constexpr std::uint32_t ebx_after = 0x3C;
constexpr std::uint32_t esi_after = 0x40;
constexpr std::uint32_t edi_after = 0x44;
constexpr std::uint32_t ebp_after = 0x48;
constexpr std::uint32_t esp_after = 0x4C;
}  // namespace slot

// Distinct per site, so a value that wandered from one site to another shows.
struct Known {
    std::uint32_t ebx, esi, edi, ebp, ecx, edx, first, second, eax_before;
};

Known known_values(int event) {
    auto e = static_cast<std::uint32_t>(event);
    return {0x0B0B0000u + e * 0x101u, 0x0E5E0000u + e * 0x101u, 0x0ED10000u + e * 0x101u,
            0x0EB90000u + e * 0x101u, 0x0EC10000u + e * 0x101u, 0x0ED20000u + e * 0x101u,
            0xA1A10000u + e,          0xA2A20000u + e,          0xEEEE0000u + e};
}

// Bytes in front of the call: the routine starts this far before the site.
constexpr std::uint32_t kBeforeRoutinePrefix = 64;
constexpr std::uint32_t kAfterRoutinePrefix = 54;
constexpr std::uint32_t kRoutineTail = 44;
constexpr std::uint32_t kTargetSize = 0x70;

const char* const kProblemNames[] = {
    "target not reached",
    "target reached twice",
    "EBX at entry",
    "ESI at entry",
    "EDI at entry",
    "EBP at entry",
    "ECX at entry",
    "EDX at entry",
    "return address at entry",
    "stack pointer at entry",
    "first stack argument",
    "second stack argument",
    "active script pointer not the game's own",
    "EAX after the call",
    "EBX after the call",
    "ESI after the call",
    "EDI after the call",
    "EBP after the call",
    "stack pointer after the call",
};

}  // namespace

std::string describe_site_problems(std::uint32_t problems) {
    std::string text;
    for (std::size_t bit = 0; bit < std::size(kProblemNames); ++bit) {
        if ((problems & (1u << bit)) == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += kProblemNames[bit];
    }
    return text;
}

CallSites::CallSites(std::uint32_t base, const BuildLayout& layout, std::uint32_t script_global,
                     std::uint32_t host_script_record, std::uint8_t stack_skew,
                     const Reserve& reserve)
    : base_(base),
      layout_(layout),
      script_global_(script_global),
      host_script_record_(host_script_record),
      stack_skew_(stack_skew) {
    if (stack_skew % 4 != 0 || stack_skew > 12)
        throw std::invalid_argument("bad stack skew");
    for (int event = 1; event <= kSiteCount; ++event) {
        std::string site = " of site " + std::to_string(event);
        std::uint32_t prefix = routine_prefix(event);
        reserve(layout.sites[index(event)] - prefix, prefix + 5 + kRoutineTail, "routine" + site);
        reserve(target_offset(event), kTargetSize, "target" + site);
        reserve(capture_offset(event), kSiteCaptureStride, "capture" + site);
        if (is_after_site(event))
            reserve(object_offset(event), kSiteObjectStride, "object" + site);
        write_target(event);
        write_routine(event);
        std::memcpy(original_[index(event)].data(),
                    reinterpret_cast<const void*>(static_cast<std::uintptr_t>(site_address(event))),
                    5);
    }
}

std::size_t CallSites::index(int event) {
    if (event < 1 || event > kSiteCount)
        throw std::out_of_range("no call site " + std::to_string(event));
    return static_cast<std::size_t>(event - 1);
}

std::uint32_t CallSites::site_address(int event) const {
    return base_ + layout_.sites[index(event)];
}

std::uint32_t CallSites::routine_prefix(int event) {
    return is_after_site(event) ? kAfterRoutinePrefix : kBeforeRoutinePrefix;
}

std::uint32_t CallSites::target_offset(int event) {
    return kSiteTargetsOffset + static_cast<std::uint32_t>(index(event)) * kSiteTargetStride;
}

std::uint32_t CallSites::capture_offset(int event) {
    return kSiteCapturesOffset + static_cast<std::uint32_t>(index(event)) * kSiteCaptureStride;
}

std::uint32_t CallSites::object_offset(int event) {
    return kSiteObjectsOffset + static_cast<std::uint32_t>(index(event)) * kSiteObjectStride;
}

std::uint32_t CallSites::routine_address(int event) const {
    return site_address(event) - routine_prefix(event);
}

std::uint32_t CallSites::target_address(int event) const {
    return base_ + target_offset(event);
}

std::uint32_t CallSites::capture(int event) const {
    return base_ + capture_offset(event);
}

std::uint32_t CallSites::site_object(int event) const {
    return is_after_site(event) ? base_ + object_offset(event) : 0;
}

std::uint32_t CallSites::target_result(int event) {
    return 0x5E7E0000u + static_cast<std::uint32_t>(event) * 0x1111u;
}

// The game function behind a site: it notes the registers, the stack pointer,
// the return address and two stack words as it finds them, and the active
// script pointer, then returns its own result.
void CallSites::write_target(int event) {
    std::uint32_t c = capture(event);
    CodeWriter code(target_address(event));
    code.store(c + slot::ebx_in, Reg::ebx);
    code.store(c + slot::esi_in, Reg::esi);
    code.store(c + slot::edi_in, Reg::edi);
    code.store(c + slot::ebp_in, Reg::ebp);
    code.store(c + slot::ecx_in, Reg::ecx);
    code.store(c + slot::edx_in, Reg::edx);
    code.store(c + slot::esp_in, Reg::esp);
    code.load_esp_relative(Reg::eax, 0);
    code.store(c + slot::return_in, Reg::eax);
    code.load_esp_relative(Reg::eax, 4);
    code.store(c + slot::first_in, Reg::eax);
    code.load_esp_relative(Reg::eax, 8);
    code.store(c + slot::second_in, Reg::eax);
    code.load(Reg::eax, script_global_);
    code.store(c + slot::script_in, Reg::eax);
    code.increment(c + slot::hits);
    code.mov_imm(Reg::eax, target_result(event));
    code.ret();
    if (code.here() - code.start() > kTargetSize)
        throw std::logic_error("site target too long");
}

// The game routine around a site. It is called from C++ as a cdecl function
// without arguments and keeps every register of its caller. The stack at the
// call is 16-byte aligned, less the skew.
void CallSites::write_routine(int event) {
    std::uint32_t c = capture(event);
    Known k = known_values(event);
    bool after = is_after_site(event);
    CodeWriter code(routine_address(event));
    code.pushad();
    code.store(c + slot::saved_esp, Reg::esp);
    code.align_esp(0xF0);
    if (after) {
        code.sub_esp(stack_skew_);
    } else {
        code.sub_esp(static_cast<std::uint8_t>(8 + stack_skew_));
        code.push_imm(k.second);
        code.push_imm(k.first);
    }
    code.store(c + slot::esp_at_call, Reg::esp);
    code.mov_imm(Reg::ebx, k.ebx);
    code.mov_imm(Reg::esi, k.esi);
    code.mov_imm(Reg::edi, k.edi);
    code.mov_imm(Reg::ebp, k.ebp);
    code.mov_imm(Reg::ecx, after ? site_object(event) : k.ecx);
    code.mov_imm(Reg::edx, k.edx);
    code.mov_imm(Reg::eax, k.eax_before);
    if (code.here() != site_address(event))
        throw std::logic_error("site routine prefix mismatch");
    code.call(target_address(event));
    code.store(c + slot::eax_after, Reg::eax);
    code.store(c + slot::ebx_after, Reg::ebx);
    code.store(c + slot::esi_after, Reg::esi);
    code.store(c + slot::edi_after, Reg::edi);
    code.store(c + slot::ebp_after, Reg::ebp);
    code.store(c + slot::esp_after, Reg::esp);
    code.load(Reg::esp, c + slot::saved_esp);
    code.popad();
    code.ret();
    if (code.here() != site_address(event) + 5 + kRoutineTail) {
        throw std::logic_error("site routine tail mismatch");
    }
}

std::uint32_t CallSites::run(int event) {
    std::uint32_t c = capture(event);
    std::uint32_t hits_before = read_u32(c + slot::hits);
    reinterpret_cast<void (*)()>(static_cast<std::uintptr_t>(routine_address(event)))();
    std::uint32_t hits = read_u32(c + slot::hits) - hits_before;

    Known k = known_values(event);
    bool after = is_after_site(event);
    std::uint32_t problems = 0;
    auto expect = [&](std::uint32_t offset, std::uint32_t wanted, SiteProblem problem) {
        if (read_u32(c + offset) != wanted)
            problems |= problem;
    };
    std::uint32_t esp_at_call = read_u32(c + slot::esp_at_call);

    if (hits == 0) {
        problems |= kSiteNotReached;
    } else {
        if (hits > 1)
            problems |= kSiteReachedTwice;
        expect(slot::ebx_in, k.ebx, kEntryEbx);
        expect(slot::esi_in, k.esi, kEntryEsi);
        expect(slot::edi_in, k.edi, kEntryEdi);
        expect(slot::ebp_in, k.ebp, kEntryEbp);
        expect(slot::ecx_in, after ? site_object(event) : k.ecx, kEntryEcx);
        expect(slot::edx_in, k.edx, kEntryEdx);
        // A diverted member-call site reaches its target through the stub's own
        // call, one return address deeper; only the registers must match then.
        if (!after || !patched(event)) {
            expect(slot::return_in, site_address(event) + 5, kEntryReturnAddress);
            expect(slot::esp_in, esp_at_call - 4, kEntryStackPointer);
        }
        if (!after) {
            expect(slot::first_in, k.first, kEntryFirstArgument);
            expect(slot::second_in, k.second, kEntrySecondArgument);
        }
        if (event == 1)
            expect(slot::script_in, host_script_record_, kEntryScriptPointer);
    }
    expect(slot::eax_after, target_result(event), kResultEax);
    expect(slot::ebx_after, k.ebx, kKeptEbx);
    expect(slot::esi_after, k.esi, kKeptEsi);
    expect(slot::edi_after, k.edi, kKeptEdi);
    expect(slot::ebp_after, k.ebp, kKeptEbp);
    expect(slot::esp_after, esp_at_call, kKeptStackPointer);
    return problems;
}

bool CallSites::patched(int event) const {
    return std::memcmp(
               original_[index(event)].data(),
               reinterpret_cast<const void*>(static_cast<std::uintptr_t>(site_address(event))),
               5) != 0;
}

std::uint32_t CallSites::call_target(int event) const {
    const auto* site =
        reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(site_address(event)));
    std::uint32_t displacement = 0;
    std::memcpy(&displacement, site + 1, sizeof(displacement));
    return site_address(event) + 5 + displacement;
}

int CallSites::patched_count() const {
    int count = 0;
    for (int event = 1; event <= kSiteCount; ++event)
        count += patched(event) ? 1 : 0;
    return count;
}

}  // namespace hostsim
