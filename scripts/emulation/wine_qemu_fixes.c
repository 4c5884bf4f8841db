// Preloaded into 32-bit Wine processes when 32-bit programs run through
// qemu's user-mode emulator (qemu 7.2, Debian 12), to undo three faults of the
// emulator that Wine cannot live with:
//
// 1. Every synchronous signal arrives with the trap number of its context at
//    -1. Wine's i386 handlers choose the exception from that number, so an
//    access violation would reach the program as an illegal instruction. We
//    stand between Wine and its handlers and put back the number the
//    processor would have reported.
// 2. The emulator reserves, with no access, the whole span between the lowest
//    and the highest segment of Wine's preloader, which Wine knows nothing
//    of: system libraries miss their preferred bases and large allocations
//    fail. The part below 0x68000000 is handed to Wine as reserved address
//    space (what the preloader would have reserved), the rest is released.
// 3. The emulator keeps one descriptor table for all threads, so the thread
//    segments that Wine (%fs, the thread block) and the C library (%gs, thread
//    storage) set up per thread are overwritten by the newest thread. Wine is
//    steered to its per-thread local-descriptor selectors, and every thread's
//    %gs moves to a local descriptor of its own.
//
// The library is only loaded when the set-up found that 32-bit programs run
// emulated; a 64-bit twin without content keeps 64-bit programs quiet.

#define _GNU_SOURCE
#include <asm/ldt.h>
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

// --- 1. trap numbers -----------------------------------------------------------

enum {
    kTrapDivide = 0,
    kTrapSingleStep = 1,
    kTrapBreakpoint = 3,
    kTrapOverflow = 4,
    kTrapInvalidOpcode = 6,
    kTrapGeneralProtection = 13,
    kTrapPageFault = 14,
    kTrapFloatingPoint = 16,
    kTrapAlignment = 17,
};

typedef void (*SigactionHandler)(int, siginfo_t*, void*);
typedef int (*SigactionFunction)(int, const struct sigaction*, struct sigaction*);

static SigactionHandler wine_handlers[NSIG];

static int is_fault_signal(int signal_number) {
    return signal_number == SIGSEGV || signal_number == SIGBUS || signal_number == SIGILL ||
           signal_number == SIGFPE || signal_number == SIGTRAP;
}

static int plausible_trap(int signal_number, const siginfo_t* info) {
    switch (signal_number) {
        case SIGSEGV:
            return info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR
                       ? kTrapPageFault
                       : kTrapGeneralProtection;
        case SIGBUS:
            return info->si_code == BUS_ADRALN ? kTrapAlignment : kTrapPageFault;
        case SIGILL:
            return kTrapInvalidOpcode;
        case SIGFPE:
            if (info->si_code == FPE_INTDIV)
                return kTrapDivide;
            return info->si_code == FPE_INTOVF ? kTrapOverflow : kTrapFloatingPoint;
        case SIGTRAP:
            return info->si_code == TRAP_TRACE ? kTrapSingleStep : kTrapBreakpoint;
        default:
            return kTrapGeneralProtection;
    }
}

static void handler_with_trap_number(int signal_number, siginfo_t* info, void* context) {
    ucontext_t* ucontext = context;
    if (ucontext->uc_mcontext.gregs[REG_TRAPNO] == -1)
        ucontext->uc_mcontext.gregs[REG_TRAPNO] = plausible_trap(signal_number, info);
    wine_handlers[signal_number](signal_number, info, context);
}

