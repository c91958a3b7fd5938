// Helpers that only tests use: throwaway folders and registry keys with unique names,
// file and registry shortcuts, and where the stand-in suite's binaries are.
#pragma once

#include <windows.h>

#include <string>

namespace vexa::test {

// A name no other test of this run uses: <stem>-<process id>-<counter>.
std::wstring UniqueName(const std::wstring& stem);

// Folder of the running test program, without a trailing backslash.
std::wstring ProgramFolder();
// Where the stand-in suite's components were built: ProgramFolder() + "\suite".
std::wstring StandinFolder();

bool Is64BitProcess();
// A 32-bit program on 64-bit Windows.
bool IsWow64();

// A folder below C:\vexatest\tmp, made on construction and removed with its content
// (never following links) on destruction.
class ScopedTempDir {
public:
    explicit ScopedTempDir(const std::wstring& stem = L"dir");
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Removes a file or a folder tree; links are removed, never followed.
void RemoveTree(const std::wstring& path);

bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Creates the parent folders of |path| too.
bool WriteFileText(const std::wstring& path, const std::string& text = "x");
std::string ReadFileBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
bool MakeFolders(const std::wstring& path);

bool RegKeyExists(HKEY root, const std::wstring& subkey, REGSAM view = 0);
bool RegValueExists(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view = 0);
bool RegWriteString(HKEY root, const std::wstring& subkey, const std::wstring& name, const std::wstring& value,
                    REGSAM view = 0);
bool RegWriteDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD value, REGSAM view = 0);
bool RegReadDword(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD& value, REGSAM view = 0);
bool RegReadString(HKEY root, const std::wstring& subkey, const std::wstring& name, std::wstring& value,
                   REGSAM view = 0);
bool RegCreateKey(HKEY root, const std::wstring& subkey, REGSAM view = 0);
void RegRemoveTree(HKEY root, const std::wstring& subkey, REGSAM view = 0);

}  // namespace vexa::test
