// The language table: every text the user sees, the window's font face, the title
// picture and the survey address, one section per language in the program's FILE 502
// resource. The language is the one named by "config.ini" next to the executable, or
// the table's own default when that names none or one the table does not have.
//
//   CLanguageTable             the table and the selected language's texts
//   GetLanguageTable()         the process's table
//   ConfigPathNextToExecutable where the program looks for "config.ini"
//   FormatLabelText            fills a label text's "%d" as printf would, safely
//
// The sections also carry "lang_code" and "ignore_sub_code". They are kept as shipped
// for whoever maintains the translations, but the program does not read them: the
// language is chosen by name only, never from the system's user-interface language, so
// the same configuration always gives the same texts.
#pragma once

#include <string>

#include "engine/ini_document.h"

namespace vexa {

class CLanguageTable {
public:
    // The product's load: the embedded table, and "config.ini" next to the executable.
    // True when a language section was selected.
    bool LoadLanguageTable();
    // The same selection over |document| with the configuration file |config_path|; an
    // empty path means there is no configuration file.
    bool LoadLanguageTable(const CIniDocument& document, const std::wstring& config_path);

    // The key's text in the selected language, matched exactly; empty when the key is
    // missing or no language was selected.
    std::wstring GetString(const std::wstring& key) const;
    // GetString converted as wcstol does with base 10 (leading blanks and a sign, up to
    // the first non-digit); 0 for an empty or non-numeric text.
    int GetInt(const std::wstring& key) const;
    // The window title from the configuration file; "Vexaguard" when it names none.
    const std::wstring& GetTitle() const { return title_; }

    bool IsLoaded() const { return loaded_ != 0; }
    // The section tried last: the configured one, or the default after a fall-back.
    const std::wstring& LanguageName() const { return language_name_; }

private:
    IniSection texts_;
    int loaded_ = 0;
    CIniDocument document_;
    std::wstring language_name_;
    std::wstring title_ = L"Vexaguard";
};

// The process's table, made on first use and kept until the process ends.
CLanguageTable& GetLanguageTable();

// "config.ini" in the folder of the running executable; empty when the executable's path
// cannot be had in full (then no configuration file is read at all, rather than one in
// the Windows folder that a bare file name would reach).
std::wstring ConfigPathNextToExecutable();

// A label text as the window shows it; every label text is a printf format, so a literal
// percent sign in it is doubled. Every "%d" becomes |value| (labels without a number
// pass any value) and "%%" becomes "%". Any other "%" is kept as it stands, so a stray
// one in a translation shows up as text instead of reading an argument that is not there.
std::wstring FormatLabelText(const std::wstring& format, int value);

}  // namespace vexa
