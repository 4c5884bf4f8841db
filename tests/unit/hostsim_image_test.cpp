// The stand-in's module image as the plug-in meets it: the native lookup
// routine called with the hash in ESI, handlers called with a NativeContext,
// and the host functions reached by address in their calling forms.

#include <gtest/gtest.h>

#include <cstring>

#include "hostsim/host.h"
#include "hostsim/host_abi.h"
#include "hostsim/script_caller.h"
#include "hostsim/x86_writer.h"

// Calls the lookup routine with the hash in ESI and known values in every
// other register, then records EAX and the registers as the routine left
// them: out[0] EAX, [1] EBX, [2] ESI, [3] EDI, [4] EBP, [5] ECX, [6] EDX.
extern "C" void hostsim_test_lookup_probe(std::uint32_t routine, std::uint32_t hash,
                                          std::uint32_t* out);
__asm__(R"(
    .text
    .globl hostsim_test_lookup_probe
    .type hostsim_test_lookup_probe, @function
hostsim_test_lookup_probe:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 20(%esp), %eax
    movl 24(%esp), %esi
    movl $0x11111111, %ebx
    movl $0x22222222, %edi
    movl $0x33333333, %ebp
    movl $0x44444444, %ecx
    movl $0x55555555, %edx
    call *%eax
    pushl %eax
    movl 32(%esp), %eax
    movl %ebx, 4(%eax)
    movl %esi, 8(%eax)
    movl %edi, 12(%eax)
    movl %ebp, 16(%eax)
    movl %ecx, 20(%eax)
    movl %edx, 24(%eax)
    popl %ecx
    movl %ecx, 0(%eax)
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .size hostsim_test_lookup_probe, .-hostsim_test_lookup_probe
)");