int sigaction(int signal_number, const struct sigaction* action, struct sigaction* old_action) {
    static SigactionFunction next_sigaction;
    if (next_sigaction == NULL)
        next_sigaction = (SigactionFunction)dlsym(RTLD_NEXT, "sigaction");
    if (signal_number <= 0 || signal_number >= NSIG || !is_fault_signal(signal_number))
        return next_sigaction(signal_number, action, old_action);

    struct sigaction substitute;
    SigactionHandler previous = wine_handlers[signal_number];
    if (action != NULL && (action->sa_flags & SA_SIGINFO) && action->sa_handler != SIG_DFL &&
        action->sa_handler != SIG_IGN) {
        // Known before the handler is installed, so it never runs without it.
        wine_handlers[signal_number] = action->sa_sigaction;
        substitute = *action;
        substitute.sa_sigaction = handler_with_trap_number;
        action = &substitute;
    }
    int result = next_sigaction(signal_number, action, old_action);
    if (result != 0) {
        wine_handlers[signal_number] = previous;
        return result;
    }
    if (old_action != NULL && (old_action->sa_flags & SA_SIGINFO) &&
        old_action->sa_sigaction == handler_with_trap_number)
        old_action->sa_sigaction = previous;
    return 0;
}

// --- 2. the preloader's span -----------------------------------------------------

// What Wine's preloader hands to Wine: areas of address space reserved for it.
struct PreloadArea {
    void* address;
    size_t size;
};

enum { kMaxPreloadAreas = 15 };
static struct PreloadArea preload_areas[kMaxPreloadAreas + 1];  // ends with an empty area
static const uintptr_t kLowAreaEnd = 0x68000000;                // where Wine's low area ends

struct Mapping {
    uintptr_t start;
    uintptr_t end;
    char permissions[5];
    unsigned long inode;
    char path[256];
};

static int read_mapping(FILE* maps, struct Mapping* mapping) {
    char line[512];
    if (fgets(line, sizeof line, maps) == NULL)
        return 0;
    unsigned long start = 0;
    unsigned long end = 0;
    mapping->path[0] = '\0';
    mapping->permissions[0] = '\0';
    mapping->inode = 0;
    sscanf(line, "%lx-%lx %4s %*s %*s %lu %255s", &start, &end, mapping->permissions,
           &mapping->inode, mapping->path);
    mapping->start = start;
    mapping->end = end;
    return 1;
}

static void add_preload_area(size_t* count, uintptr_t start, uintptr_t end) {
    if (start >= end || *count >= kMaxPreloadAreas)
        return;
    preload_areas[*count].address = (void*)start;
    preload_areas[*count].size = end - start;
    ++*count;
}

static void hand_preloader_span_to_wine(const struct PreloadArea** wine_main_preload_info) {
    size_t count = 0;
    for (const struct PreloadArea* area = *wine_main_preload_info; area->size != 0; ++area)
        add_preload_area(&count, (uintptr_t)area->address, (uintptr_t)area->address + area->size);

    FILE* maps = fopen("/proc/self/maps", "r");
    if (maps == NULL)
        return;
    struct Mapping mapping;
    uintptr_t low = UINTPTR_MAX;
    uintptr_t high = 0;
    while (read_mapping(maps, &mapping)) {
        if (strstr(mapping.path, "/wine-preloader") == NULL)
            continue;
        low = mapping.start < low ? mapping.start : low;
        high = mapping.end > high ? mapping.end : high;
    }
    enum { kMaxReleases = 8 };
    uintptr_t releases[kMaxReleases][2];
    size_t release_count = 0;
    rewind(maps);
    while (read_mapping(maps, &mapping)) {
        int reserved_by_emulator = strcmp(mapping.permissions, "---p") == 0 && mapping.inode == 0 &&
                                   mapping.path[0] == '\0' && mapping.start >= low &&
                                   mapping.end <= high;
        if (!reserved_by_emulator)
            continue;
        uintptr_t split = mapping.end < kLowAreaEnd ? mapping.end : kLowAreaEnd;
        add_preload_area(&count, mapping.start, split);
        uintptr_t upper = mapping.start > kLowAreaEnd ? mapping.start : kLowAreaEnd;
        if (upper < mapping.end && release_count < kMaxReleases) {
            releases[release_count][0] = upper;
            releases[release_count][1] = mapping.end;
            ++release_count;
        }
    }
    fclose(maps);
    for (size_t i = 0; i < release_count; ++i)
        munmap((void*)releases[i][0], releases[i][1] - releases[i][0]);
    preload_areas[count].address = NULL;
    preload_areas[count].size = 0;
    *wine_main_preload_info = preload_areas;
}

