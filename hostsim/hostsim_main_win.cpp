// hostsim.dll's one export: the host executables call it with their command
// line. The version resource of the executable decides the layout.

#include <windows.h>

#include <exception>
#include <iostream>
#include <optional>
#include <vector>

#include "hostsim/command_line.h"

namespace {

std::optional<hostsim::FileVersion> executable_version() {
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return std::nullopt;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return std::nullopt;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data()))
        return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) ||
        length == 0 || info == nullptr || info->dwSignature != 0xFEEF04BD) {
        return std::nullopt;
    }
    return hostsim::FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

}  // namespace

extern "C" __declspec(dllexport) int hostsim_main(int argc, char** argv) {
    try {
        hostsim::BootOptions options;
        options.version = executable_version();
        std::vector<std::string> arguments(argv + 1, argv + argc);
        return hostsim::run_host_process(arguments, options, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "hostsim: " << error.what() << "\n";
        return 3;
    }
}
