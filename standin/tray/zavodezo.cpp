// The suite's tray program, run by the uninstaller's deferred-deletion batch at the next
// logon as
//
//   Zavodezo.exe /path=(<deletion list>) /id=(<the list's size in bytes>)
//
// It checks that the list is complete (its size equals the id), then deletes each "de"
// file and removes each "rd" folder with everything in it, and ends. It never acts on a
// drive root, a relative or otherwise unusual path, and never follows a directory link:
// a link is removed as a link, and what it points to is left alone. Every action goes
// to the journal under "zavodezo".
#include <windows.h>

#include <string>

#include "deletion_list.h"
#include "journal/journal.h"

namespace {

constexpr wchar_t kComponent[] = L"zavodezo";
// A list is a few lines; anything this large is not one.
constexpr LONGLONG kMaxListBytes = 1 << 20;

enum ExitCode : int { kDone = 0, kBadCommandLine = 1, kListRefused = 2 };

void Note(const std::wstring& event, const std::wstring& arguments = L"") {
    standin::Journal(kComponent, event, arguments);
}

std::wstring ErrorText(DWORD error) {
    return L"failed " + std::to_wstring(error);
}

bool ReadList(const std::wstring& path, unsigned long long expected_size, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Note(L"refused", L"cannot open the list|" + ErrorText(GetLastError()));
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != FALSE;
    if (ok && static_cast<unsigned long long>(size.QuadPart) != expected_size) {
        Note(L"refused", L"list size " + std::to_wstring(size.QuadPart) + L" differs from id " +
                             std::to_wstring(expected_size));
        ok = false;
    } else if (ok && size.QuadPart > kMaxListBytes) {
        Note(L"refused", L"list too large");
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
        if (!ok)
            Note(L"refused", L"cannot read the list");
    }
    CloseHandle(file);
    return ok;
}

bool DeleteOneFile(const std::wstring& path) {
    if (DeleteFileW(path.c_str()))
        return true;
    return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(path.c_str());
}

// A directory link (junction or symbolic link) is removed itself; nothing is done
// through it.
bool RemoveLink(const std::wstring& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

bool RemoveFolderTree(const std::wstring& folder) {
    bool complete = true;
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = folder + L"\\" + name;
            bool removed = false;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                removed = RemoveLink(child, entry.dwFileAttributes);
                const DWORD error = GetLastError();
                Note(L"link", child + L"|" + (removed ? L"removed" : ErrorText(error)));
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removed = RemoveFolderTree(child);
            } else {
                removed = DeleteOneFile(child);
            }
            complete = complete && removed;
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    if (RemoveDirectoryW(folder.c_str()))
        return complete;
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(folder.c_str()) && complete;
}

void CarryOut(const standin::ListCommand& command) {
    const wchar_t* verb = command.remove_folder ? L"rd" : L"de";
    if (!standin::IsSafeTarget(command.path)) {
        Note(verb, command.path + L"|refused");
        return;
    }
    const DWORD attributes = GetFileAttributesW(command.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Note(verb, command.path + L"|missing");
        return;
    }
    bool done = false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        done = RemoveLink(command.path, attributes);
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        done = DeleteOneFile(command.path);
    } else if (command.remove_folder) {
        done = RemoveFolderTree(command.path);
    } else {
        // "de" names a file; a folder found there is removed only when empty.
        done = RemoveDirectoryW(command.path.c_str()) != FALSE;
    }
    const DWORD error = GetLastError();
    Note(verb, command.path + L"|" + (done ? L"done" : ErrorText(error)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring arguments = standin::ArgumentsOf(GetCommandLineW());
    Note(L"start", arguments);
    standin::TrayArguments parsed;
    if (!standin::ParseTrayArguments(arguments, parsed)) {
        Note(L"refused", L"command line");
        return kBadCommandLine;
    }
    std::string bytes;
    if (!ReadList(parsed.list_path, parsed.id, bytes))
        return kListRefused;
    std::vector<standin::ListCommand> commands;
    std::vector<std::wstring> malformed;
    if (!standin::ParseDeletionList(bytes, commands, malformed)) {
        Note(L"refused", L"not a deletion list");
        return kListRefused;
    }
    for (const std::wstring& line : malformed)
        Note(L"malformed", line);
    for (const standin::ListCommand& command : commands)
        CarryOut(command);
    Note(L"end");
    return kDone;
}
