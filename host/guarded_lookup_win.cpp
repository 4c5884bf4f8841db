// The host's native lookup, called with the hash in ESI inside an exception
// frame of our own: an exception raised inside the host routine unwinds the
// routine's frames and resumes in the calling frame with a result of 0, the
// way a __try/__except around the call would. MinGW has no __try, so the
// frame is registered on fs:[0] by hand.

#include <windows.h>

#include <cstdint>

#include "host/platform.h"

extern "C" {
// (routine, hash): saves EBX, ESI, EDI and EBP, links an exception
// registration record (previous, handler, frame pointer) into fs:[0], calls
// the routine with the hash in ESI, unlinks the record and returns EAX.
std::uint32_t corvalen_guarded_lookup_call(std::uint32_t routine,
                                           std::uint32_t hash) asm("corvalen_guarded_lookup_call");
}

// The handler (cdecl: record, frame, context, dispatcher context) passes
// unwinding calls through. For an exception it unwinds every frame above its
// own record with RtlUnwind, which leaves that record at the head of fs:[0];
// the record therefore tells where the calling frame's stack stood, and the
// recovery point returns 0 from there. RtlUnwind may clobber the callee-saved
// registers, which is why this is written out instead of left to the compiler.
asm(R"(
    .text
    .globl corvalen_guarded_lookup_call
corvalen_guarded_lookup_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl %ebp
    pushl $corvalen_lookup_exception_handler
    pushl %fs:0
    movl %esp, %fs:0
    movl 12(%ebp), %esi
    movl 8(%ebp), %eax
    call *%eax
corvalen_guarded_lookup_leave:
    leal -24(%ebp), %esp
    movl (%esp), %ecx
    movl %ecx, %fs:0
    addl $12, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

corvalen_guarded_lookup_recovery:
    cld
    movl %fs:0, %esp
    movl 8(%esp), %ebp
    xorl %eax, %eax
    jmp corvalen_guarded_lookup_leave

corvalen_lookup_exception_handler:
    movl 4(%esp), %eax
    testl $6, 4(%eax)
    jnz 1f
    pushl $0
    pushl %eax
    pushl $0
    pushl 20(%esp)
    call _RtlUnwind@16
    jmp corvalen_guarded_lookup_recovery
1:
    movl $1, %eax
    ret
)");

namespace corvalen::platform {

std::uint32_t guarded_native_lookup(std::uint32_t routine, std::uint32_t hash) {
    return corvalen_guarded_lookup_call(routine, hash);
}

}  // namespace corvalen::platform
