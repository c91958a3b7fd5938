#include <gtest/gtest.h>

#include "engine/fs_redirection.h"
#include "support/test_support.h"

namespace vexa {
namespace {

// A 32-bit program on 64-bit Windows reaches the native system folder only while
// redirection is off; elsewhere the guard changes nothing.
TEST(FsRedirectionGuard, ReachesTheNativeSystemFolderOnlyWhileItLives) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring name = test::UniqueName(L"vexa-redirection") + L".txt";
    const std::wstring path = std::wstring(system) + L"\\" + name;
    {
        FsRedirectionGuard guard;
        EXPECT_EQ(guard.Disabled(), test::IsWow64());
        ASSERT_TRUE(test::WriteFileBytes(path, "native"));
    }
    EXPECT_EQ(test::PathExists(path), !test::IsWow64());
    {
        FsRedirectionGuard guard;
        EXPECT_TRUE(test::PathExists(path));
        DeleteFileW(path.c_str());
    }
}

}  // namespace
}  // namespace vexa
