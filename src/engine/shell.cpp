#include "engine/shell.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwctype>

#include "common/fixed_wait.h"
#include "common/handles.h"
#include "engine/deferred_deletion.h"
#include "engine/folder_keywords.h"
#include "engine/process_shutdown.h"
#include "engine/script_registry.h"
#include "engine/services_drivers.h"
#include "engine/uninstall_hooks.h"

namespace vexa {
namespace {

// The suite's install-folder names. The third is the product's one-word short form; it
// names no maker-wide folder, which may hold the maker's other products.
constexpr const wchar_t* kSuiteFolderNames[] = {L"Vexaguard", L"OrvelAV", L"VGuard"};

constexpr size_t kMaxPath = MAX_PATH;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// True when |path| lies strictly inside |folder| (both already free of "." and "..").
bool IsStrictlyInside(const std::wstring& path, const std::wstring& folder) {
    const std::wstring base = Lower(WithoutTrailingBackslash(folder)) + L"\\";
    const std::wstring candidate = Lower(WithoutTrailingBackslash(path));
    return candidate.size() > base.size() && candidate.compare(0, base.size(), base) == 0;
}

bool RemoveAsFileOrFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace

bool IsAcceptedSuiteFolderName(const std::wstring& suite_folder) {
    const wchar_t* last = PathFindFileNameW(suite_folder.c_str());
    for (const wchar_t* name : kSuiteFolderNames) {
        if (_wcsicmp(last, name) == 0)
            return true;
    }
    return false;
}

void CShell::LoadScript(const wchar_t* type, int id) {
    CIniDocument script;
    script.LoadFromResource(type, id);
    script.CopySection(L"service", service_);
    script.CopySection(L"reg", reg_);
    script.CopySection(L"reg2", reg2_);
    script.CopySection(L"file", file_);
    script.CopySection(L"driverfile", driverfile_);
}

bool CShell::RunPhase1(const wchar_t* type, int id, const std::wstring& /*suite_folder*/) {
    queue_.clear();
    queued_ = false;
    LoadScript(type, id);

    StopSuiteProcesses();
    FixedWait(2000);
    if (const auto& deregister = GetUninstallHooks().security_center_deregister)
        deregister();
    RemoveScriptServices(service_);
    return false;
}

bool CShell::RunPhase2(const wchar_t* type, int id, const std::wstring& suite_folder) {
    queued_ = false;
    wchar_t temp[kMaxPath + 1] = {};
    const DWORD length = GetTempPathW(kMaxPath, temp);
    if (length == 0 || length > kMaxPath)
        return false;

    // The deferred-deletion batch runs this copy of the tray program at the next logon,
    // when the suite folder itself may be gone.
    const std::wstring tray = WithoutTrailingBackslash(suite_folder) + L"\\vigild\\Zavodezo.exe";
    CopyFileW(tray.c_str(), (std::wstring(temp) + L"Zavodezo.exe").c_str(), FALSE);

    queue_.clear();
    LoadScript(type, id);
    RunRegistrySection(reg_);
    RunRegistrySection(reg2_);
    RunFileSection(file_);
    RunFileSection(driverfile_);

    if (!IsAcceptedSuiteFolderName(suite_folder))
        return false;
    DeleteTree(suite_folder);
    WriteDeferredDeletion(queue_, queued_, suite_folder);
    if (const auto& remove_extension = GetUninstallHooks().remove_browser_extension)
        remove_extension();
    return true;
}

namespace {

// Every row of a section, in ordinal key order, split into its fields; a row ends only
// itself.
template <class RunRow>
void ForEachRow(const IniSection& section, RunRow run_row) {
    for (const auto& row : section) {
        std::vector<std::wstring> fields;
        SplitString(row.second.c_str(), L'|', fields);
        run_row(fields);
    }
}

}  // namespace

void CShell::RunRegistrySection(const IniSection& section) {
    ForEachRow(section, [this](const std::vector<std::wstring>& fields) { ExecRegCommand(fields); });
}

void CShell::RunFileSection(const IniSection& section) {
    ForEachRow(section, [this](const std::vector<std::wstring>& fields) { ExecFileCommand(fields); });
}

bool CShell::ExecRegCommand(const std::vector<std::wstring>& fields) {
    return ExecuteRegistryRow(fields);
}

void CShell::ExecFileCommand(const std::vector<std::wstring>& fields) {
    if (fields.size() != 3)
        return;
    const bool delete_file = _wcsicmp(fields[0].c_str(), L"delfile") == 0;
    const bool delete_folder = _wcsicmp(fields[0].c_str(), L"deldir") == 0;
    if (!delete_file && !delete_folder)
        return;
    std::wstring folder;
    if (!ResolveFolderKeyword(fields[1], folder) || folder.size() >= kMaxPath)
        return;
    wchar_t combined[kMaxPath] = {};
    if (!PathCombineW(combined, folder.c_str(), fields[2].c_str()))
        return;
    // A row acts only below its folder: never on the folder itself (an empty relative
    // part) nor outside it (".." climbing out).
    if (!IsStrictlyInside(combined, folder))
        return;
    if (delete_file) {
        DeletePath(combined);
    } else if (PathIsDirectoryW(combined)) {
        DeleteTree(combined);
    }
}

void CShell::Enqueue(const std::wstring& path) {
    queue_.push_back(path);
    queued_ = true;
}

bool CShell::DeletePath(const std::wstring& path) {
    if (DeleteFileW(path.c_str()))
        return true;
    if (RemoveAsFileOrFolder(path))
        return true;
    if (SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && RemoveAsFileOrFolder(path))
        return true;
    Enqueue(path);
    return false;
}

// A link is removed as what it is, never through its target: no attribute change (that
// could reach the target) and no enumeration.
bool CShell::RemoveLink(const std::wstring& path, bool is_folder) {
    const BOOL removed = is_folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
    if (removed)
        return true;
    Enqueue(path);
    return false;
}

bool CShell::DeleteTree(const std::wstring& folder) {
    if (folder.empty() || folder.size() >= kMaxPath)
        return false;
    const DWORD own = GetFileAttributesW(folder.c_str());
    if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveLink(folder, (own & FILE_ATTRIBUTE_DIRECTORY) != 0);
        return true;
    }

    const std::wstring base = WithoutTrailingBackslash(folder);
    WIN32_FIND_DATAW entry{};
    unique_hfind find(FindFirstFileW((base + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = base + L"\\" + name;
            const bool is_folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                RemoveLink(child, is_folder);
            } else if (is_folder) {
                DeleteTree(child);
            } else {
                DeletePath(child);
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    DeletePath(folder);
    return true;
}

}  // namespace vexa
