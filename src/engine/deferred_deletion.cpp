#include "engine/deferred_deletion.h"

#include <windows.h>

#include "common/handles.h"
#include "common/system_info.h"

namespace vexa {
namespace {

// The batch's names, as narrow text.
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

// The command interpreter reads a batch in the console's code page, which is the OEM
// code page, not the ANSI one: a folder name with letters outside ASCII (a profile named
// after its user) must be written in it, or the batch names folders that do not exist.
// A name the OEM code page cannot hold is written in its short form, which can.
bool ToOemText(const std::wstring& text, std::string& oem) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, &lossy);
    if (size <= 0)
        return false;
    oem.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &oem[0], size,
                        nullptr, &lossy);
    return !lossy;
}

bool BatchFolderText(const std::wstring& folder, std::string& text) {
    if (ToOemText(folder, text))
        return true;
    wchar_t short_form[MAX_PATH + 1] = {};
    const DWORD length = GetShortPathNameW(folder.c_str(), short_form, MAX_PATH);
    if (length > 0 && length <= MAX_PATH && ToOemText(short_form, text))
        return true;
    return !text.empty();  // the best the code page can do
}

// The system runs the command once at the next logon and removes the value. The value
// goes where the 32-bit program puts it.
bool RegisterRunOnce(const std::wstring& batch) {
    unique_hkey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | Suite32BitView(), nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), kRunOnceValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(batch.c_str()),
                          static_cast<DWORD>(batch.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
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

    std::string batch_folder;
    if (!BatchFolderText(temp, batch_folder))
        return false;
    const std::wstring batch_path = std::wstring(temp) + kDeletionBatchName;
    {
        unique_handle batch = CreateSharedFileW(batch_path);
        if (!batch)
            return false;
        const std::string text = BatchText(batch_folder, batch_folder + kBatchNameA, list_size);
        WriteBytes(batch.get(), text.data(), text.size());
    }
    queued = false;
    return RegisterRunOnce(batch_path);
}

}  // namespace vexa
