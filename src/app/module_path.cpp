#include "app/module_path.h"

#include <windows.h>

namespace vexa {

std::wstring OwnExecutablePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(path, length);
}

}  // namespace vexa
