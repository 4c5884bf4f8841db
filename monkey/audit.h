#pragma once
// What the monkey checks after every frame: no host error (each one is put
// down to the holder of the handle it names, when the plug-in held it), the
// hooks intact, live blips, vehicles, characters and groups equal to what the
// plug-in's features hold, every stored car in the car file an autosave just
// wrote, and, after a load, every car of the car file re-created.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "monkey/holdings.h"

namespace corvalen {
class GarageController;
class Mod;
}  // namespace corvalen

namespace hostsim {
class Host;
}

namespace monkey {

struct Finding {
    std::uint32_t frame = 0;
    std::string kind;  // "host error", "stale blip", "unheld vehicle", "lost car"
    std::string detail;
};

class Audit {
  public:
    Audit(hostsim::Host& host, const corvalen::Mod& mod);

    void after_frame();
    // The first frame of a load has run: the plug-in must have reloaded, and
    // re-created every car of its car files.
    void after_load();

    const std::vector<Finding>& findings() const { return findings_; }
    std::size_t host_errors() const { return host_errors_; }
    std::size_t leaks() const { return leaks_; }
    std::size_t car_file_checks() const { return car_file_checks_; }

  private:
    void check_host_errors(const Holdings& now);
    void check_holdings(const Holdings& now);
    void compare(const HandleHolders& held, const std::set<std::int32_t>& existing,
                 const std::set<std::int32_t>& scripts_own, const char* what);
    void check_car_file(const corvalen::GarageController& garage);
    void check_recreated(const corvalen::GarageController& garage);
    void report(const std::string& kind, const std::string& detail, const Holder* holder);

    hostsim::Host& host_;
    const corvalen::Mod& mod_;
    Holdings last_;  // at the end of the frame before
    std::size_t errors_seen_ = 0;
    std::set<std::string> reported_;  // holdings findings, each reported once
    bool hooks_reported_ = false;
    std::set<std::int32_t> handed_over_;  // re-created cars the player took out
    std::map<std::string, int> shown_;    // findings printed, per kind and holder
    std::vector<Finding> findings_;
    std::size_t host_errors_ = 0;
    std::size_t leaks_ = 0;
    std::size_t car_file_checks_ = 0;
};

}  // namespace monkey