// --- 3. thread segments ------------------------------------------------------------

typedef long (*SyscallFunction)(long, ...);
typedef int (*PthreadCreateFunction)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

static SyscallFunction next_syscall;
static int refuse_global_thread_area;  // set in Wine's own processes

// Wine asks for a global descriptor for its thread block through syscall();
// refused, it gives every thread a local descriptor instead.
long syscall(long number, ...) {
    va_list arguments;
    va_start(arguments, number);
    long argument[6];
    for (int i = 0; i < 6; ++i)
        argument[i] = va_arg(arguments, long);
    va_end(arguments);
    if (number == SYS_set_thread_area && refuse_global_thread_area) {
        const struct user_desc* descriptor = (const struct user_desc*)argument[0];
        if (descriptor != NULL && descriptor->entry_number == (unsigned int)-1) {
            errno = ENOSYS;
            return -1;
        }
    }
    return next_syscall(number, argument[0], argument[1], argument[2], argument[3], argument[4],
                        argument[5]);
}

// Local descriptors below Wine's: once %gs is local, Wine starts its own at 512.
enum { kFirstLocalEntry = 64, kLocalEntryCount = 448 };
static unsigned char local_entry_taken[kLocalEntryCount];
static unsigned int next_local_entry;
static pthread_key_t local_entry_key;
static unsigned short library_global_gs;  // the C library's thread-storage selector
static pthread_mutex_t creation_lock = PTHREAD_MUTEX_INITIALIZER;

static unsigned short current_gs(void) {
    unsigned short selector;
    __asm__ volatile("movw %%gs, %0" : "=r"(selector));
    return selector;
}

static void load_gs(unsigned short selector) {
    __asm__ volatile("movw %0, %%gs" : : "r"(selector) : "memory");
}

static void load_fs(unsigned short selector) {
    __asm__ volatile("movw %0, %%fs" : : "r"(selector) : "memory");
}

static unsigned short current_fs(void) {
    unsigned short selector;
    __asm__ volatile("movw %%fs, %0" : "=r"(selector));
    return selector;
}

static uint32_t thread_pointer(void) {
    uint32_t pointer;
    __asm__ volatile("movl %%gs:0, %0" : "=r"(pointer));
    return pointer;
}

static int is_local_selector(unsigned short selector) {
    return (selector & 4) != 0;
}

// The C library's own descriptor for thread storage, at another entry.
static struct user_desc thread_storage_descriptor(unsigned int entry, uint32_t base) {
    struct user_desc descriptor;
    memset(&descriptor, 0, sizeof descriptor);
    descriptor.entry_number = entry;
    descriptor.base_addr = base;
    descriptor.limit = 0xfffff;
    descriptor.seg_32bit = 1;
    descriptor.limit_in_pages = 1;
    descriptor.useable = 1;
    return descriptor;
}

