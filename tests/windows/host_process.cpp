#include "host_process.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
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

// Reads a flat JSON object: strings, numbers, true/false/null; nested values
// are kept as raw text, which is all the tests need.
std::map<std::string, std::string> parse_summary(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::size_t i = line.find('{');
    if (i == std::string::npos)
        return fields;
    ++i;
    while (i < line.size()) {
        std::size_t key_start = line.find('"', i);
        if (key_start == std::string::npos)
            break;
        std::size_t key_end = line.find('"', key_start + 1);
        if (key_end == std::string::npos)
            break;
        std::string key = line.substr(key_start + 1, key_end - key_start - 1);
        std::size_t colon = line.find(':', key_end);
        if (colon == std::string::npos)
            break;
        std::size_t v = line.find_first_not_of(' ', colon + 1);
        if (v == std::string::npos)
            break;
        std::size_t end = v;
        int depth = 0;
        bool in_string = false;
        for (; end < line.size(); ++end) {
            char c = line[end];
            if (in_string) {
                if (c == '\\')
                    ++end;
                else if (c == '"')
                    in_string = false;
                continue;
            }
            if (c == '"')
                in_string = true;
            else if (c == '{' || c == '[')
                ++depth;
            else if (c == '}' || c == ']') {
                if (depth == 0)
                    break;
                --depth;
            } else if (c == ',' && depth == 0) {
                break;
            }
        }
        std::string value = line.substr(v, end - v);
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        fields[key] = value;
        i = end + 1;
    }
    return fields;
}

}  // namespace

long HostRun::number(const std::string& key) const {
    auto it = fields.find(key);
    if (it == fields.end())
        throw std::runtime_error("summary has no field " + key);
    return std::strtol(it->second.c_str(), nullptr, 10);
}

bool HostRun::flag(const std::string& key) const {
    auto it = fields.find(key);
    if (it == fields.end())
        throw std::runtime_error("summary has no field " + key);
    return it->second == "true";
}

std::string build_path(const std::string& relative) {
    return windows_path(std::string(CORVALEN_BUILD_DIR) + "/" + relative);
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
    std::size_t end = run.output.size();
    while (end > 0) {
        std::size_t start = run.output.rfind('\n', end - 1);
        start = start == std::string::npos ? 0 : start + 1;
        std::string text = run.output.substr(start, end - start);
        std::size_t first = text.find_first_not_of(" \r\t");
        if (first != std::string::npos && text[first] == '{') {
            run.fields = parse_summary(text);
            break;
        }
        end = start == 0 ? 0 : start - 1;
    }
    return run;
}

}  // namespace corvalen::test
