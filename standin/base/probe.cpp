// A suite module and a suite program that only say they were reached: the module's
// "UnInstall" export and the program's start are written to the journal. Built signed
// and unsigned, for the trust gate's tests.
#include <windows.h>

#include <string>

#include "journal/journal.h"

#ifdef VEXA_PROBE_PROGRAM
int wmain(int argc, wchar_t** argv) {
    std::wstring arguments;
    for (int i = 1; i < argc; ++i)
        arguments += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    standin::Journal(L"probe", L"Started", arguments);
    return 0;
}
#else
extern "C" __declspec(dllexport) int WINAPI UnInstall() {
    standin::Journal(L"probe", L"UnInstall");
    return static_cast<int>(standin::SettingDword(L"probe", L"UnInstall", 42));
}
#endif
