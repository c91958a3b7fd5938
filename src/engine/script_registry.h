// The registry rows of the uninstall script: where a row acts (RegLocation) and what
// each verb does. Every row acts on the 32-bit registry view, where the suite keeps its
// keys.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vexa {

struct RegLocation {
    HKEY root = nullptr;  // null when the root name is not in the table
    std::wstring subkey;
    std::wstring value_name;
    REGSAM view = 0;
};

// "HKLM", "HKEY_LOCAL_MACHINE", ... in any letter case; null for any other name.
HKEY RootKeyFromName(const std::wstring& name);

// Runs one registry row, already split into fields. True when the registry call
// succeeded; false for rows that match no verb, name no known root, or have an empty
// subkey (no row may delete or empty a whole root).
bool ExecuteRegistryRow(const std::vector<std::wstring>& fields);

// Deletes |subkey| of |root| with everything below it, in the view |view|.
bool DeleteKeyTree(HKEY root, const std::wstring& subkey, REGSAM view);

}  // namespace vexa
