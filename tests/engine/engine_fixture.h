// A suite laid out in the prefix as its installer leaves it, for the engine's tests.
#pragma once

#include <string>

#include "support/test_support.h"

namespace vexa::test {

constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DaRuviZuda.exe";

class InstalledSuite {
public:
    // A suite folder named |folder_name| below a throwaway folder.
    explicit InstalledSuite(const std::wstring& folder_name = L"Vexaguard");
    ~InstalledSuite();

    const std::wstring& folder() const { return folder_; }
    std::wstring operator/(const std::wstring& relative) const { return folder_ + L"\\" + relative; }

    // The App Paths entry through which the program finds the suite folder.
    void RegisterAppPath() const;
    // Copies a stand-in component (path relative to the stand-in folder) into the suite.
    bool InstallStandin(const std::wstring& relative) const;

private:
    ScopedTempDir root_;
    std::wstring folder_;
};

// Removes the App Paths entry, in case a test left it.
void RemoveAppPath();

// Removes the deferred deletion's RunOnce value, wherever a test left it, so that what one
// test handed to the next logon never reaches another.
void RemoveRunOnceValue();

}  // namespace vexa::test
