// Folder keywords of the script's file rows: special folders ("desktop", "appdata",
// "system", ...), Office path macros ("%office2010dir%") and "CLSID:" references.
#pragma once

#include <string>

namespace vexa {

// Resolves |keyword| to a folder path; false when it names nothing known or its folder
// does not exist on this machine.
bool ResolveFolderKeyword(const std::wstring& keyword, std::wstring& folder);

// Drops the table so that the next lookup rebuilds it (as the calling thread sees the
// file system then, for example with file-system redirection switched off).
void ResetFolderKeywords();

}  // namespace vexa
