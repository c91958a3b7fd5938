#include "keywords_support.h"

#include <shlobj.h>

#include "common/system_info.h"
#include "engine/deferred_deletion.h"
#include "journal/journal.h"

namespace vexa::test {

ChildProcess::ChildProcess(const std::wstring& command_line, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring mutable_line = command_line;
    if (CreateProcessW(nullptr, &mutable_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool ChildProcess::WaitForExit(DWORD timeout_ms) const {
    return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

namespace {
std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? value : L"";
}
}  // namespace

ScopedTempFolder::ScopedTempFolder(const std::wstring& folder)
    : old_tmp_(Environment(L"TMP")), old_temp_(Environment(L"TEMP")) {
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

ScopedTempFolder::~ScopedTempFolder() {
    SetEnvironmentVariableW(L"TMP", old_tmp_.empty() ? nullptr : old_tmp_.c_str());
    SetEnvironmentVariableW(L"TEMP", old_temp_.empty() ? nullptr : old_temp_.c_str());
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
}

std::vector<std::wstring> JournalLines(const std::wstring& prefix) {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : standin::ReadJournal()) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    }
    return lines;
}

bool JournalHas(const std::wstring& line) {
    for (const std::wstring& entry : standin::ReadJournal()) {
        if (entry == line)
            return true;
    }
    return false;
}

std::string Utf16Bytes(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

std::wstring SpecialFolderPath(int csidl) {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return L"";
    return path;
}

}  // namespace vexa::test