namespace hostsim {
namespace {

constexpr std::uint32_t kPlayerIndexNative = 0x62E319C6;
constexpr std::uint32_t kIntStatNative = 0x48994D58;
constexpr std::uint32_t kVehicleExistsNative = 0x67A42263;

template <class T>
T* at(std::uint32_t address) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

template <class F>
F function_at(const Host& host, std::uint32_t offset) {
    return reinterpret_cast<F>(static_cast<std::uintptr_t>(host.image().base() + offset));
}

const float* matrix_of(std::uint32_t object) {
    return at<const float>(read_u32(object + kObjectMatrixPointer));
}

class ImageTest : public ::testing::TestWithParam<Build> {};

TEST_P(ImageTest, LookupAnswersInEaxAndKeepsEveryOtherRegister) {
    Host host(boot_options(GetParam()));
    std::uint32_t routine = host.image().base() + host.image().layout().native_lookup;

    std::uint32_t known[7] = {};
    hostsim_test_lookup_probe(routine, kPlayerIndexNative, known);
    EXPECT_NE(known[0], 0u);
    EXPECT_GE(known[0], host.image().base());
    EXPECT_LT(known[0], host.image().base() + kImageSize);

    std::uint32_t unknown[7] = {};
    hostsim_test_lookup_probe(routine, 0x12345678, unknown);
    EXPECT_EQ(unknown[0], 0u);
    EXPECT_EQ(host.unknown_lookups().at(0x12345678), 1);

    for (const std::uint32_t* registers : {known, unknown}) {
        EXPECT_EQ(registers[1], 0x11111111u);
        EXPECT_EQ(registers[3], 0x22222222u);
        EXPECT_EQ(registers[4], 0x33333333u);
        EXPECT_EQ(registers[5], 0x44444444u);
        EXPECT_EQ(registers[6], 0x55555555u);
    }
    EXPECT_EQ(known[2], kPlayerIndexNative);
    EXPECT_EQ(unknown[2], 0x12345678u);
}

TEST_P(ImageTest, HandlersReadArgumentsAndWriteTheResultThroughTheContextPointers) {
    Host host(boot_options(GetParam()));
    host.world().set_int_stat(429, 17);

    // A context whose argument and result areas lie elsewhere than its own
    // slots: the handler must follow the pointers.
    corvalen::host::NativeContext context{};
    std::uint32_t arguments[2] = {429, 0};
    std::uint32_t result[2] = {0xDEAD, 0xDEAD};
    context.argument_count = 1;
    context.argument_pointer = ScriptCaller::arg(static_cast<const void*>(arguments));
    context.result_pointer = ScriptCaller::arg(static_cast<const void*>(result));
    std::uint32_t handler =
        call_lookup_routine(host.image().native_lookup_routine(), kIntStatNative);
    ASSERT_NE(handler, 0u);
    reinterpret_cast<void (*)(corvalen::host::NativeContext*)>(
        static_cast<std::uintptr_t>(handler))(&context);
    EXPECT_EQ(result[0], 17u);
    EXPECT_EQ(context.slots[0], 0u);

    ASSERT_EQ(host.native_log().size(), 1u);
    const NativeCall& call = host.native_log().front();
    EXPECT_EQ(call.hash, kIntStatNative);
    EXPECT_EQ(call.argument_count, 1u);
    EXPECT_EQ(call.slots[0], 429u);
    EXPECT_FALSE(call.plugin_script);
}

TEST_P(ImageTest, TooFewArgumentsAreRecordedAndChangeNothing) {
    Host host(boot_options(GetParam()));
    ScriptCaller script(host);
    float cash = host.world().cash();
    script.call(0x537379A8, {ScriptCaller::arg(kPlayerHandle)});
    EXPECT_EQ(host.world().cash(), cash);
    ASSERT_EQ(host.world().errors().size(), 1u);
    EXPECT_NE(host.world().errors().front().text.find("needs 2"), std::string::npos);
}

TEST_P(ImageTest, GlobalsHoldTheTimerClockPoolsAndTheGamesOwnScriptRecord) {
    Host host(boot_options(GetParam()));
    const BuildLayout& layout = host.image().layout();
    std::uint32_t base = host.image().base();
    host.run_frames(3);
    EXPECT_EQ(read_u32(base + layout.game_timer), host.world().game_timer());
    EXPECT_EQ(read_u32(base + layout.clock_seconds), host.world().clock_seconds());
    EXPECT_EQ(read_u32(base + layout.active_script), host.image().host_script_record());
    EXPECT_EQ(read_u32(base + layout.vehicle_pool), host.image().vehicle_pool());
    EXPECT_EQ(read_u32(base + layout.second_pool), host.image().second_pool());

    std::uint32_t before = read_u32(base + layout.game_timer);
    host.pass_game_time(60000);
    EXPECT_EQ(read_u32(base + layout.game_timer), before + 60000);
}

TEST_P(ImageTest, PlayerAccessorAndPoolsGiveObjectsWithTheirMatrix) {
    Host host(boot_options(GetParam()));
    const BuildLayout& layout = host.image().layout();
    host.teleport_player({10.0f, 20.0f, 6.0f});

    auto player_accessor = function_at<PlayerAccessor>(host, layout.player_accessor);
    std::uint32_t player = ScriptCaller::arg(player_accessor());
    const float* matrix = matrix_of(player);
    EXPECT_EQ(matrix[12], 10.0f);
    EXPECT_EQ(matrix[13], 20.0f);
    EXPECT_EQ(matrix[14], 6.0f);

    auto lookup = function_at<PoolLookup>(host, layout.pool_lookup);
    auto handle_of = function_at<HandleFromObject>(host, layout.handle_from_object);
    void* vehicle_pool = at<void>(read_u32(host.image().base() + layout.vehicle_pool));
    void* second_pool = at<void>(read_u32(host.image().base() + layout.second_pool));

    const Vehicle& parked = host.world().vehicles().begin()->second;
    void* object = lookup(vehicle_pool, parked.handle);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(matrix_of(ScriptCaller::arg(object))[12], parked.object.position().x);
    EXPECT_EQ(handle_of(vehicle_pool, object), parked.handle);
    EXPECT_EQ(lookup(vehicle_pool, 0x7777), nullptr);

    // The characters live in the second pool, not in the vehicle pool.
    std::int32_t me = host.world().player_character();
    EXPECT_EQ(ScriptCaller::arg(lookup(second_pool, me)), player);
    EXPECT_EQ(handle_of(second_pool, at<void>(player)), me);
    EXPECT_EQ(handle_of(vehicle_pool, at<void>(player)), 0);
}

TEST_P(ImageTest, VehicleFactoryCreatesOnlyLoadedModelsAtTheGivenMatrix) {
    Host host(boot_options(GetParam()));
    const BuildLayout& layout = host.image().layout();
    std::uint32_t base = host.image().base();
    auto model_index = function_at<ModelIndexLookup>(host, layout.model_index_lookup);
    auto request = function_at<ModelRequest>(host, layout.model_request);
    auto load = function_at<LoadRequestedModels>(host, layout.load_requested_models);
    auto after_creation = function_at<AfterCreation>(host, layout.after_creation);

    std::uint32_t factory = read_u32(base + layout.vehicle_factory);
    std::uint32_t vtable = read_u32(factory);
    auto create = reinterpret_cast<CreateVehicle>(
        static_cast<std::uintptr_t>(read_u32(vtable + 4 * kCreateVehicleSlot)));

    std::int32_t index = -5;
    EXPECT_EQ(model_index(0xD577C962, &index), index);
    ASSERT_GE(index, 0);
    float matrix[16] = {};
    matrix[12] = 300.0f;
    matrix[13] = -40.0f;
    matrix[14] = 6.0f;
    EXPECT_EQ(create(at<void>(factory), index, 2, matrix, 1), nullptr) << "model not loaded yet";
    EXPECT_FALSE(host.world().errors().empty());

    request(index, 0);
    load(0);
    void* bus = create(at<void>(factory), index, 2, matrix, 1);
    ASSERT_NE(bus, nullptr);
    after_creation(bus, 0);

    auto handle_of = function_at<HandleFromObject>(host, layout.handle_from_object);
    std::int32_t handle = handle_of(at<void>(read_u32(base + layout.vehicle_pool)), bus);
    ASSERT_NE(handle, 0);
    const Vehicle* created = host.world().vehicle(handle);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->model, 0xD577C962u);
    EXPECT_TRUE(created->placed);
    EXPECT_EQ(created->object.position().x, 300.0f);
    EXPECT_EQ(created->passengers.size(), 8u);

