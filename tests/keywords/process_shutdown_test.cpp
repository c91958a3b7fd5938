// Stopping the suite's monitor, windows and programs, against the running stand-ins.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "common/fixed_wait.h"
#include "engine/process_shutdown.h"
#include "journal/journal.h"
#include "keywords_support.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using test::ChildProcess;
using test::JournalHas;
using test::JournalLines;

constexpr DWORD kStartLimitMs = 20000;

const wchar_t* const kSuiteWindowClasses[] = {L"KVexaFEEDCLASSClass", L"KVexaInternationSafeClass",
                                              L"KVexaLiveUpdateDownloader"};

bool MonitorIconPresent(HWND monitor) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = monitor;
    icon.uID = kMonitorTrayIconId;
    icon.uFlags = NIF_TIP;
    wcscpy_s(icon.szTip, L"probe");
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

class SuiteShutdown : public ::testing::Test {
protected:
    void SetUp() override {
        standin::ClearSettings();
        standin::ClearJournal();
    }
    void TearDown() override {
        children_.clear();
        standin::ClearSettings();
        SetFixedWaitPercent(100);
    }

    // Starts a stand-in (path below the stand-in folder) and waits until it runs.
    ChildProcess& Start(const std::wstring& relative, const std::wstring& arguments = L"") {
        const std::wstring path = test::StandinFolder() + L"\\" + relative;
        return StartProgram(path, arguments);
    }

    ChildProcess& StartProgram(const std::wstring& path, const std::wstring& arguments = L"") {
        children_.push_back(std::make_unique<ChildProcess>(L"\"" + path + L"\" " + arguments));
        ChildProcess& child = *children_.back();
        EXPECT_TRUE(child.started()) << path;
        const std::wstring pid = L"|started|" + std::to_wstring(child.id());
        EXPECT_TRUE(test::WaitUntil(
            [&] {
                for (const std::wstring& line : standin::ReadJournal()) {
                    if (line.find(pid) != std::wstring::npos)
                        return true;
                }
                return false;
            },
            kStartLimitMs))
            << path;
        return child;
    }

    ChildProcess& StartMonitor() { return Start(L"vigild\\VexaMonitor.exe"); }

    ChildProcess& StartSuiteWindow(const wchar_t* window_class) {
        return Start(L"SuiteWindow.exe", std::wstring(L"/window=") + window_class);
    }

    std::vector<std::unique_ptr<ChildProcess>> children_;
};

TEST_F(SuiteShutdown, ProcessesAreFoundByNameInAnyCaseOnAFreshSnapshot) {
    test::ScopedTempDir dir(L"procs");
    const std::wstring upper = dir / L"DARUVIZUDA.EXE";
    ASSERT_TRUE(CopyFileW((test::StandinFolder() + L"\\DaRuviZuda.exe").c_str(), upper.c_str(), FALSE));
    ChildProcess& program = StartProgram(upper);

    DWORD found = 0;
    EXPECT_TRUE(FindProcessByName(L"DaRuviZuda.exe", &found));
    EXPECT_EQ(found, program.id());
    EXPECT_TRUE(FindProcessByName(L"daruvizuda.exe"));
    EXPECT_FALSE(FindProcessByName(L"DaRuviZuda.exe ")) << "the name asked for is not trimmed";
    EXPECT_FALSE(FindProcessByName(L"DaRuviZuda"));

    EXPECT_TRUE(KillProcess(found));
    ASSERT_TRUE(program.WaitForExit(5000));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(FindProcessByName(L"DaRuviZuda.exe")) << "a process that ended is gone at the next look";
    EXPECT_FALSE(KillProcess(0xFFFFFFF0)) << "no such process";
}

