#include "engine/script_registry.h"

#include <shlwapi.h>

#include <climits>
#include <cwchar>

#include "common/handles.h"
#include "common/system_info.h"

namespace vexa {
namespace {

bool EqualsIgnoringCase(const std::wstring& a, const wchar_t* b) {
    return _wcsicmp(a.c_str(), b) == 0;
}

// Registry calls newer than the oldest supported Windows, looked up when first needed.
struct RegistryApi {
    using DeleteTreeFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR);
    using DeleteKeyExFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    DeleteTreeFn delete_tree = nullptr;
    DeleteKeyExFn delete_key_ex = nullptr;

    static const RegistryApi& Get() {
        static const RegistryApi api = [] {
            RegistryApi a;
            HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
            if (advapi) {
                a.delete_tree =
                    reinterpret_cast<DeleteTreeFn>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteTreeW")));
                a.delete_key_ex = reinterpret_cast<DeleteKeyExFn>(
                    reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExW")));
            }
            return a;
        }();
        return api;
    }
};

// A subkey that names no key below the root ("" or only backslashes) would make a
// deletion act on the whole root.
bool NamesKeyBelowRoot(const std::wstring& subkey) {
    return subkey.find_first_not_of(L'\\') != std::wstring::npos;
}

bool DeleteEmptyKeyOrTree(const RegLocation& where) {
    unique_hkey key;
    DWORD subkeys = 0;
    const bool opened = RegOpenKeyExW(where.root, where.subkey.c_str(), 0, KEY_READ | where.view, key.put()) ==
                        ERROR_SUCCESS;
    if (opened && RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys > 0) {
        // The brand key stays while any product key is left under it; the system refuses
        // to delete a key that has subkeys.
        key.reset();
        return SHDeleteEmptyKeyW(where.root, where.subkey.c_str()) == ERROR_SUCCESS;
    }
    key.reset();
    return DeleteKeyTree(where.root, where.subkey, where.view);
}

bool DeleteValue(const RegLocation& where) {
    unique_hkey key;
    if (RegOpenKeyExW(where.root, where.subkey.c_str(), 0, KEY_SET_VALUE | where.view, key.put()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueW(key.get(), where.value_name.c_str()) == ERROR_SUCCESS;
}

bool WriteValue(const RegLocation& where, const std::wstring& type, const std::wstring& data) {
    DWORD kind = 0;
    DWORD dword = 0;
    const BYTE* bytes = nullptr;
    DWORD size = 0;
    if (EqualsIgnoringCase(type, L"REG_DWORD")) {
        // Signed decimal, saturated at the 32-bit limits; no digits give 0.
        const long number = std::wcstol(data.c_str(), nullptr, 10);
        dword = static_cast<DWORD>(static_cast<LONG>(number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : number));
        kind = REG_DWORD;
        bytes = reinterpret_cast<const BYTE*>(&dword);
        size = sizeof(dword);
    } else if (EqualsIgnoringCase(type, L"REG_SZ")) {
        kind = REG_SZ;
        bytes = reinterpret_cast<const BYTE*>(data.c_str());
        size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    } else {
        return false;
    }
    unique_hkey key;
    if (RegCreateKeyExW(where.root, where.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | where.view, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), where.value_name.c_str(), 0, kind, bytes, size) == ERROR_SUCCESS;
}

}  // namespace

HKEY RootKeyFromName(const std::wstring& name) {
    static const struct {
        const wchar_t* short_name;
        const wchar_t* long_name;
        HKEY root;
    } kRoots[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKU", L"HKEY_USERS", HKEY_USERS},
        {L"HKPD", L"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {L"HKDD", L"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {L"HKCC", L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    for (const auto& entry : kRoots) {
        if (EqualsIgnoringCase(name, entry.short_name) || EqualsIgnoringCase(name, entry.long_name))
            return entry.root;
    }
    return nullptr;
}

bool DeleteKeyTree(HKEY root, const std::wstring& subkey, REGSAM view) {
    if (!NamesKeyBelowRoot(subkey))
        return false;
    const RegistryApi& api = RegistryApi::Get();
    if (!api.delete_tree || !api.delete_key_ex) {
        // Systems without these calls are 32-bit ones, where there is only one view.
        return SHDeleteKeyW(root, subkey.c_str()) == ERROR_SUCCESS;
    }
    {
        unique_hkey key;
        if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS | view, key.put()) != ERROR_SUCCESS)
            return false;
        if (api.delete_tree(key.get(), nullptr) != ERROR_SUCCESS)
            return false;
    }
    return api.delete_key_ex(root, subkey.c_str(), view, 0) == ERROR_SUCCESS;
}

bool ExecuteRegistryRow(const std::vector<std::wstring>& fields) {
    if (fields.empty())
        return false;
    enum class Verb { kDeleteKey, kDeleteEmptyKey, kDeleteValue, kWriteValue };
    static const struct {
        const wchar_t* name;
        size_t field_count;
        Verb verb;
    } kVerbs[] = {
        {L"deletekey", 3, Verb::kDeleteKey},
        {L"deleteemptykey", 3, Verb::kDeleteEmptyKey},
        {L"deleteval", 4, Verb::kDeleteValue},
        {L"writevalue", 6, Verb::kWriteValue},
    };
    const Verb* match = nullptr;
    for (const auto& entry : kVerbs) {
        if (fields.size() == entry.field_count && EqualsIgnoringCase(fields[0], entry.name)) {
            match = &entry.verb;
            break;
        }
    }
    if (!match)
        return false;

    RegLocation where;
    where.root = RootKeyFromName(fields[1]);
    where.subkey = fields[2];
    if (*match == Verb::kDeleteValue || *match == Verb::kWriteValue)
        where.value_name = fields[3];
    where.view = Suite32BitView();
    if (!where.root || !NamesKeyBelowRoot(where.subkey))
        return false;

    switch (*match) {
        case Verb::kDeleteKey:
            return DeleteKeyTree(where.root, where.subkey, where.view);
        case Verb::kDeleteEmptyKey:
            return DeleteEmptyKeyOrTree(where);
        case Verb::kDeleteValue:
            return DeleteValue(where);
        case Verb::kWriteValue:
            return WriteValue(where, fields[4], fields[5]);
    }
    return false;
}

}  // namespace vexa
