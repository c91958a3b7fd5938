// SuiteInstaller install   lays out the stand-in suite: the suite folder with every
//                          stand-in component, App Paths, the suite's registry keys,
//                          shortcuts, Start-menu and application-data folders, drivers
// SuiteInstaller report    prints, item by item, what is still there, and what was handed
//                          to the deferred deletion
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/system_info.h"
#include "engine/fs_redirection.h"

namespace {

constexpr REGSAM k32 = KEY_WOW64_32KEY;
constexpr wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr wchar_t kRunOnce[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

struct Key {
    HKEY root;
    const wchar_t* root_name;
    const wchar_t* subkey;
};

const Key kKeys[] = {
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DaRuviZuda.exe"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\VeDaziZaro.exe"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Vexaguard"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexaguard"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Corvel"},
    {HKEY_CURRENT_USER, L"HKCU", L"SOFTWARE\\Vexa\\VexaSpeedld"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\LiveUpdateVexa"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\Zazori"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\VexaSelfProtection"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\Firmwatch"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\Hookvane"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\kutmdserv"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\CurrentControlSet\\services\\VexaAntiHacker"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Zizaduzaroz"},
    {HKEY_CURRENT_USER, L"HKCU", L"SOFTWARE\\LiveUpdateVexa"},
    {HKEY_CURRENT_USER, L"HKCU", L"SOFTWARE\\Vexa"},
};

struct Place {
    int csidl;
    const wchar_t* relative;  // a trailing backslash marks a folder
};

const Place kPlaces[] = {
    {CSIDL_DESKTOPDIRECTORY, L"Vexaguard.lnk"},
    {CSIDL_DESKTOPDIRECTORY, L"Orvel.lnk"},
    {CSIDL_COMMON_PROGRAMS, L"Vexa Security Center\\Vexaguard\\"},
    {CSIDL_COMMON_PROGRAMS, L"Vexa\u5B89\u5168\u4E2D\u5FC3\\Vexaguard\\"},
    {CSIDL_COMMON_PROGRAMS, L"Orvel\\"},
    {CSIDL_COMMON_PROGRAMS, L"Vexa Security Cetner\\Vexagaurd\\"},
    {CSIDL_APPDATA, L"VexaWD\\"},
    {CSIDL_APPDATA, L"Corvel\\"},
    {CSIDL_APPDATA, L"VexaQuarant\\"},
    {CSIDL_COMMON_APPDATA, L"Corvel\\"},
    {CSIDL_SYSTEM, L"drivers\\kutmdrv.sys"},
    {CSIDL_SYSTEM, L"drivers\\Firmwatch.sys"},
    {CSIDL_SYSTEM, L"drivers\\VexaFsFlt.sys"},
    {CSIDL_SYSTEM, L"drivers\\VexaSelfProtection.sys"},
    {CSIDL_SYSTEM, L"drivers\\hookvane.sys"},
    {CSIDL_SYSTEM, L"drivers\\VexaAntiHacker.sys"},
};

// Output goes to a pipe read on Linux: UTF-8, whatever the console code page.
void Print(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
    return path;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring SuiteFolder() {
    return SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Vexaguard";
}

void MakeFolders(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2)
        MakeFolders(path.substr(0, slash));
    CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFile(const std::wstring& path) {
    MakeFolders(path.substr(0, path.find_last_of(L'\\')));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, "stand-in", 8, &written, nullptr);
        CloseHandle(file);
    }
}

// The stand-in folder also holds variants that only tests use ("base-*", "probe*"); the
// suite's own base library is the "base" one, installed in the suite folder itself.
bool IsTestVariant(const std::wstring& name) {
    return name.rfind(L"base", 0) == 0 || name.rfind(L"probe", 0) == 0;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    MakeFolders(to);
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsTestVariant(name))
                CopyTree(from + L"\\" + name, to + L"\\" + name);
        }
        else {
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

void SetString(HKEY root, const std::wstring& subkey, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_WRITE | k32, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

bool KeyExists(HKEY root, const wchar_t* subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey, 0, KEY_READ | k32, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring PlacePath(const Place& place) {
    std::wstring path = SpecialFolder(place.csidl) + L"\\" + place.relative;
    if (path.back() == L'\\')
        path.pop_back();
    return path;
}

int Install() {
    const std::wstring suite = SuiteFolder();
    CopyTree(ProgramFolder() + L"\\suite", suite);
    CopyFileW((ProgramFolder() + L"\\suite\\base\\Vexabase.dll").c_str(), (suite + L"\\Vexabase.dll").c_str(), FALSE);
    WriteFile(suite + L"\\data\\settings.dat");
    for (const Key& key : kKeys)
        SetString(key.root, key.subkey, L"InstalledBy", L"SuiteInstaller");
    SetString(HKEY_LOCAL_MACHINE, std::wstring(kAppPaths) + L"DaRuviZuda.exe", L"Path", suite);
    SetString(HKEY_LOCAL_MACHINE, std::wstring(kAppPaths) + L"DaRuviZuda.exe", L"", suite + L"\\DaRuviZuda.exe");
    SetString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"VeDaziZaro",
              suite + L"\\VeDaziZaro.exe");
    vexa::FsRedirectionGuard native_system;  // driver files go to the native drivers folder
    for (const Place& place : kPlaces) {
        const std::wstring path = PlacePath(place);
        if (place.relative[wcslen(place.relative) - 1] == L'\\')
            WriteFile(path + L"\\shortcut.lnk");
        else
            WriteFile(path);
    }
    Print(L"installed the stand-in suite in " + suite + L"\n");
    return 0;
}

void Line(bool gone, const std::wstring& what) {
    Print(std::wstring(gone ? L"  removed   " : L"  LEFT      ") + what + L"\n");
}

int Report() {
    int left = 0;
    Print(L"Suite folder, files and folders:\n");
    const std::wstring suite = SuiteFolder();
    const bool suite_gone = GetFileAttributesW(suite.c_str()) == INVALID_FILE_ATTRIBUTES;
    Line(suite_gone, suite);
    left += !suite_gone;
    {
        vexa::FsRedirectionGuard native_system;
        for (const Place& place : kPlaces) {
            const std::wstring path = PlacePath(place);
            const bool gone = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
            Line(gone, path);
            left += !gone;
        }
    }
    Print(L"Registry (32-bit view):\n");
    for (const Key& key : kKeys) {
        const bool gone = !KeyExists(key.root, key.subkey);
        Line(gone, std::wstring(key.root_name) + L"\\" + key.subkey);
        left += !gone;
    }
    Print(L"Deferred to the next logon:\n");
    wchar_t batch[MAX_PATH] = {};
    DWORD size = sizeof(batch) - sizeof(wchar_t);
    HKEY key = nullptr;
    bool registered = false;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunOnce, 0, KEY_READ | k32, &key) == ERROR_SUCCESS) {
        registered = RegQueryValueExW(key, L"Corveluninst", nullptr, nullptr, reinterpret_cast<BYTE*>(batch), &size) ==
                     ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (!registered) {
        Print(L"  nothing (no RunOnce entry)\n");
    } else {
        Print(std::wstring(L"  RunOnce Corveluninst = ") + batch + L"\n");
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        HANDLE list = CreateFileW((std::wstring(temp) + L"removeVexa.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (list != INVALID_HANDLE_VALUE) {
            std::vector<wchar_t> text(65536 + 1);
            DWORD read = 0;
            ReadFile(list, text.data(), 65536 * sizeof(wchar_t), &read, nullptr);
            CloseHandle(list);
            std::wstring content(text.data(), read / sizeof(wchar_t));
            if (!content.empty() && content[0] == 0xFEFF)
                content.erase(0, 1);
            Print(L"  deletion list:\n");
            size_t start = 0;
            while (start < content.size()) {
                size_t end = content.find(L"\r\n", start);
                if (end == std::wstring::npos)
                    end = content.size();
                if (end > start)
                    Print(L"    " + content.substr(start, end - start) + L"\n");
                start = end + 2;
            }
        }
    }
    Print(std::to_wstring(left) + L" item(s) of the suite left in place\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"install")
        return Install();
    if (command == L"report")
        return Report();
    fwprintf(stderr, L"usage: SuiteInstaller install|report\n");
    return 2;
}
