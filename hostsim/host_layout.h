#pragma once
// Where things sit in the stand-in's module image. Offsets are from the module
// base, as the plug-in resolves them. The two known builds place the game's
// routines, globals and call sites at different offsets; the stand-in's own
// machinery (native handlers, site targets, pools, factories) lives in a region
// that neither build uses.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace hostsim {

// Which executable the stand-in plays: the two builds the plug-in knows and
// the unknown ones it must leave alone.
enum class Build { v1070, v1080, v1071, v10700, v01070, no_version, overflow };

// The per-build offsets of the game locations the plug-in relies on.
struct BuildLayout {
    int code = 0;  // 1070 or 1080
    std::uint32_t native_lookup = 0;
    std::uint32_t active_script = 0;
    std::uint32_t game_timer = 0;
    std::uint32_t player_accessor = 0;
    std::uint32_t vehicle_pool = 0;
    std::uint32_t pool_lookup = 0;
    std::uint32_t second_pool = 0;
    std::uint32_t clock_seconds = 0;
    std::uint32_t vehicle_factory = 0;
    std::uint32_t pedestrian_factory = 0;
    std::uint32_t model_index_lookup = 0;
    std::uint32_t model_request = 0;
    std::uint32_t load_requested_models = 0;
    std::uint32_t after_creation = 0;
    std::uint32_t handle_from_object = 0;
    std::array<std::uint32_t, 8> sites{};  // call instruction of event 1..8
};

const BuildLayout& layout_1070();
const BuildLayout& layout_1080();

// The version resource of the executable for a build; none for no_version.
std::optional<std::array<std::uint16_t, 4>> build_file_version(Build build);

// "1.0.7.0" style text of a version, "none" without one.
std::string version_text(const std::optional<std::array<std::uint16_t, 4>>& version);

// The four numbers written one after the other and read as a number, as the
// plug-in identifies builds; 0 without a version or unless they make exactly
// four digits without a leading zero.
std::int32_t build_code(const std::optional<std::array<std::uint16_t, 4>>& version);

// Parses "1070", "1080", "1071", "10700", "01070", "noversion", "overflow".
std::optional<Build> parse_build(const std::string& name);

// --- the image ---------------------------------------------------------------

// On Windows the image is the executable's uninitialised .hostimg section,
// which the linker places at this offset; below it lie the headers and the
// executable's own code.
inline constexpr std::uint32_t kImageSectionOffset = 0xA000;
inline constexpr std::uint32_t kImageSectionSize = 0x1500000;
inline constexpr std::uint32_t kImageSize = kImageSectionOffset + kImageSectionSize;

// The stand-in's own code and data, away from every offset of both builds.
inline constexpr std::uint32_t kNativeDispatchOffset = 0x1000000;
inline constexpr std::uint32_t kNativeThunksOffset = 0x1000100;
inline constexpr std::uint32_t kNativeThunkStride = 0x10;
inline constexpr std::uint32_t kNativeThunkCapacity = 0xF00;
inline constexpr std::uint32_t kFactoryThunksOffset = 0x1010000;
inline constexpr std::uint32_t kSiteTargetsOffset = 0x1011000;
inline constexpr std::uint32_t kSiteTargetStride = 0x100;
inline constexpr std::uint32_t kScratchCodeOffset = 0x1012000;
inline constexpr std::uint32_t kScratchCodeSize = 0x1000;

inline constexpr std::uint32_t kHostScriptRecordOffset = 0x1020000;
inline constexpr std::uint32_t kHostScriptRecordSize = 0x100;
inline constexpr std::uint32_t kSiteCapturesOffset = 0x1020100;
inline constexpr std::uint32_t kSiteCaptureStride = 0x80;
inline constexpr std::uint32_t kSiteObjectsOffset = 0x1020600;
inline constexpr std::uint32_t kSiteObjectStride = 0x40;
inline constexpr std::uint32_t kVehiclePoolObjectOffset = 0x1020800;
inline constexpr std::uint32_t kSecondPoolObjectOffset = 0x1020840;
inline constexpr std::uint32_t kVehicleFactoryObjectOffset = 0x1020900;
inline constexpr std::uint32_t kPedestrianFactoryObjectOffset = 0x1020A00;
inline constexpr std::uint32_t kFactoryVtableOffset = 0x40;  // from its factory object
inline constexpr std::uint32_t kFactoryVtableSlots = 8;

}  // namespace hostsim
