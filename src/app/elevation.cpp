#include "app/elevation.h"

#include "report/trust_gate.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>

#include "app/language_table.h"
#include "app/module_path.h"
#include "common/handles.h"

namespace vexa {
namespace {

constexpr wchar_t kSystemPoliciesKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::wstring Lowered(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

bool CarriesElevatedMarker(const std::wstring& command_line) {
    return Lowered(command_line).find(kElevatedMarker) != std::wstring::npos;
}

// Windows 2000 exports the shell's administrator test by ordinal only.
bool ShellSaysUserIsAdmin() {
    using IsUserAnAdminFn = BOOL(WINAPI*)();
    // The program imports ShellExecuteW, so the shell library is always loaded.
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell)
        return false;
    auto is_user_an_admin = reinterpret_cast<IsUserAnAdminFn>(
        reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(680))));
    return is_user_an_admin && is_user_an_admin();
}

bool IsAdministratorsMember(HANDLE token) {
    alignas(DWORD) BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sid_size = sizeof(sid);
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sid_size))
        return false;
    BOOL member = FALSE;
    return CheckTokenMembership(token, sid, &member) && member;
}

}  // namespace

ElevationTexts CopyElevationTexts(const CLanguageTable& table) {
    return {table.GetString(L"UAC_TITLE"), table.GetString(L"UAC_MESSAGE"),
            table.GetString(L"UAC_ELEVATION_FAILED_MESSAGE")};
}

bool DecideNeedsElevation(DWORD windows_major, bool elevated_admin) {
    return windows_major > 5 && !elevated_admin;
}

ElevationDecision DecideRelaunch(const ElevationFacts& facts, bool show_failure_message) {
    // A copy that carries the marker was started through the consent prompt and is still
    // limited: asking again would loop.
    if (CarriesElevatedMarker(facts.command_line))
        return {ElevationStep::kShowFailureMessage, {}};
    if (facts.own_path.empty())
        return {ElevationStep::kEndQuietly, {}};
    if (facts.can_elevate_to_admin || facts.uac_enabled)
        return {ElevationStep::kRelaunch, facts.command_line + L" " + kElevatedMarker};
    return {show_failure_message ? ElevationStep::kShowFailureMessage : ElevationStep::kEndQuietly, {}};
}

ElevationDecision DecideStartupElevation(const ElevationFacts& facts) {
    if (!DecideNeedsElevation(facts.windows_major, facts.elevated_admin))
        return {ElevationStep::kRunOn, {}};
    return DecideRelaunch(facts, true);
}

AdminTokenToTest ChooseAdminTokenToTest(DWORD windows_major, bool elevation_type_known,
                                        TOKEN_ELEVATION_TYPE elevation_type) {
    if (windows_major < 6)
        return AdminTokenToTest::kDuplicate;
    if (elevation_type_known && elevation_type == TokenElevationTypeLimited)
        return AdminTokenToTest::kLinked;
    return AdminTokenToTest::kNone;
}

DWORD WindowsMajorVersion() {
    return LOBYTE(LOWORD(GetVersion()));
}

bool NeedsElevation() {
    return DecideNeedsElevation(WindowsMajorVersion(), IsElevatedAdmin());
}

bool IsElevatedAdmin() {
    if (!ShellSaysUserIsAdmin())
        return false;
    unique_handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size))
        return false;
    return elevation.TokenIsElevated != 0;
}

bool CanElevateToAdmin() {
    unique_handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, token.put()))
        return false;
    const DWORD major = WindowsMajorVersion();
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    const bool type_known =
        major >= 6 && GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size);

    unique_handle tested;
    switch (ChooseAdminTokenToTest(major, type_known, type)) {
        case AdminTokenToTest::kDuplicate:
            if (!DuplicateToken(token.get(), SecurityIdentification, tested.put()))
                return false;
            break;
        case AdminTokenToTest::kLinked: {
            TOKEN_LINKED_TOKEN linked = {};
            if (!GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof(linked), &size))
                return false;
            tested.reset(linked.LinkedToken);
            break;
        }
        case AdminTokenToTest::kNone:
            return false;
    }
    return IsAdministratorsMember(tested.get());
}

bool IsUacEnabled() {
    return IsUacEnabledAt(HKEY_LOCAL_MACHINE, kSystemPoliciesKey);
}

bool IsUacEnabledAt(HKEY root, const wchar_t* subkey) {
    unique_hkey key;
    if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return false;
    return type == REG_DWORD && size == sizeof(value) && value == 1;
}

ElevationFacts GatherElevationFacts() {
    ElevationFacts facts;
    facts.windows_major = WindowsMajorVersion();
    facts.elevated_admin = IsElevatedAdmin();
    facts.can_elevate_to_admin = CanElevateToAdmin();
    facts.uac_enabled = IsUacEnabled();
    facts.command_line = GetCommandLineW();
    facts.own_path = OwnExecutablePath();
    return facts;
}

ShellExecuteCall RelaunchShellExecute() {
    // The program starts itself only when the trust gate vouches for the file.
    return [](HWND owner, const wchar_t* verb, const std::wstring& file, const wchar_t* parameters,
              const wchar_t* folder, int show) {
        return TrustedShellExecute(owner, verb, file, parameters, folder, show);
    };
}

void ShowElevationFailure(const ElevationTexts& texts) {
    MessageBoxW(nullptr, texts.failed_message.c_str(), texts.title.c_str(), MB_ICONINFORMATION);
}

bool RelaunchElevated(bool show_failure_message, const ElevationTexts& texts, const ShellExecuteCall& shell_execute) {
    const ElevationFacts facts = GatherElevationFacts();
    const ElevationDecision decision = DecideRelaunch(facts, show_failure_message);
    switch (decision.step) {
        case ElevationStep::kRelaunch:
            // Whether the user declined the prompt or the gate refused the file, the
            // process ends quietly either way.
            shell_execute(nullptr, L"runas", facts.own_path, decision.parameters.c_str(), nullptr, SW_SHOWNORMAL);
            return true;
        case ElevationStep::kShowFailureMessage:
            ShowElevationFailure(texts);
            return false;
        case ElevationStep::kRunOn:
        case ElevationStep::kEndQuietly:
            return false;
    }
    return false;
}

}  // namespace vexa
