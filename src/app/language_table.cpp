#include "app/language_table.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "app/module_path.h"
#include "resource_ids.h"

namespace vexa {
namespace {

constexpr DWORD kProfileBufferChars = 1000;

std::wstring ReadProfileString(const std::wstring& path, const wchar_t* key, const wchar_t* fallback) {
    if (path.empty())
        return fallback;
    std::vector<wchar_t> buffer(kProfileBufferChars);
    GetPrivateProfileStringW(L"UI", key, fallback, buffer.data(), kProfileBufferChars, path.c_str());
    return buffer.data();
}

}  // namespace

bool CLanguageTable::LoadLanguageTable() {
    CIniDocument document;
    // A table that does not parse leaves an empty document: every text is then empty.
    document.LoadFromResource(L"FILE", IDR_LANGUAGE_TABLE);
    return LoadLanguageTable(document, ConfigPathNextToExecutable());
}

bool CLanguageTable::LoadLanguageTable(const CIniDocument& document, const std::wstring& config_path) {
    document_ = document;
    loaded_ = 0;
    language_name_ = ReadProfileString(config_path, L"language", L"");
    title_ = ReadProfileString(config_path, L"title", L"Vexaguard");

    if (document_.CopySection(language_name_, texts_)) {
        loaded_ = 1;
        return true;
    }
    language_name_ = document_.GetValue(L"default", L"appname", L"");
    if (document_.CopySection(language_name_, texts_))
        loaded_ = 1;
    return IsLoaded();
}

std::wstring CLanguageTable::GetString(const std::wstring& key) const {
    auto it = texts_.find(key);
    return it == texts_.end() ? std::wstring() : it->second;
}

int CLanguageTable::GetInt(const std::wstring& key) const {
    const std::wstring text = GetString(key);
    // long is 32 bits on Windows, so wcstol's clamping keeps the result in an int.
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

CLanguageTable& GetLanguageTable() {
    static CLanguageTable* table = new CLanguageTable;
    return *table;
}

std::wstring ConfigPathNextToExecutable() {
    const std::wstring executable = OwnExecutablePath();
    if (executable.empty())
        return std::wstring();
    wchar_t path[MAX_PATH] = {};
    executable.copy(path, MAX_PATH - 1);
    // Appending "..\config.ini" to the executable's path canonicalises away its file name.
    if (!PathAppendW(path, L"..\\config.ini"))
        return std::wstring();
    return path;
}

std::wstring FormatLabelText(const std::wstring& format, int value) {
    const std::wstring number = std::to_wstring(value);
    std::wstring out;
    out.reserve(format.size() + number.size());
    for (size_t i = 0; i < format.size(); ++i) {
        const wchar_t next = i + 1 < format.size() ? format[i + 1] : L'\0';
        if (format[i] == L'%' && next == L'd') {
            out += number;
            ++i;
        } else if (format[i] == L'%' && next == L'%') {
            out += L'%';
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

}  // namespace vexa
