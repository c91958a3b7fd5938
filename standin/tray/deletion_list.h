// The deletion list that the uninstaller hands to the tray program, and the checks the
// tray program makes before it acts on any of it.
//
//   ArgumentsOf          the command line without the program's own path
//   ParseTrayArguments   "/path=(<list>) /id=(<size>)"; values may contain blanks
//   ParseDeletionList    UTF-16LE list with byte-order mark, "rd"/"de" lines
//   IsSafeTarget         whether a listed path may be acted on at all
#pragma once

#include <string>
#include <vector>

namespace standin {

std::wstring ArgumentsOf(const std::wstring& command_line);

struct TrayArguments {
    std::wstring list_path;
    unsigned long long id = 0;  // the list's size in bytes
};

// False unless |arguments| is exactly "/path=(...) /id=(<decimal>)" (blanks around).
bool ParseTrayArguments(const std::wstring& arguments, TrayArguments& parsed);

struct ListCommand {
    bool remove_folder = false;  // "rd"; otherwise "de", delete one file
    std::wstring path;
};

// Each line is a verb, a blank, the path (which may hold blanks), a blank and CR LF.
// Lines of another shape go to |malformed|. False when |bytes| is not a UTF-16LE text
// with byte-order mark.
bool ParseDeletionList(const std::string& bytes, std::vector<ListCommand>& commands,
                       std::vector<std::wstring>& malformed);

// Only a full path below a drive's root, written in its plain form (no ".", "..",
// forward slashes, doubled separators, wildcards or device prefixes), is acted on. A
// drive root, a relative path or a network path never is.
bool IsSafeTarget(const std::wstring& path);

}  // namespace standin
