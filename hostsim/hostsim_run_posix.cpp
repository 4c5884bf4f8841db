// The Linux twin of the host executables: the same command line, with
// "--build NAME" (1070, 1080, 1071, 10700, 01070, noversion, overflow;
// default 1070) choosing which executable it plays.

#include <exception>
#include <iostream>
#include <vector>

#include "hostsim/command_line.h"

int main(int argc, char** argv) {
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        hostsim::Build build = hostsim::Build::v1070;
        if (arguments.size() >= 2 && arguments[0] == "--build") {
            auto named = hostsim::parse_build(arguments[1]);
            if (!named) {
                std::cerr << "hostsim: unknown build " << arguments[1] << "\n";
                return 2;
            }
            build = *named;
            arguments.erase(arguments.begin(), arguments.begin() + 2);
        }
        return hostsim::run_host_process(arguments, hostsim::boot_options(build), std::cout,
                                         std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "hostsim: " << error.what() << "\n";
        return 3;
    }
}
