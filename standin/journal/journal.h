// The stand-in suite's journal and settings.
//
// Every stand-in component writes each call it receives, with its arguments, as one line
// "<component>|<event>|<arguments...>" to one journal file, so that a test can assert the
// whole conversation in order. What a test wants a stand-in to answer is a registry
// value under HKLM\SOFTWARE\VexaStandin\<component>, read in the 64-bit view so that
// 32-bit and 64-bit components and tests see the same values. The journal's path is the
// value "Journal" of HKLM\SOFTWARE\VexaStandin; by default C:\vexatest\journal.txt.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

constexpr const wchar_t kSettingsKey[] = L"SOFTWARE\\VexaStandin";
constexpr const wchar_t kDefaultJournal[] = L"C:\\vexatest\\journal.txt";

std::wstring JournalPath();

// Appends one line; safe to call from several processes at once.
void Journal(const std::wstring& component, const std::wstring& event, const std::wstring& arguments = L"");

// Reads the journal; one entry a line, without line ends.
std::vector<std::wstring> ReadJournal();
void ClearJournal();

DWORD SettingDword(const std::wstring& component, const wchar_t* name, DWORD fallback);
std::wstring SettingString(const std::wstring& component, const wchar_t* name, const std::wstring& fallback);
bool SetSettingDword(const std::wstring& component, const wchar_t* name, DWORD value);
bool SetSettingString(const std::wstring& component, const wchar_t* name, const std::wstring& value);
// Removes every setting of every component (the journal path stays).
void ClearSettings();

}  // namespace standin