TEST_F(SuiteShutdown, WindowsAreFoundByClassOnly) {
    ChildProcess& window = StartSuiteWindow(L"KVexaFEEDCLASSClass");
    ASSERT_TRUE(window.Running());
    HWND found = FindWindowByClass(L"KVexaFEEDCLASSClass");
    ASSERT_NE(found, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    EXPECT_EQ(owner, window.id());
    EXPECT_EQ(FindWindowByClass(L"KVexaNoSuchClass"), nullptr);
}

TEST_F(SuiteShutdown, MonitorCommandIsDeliveredAsCopyDataAndItsAnswerCounts) {
    ChildProcess& monitor = StartMonitor();
    const std::string text = "hello";
    EXPECT_FALSE(SendMonitorCommand(0x54455354, text.data(), static_cast<DWORD>(text.size())))
        << "the monitor answers 0 to a command it does not know";
    EXPECT_TRUE(JournalHas(L"monitor|WM_COPYDATA|0|54455354|5|data"));

    EXPECT_TRUE(SendMonitorCommand(kMonitorExitCommand, nullptr, 0));
    EXPECT_TRUE(JournalHas(L"monitor|WM_COPYDATA|0|45584954|0|null"));
    EXPECT_TRUE(monitor.WaitForExit(5000));
    EXPECT_FALSE(SendMonitorCommand(kMonitorExitCommand, nullptr, 0)) << "no monitor window any more";
}

TEST_F(SuiteShutdown, AMonitorThatHangsCostsNoMoreThanTheTimeLimit) {
    standin::SetSettingDword(L"monitor", L"HangMs", 4000);
    StartMonitor();
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(SendMonitorCommand(kMonitorExitCommand, nullptr, 0));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 2500u);
}

TEST_F(SuiteShutdown, WithNothingRunningTheSequenceCostsAboutOneSecondAndDoesNothing) {
    ASSERT_FALSE(FindProcessByName(L"DaRuviZuda.exe"));
    ASSERT_FALSE(FindProcessByName(L"VeDaziZaro.exe"));
    const ULONGLONG start = GetTickCount64();
    StopSuiteProcesses();
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 950u);
    EXPECT_LT(elapsed, 1900u) << "no 2,000 ms wait when neither program was found";
    EXPECT_TRUE(standin::ReadJournal().empty());
}

TEST_F(SuiteShutdown, EndsTheMonitorWindowsAndProgramsOfTheSuite) {
    standin::SetSettingDword(L"monitor", L"IgnoreExit", 1);
    ChildProcess& monitor = StartMonitor();
    HWND monitor_window = FindWindowW(kMonitorWindowClass, nullptr);
    ASSERT_NE(monitor_window, nullptr);
    const bool icon_shown = MonitorIconPresent(monitor_window);
    std::vector<ChildProcess*> windows;
    for (const wchar_t* window_class : kSuiteWindowClasses)
        windows.push_back(&StartSuiteWindow(window_class));
    ChildProcess& main_program = Start(L"DaRuviZuda.exe");
    ChildProcess& tool = Start(L"Fixpulse.exe");
    ChildProcess& tray1 = Start(L"vigild\\VeDaziZaro.exe");
    ChildProcess& tray2 = Start(L"vigild\\VeDaziZaro.exe");
    standin::ClearJournal();

    const ULONGLONG start = GetTickCount64();
    StopSuiteProcesses();
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 2900u) << "one second after the windows, two after the programs";

    EXPECT_EQ(JournalLines(L"monitor|"), std::vector<std::wstring>{L"monitor|WM_COPYDATA|0|45584954|0|null"});
    EXPECT_EQ(JournalLines(L"suitewindow|WM_CLOSE|"),
              (std::vector<std::wstring>{L"suitewindow|WM_CLOSE|KVexaFEEDCLASSClass|0|0",
                                         L"suitewindow|WM_CLOSE|KVexaInternationSafeClass|0|0",
                                         L"suitewindow|WM_CLOSE|KVexaLiveUpdateDownloader|0|1"}));
    const std::vector<std::wstring> journal = standin::ReadJournal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), L"monitor|WM_COPYDATA|0|45584954|0|null") << "the monitor is asked first";

    for (ChildProcess* window : windows)
        EXPECT_TRUE(window->WaitForExit(5000));
    EXPECT_TRUE(main_program.WaitForExit(5000));
    EXPECT_TRUE(tool.WaitForExit(5000));
    Sleep(200);
    EXPECT_NE(tray1.Running(), tray2.Running()) << "only one of two tray programs is ended";

    ASSERT_TRUE(monitor.Running()) << "this monitor ignores the exit command";
    if (icon_shown) {
        EXPECT_FALSE(MonitorIconPresent(monitor_window)) << "the surviving monitor's icon is removed";
    } else {
        ADD_FAILURE() << "this prefix shows no notification icons, so their removal could not be checked";
    }
}

}  // namespace
}  // namespace vexa
