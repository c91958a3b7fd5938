#include <gtest/gtest.h>

#include <windows.h>

#include "app/exit_codes.h"
#include "app/single_instance.h"
#include "support/test_support.h"

namespace vexa {
namespace {

TEST(SingleInstance, OnlyTheFirstClaimRunsUntilItReleases) {
    const std::wstring name = L"Local\\" + test::UniqueName(L"VexaInstance");
    CSingleInstance first;
    EXPECT_EQ(first.Claim(name.c_str()), InstanceClaim::kFirst);
    {
        CSingleInstance second;
        EXPECT_EQ(second.Claim(name.c_str()), InstanceClaim::kAlreadyRunning);
    }
    // The second claim neither took nor dropped the first one's mutex.
    CSingleInstance third;
    EXPECT_EQ(third.Claim(name.c_str()), InstanceClaim::kAlreadyRunning);

    first.Release();
    EXPECT_EQ(third.Claim(name.c_str()), InstanceClaim::kFirst);
}

TEST(SingleInstance, AMutexThatCannotBeCreatedEndsQuietly) {
    CSingleInstance instance;
    EXPECT_EQ(instance.Claim(L"NoSuchNamespace\\VexaInstance"), InstanceClaim::kFailed);
}

TEST(SingleInstance, NamesAndExitCodesThatOtherProgramsSee) {
    EXPECT_STREQ(kInstanceMutexName, L"Local\\KVexaSafeI18NInstaller");
    EXPECT_EQ(kExitNormal, 0);
    EXPECT_EQ(kExitCancelled, 2);
    EXPECT_EQ(kExitWorkerUnavailable, 333);
}

}  // namespace
}  // namespace vexa
