// CUninstProc: the uninstall worker. The main window posts it two commands, the
// pre-check (15) and the uninstallation (1), and polls the process-wide flags and the
// done flag for the answers; the worker never sends a message back.
#pragma once

#include <atomic>
#include <string>

#include "engine/worker_thread.h"

namespace vexa {

// Written by the worker, polled (and PreCheckFinished reset) by the main window.
extern std::atomic<int> PreCheckBusy;
extern std::atomic<int> PreCheckFinished;
extern std::atomic<int> PreCheckPassed;

constexpr WORD kCommandUninstall = 1;
constexpr WORD kCommandPreCheck = 15;

// How long a post waits for the worker's window before it gives up.
constexpr DWORD kWorkerWindowWaitMs = 10000;

// The suite folder: "Path" of the App Paths entry of the suite's main program, 32-bit
// view. False when it cannot be read.
bool ReadSuiteFolder(std::wstring& folder);

class CUninstProc : public CLumWorkerThread<CUninstProc> {
public:
    DECLARE_WND_CLASS_EX(nullptr, 0, 0)

    BEGIN_MSG_MAP(CUninstProc)
        COMMAND_ID_HANDLER(kCommandPreCheck, OnPreCheck)
        COMMAND_ID_HANDLER(kCommandUninstall, OnUninstall)
    END_MSG_MAP()

    bool OnThreadStart() override { return true; }

    bool PostPreCheck(HWND main_window) { return Post(main_window, kCommandPreCheck); }
    bool PostUninstall(HWND main_window) { return Post(main_window, kCommandUninstall); }
    bool IsDone() const { return done_.load(); }

    void RunPreCheck();
    void RunUninstall();

private:
    LRESULT OnPreCheck(WORD, WORD, HWND, BOOL&) {
        RunPreCheck();
        return 0;
    }
    LRESULT OnUninstall(WORD, WORD, HWND, BOOL&) {
        RunUninstall();
        return 0;
    }
    bool Post(HWND main_window, WORD command);

    std::atomic<bool> done_{false};
};

// The one worker of the process, created and started on first use; ends the process
// with exit code 333 when it cannot be.
CUninstProc* GetUninstProc();

}  // namespace vexa
