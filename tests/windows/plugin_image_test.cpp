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

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Which DLL: the one the build made, or the one the release package holds.
enum class Dll { Built, Packaged };

void PrintTo(Dll dll, std::ostream* out) {
    *out << (dll == Dll::Built ? "built" : "packaged");
}

class PluginImage : public ::testing::TestWithParam<Dll> {
  protected:
    void SetUp() override {
        if (GetParam() == Dll::Packaged && corvalen::test::package_may_be_missing())
            GTEST_SKIP() << "no package unpacked; make package and tests/package/check_package.sh";
        std::string path = GetParam() == Dll::Built ? corvalen::test::build_path("corvalen.dll")
                                                    : corvalen::test::packaged_dll();
        // Mapped as an image, without running its entry point or loading
        // what it imports.
        module_ = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module_, nullptr) << path;
        base_ = reinterpret_cast<const std::uint8_t*>(module_);
        auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base_);
        headers_ = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base_ + dos->e_lfanew);
        ASSERT_EQ(headers_->Signature, IMAGE_NT_SIGNATURE);
    }
    void TearDown() override {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    const IMAGE_DATA_DIRECTORY& directory(int index) const {
        return headers_->OptionalHeader.DataDirectory[index];
    }

    HMODULE module_ = nullptr;
    const std::uint8_t* base_ = nullptr;
    const IMAGE_NT_HEADERS32* headers_ = nullptr;
};

TEST_P(PluginImage, ExportsNothing) {
    const IMAGE_DATA_DIRECTORY& exports = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (exports.VirtualAddress == 0)
        return;  // no export directory at all
    auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base_ + exports.VirtualAddress);
    EXPECT_EQ(table->NumberOfFunctions, 0u);
    EXPECT_EQ(table->NumberOfNames, 0u);
}

TEST_P(PluginImage, ImportsOnlyFromWindowsLibraries) {
    const std::set<std::string> allowed = {"kernel32.dll", "msvcrt.dll", "version.dll",
                                           "ntdll.dll",    "user32.dll", "advapi32.dll"};
    const IMAGE_DATA_DIRECTORY& imports = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(imports.VirtualAddress, 0u);
    std::set<std::string> seen;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base_ + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        std::string name = lower(reinterpret_cast<const char*>(base_ + entry->Name));
        EXPECT_TRUE(allowed.count(name) != 0) << name;
        seen.insert(name);
    }
    EXPECT_TRUE(seen.count("kernel32.dll") != 0);
    EXPECT_TRUE(seen.count("version.dll") != 0);
}

INSTANTIATE_TEST_SUITE_P(Dll, PluginImage, ::testing::Values(Dll::Built, Dll::Packaged),
                         [](const ::testing::TestParamInfo<Dll>& info) {
                             return info.param == Dll::Built ? "Built" : "Packaged";
                         });

}  // namespace
