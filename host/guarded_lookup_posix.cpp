// The host's native lookup, called with the hash in ESI, where a fault inside
// the host routine turns into a result of 0. Linux has no structured
// exceptions, so a signal handler does what the Windows exception handler
// does: it moves the faulting thread to a recovery point in the calling frame.

#include <signal.h>
#include <ucontext.h>

#include <cstdint>

#include "host/platform.h"

namespace {

// Where the calling frame stood when the host routine was entered.
struct LookupRecovery {
    std::uint32_t esp;
    std::uint32_t ebp;
};

}  // namespace

extern "C" {
// (routine, hash, recovery): saves EBX, ESI, EDI and EBP, records the frame
// in the recovery record, calls the routine with the hash in ESI and returns
// its EAX.
std::uint32_t corvalen_guarded_lookup_call(
    std::uint32_t routine, std::uint32_t hash,
    LookupRecovery* recovery) asm("corvalen_guarded_lookup_call");
// Resuming here with the recorded ESP and EBP returns 0 from the call above.
void corvalen_guarded_lookup_recovery() asm("corvalen_guarded_lookup_recovery");
}

// Only PC-relative references, so the shared object needs no text relocations.
asm(R"(
    .text
    .globl corvalen_guarded_lookup_call
    .hidden corvalen_guarded_lookup_call
    .type corvalen_guarded_lookup_call, @function
corvalen_guarded_lookup_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 16(%ebp), %eax
    movl %ebp, 4(%eax)
    movl %esp, 0(%eax)
    movl 12(%ebp), %esi
    movl 8(%ebp), %eax
    call *%eax
corvalen_guarded_lookup_leave:
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .size corvalen_guarded_lookup_call, . - corvalen_guarded_lookup_call

    .globl corvalen_guarded_lookup_recovery
    .hidden corvalen_guarded_lookup_recovery
    .type corvalen_guarded_lookup_recovery, @function
corvalen_guarded_lookup_recovery:
    cld
    xorl %eax, %eax
    jmp corvalen_guarded_lookup_leave
    .size corvalen_guarded_lookup_recovery, . - corvalen_guarded_lookup_recovery
)");

namespace corvalen::platform {
namespace {

// The guard of this thread while it is inside the host routine. Initial-exec
// TLS, because the signal handler reads it and must not allocate.
__attribute__((tls_model("initial-exec"))) thread_local LookupRecovery* t_active_lookup = nullptr;

constexpr int kGuardedSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};
constexpr int kGuardedSignalCount = sizeof kGuardedSignals / sizeof kGuardedSignals[0];
struct sigaction g_previous_actions[kGuardedSignalCount];
bool g_handlers_installed = false;

const struct sigaction* previous_action(int signal_number) {
    for (int i = 0; i < kGuardedSignalCount; ++i) {
        if (kGuardedSignals[i] == signal_number) {
            return &g_previous_actions[i];
        }
    }
    return nullptr;
}

// A fault that is not ours goes where it would have gone without us.
void pass_on(int signal_number, siginfo_t* info, void* context) {
    const struct sigaction* previous = previous_action(signal_number);
    if (previous != nullptr && (previous->sa_flags & SA_SIGINFO) != 0 &&
        previous->sa_sigaction != nullptr) {
        previous->sa_sigaction(signal_number, info, context);
        return;
    }
    if (previous != nullptr && previous->sa_handler != SIG_DFL && previous->sa_handler != SIG_IGN) {
        previous->sa_handler(signal_number);
        return;
    }
    // Default action: re-raised, it is delivered as soon as this handler
    // returns, whether the signal came from a fault or from elsewhere.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal_number, &fallback, nullptr);
    raise(signal_number);
}

void on_fault(int signal_number, siginfo_t* info, void* context) {
    LookupRecovery* recovery = t_active_lookup;
    if (recovery == nullptr || recovery->esp == 0) {
        pass_on(signal_number, info, context);
        return;
    }
    auto& registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
    registers[REG_ESP] = static_cast<greg_t>(recovery->esp);
    registers[REG_EBP] = static_cast<greg_t>(recovery->ebp);
    registers[REG_EIP] =
        static_cast<greg_t>(reinterpret_cast<std::uintptr_t>(&corvalen_guarded_lookup_recovery));
}

// Installed on first use and kept: natives run every frame, and a handler
// pair per call would cost two system calls per signal each time.
//
// Under AddressSanitizer this needs no options: with its default
// handle_segv=1 (and the equally default, now deprecated,
// allow_user_segv_handler=1) a program's own handlers are installed, and
// faults that are not ours reach ASan's handler through pass_on. Only
// handle_segv=2 (or allow_user_segv_handler=0) makes ASan refuse them, and
// then a fault inside a lookup is fatal.
void install_fault_handlers() {
    if (g_handlers_installed) {
        return;
    }
    g_handlers_installed = true;
    struct sigaction action {};
    action.sa_sigaction = on_fault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kGuardedSignalCount; ++i) {
        sigaction(kGuardedSignals[i], &action, &g_previous_actions[i]);
    }
}

}  // namespace

std::uint32_t guarded_native_lookup(std::uint32_t routine, std::uint32_t hash) {
    install_fault_handlers();
    LookupRecovery recovery{0, 0};
    t_active_lookup = &recovery;
    std::uint32_t handler = corvalen_guarded_lookup_call(routine, hash, &recovery);
    t_active_lookup = nullptr;
    return handler;
}

}  // namespace corvalen::platform
