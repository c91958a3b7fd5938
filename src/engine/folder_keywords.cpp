#include "engine/folder_keywords.h"

namespace vexa {

// The keyword table arrives with the folder-keyword work; until then no keyword
// resolves and every file row ends without acting.
bool ResolveFolderKeyword(const std::wstring& /*keyword*/, std::wstring& /*folder*/) {
    return false;
}

void ResetFolderKeywords() {}

}  // namespace vexa
