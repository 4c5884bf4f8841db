#pragma once
// What differs between the Windows host process and the in-process stand-in
// on Linux: where the module image comes from and how the plug-in is loaded
// (platform_win.cpp, platform_posix.cpp).

#include <cstdint>
#include <memory>
#include <string>

namespace hostsim {

// Sets the process's time zone (a TZ value such as "IST-5:30"), which the C
// run time's local-time conversions follow, the plug-in's included.
void set_process_time_zone(const std::string& zone);

class ImageMemory {
  public:
    virtual ~ImageMemory() = default;
    // Windows: the executable itself, whose .hostimg section is the writable
    // part. Linux: a fresh readable, writable, executable mapping.
    static std::unique_ptr<ImageMemory> acquire();

    virtual std::uint32_t base() const = 0;
    virtual std::uint32_t writable_begin() const = 0;  // offsets from base
    virtual std::uint32_t writable_end() const = 0;
    // The plug-in keeps pointers into the image until the process ends, so
    // once it has been loaded the image must outlive the Host.
    virtual void keep_after_release() = 0;
};

class PluginModule {
  public:
    virtual ~PluginModule() = default;
    static std::unique_ptr<PluginModule> create();

    // Loads the plug-in and delivers the process-attach notification.
    virtual bool load(const std::string& path, std::string& error) = 0;
    // Frees it once; true when the module is still loaded afterwards.
    virtual bool free_and_check_loaded() = 0;
    // True when the address lies inside the loaded plug-in's image.
    virtual bool contains(std::uint32_t address) const = 0;
};

}  // namespace hostsim
