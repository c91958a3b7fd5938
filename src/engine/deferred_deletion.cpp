#include "engine/deferred_deletion.h"

#include <windows.h>

#include "common/handles.h"
#include "common/system_info.h"

namespace vexa {
namespace {

// The batch is narrow text in the ANSI code page, so its names are too.
constexpr char kListNameA[] = "removeVexa.ini";
constexpr char kBatchNameA[] = "removeVexa.bat";
constexpr char kTrayCopyNameA[] = "Zavodezo.exe";

// Created anew, open for reading and writing, and shareable in every way so that the
// tray program and the batch can use and delete the files later.
unique_handle CreateSharedFileW(const std::wstring& path) {
    return unique_handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

unique_handle CreateSharedFileA(const std::string& path) {
    return unique_handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Write errors inside a file are not acted upon: whatever was written stays.
void WriteBytes(HANDLE file, const void* bytes, size_t size) {
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
}

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One command a line: verb, blank, the path as it is (blanks and all), blank, CR LF.
std::wstring ListLine(const wchar_t* verb, const std::wstring& path) {
    return std::wstring(verb) + L" " + path + L" \r\n";
}

std::wstring DeletionListText(const std::vector<std::wstring>& queue, const std::wstring& suite_folder) {
    std::wstring text;
    for (const std::wstring& path : queue)
        text += ListLine(IsExistingFolder(path) ? L"rd" : L"de", path);
    text += ListLine(L"rd", suite_folder + L"\\SoftMgr");
    text += ListLine(L"de", suite_folder + L"\\leakrepair.dat");
    text += ListLine(L"de", suite_folder + L"\\uninst.exe");
    text += ListLine(L"rd", suite_folder);
    return text;
}

// The list's identifier is its size in bytes, byte-order mark included.
bool WriteDeletionList(const std::wstring& path, const std::wstring& text, LONGLONG& size) {
    unique_handle file = CreateSharedFileW(path);
    if (!file)
        return false;
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    WriteBytes(file.get(), kByteOrderMark, sizeof(kByteOrderMark));
    WriteBytes(file.get(), text.data(), text.size() * sizeof(wchar_t));
    LARGE_INTEGER file_size{};
    size = GetFileSizeEx(file.get(), &file_size) ? file_size.QuadPart : 0;
    return true;
}

// Every path of the batch is quoted: a temporary folder below a profile with a blank in
// its name is common, and an unquoted program path would break at that blank.
std::string BatchText(const std::string& temp, const std::string& batch, LONGLONG list_size) {
    return "start /WAIT \"\" \"" + temp + kTrayCopyNameA + "\" /path=(" + temp + kListNameA + ") /id=(" +
           std::to_string(list_size) + ")\r\n" +
           "del /q \"" + temp + kTrayCopyNameA + "\" \r\n" +
           "del /q \"" + temp + kListNameA + "\" \r\n" +
           "del /q \"" + batch + "\" \r\n";
}

std::wstring FromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The system runs the command once at the next logon and removes the value. The value
// goes where the 32-bit program puts it.
bool RegisterRunOnce(const std::string& batch) {
    unique_hkey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | Suite32BitView(), nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring command = FromAnsi(batch);
    return RegSetValueExW(key.get(), kRunOnceValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>(command.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool WriteDeferredDeletion(std::vector<std::wstring>& queue, bool& queued, const std::wstring& suite_folder) {
    if (!queued)
        return false;

    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD temp_length = GetTempPathW(MAX_PATH, temp);
    if (temp_length == 0 || temp_length > MAX_PATH)
        return false;
    LONGLONG list_size = 0;
    if (!WriteDeletionList(std::wstring(temp) + kDeletionListName, DeletionListText(queue, suite_folder), list_size))
        return false;
    queue.clear();

    char temp_ansi[MAX_PATH + 1] = {};
    const DWORD ansi_length = GetTempPathA(MAX_PATH, temp_ansi);
    if (ansi_length == 0 || ansi_length > MAX_PATH)
        return false;
    const std::string batch_path = std::string(temp_ansi) + kBatchNameA;
    {
        unique_handle batch = CreateSharedFileA(batch_path);
        if (!batch)
            return false;
        const std::string text = BatchText(temp_ansi, batch_path, list_size);
        WriteBytes(batch.get(), text.data(), text.size());
    }
    queued = false;
    return RegisterRunOnce(batch_path);
}

}  // namespace vexa
