// Ends the suite's running programs and windows before anything is removed, and the
// process and window look-ups that other steps use.
//
//   StopSuiteProcesses   the fixed shutdown sequence of the first uninstall phase
//   FindProcessByName    is a program of that file name running? (fresh snapshot)
//   KillProcess          terminates a process by id, without waiting for it
//   FindWindowByClass    the top-level window of a class, looked up on its own thread
//   SendMonitorCommand   a WM_COPYDATA command to the suite's monitor window
#pragma once

#include <windows.h>

#include <string>

namespace vexa {

// The monitor's exit command: "EXIT" with the first letter in the most significant byte.
constexpr DWORD kMonitorExitCommand = 0x45584954;
constexpr DWORD kMonitorCommandTimeoutMs = 1000;
constexpr UINT kMonitorTrayIconId = 5769;
constexpr wchar_t kMonitorWindowClass[] = L"KVexaVigildClass";

void StopSuiteProcesses();

// True, with the id in |process_id| when given, when a process of that executable file
// name runs; the name is compared ignoring case. When several share the name, the one
// the snapshot lists last is answered.
bool FindProcessByName(const std::wstring& name, DWORD* process_id = nullptr);

// True when the process was terminated (exit code 0). Does not wait for it to end.
bool KillProcess(DWORD process_id);

// The top-level window of |class_name|, or null. The look-up runs on a short-lived thread
// that is joined, and gives up after a few seconds.
HWND FindWindowByClass(const wchar_t* class_name);

// True when the monitor window exists, took the command within the time limit and
// answered non-zero.
bool SendMonitorCommand(DWORD code, const void* data, DWORD size);

}  // namespace vexa
