#include "hostsim/plugin_imports_win.h"

#include <ntsecapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstring>
#include <cwctype>

#include "hostsim/host.h"

namespace hostsim {
namespace {

// FILETIME counts 100 ns ticks from 1601-01-01 UTC.
constexpr std::int64_t kMsFrom1601To1970 = 11'644'473'600'000;
constexpr std::uint64_t kTicksPerMs = 10'000;

VOID WINAPI world_system_time(LPFILETIME out) {
    Host* host = Host::active();
    if (host == nullptr) {
        GetSystemTimeAsFileTime(out);  // the game is gone; the plug-in may still ask
        return;
    }
    auto ticks =
        static_cast<std::uint64_t>(host->world().wall_clock_ms() + kMsFrom1601To1970) * kTicksPerMs;
    out->dwLowDateTime = static_cast<DWORD>(ticks);
    out->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

BOOLEAN WINAPI world_random(PVOID buffer, ULONG length) {
    Host* host = Host::active();
    if (host == nullptr)
        return RtlGenRandom(buffer, length);
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (ULONG done = 0; done < length;) {
        std::uint32_t seed = host->world().next_random_seed();
        ULONG part = length - done < sizeof(seed) ? length - done : sizeof(seed);
        std::memcpy(bytes + done, &seed, part);
        done += part;
    }
    return TRUE;
}

struct Redirection {
    const char* library;
    const char* function;
    void* answer;
};

const Redirection kRedirections[] = {
    {"kernel32.dll", "GetSystemTimeAsFileTime", reinterpret_cast<void*>(&world_system_time)},
    // RtlGenRandom's exported name.
    {"advapi32.dll", "SystemFunction036", reinterpret_cast<void*>(&world_random)},
};

bool same_name(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::towlower(static_cast<unsigned char>(*a)) !=
            std::towlower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

void write_slot(std::uintptr_t* slot, void* answer) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old))
        return;
    *slot = reinterpret_cast<std::uintptr_t>(answer);
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof(*slot), old, &ignored);
}

// Points every import slot of the module named in kRedirections at its answer.
void redirect_imports(std::uint8_t* base) {
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        const char* library = reinterpret_cast<const char*>(base + entry->Name);
        // The names are in the lookup table; the address table already holds
        // the resolved addresses.
        if (entry->OriginalFirstThunk == 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<std::uintptr_t*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal))
                continue;
            const char* function = reinterpret_cast<const char*>(
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)
                    ->Name);
            for (const Redirection& redirection : kRedirections) {
                if (same_name(library, redirection.library) &&
                    std::strcmp(function, redirection.function) == 0)
                    write_slot(slots, redirection.answer);
            }
        }
    }
}

// The loader's notification of a mapped module (reason 1: loaded), which
// comes once its imports are bound and before its entry point runs.
constexpr ULONG kModuleLoaded = 1;
struct LoadedModule {
    ULONG flags;
    const UNICODE_STRING* full_name;
    const UNICODE_STRING* base_name;
    void* base;
    ULONG size;
};
using Notification = VOID(CALLBACK*)(ULONG reason, const LoadedModule* module, PVOID context);
using RegisterNotification = LONG(NTAPI*)(ULONG flags, Notification callback, PVOID context,
                                          PVOID* cookie);
using UnregisterNotification = LONG(NTAPI*)(PVOID cookie);

struct Awaited {
    std::wstring file_name;  // the plug-in's file name, without folders
};

bool same_name(const UNICODE_STRING& name, const std::wstring& wanted) {
    std::size_t length = name.Length / sizeof(WCHAR);
    if (length != wanted.size())
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::towlower(name.Buffer[i]) != std::towlower(wanted[i]))
            return false;
    }
    return true;
}

VOID CALLBACK on_module_loaded(ULONG reason, const LoadedModule* module, PVOID context) {
    const auto* awaited = static_cast<const Awaited*>(context);
    if (reason == kModuleLoaded && module != nullptr && module->base_name != nullptr &&
        same_name(*module->base_name, awaited->file_name)) {
        redirect_imports(static_cast<std::uint8_t*>(module->base));
    }
}

std::wstring file_name_of(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return std::wstring(name.begin(), name.end());
}

}  // namespace

HMODULE load_plugin_answering_imports(const std::string& path) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto register_notification = reinterpret_cast<RegisterNotification>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrRegisterDllNotification")));
    auto unregister_notification = reinterpret_cast<UnregisterNotification>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
    Awaited awaited{file_name_of(path)};
    PVOID cookie = nullptr;
    if (register_notification != nullptr && unregister_notification != nullptr)
        register_notification(0, &on_module_loaded, &awaited, &cookie);
    HMODULE module = LoadLibraryA(path.c_str());
    DWORD error = GetLastError();
    if (cookie != nullptr)
        unregister_notification(cookie);
    SetLastError(error);
    return module;
}

}  // namespace hostsim
