#include "engine/ini_document.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <memory>

namespace vexa {
namespace {

bool IsTrimmed(wchar_t c) {
    return c == L' ' || c == L'\n' || c == L'\r' || c == L'\t';
}

}  // namespace

void SplitString(const wchar_t* text, wchar_t separator, std::vector<std::wstring>& out) {
    if (!text)
        return;
    const wchar_t* rest = text;
    while (const wchar_t* found = std::wcschr(rest, separator)) {
        const wchar_t* end = found;
        while (end > rest && IsTrimmed(end[-1]))
            --end;
        out.emplace_back(rest, end);
        rest = found + 1;
    }
    if (*rest)
        out.emplace_back(rest);
}

bool CIniDocument::LoadFromResource(const wchar_t* type, int id) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), type);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(self, info);
    const DWORD size = SizeofResource(self, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    if (static_cast<size_t>(size) + 1 > kMaxBytes + 1)
        return false;
    // One zero unit past the bytes terminates the text; an odd size leaves the last byte
    // as the low half of a unit, as a plain copy into a zeroed buffer does.
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size + 1]());
    if (!buffer)
        return false;
    std::memcpy(buffer.get(), bytes, size);
    return LoadFromText(buffer.get());
}

bool CIniDocument::LoadFromText(const wchar_t* text) {
    if (text[0] == 0xFEFF)
        ++text;
    std::vector<std::wstring> lines;
    SplitString(text, L'\n', lines);

    std::wstring current;
    for (const std::wstring& line : lines) {
        if (!line.empty() && line[0] == L'[') {
            const size_t close = line.find(L']');
            if (close != std::wstring::npos) {
                current = line.substr(1, close - 1);
                section_names_.push_back(current);
                continue;
            }
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        sections_[current][line.substr(0, equals)] = line.substr(equals + 1);
    }
    return !section_names_.empty();
}

bool CIniDocument::CopySection(const std::wstring& section, IniSection& out) const {
    out.clear();
    auto it = sections_.find(section);
    if (it == sections_.end())
        return false;
    out = it->second;
    return true;
}

std::wstring CIniDocument::GetValue(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& fallback) const {
    auto it = sections_.find(section);
    if (it == sections_.end())
        return fallback;
    auto value = it->second.find(key);
    return value == it->second.end() ? fallback : value->second;
}

}  // namespace vexa