    ScriptCaller script(host);
    EXPECT_EQ(script.call(kVehicleExistsNative, {ScriptCaller::arg(handle)}) & 0xFF, 1u);
    // The plug-in writes into vehicle objects beyond their first kilobytes.
    std::memset(static_cast<std::uint8_t*>(bus) + 0x1354, 4, 4);
}

TEST_P(ImageTest, PedestrianFactoryUsesSlotFiveAndTheSecondPool) {
    Host host(boot_options(GetParam()));
    const BuildLayout& layout = host.image().layout();
    std::uint32_t base = host.image().base();
    auto model_index = function_at<ModelIndexLookup>(host, layout.model_index_lookup);
    std::int32_t index = model_index(0x5B404032, nullptr);
    function_at<ModelRequest>(host, layout.model_request)(index, 0);
    function_at<LoadRequestedModels>(host, layout.load_requested_models)(0);

    std::uint32_t factory = read_u32(base + layout.pedestrian_factory);
    auto create = reinterpret_cast<CreatePedestrian>(
        static_cast<std::uintptr_t>(read_u32(read_u32(factory) + 4 * kCreatePedestrianSlot)));
    float matrix[16] = {};
    matrix[12] = -100.0f;
    void* agent = create(at<void>(factory), index, matrix, 1);
    ASSERT_NE(agent, nullptr);
    auto handle_of = function_at<HandleFromObject>(host, layout.handle_from_object);
    std::int32_t handle = handle_of(at<void>(read_u32(base + layout.second_pool)), agent);
    ASSERT_NE(host.world().character(handle), nullptr);
    EXPECT_EQ(host.world().character(handle)->model, 0x5B404032u);
}

INSTANTIATE_TEST_SUITE_P(Builds, ImageTest, ::testing::Values(Build::v1070, Build::v1080),
                         [](const auto& info) {
                             return info.param == Build::v1070 ? "b1070" : "b1080";
                         });

TEST(ImageLayoutTest, SecondHostInOneProcessIsRefusedUntilTheFirstEnds) {
    auto first = std::make_unique<Host>();
    EXPECT_THROW(Host second, std::logic_error);
    first.reset();
    Host third(boot_options(Build::v1080));
    EXPECT_EQ(Host::active(), &third);
}

TEST(ImageLayoutTest, NativeLogKeepsTheLatestCallsAndCountsThemAll) {
    BootOptions options;
    options.native_log_limit = 4;
    Host host(options);
    ScriptCaller script(host);
    for (std::int32_t stat = 1; stat <= 5; ++stat)
        script.call(kIntStatNative, {ScriptCaller::arg(stat)});
    EXPECT_EQ(host.native_call_count(), 5u);
    ASSERT_LE(host.native_log().size(), 4u);
    EXPECT_EQ(host.native_log().back().slots[0], 5u);
    EXPECT_EQ(host.native_log().front().slots[0], 6u - host.native_log().size());
}

TEST(ImageLayoutTest, BuildCodesReadTheVersionAsThePlugInDoes) {
    EXPECT_EQ(build_code(build_file_version(Build::v1070)), 1070);
    EXPECT_EQ(build_code(build_file_version(Build::v10700)), 10700);
    EXPECT_EQ(build_code(build_file_version(Build::no_version)), 0);
    EXPECT_EQ(build_code(build_file_version(Build::overflow)), 0);
}

}  // namespace
}  // namespace hostsim