// Entries are handed out in turn, so one freed by a thread that is still on
// its way out is not given to the next thread at once.
static int take_local_entry(void) {
    for (int tries = 0; tries < kLocalEntryCount; ++tries) {
        unsigned int index =
            __atomic_fetch_add(&next_local_entry, 1, __ATOMIC_RELAXED) % kLocalEntryCount;
        unsigned char expected = 0;
        if (__atomic_compare_exchange_n(&local_entry_taken[index], &expected, 1, 0,
                                        __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
            return kFirstLocalEntry + (int)index;
    }
    return -1;
}

static void release_local_entry(void* value) {
    int entry = (int)(intptr_t)value - 1;
    if (entry >= kFirstLocalEntry && entry < kFirstLocalEntry + kLocalEntryCount)
        __atomic_store_n(&local_entry_taken[entry - kFirstLocalEntry], 0, __ATOMIC_RELEASE);
}

static void move_gs_to_local_entry(void) {
    if (library_global_gs == 0 || is_local_selector(current_gs()))
        return;
    int entry = take_local_entry();
    if (entry < 0)
        return;
    struct user_desc descriptor = thread_storage_descriptor((unsigned int)entry, thread_pointer());
    if (next_syscall(SYS_modify_ldt, 1, &descriptor, sizeof descriptor) != 0) {
        release_local_entry((void*)(intptr_t)(entry + 1));
        return;
    }
    load_gs((unsigned short)((entry << 3) | 7));
    pthread_setspecific(local_entry_key, (void*)(intptr_t)(entry + 1));
}

struct ThreadStart {
    void* (*routine)(void*);
    void* argument;
    sigset_t signal_mask;
};

static void* start_on_local_entry(void* parameter) {
    struct ThreadStart start = *(struct ThreadStart*)parameter;
    free(parameter);
    move_gs_to_local_entry();
    pthread_sigmask(SIG_SETMASK, &start.signal_mask, NULL);
    return start.routine(start.argument);
}

// The C library gives a new thread the global entry that the creating
// thread's %gs names, so around the creation the creator names it again, with
// its own thread storage written into it, and no signal may reload %gs from
// the entry the emulator rewrites for the child meanwhile.
int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
                   void* argument) {
    static PthreadCreateFunction next_pthread_create;
    if (next_pthread_create == NULL)
        next_pthread_create = (PthreadCreateFunction)dlsym(RTLD_NEXT, "pthread_create");
    if (library_global_gs == 0)
        return next_pthread_create(thread, attributes, routine, argument);

    struct ThreadStart* start = malloc(sizeof *start);
    if (start == NULL)
        return EAGAIN;
    start->routine = routine;
    start->argument = argument;
    sigset_t everything;
    sigset_t creator_mask;
    sigfillset(&everything);
    pthread_sigmask(SIG_BLOCK, &everything, &creator_mask);
    start->signal_mask = creator_mask;
    pthread_mutex_lock(&creation_lock);
    unsigned short own = current_gs();
    if (is_local_selector(own)) {
        struct user_desc descriptor =
            thread_storage_descriptor(library_global_gs >> 3, thread_pointer());
        next_syscall(SYS_set_thread_area, &descriptor);
        load_gs(library_global_gs);
    }
    int result = next_pthread_create(thread, attributes, start_on_local_entry, start);
    if (is_local_selector(own))
        load_gs(own);
    pthread_mutex_unlock(&creation_lock);
    if (result != 0)
        free(start);
    pthread_sigmask(SIG_SETMASK, &creator_mask, NULL);
    return result;
}

__attribute__((constructor)) static void adapt_to_emulator(void) {
    next_syscall = (SyscallFunction)dlsym(RTLD_NEXT, "syscall");
    unsigned short gs = current_gs();
    if (gs != 0 && !is_local_selector(gs) &&
        pthread_key_create(&local_entry_key, release_local_entry) == 0) {
        library_global_gs = gs;
        move_gs_to_local_entry();
    }

    const struct PreloadArea** wine_main_preload_info =
        (const struct PreloadArea**)dlsym(RTLD_DEFAULT, "wine_main_preload_info");
    if (wine_main_preload_info == NULL || *wine_main_preload_info == NULL)
        return;  // not Wine started through its preloader
    // The preloader leaves %fs on a global descriptor, which Wine would then
    // take for its thread block.
    if (current_fs() != 0 && !is_local_selector(current_fs()))
        load_fs(0);
    refuse_global_thread_area = 1;
    hand_preloader_span_to_wine(wine_main_preload_info);
}
