// Shared main of the test programs. A watchdog ends the program when one test runs past
// its limit, naming the test, so that a hang fails that program quickly and says where.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::atomic<ULONGLONG> g_test_started{0};
std::string g_test_name;
CRITICAL_SECTION g_name_lock;

DWORD LimitMs() {
    const char* value = std::getenv("VEXA_TEST_CASE_TIMEOUT");
    const long seconds = value ? std::strtol(value, nullptr, 10) : 0;
    return static_cast<DWORD>(seconds > 0 ? seconds : 180) * 1000;
}

class Watchdog : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override {
        EnterCriticalSection(&g_name_lock);
        g_test_name = std::string(info.test_suite_name()) + "." + info.name();
        LeaveCriticalSection(&g_name_lock);
        g_test_started = GetTickCount64();
    }
    void OnTestEnd(const testing::TestInfo&) override { g_test_started = 0; }
};

DWORD WINAPI WatchdogThread(void*) {
    const DWORD limit = LimitMs();
    for (;;) {
        Sleep(500);
        const ULONGLONG started = g_test_started;
        if (started && GetTickCount64() - started > limit) {
            EnterCriticalSection(&g_name_lock);
            std::fprintf(stdout, "\n[  TIMEOUT ] %s ran longer than %lu s\n", g_test_name.c_str(),
                         static_cast<unsigned long>(limit / 1000));
            std::fflush(stdout);
            ExitProcess(3);
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    InitializeCriticalSection(&g_name_lock);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    CloseHandle(CreateThread(nullptr, 0, WatchdogThread, nullptr, 0, nullptr));
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    // Threads left by a test (a worker's message loop, for example) must not hold the
    // process open.
    ExitProcess(static_cast<UINT>(result));
}
