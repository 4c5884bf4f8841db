#include "host_process.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace corvalen::test {
namespace {

std::string windows_path(std::string unix_path) {
    for (char& c : unix_path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + unix_path;
}

std::string quoted(const std::string& argument) {
    if (argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

// The queried fields are scalars and come before any free text in the line.
std::string HostRun::value(const std::string& key) const {
    std::size_t at = summary.find("\"" + key + "\":");
    if (at == std::string::npos)
        return {};
    std::size_t start = at + key.size() + 3;
    return summary.substr(start, summary.find_first_of(",}", start) - start);
}

long HostRun::number(const std::string& key) const {
    std::string text = value(key);
    if (text.empty())
        throw std::runtime_error("summary has no field " + key);
    return std::strtol(text.c_str(), nullptr, 10);
}

bool has_line_containing(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

std::string build_path(const std::string& relative) {
    return windows_path(std::string(CORVALEN_BUILD_DIR) + "/" + relative);
}

std::string source_path(const std::string& relative) {
    return windows_path(std::string(CORVALEN_SOURCE_DIR) + "/" + relative);
}

std::string packaged_dll() {
    return source_path("build/package/unpacked/corvalen.dll");
}

bool package_may_be_missing() {
    return !std::filesystem::exists(packaged_dll()) &&
           std::getenv("CORVALEN_PACKAGE_CHECK") == nullptr;
}

std::string fresh_folder(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(build_path("test-runs")) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

HostRun run_host(const std::string& exe, const std::vector<std::string>& arguments,
                 const std::string& folder) {
    std::string command = quoted(build_path(exe));
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        throw std::runtime_error("CreatePipe");
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        CloseHandle(read_end);
        CloseHandle(write_end);
        throw std::runtime_error("CreateProcess failed for " + command);
    }
    CloseHandle(write_end);

    HostRun run;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        run.output.append(buffer, got);
    }
    CloseHandle(read_end);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    // The summary is the last line that holds a JSON object.
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '{')
            run.summary = line.substr(first);
    }
    return run;
}

}  // namespace corvalen::test
