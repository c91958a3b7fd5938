#include "engine_fixture.h"

#include "common/system_info.h"

namespace vexa::test {

InstalledSuite::InstalledSuite(const std::wstring& folder_name) : root_(L"suite"), folder_(root_ / folder_name) {
    MakeFolders(folder_);
}

InstalledSuite::~InstalledSuite() {
    RemoveAppPath();
}

void InstalledSuite::RegisterAppPath() const {
    RegWriteString(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path", folder_, KEY_WOW64_32KEY);
}

bool InstalledSuite::InstallStandin(const std::wstring& relative) const {
    const std::wstring target = folder_ + L"\\" + relative;
    MakeFolders(target.substr(0, target.find_last_of(L'\\')));
    return CopyFileW((StandinFolder() + L"\\" + relative).c_str(), target.c_str(), FALSE) != FALSE;
}

void RemoveAppPath() {
    RegRemoveTree(HKEY_LOCAL_MACHINE, kAppPathsKey, KEY_WOW64_32KEY);
}

void RemoveRunOnceValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0,
                      KEY_SET_VALUE | Suite32BitView(), &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"Corveluninst");
        RegCloseKey(key);
    }
}

}  // namespace vexa::test
