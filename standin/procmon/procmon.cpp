// Stand-in for the suite's process-monitor module. Its "UninstallCall" export decides
// whether the uninstallation may start; the answer is the setting "UninstallCall"
// (default 2, which allows it).
#include <windows.h>

#include <string>

#include "journal/journal.h"

extern "C" __declspec(dllexport) int UninstallCall() {
    const DWORD answer = standin::SettingDword(L"procmon", L"UninstallCall", 2);
    standin::Journal(L"procmon", L"UninstallCall", std::to_wstring(answer));
    return static_cast<int>(answer);
}
