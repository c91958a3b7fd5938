// Whether the protection modules are called at all, and where they are looked for.
#include <gtest/gtest.h>

#include "cleanup/module_hooks.h"
#include "common/system_info.h"

namespace vexa {
namespace {

TEST(ProtectionPlatform, DependsOnArchitectureAndKernelVersion) {
    constexpr WORD kX86 = PROCESSOR_ARCHITECTURE_INTEL;
    constexpr WORD kAmd64 = PROCESSOR_ARCHITECTURE_AMD64;
    constexpr WORD kIa64 = PROCESSOR_ARCHITECTURE_IA64;
    const struct {
        WORD architecture;
        bool read;
        WORD major;
        WORD minor;
        bool supported;
    } cases[] = {
        {kAmd64, true, 6, 0, false},  // Vista 64-bit
        {kAmd64, true, 6, 1, true},   {kAmd64, true, 10, 0, true}, {kIa64, true, 6, 2, true},
        {kAmd64, true, 5, 2, false},  // XP / Server 2003 64-bit
        {kX86, true, 5, 2, false},    // Server 2003 32-bit
        {kX86, true, 5, 1, true},     {kX86, true, 6, 0, true},    {kX86, true, 6, 1, true},
        {kX86, false, 6, 1, false},   // no version resource
        {kAmd64, false, 6, 1, false},
    };
    for (const auto& c : cases) {
        ProtectionPlatformFacts facts;
        facts.processor_architecture = c.architecture;
        facts.kernel32_version_read = c.read;
        facts.kernel32_major = c.major;
        facts.kernel32_minor = c.minor;
        EXPECT_EQ(IsProtectionPlatform(facts), c.supported)
            << c.architecture << " " << c.major << "." << c.minor << " read=" << c.read;
    }
}

TEST(ModulePath, JoinsTheSuiteFolderAndStaysWithinThePathLimit) {
    std::wstring path = L"unchanged";
    EXPECT_TRUE(BuildModulePath(L"C:\\S", L"ipc\\DrvUtility.dll", path));
    EXPECT_EQ(path, L"C:\\S\\ipc\\DrvUtility.dll");
    EXPECT_TRUE(BuildModulePath(L"C:\\S\\", L"ipc\\DrvUtility.dll", path));
    EXPECT_EQ(path, L"C:\\S\\ipc\\DrvUtility.dll");

    path = L"unchanged";
    EXPECT_FALSE(BuildModulePath(L"", L"ipc\\DrvUtility.dll", path));
    const std::wstring long_folder = L"C:\\" + std::wstring(247, L'a');  // 250 characters
    EXPECT_FALSE(BuildModulePath(long_folder, L"ipc\\DrvUtility.dll", path));  // 250 + 1 + 18
    EXPECT_EQ(path, L"unchanged");
    EXPECT_TRUE(BuildModulePath(L"C:\\" + std::wstring(237, L'a'), L"ipc\\DrvUtility.dll", path));  // 259 characters
}

TEST(ModuleHooks, MissingModulesFailWithoutStoppingAnything) {
    const std::wstring nowhere = L"C:\\vexatest\\no-such-suite";
    EXPECT_FALSE(IpcLayerUninstall(nowhere) && IsProtectionPlatformHere());
    EXPECT_FALSE(DriverUtilityUninstall(nowhere) && IsProtectionPlatformHere());
    EXPECT_FALSE(SandboxMonitorUninstall(nowhere));
    // Exactly one of the two deep-scan hooks is meant for this system; on 64-bit Windows
    // the loader counts as done even when it is missing, and the 32-bit hook refuses.
    if (IsProtectionPlatformHere() && Is64BitWindows()) {
        EXPECT_TRUE(DeepScanLoaderUninstall64(nowhere));
        EXPECT_FALSE(DeepScanLoaderUninstall32(nowhere));
    }
}

}  // namespace
}  // namespace vexa
