// Folder keywords of the script's file rows: special folders ("desktop", "appdata",
// "system", ...), Office path macros ("%office2010dir%") and "CLSID:" references.
//
//   ResolveFolderKeyword   keyword, macro or CLSID reference to a folder path
//   ResetFolderKeywords    drops the table so that the next lookup rebuilds it
//   OfficeInstallRoots     the Office install-root macros and where each is read
//   NativeProgramFilesFolder  the native program folder behind the 32-bit one
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vexa {

// Resolves |keyword| (any letter case) to a folder path. Special folders and Office
// roots come without a trailing backslash, "systemroot" and "CLSID:{...}" references
// with one. False when the keyword names nothing this machine has; |folder| is then
// left as it was.
bool ResolveFolderKeyword(const std::wstring& keyword, std::wstring& folder);

// Drops the table so that the next lookup rebuilds it (as the calling thread sees the
// file system then, for example with file-system redirection switched off).
void ResetFolderKeywords();

// One Office install-root macro: the value "Path" of HKLM\<subkey>, read in the 64-bit
// registry view for the x64 macros and in the 32-bit view for the others.
struct OfficeInstallRoot {
    std::wstring macro;
    std::wstring subkey;
    bool native_view;
};

// All of them, in the order the table is built.
std::vector<OfficeInstallRoot> OfficeInstallRoots();

// The native program folder for the 32-bit one a 32-bit program sees on 64-bit Windows:
// |x86_folder| without its " (x86)" ending. False when the folder has no such ending.
bool NativeProgramFilesFolder(const std::wstring& x86_folder, std::wstring& native_folder);

}  // namespace vexa
