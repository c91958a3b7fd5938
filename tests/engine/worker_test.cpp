// The uninstall worker: its two commands, the flags it answers with, and the order of
// the uninstall steps.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "cleanup/module_hooks.h"
#include "common/fixed_wait.h"
#include "engine/uninst_proc.h"
#include "engine/uninstall_hooks.h"
#include "engine_fixture.h"
#include "journal/journal.h"

namespace vexa {
namespace {

using test::InstalledSuite;

// Waits for |done| for up to five seconds.
template <class Condition>
bool WaitFor(Condition done) {
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

class Worker : public ::testing::Test {
protected:
    void SetUp() override {
        SetFixedWaitPercent(5);
        PreCheckBusy = 0;
        PreCheckFinished = 0;
        PreCheckPassed = 0;
        test::RemoveAppPath();
        standin::ClearJournal();
        standin::ClearSettings();
        ASSERT_TRUE(worker_.StartThread());
        // Any window will do as the posting side; the worker never sends to it.
        main_window_ = GetDesktopWindow();
    }
    void TearDown() override {
        worker_.StopThread(5000);
        SetUninstallHooks({});
        SetFixedWaitPercent(100);
    }

    // Hooks that record the name of each step they stand for.
    UninstallHooks RecordingHooks() {
        auto note = [this](const std::wstring& name) {
            std::lock_guard<std::mutex> lock(lock_);
            steps_.push_back(name);
        };
        UninstallHooks hooks;
        hooks.process_monitor_precheck = [note](const std::wstring&) {
            note(L"precheck");
            return true;
        };
        hooks.bind_base_library = [note] { note(L"base library"); };
        hooks.security_center_deregister = [note] { note(L"security center"); };
        hooks.ipc_layer_uninstall = [note](const std::wstring&) { note(L"ipc"); };
        hooks.driver_utility_uninstall = [note](const std::wstring&) { note(L"driver utility"); };
        hooks.proxy_uninstall = [note](const std::wstring&) { note(L"proxy"); };
        hooks.unregister_protection_server = [note](const std::wstring& path) {
            note(L"server " + path.substr(path.find_last_of(L'\\') + 1));
        };
        hooks.unregister_menu_extension = [note](const std::wstring&) { note(L"menu extension"); };
        hooks.deep_scan_loader_uninstall_64 = [note](const std::wstring&) { note(L"deep scan 64"); };
        hooks.deep_scan_loader_uninstall_32 = [note](const std::wstring&) { note(L"deep scan 32"); };
        hooks.sandbox_monitor_uninstall = [note](const std::wstring&) { note(L"sandbox monitor"); };
        hooks.leak_repair = [note](const std::wstring&) { note(L"leak repair"); };
        hooks.remove_browser_extension = [note] { note(L"browser extension"); };
        return hooks;
    }
    std::vector<std::wstring> Steps() {
        std::lock_guard<std::mutex> lock(lock_);
        return steps_;
    }

    CUninstProc worker_;
    HWND main_window_ = nullptr;
    std::mutex lock_;
    std::vector<std::wstring> steps_;
};

TEST_F(Worker, PreCheckWithoutAnInstalledSuiteNeverFinishes) {
    SetUninstallHooks(RecordingHooks());
    PreCheckBusy = 1;
    ASSERT_TRUE(worker_.PostPreCheck(main_window_));
    EXPECT_TRUE(WaitFor([] { return PreCheckBusy == 0; }));
    Sleep(100);
    EXPECT_EQ(PreCheckFinished, 0);
    EXPECT_EQ(PreCheckPassed, 0);
    EXPECT_TRUE(Steps().empty());
}

TEST_F(Worker, PreCheckFollowsTheProcessMonitorsAnswer) {
    InstalledSuite suite;
    suite.RegisterAppPath();
    ASSERT_TRUE(suite.InstallStandin(L"vigild\\Vexaprocmon.dll"));
    UninstallHooks hooks;
    hooks.process_monitor_precheck = ProcessMonitorPreCheck;
    SetUninstallHooks(hooks);

    const struct {
        DWORD answer;
        int busy;
        int passed;
    } cases[] = {{0, 0, 0}, {1211, 0, 0}, {1, 1, 1}, {7, 1, 1}};
    for (const auto& c : cases) {
        PreCheckBusy = 0;
        PreCheckFinished = 0;
        PreCheckPassed = 0;
        standin::SetSettingDword(L"procmon", L"UninstallCall", c.answer);
        ASSERT_TRUE(worker_.PostPreCheck(main_window_));
        ASSERT_TRUE(WaitFor([] { return PreCheckFinished == 1; })) << c.answer;
        EXPECT_EQ(PreCheckBusy, c.busy) << c.answer;
        EXPECT_EQ(PreCheckPassed, c.passed) << c.answer;
    }
    EXPECT_EQ(standin::ReadJournal(),
              (std::vector<std::wstring>{L"procmon|UninstallCall|0", L"procmon|UninstallCall|1211",
                                         L"procmon|UninstallCall|1", L"procmon|UninstallCall|7"}));
}

TEST_F(Worker, PreCheckRefusesWhenTheProcessMonitorIsMissing) {
    InstalledSuite suite;
    suite.RegisterAppPath();
    UninstallHooks hooks;
    hooks.process_monitor_precheck = ProcessMonitorPreCheck;
    SetUninstallHooks(hooks);
    ASSERT_TRUE(worker_.PostPreCheck(main_window_));
    ASSERT_TRUE(WaitFor([] { return PreCheckFinished == 1; }));
    EXPECT_EQ(PreCheckPassed, 0);
}

TEST_F(Worker, UninstallWithoutAnInstalledSuiteRunsNoStepButFinishes) {
    SetUninstallHooks(RecordingHooks());
    ASSERT_TRUE(worker_.PostUninstall(main_window_));
    ASSERT_TRUE(WaitFor([this] { return worker_.IsDone(); }));
    EXPECT_EQ(Steps(), std::vector<std::wstring>{L"base library"});
}

TEST_F(Worker, UninstallRunsEveryStepInItsOrder) {
    InstalledSuite suite;
    suite.RegisterAppPath();
    ASSERT_TRUE(test::WriteFileText(suite / L"vigild\\vigild.dll"));
    SetUninstallHooks(RecordingHooks());

    ASSERT_TRUE(worker_.PostUninstall(main_window_));
    ASSERT_TRUE(WaitFor([this] { return worker_.IsDone(); }));

    EXPECT_EQ(Steps(), (std::vector<std::wstring>{
                           L"base library", L"security center", L"ipc", L"driver utility", L"proxy",
                           L"server vigild.dll", L"menu extension", L"server vigild64.dll", L"deep scan 64",
                           L"deep scan 32", L"sandbox monitor", L"leak repair", L"browser extension"}));
    EXPECT_FALSE(test::PathExists(suite.folder()));
}

TEST_F(Worker, OtherCommandIdsDoNothing) {
    InstalledSuite suite;
    suite.RegisterAppPath();
    SetUninstallHooks(RecordingHooks());
    HWND window = worker_.WaitForWorkerWindow(5000);
    ASSERT_NE(window, nullptr);
    for (WORD id : {0, 2, 14, 16, 0x8001})
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(window));
    // Commands are handled in order: once the pre-check has run, the others have been seen.
    ASSERT_TRUE(worker_.PostPreCheck(main_window_));
    ASSERT_TRUE(WaitFor([] { return PreCheckFinished == 1; }));
    EXPECT_EQ(Steps(), std::vector<std::wstring>{L"precheck"});
    EXPECT_FALSE(worker_.IsDone());
    EXPECT_TRUE(test::PathExists(suite.folder()));
}

TEST(WorkerPosting, APostMadeBeforeTheWorkersWindowExistsArrivesOnceItDoes) {
    PreCheckFinished = 0;
    InstalledSuite suite;
    suite.RegisterAppPath();
    CUninstProc worker;
    std::thread late_start([&worker] {
        Sleep(300);
        worker.StartThread();
    });
    EXPECT_EQ(worker.WorkerWindow(), nullptr);
    const bool posted = worker.PostPreCheck(GetDesktopWindow());
    late_start.join();
    EXPECT_TRUE(posted);
    EXPECT_TRUE(WaitFor([] { return PreCheckFinished == 1; }));
    EXPECT_FALSE(worker.PostPreCheck(nullptr));
    worker.StopThread(5000);
}

}  // namespace
}  // namespace vexa
