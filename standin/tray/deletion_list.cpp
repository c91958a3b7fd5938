#include "deletion_list.h"

#include <windows.h>

#include <cwctype>

namespace standin {
namespace {

constexpr wchar_t kPathKey[] = L"/path=(";
constexpr wchar_t kIdKey[] = L") /id=(";
constexpr size_t kMaxIdDigits = 18;

std::wstring TrimBlanks(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring ArgumentsOf(const std::wstring& command_line) {
    size_t position = 0;
    if (!command_line.empty() && command_line[0] == L'"') {
        const size_t close = command_line.find(L'"', 1);
        position = close == std::wstring::npos ? command_line.size() : close + 1;
    } else {
        position = command_line.find_first_of(L" \t");
        if (position == std::wstring::npos)
            position = command_line.size();
    }
    return command_line.substr(position);
}

bool ParseTrayArguments(const std::wstring& arguments, TrayArguments& parsed) {
    const std::wstring text = TrimBlanks(arguments);
    const size_t key_length = wcslen(kPathKey);
    if (text.compare(0, key_length, kPathKey) != 0 || text.back() != L')')
        return false;
    // The list's path may hold blanks and parentheses; the id is what follows the last
    // ") /id=(".
    const size_t id_key = text.rfind(kIdKey);
    if (id_key == std::wstring::npos || id_key < key_length)
        return false;
    const std::wstring path = text.substr(key_length, id_key - key_length);
    const std::wstring digits = text.substr(id_key + wcslen(kIdKey), text.size() - 1 - id_key - wcslen(kIdKey));
    if (path.empty() || digits.empty() || digits.size() > kMaxIdDigits)
        return false;
    unsigned long long id = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return false;
        id = id * 10 + static_cast<unsigned>(c - L'0');
    }
    parsed.list_path = path;
    parsed.id = id;
    return true;
}

bool ParseDeletionList(const std::string& bytes, std::vector<ListCommand>& commands,
                       std::vector<std::wstring>& malformed) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE) {
        return false;
    }
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        const bool terminated = end != std::wstring::npos;
        if (!terminated)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = terminated ? end + 2 : end;
        // "rd <path> " or "de <path> ": at least one character of path.
        const bool is_rd = line.compare(0, 3, L"rd ") == 0;
        const bool is_de = line.compare(0, 3, L"de ") == 0;
        if (!terminated || line.size() < 5 || (!is_rd && !is_de) || line.back() != L' ') {
            malformed.push_back(line);
            continue;
        }
        commands.push_back({is_rd, line.substr(3, line.size() - 4)});
    }
    return true;
}

bool IsSafeTarget(const std::wstring& path) {
    if (path.size() < 4 || path.size() >= MAX_PATH || !iswalpha(path[0]) || path[1] != L':' || path[2] != L'\\')
        return false;
    if (path.find_first_of(L"/*?\"<>|") != std::wstring::npos || path.find(L':', 2) != std::wstring::npos)
        return false;
    // The system's own reading of the path must be the path itself: that rules out
    // ".", "..", doubled or trailing separators and trailing dots or blanks, any of
    // which could make a listed path name a folder above the one meant.
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return _wcsicmp(full, path.c_str()) == 0 && path.back() != L'\\';
}

}  // namespace standin
