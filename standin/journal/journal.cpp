#include "journal.h"

#include <shlwapi.h>

namespace standin {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

bool ReadValue(const std::wstring& subkey, const wchar_t* name, DWORD wanted_type, void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_QUERY_VALUE | kView, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    const bool ok = RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
                    type == wanted_type;
    RegCloseKey(key);
    return ok;
}

std::wstring ComponentKey(const std::wstring& component) {
    return std::wstring(kSettingsKey) + L"\\" + component;
}

// Serialises writers of all processes of the prefix.
class JournalLock {
public:
    JournalLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\VexaStandinJournal")) {
        if (mutex_)
            WaitForSingleObject(mutex_, 5000);
    }
    ~JournalLock() {
        if (mutex_) {
            ReleaseMutex(mutex_);
            CloseHandle(mutex_);
        }
    }

private:
    HANDLE mutex_;
};

}  // namespace

std::wstring JournalPath() {
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path) - sizeof(wchar_t);
    if (ReadValue(kSettingsKey, L"Journal", REG_SZ, path, size) && path[0]) {
        return path;
    }
    return kDefaultJournal;
}

void Journal(const std::wstring& component, const std::wstring& event, const std::wstring& arguments) {
    std::wstring line = component + L"|" + event;
    if (!arguments.empty())
        line += L"|" + arguments;
    const std::string bytes = ToUtf8(line) + "\n";
    JournalLock lock;
    const std::wstring path = JournalPath();
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> ReadJournal() {
    std::vector<std::wstring> lines;
    JournalLock lock;
    HANDLE file = CreateFileW(JournalPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        lines.push_back(FromUtf8(content.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

void ClearJournal() {
    JournalLock lock;
    DeleteFileW(JournalPath().c_str());
}

DWORD SettingDword(const std::wstring& component, const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (ReadValue(ComponentKey(component), name, REG_DWORD, &value, size)) {
        return value;
    }
    return fallback;
}

std::wstring SettingString(const std::wstring& component, const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (ReadValue(ComponentKey(component), name, REG_SZ, value, size)) {
        return value;
    }
    return fallback;
}

bool SetSettingDword(const std::wstring& component, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ComponentKey(component).c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SetSettingString(const std::wstring& component, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ComponentKey(component).c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void ClearSettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ | KEY_WRITE | kView, &key) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    for (;;) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteTreeW(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
}

}  // namespace standin
