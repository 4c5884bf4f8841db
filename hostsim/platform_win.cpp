// Windows: the module image is the host executable itself, whose .hostimg
// section (uninitialised, writable and executable) holds everything the
// stand-in lays out; the plug-in is a DLL whose entry runs inside LoadLibrary,
// with its clock and seeds answered by the world (plugin_imports_win.h).

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "hostsim/host_layout.h"
#include "hostsim/platform.h"
#include "hostsim/plugin_imports_win.h"

namespace hostsim {
namespace {

class ExecutableImage final : public ImageMemory {
  public:
    ExecutableImage() {
        auto* module = reinterpret_cast<std::uint8_t*>(GetModuleHandleA(nullptr));
        base_ = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(module));
        auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(module + dos->e_lfanew);
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            char name[IMAGE_SIZEOF_SHORT_NAME + 1] = {};
            std::memcpy(name, section->Name, IMAGE_SIZEOF_SHORT_NAME);
            if (std::strcmp(name, ".hostimg") != 0)
                continue;
            begin_ = section->VirtualAddress;
            end_ = section->VirtualAddress + section->Misc.VirtualSize;
            return;
        }
        throw std::runtime_error("the host executable has no .hostimg section");
    }
    std::uint32_t base() const override { return base_; }
    std::uint32_t writable_begin() const override { return begin_; }
    std::uint32_t writable_end() const override { return end_; }
    void keep_after_release() override {}  // the executable stays anyway

  private:
    std::uint32_t base_ = 0;
    std::uint32_t begin_ = 0;
    std::uint32_t end_ = 0;
};

class Dll final : public PluginModule {
  public:
    bool load(const std::string& path, std::string& error) override {
        module_ = load_plugin_answering_imports(path);
        if (module_ == nullptr) {
            error = "LoadLibrary failed with error " + std::to_string(GetLastError());
            return false;
        }
        base_ = module_;
        return true;
    }

    bool free_and_check_loaded() override {
        if (module_ == nullptr)
            return false;
        auto inside = reinterpret_cast<LPCSTR>(module_);
        FreeLibrary(module_);
        module_ = nullptr;
        HMODULE still = nullptr;
        return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                      GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                  inside, &still) != 0 &&
               still != nullptr;
    }

    bool contains(std::uint32_t address) const override {
        HMODULE owner = nullptr;
        return base_ != nullptr &&
               GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                      GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                  reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(address)),
                                  &owner) != 0 &&
               owner == base_;
    }

  private:
    HMODULE module_ = nullptr;
    HMODULE base_ = nullptr;  // where it was loaded, kept after freeing
};

}  // namespace

void set_process_time_zone(const std::string& zone) {
    // The run time DLL is the plug-in's too, so its conversions follow.
    std::string setting = "TZ=" + zone;
    _putenv(setting.c_str());
    _tzset();
}

std::unique_ptr<ImageMemory> ImageMemory::acquire() {
    return std::make_unique<ExecutableImage>();
}

std::unique_ptr<PluginModule> PluginModule::create() {
    return std::make_unique<Dll>();
}

}  // namespace hostsim
