// Linux: an anonymous mapping plays the module image, the plug-in is a shared
// object, and the process answers the plug-in's questions about its host
// through the posix_host_* functions.

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstdlib>
#include <ctime>
#include <map>

#include "host/posix_host_process.h"
#include "hostsim/host.h"
#include "hostsim/host_layout.h"
#include "hostsim/page_protections.h"
#include "hostsim/platform.h"

namespace hostsim {
namespace {

constexpr std::uint32_t kPageSize = 4096;

// Page address to protection, for every page the host owns.
std::map<std::uint32_t, int>& host_pages() {
    static std::map<std::uint32_t, int> pages;
    return pages;
}

template <typename Action>
void for_each_page(std::uint32_t address, std::uint32_t size, Action action) {
    if (size == 0)
        return;
    std::uint32_t last = (address + (size - 1)) & ~(kPageSize - 1);
    for (std::uint32_t page = address & ~(kPageSize - 1);; page += kPageSize) {
        action(page);
        if (page == last)
            break;
    }
}

class MappedImage final : public ImageMemory {
  public:
    MappedImage() {
        void* at = mmap(nullptr, kImageSize, PROT_READ | PROT_WRITE | PROT_EXEC,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED)
            throw std::runtime_error("cannot map the module image");
        base_ = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(at));
        record_page_protection(base_, kImageSize, PROT_READ | PROT_WRITE | PROT_EXEC);
    }
    ~MappedImage() override {
        if (keep_)
            return;
        munmap(reinterpret_cast<void*>(static_cast<std::uintptr_t>(base_)), kImageSize);
        forget_pages(base_, kImageSize);
    }
    std::uint32_t base() const override { return base_; }
    std::uint32_t writable_begin() const override { return kImageSectionOffset; }
    std::uint32_t writable_end() const override { return kImageSize; }
    void keep_after_release() override { keep_ = true; }

  private:
    std::uint32_t base_ = 0;
    bool keep_ = false;
};

class SharedObject final : public PluginModule {
  public:
    bool load(const std::string& path, std::string& error) override {
        path_ = path;
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            const char* why = dlerror();
            error = why != nullptr ? why : "dlopen failed";
            return false;
        }
        auto entry = reinterpret_cast<PosixPluginEntry>(dlsym(handle_, kPosixPluginEntryName));
        if (entry == nullptr) {
            error = std::string("no ") + kPosixPluginEntryName + " in " + path;
            return false;
        }
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(entry), &info) != 0)
            base_ = info.dli_fbase;
        entry(1);
        return true;
    }

    bool free_and_check_loaded() override {
        if (handle_ == nullptr)
            return false;
        dlclose(handle_);
        handle_ = nullptr;
        void* still = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (still == nullptr)
            return false;
        dlclose(still);
        return true;
    }

    bool contains(std::uint32_t address) const override {
        Dl_info info{};
        return base_ != nullptr &&
               dladdr(reinterpret_cast<void*>(static_cast<std::uintptr_t>(address)), &info) != 0 &&
               info.dli_fbase == base_;
    }

  private:
    std::string path_;
    void* handle_ = nullptr;
    void* base_ = nullptr;  // where it was loaded, kept after freeing
};

}  // namespace

void record_page_protection(std::uint32_t address, std::uint32_t size, int protection) {
    for_each_page(address, size, [&](std::uint32_t page) { host_pages()[page] = protection; });
}

void forget_pages(std::uint32_t address, std::uint32_t size) {
    for_each_page(address, size, [](std::uint32_t page) { host_pages().erase(page); });
}

void set_process_time_zone(const std::string& zone) {
    setenv("TZ", zone.c_str(), 1);
    tzset();
}

std::unique_ptr<ImageMemory> ImageMemory::acquire() {
    return std::make_unique<MappedImage>();
}

std::unique_ptr<PluginModule> PluginModule::create() {
    return std::make_unique<SharedObject>();
}

}  // namespace hostsim

extern "C" {

__attribute__((visibility("default"))) std::uint32_t posix_host_module_base() {
    hostsim::Host* host = hostsim::Host::active();
    return host != nullptr ? host->image().base() : 0;
}

__attribute__((visibility("default"))) bool posix_host_file_version(std::uint16_t version[4]) {
    hostsim::Host* host = hostsim::Host::active();
    if (host == nullptr || !host->file_version())
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        version[i] = (*host->file_version())[i];
    return true;
}

__attribute__((visibility("default"))) std::int64_t posix_host_wall_clock() {
    hostsim::Host* host = hostsim::Host::active();
    return host != nullptr ? host->world().wall_clock_seconds() : std::time(nullptr);
}

// Fixed seeds, so that every run of a scenario rolls the same dice.
__attribute__((visibility("default"))) std::uint32_t posix_host_random_seed() {
    hostsim::Host* host = hostsim::Host::active();
    return host != nullptr ? host->world().next_random_seed() : hostsim::kFallbackRandomSeed;
}

__attribute__((visibility("default"))) int posix_host_page_protection(std::uint32_t address) {
    auto found = hostsim::host_pages().find(address & ~(hostsim::kPageSize - 1));
    return found != hostsim::host_pages().end() ? found->second : -1;
}

}  // extern "C"
