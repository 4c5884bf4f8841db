// The built DLL and the one the release package holds, as the host's loader
// sees them: no exports, and imports only from Windows' own libraries.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <set>
#include <string>

#include "host_process.h"

namespace {

enum class Dll { Built, Packaged };

void PrintTo(Dll dll, std::ostream* out) {
    *out << (dll == Dll::Built ? "built" : "packaged");
}

class PluginImage : public ::testing::TestWithParam<Dll> {};

TEST_P(PluginImage, ExportsNothingAndImportsOnlyFromWindowsLibraries) {
    if (GetParam() == Dll::Packaged && corvalen::test::package_may_be_missing())
        GTEST_SKIP() << "no package unpacked; make package and tests/package/check_package.sh";
    std::string path = GetParam() == Dll::Built ? corvalen::test::build_path("corvalen.dll")
                                                : corvalen::test::packaged_dll();
    // Mapped as an image, without running its entry point or loading what it
    // imports.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr) << path;
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

INSTANTIATE_TEST_SUITE_P(Dll, PluginImage, ::testing::Values(Dll::Built, Dll::Packaged),
                         [](const ::testing::TestParamInfo<Dll>& info) {
                             return info.param == Dll::Built ? "Built" : "Packaged";
                         });

}  // namespace
