// The built DLL as the host's loader sees it: no exports, and imports only
// from Windows' own libraries.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "host_process.h"

namespace {

TEST(PluginImage, ExportsNothingAndImportsOnlyFromWindowsLibraries) {
    // Mapped as an image, without running its entry point or loading what it
    // imports.
    HMODULE module = LoadLibraryExA(corvalen::test::build_path("corvalen.dll").c_str(), nullptr,
                                    DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    const auto* base = reinterpret_cast<const std::uint8_t*>(module);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    ASSERT_EQ(headers->Signature, IMAGE_NT_SIGNATURE);
    const IMAGE_DATA_DIRECTORY* directories = headers->OptionalHeader.DataDirectory;

    const IMAGE_DATA_DIRECTORY& exports = directories[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (exports.VirtualAddress != 0) {
        auto* table =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exports.VirtualAddress);
        EXPECT_EQ(table->NumberOfFunctions, 0u);
        EXPECT_EQ(table->NumberOfNames, 0u);
    }

    const std::set<std::string> allowed = {"kernel32.dll", "msvcrt.dll", "version.dll",
                                           "ntdll.dll",    "user32.dll", "advapi32.dll"};
    const IMAGE_DATA_DIRECTORY& imports = directories[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0u);
    std::set<std::string> seen;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_TRUE(allowed.count(name) != 0) << name;
        seen.insert(name);
    }
    EXPECT_TRUE(seen.count("kernel32.dll") != 0 && seen.count("version.dll") != 0);
    FreeLibrary(module);
}

}  // namespace
