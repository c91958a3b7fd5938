// CIniDocument: a read-only INI document loaded from one of the program's own UTF-16
// resources (the uninstall script and the language table). SplitString: the splitter it
// cuts lines with, also used to cut script rows into fields.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vexa {

using IniSection = std::map<std::wstring, std::wstring>;

// Appends the pieces of |text| between |separator|s to |out|. Every piece but the last is
// right-trimmed of blanks, tabs and line ends; the last is kept as it is and is only
// appended when not empty. A null |text| appends nothing.
void SplitString(const wchar_t* text, wchar_t separator, std::vector<std::wstring>& out);

class CIniDocument {
public:
    // Largest document accepted, in bytes.
    static constexpr size_t kMaxBytes = 999999;

    // Parses the resource |id| of type |type| of the running program. True when at least
    // one section header was found; the pairs read are stored either way.
    bool LoadFromResource(const wchar_t* type, int id);
    // Parses UTF-16 text as a resource's content would be parsed (after the size check).
    bool LoadFromText(const wchar_t* text);

    // Clears |out|; copies the section into it and returns true when it exists.
    bool CopySection(const std::wstring& section, IniSection& out) const;
    std::wstring GetValue(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const;

    const std::vector<std::wstring>& SectionNames() const { return section_names_; }

private:
    std::vector<std::wstring> section_names_;
    std::map<std::wstring, IniSection> sections_;
};

}  // namespace vexa
