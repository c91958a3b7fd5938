// Helpers of the keyword, deferred-deletion and shutdown tests: child processes of the
// stand-in suite, a temporary folder of the test's choosing, bounded waits and the
// journal.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vexa::test {

// A started program; terminated on destruction if it still runs.
class ChildProcess {
public:
    // |command_line| is passed as it is; |folder| is the current folder (none: ours).
    explicit ChildProcess(const std::wstring& command_line, const std::wstring& folder = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    // True when it has ended within |timeout_ms|.
    bool WaitForExit(DWORD timeout_ms) const;
    bool Running() const { return started() && !WaitForExit(0); }
    DWORD ExitCode() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Makes |folder| this process's temporary folder (TMP and TEMP) while it lives.
class ScopedTempFolder {
public:
    explicit ScopedTempFolder(const std::wstring& folder);
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

private:
    std::wstring old_tmp_;
    std::wstring old_temp_;
};

// Polls |condition| every 20 ms until it holds or |timeout_ms| has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms);

// Journal lines that start with |prefix|.
std::vector<std::wstring> JournalLines(const std::wstring& prefix);
bool JournalHas(const std::wstring& line);

// |text| as a UTF-16LE file with byte-order mark holds it.
std::string Utf16Bytes(const std::wstring& text);


// Text of a Windows API string buffer call such as SHGetSpecialFolderPathW; empty when
// the system reports none.
std::wstring SpecialFolderPath(int csidl);

}  // namespace vexa::test
