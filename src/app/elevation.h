// Whether the process has the administrator rights the uninstallation needs and, if not,
// how it gets them: a copy of itself started through the consent prompt with the marker
// " /elevated", or the localised failure message when there is no way to elevation.
//
//   ElevationFacts, Decide*   the decisions, as functions of facts already gathered
//   NeedsElevation ... IsUacEnabled   the thin calls that gather the facts
//   RelaunchElevated          gathers, decides and acts
//   RelaunchShellExecute      the shell call the relaunch goes through
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vexa {

class CLanguageTable;

constexpr wchar_t kElevatedMarker[] = L"/elevated";

// The texts of the failure message, copied out of the language table when elevation is
// needed. UAC_MESSAGE is kept with them but never shown.
struct ElevationTexts {
    std::wstring title;           // UAC_TITLE
    std::wstring message;         // UAC_MESSAGE
    std::wstring failed_message;  // UAC_ELEVATION_FAILED_MESSAGE
};
ElevationTexts CopyElevationTexts(const CLanguageTable& table);

// --- Decisions ---------------------------------------------------------------------

struct ElevationFacts {
    DWORD windows_major = 0;            // low byte of GetVersion
    bool elevated_admin = false;        // IsElevatedAdmin
    bool can_elevate_to_admin = false;  // CanElevateToAdmin
    bool uac_enabled = false;           // IsUacEnabled
    std::wstring command_line;          // GetCommandLineW
    std::wstring own_path;              // GetModuleFileNameW; empty when it failed
};

enum class ElevationStep {
    kRunOn,               // the rights are in place (or Windows 5.x): start up
    kRelaunch,            // hand the own path and |parameters| to the shell with "runas"
    kShowFailureMessage,  // no way to elevation, or the relaunched copy is still limited
    kEndQuietly,          // nothing to do but end
};

struct ElevationDecision {
    ElevationStep step = ElevationStep::kRunOn;
    std::wstring parameters;  // for kRelaunch: the whole command line and the marker
};

// Windows before 6.0 has no elevation; from 6.0 on only an elevated administrator runs on.
bool DecideNeedsElevation(DWORD windows_major, bool elevated_admin);

// What RelaunchElevated does for these facts.
ElevationDecision DecideRelaunch(const ElevationFacts& facts, bool show_failure_message);

// The whole start-up decision: run on, or what RelaunchElevated(true) does instead.
ElevationDecision DecideStartupElevation(const ElevationFacts& facts);

// Which token CanElevateToAdmin tests for membership of the Administrators group.
enum class AdminTokenToTest {
    kNone,       // an unlimited or full token, or its type unknown: nothing to gain
    kDuplicate,  // Windows 5.x: the process token itself, duplicated for identification
    kLinked,     // a limited token: the administrator token linked to it
};
AdminTokenToTest ChooseAdminTokenToTest(DWORD windows_major, bool elevation_type_known,
                                        TOKEN_ELEVATION_TYPE elevation_type);

// --- Facts -------------------------------------------------------------------------

// Low byte of GetVersion.
DWORD WindowsMajorVersion();
// Windows 6.0 or later, and not an elevated administrator.
bool NeedsElevation();
// The shell's administrator test says yes and the process token says elevated.
bool IsElevatedAdmin();
// The user's full token (the linked one of a limited token; the process token itself on
// Windows 5.x) is a member of the built-in Administrators group.
bool CanElevateToAdmin();
// "EnableLUA" under the system policies key is a 4-byte REG_DWORD equal to 1.
bool IsUacEnabled();
// The same test on any key, for tests.
bool IsUacEnabledAt(HKEY root, const wchar_t* subkey);
ElevationFacts GatherElevationFacts();

// --- Acting ------------------------------------------------------------------------

// The shell execute the relaunch goes through: (owner, verb, file, parameters, folder,
// show command). Its result is not examined.
using ShellExecuteCall = std::function<HINSTANCE(HWND owner, const wchar_t* verb, const std::wstring& file,
                                                 const wchar_t* parameters, const wchar_t* folder, int show)>;

// The place where the relaunch is wired to the trust gate's trusted shell execute, which
// refuses a file the suite does not vouch for. Until the gate is part of the program
// this is the plain ShellExecuteW.
ShellExecuteCall RelaunchShellExecute();

// Shows UAC_ELEVATION_FAILED_MESSAGE under UAC_TITLE, with no owner window.
void ShowElevationFailure(const ElevationTexts& texts);

// Starts this program again through the consent prompt. True when the relaunch was
// handed to the shell; false after the failure message (when |show_failure_message|, or
// always for a copy that already carries the marker) or when there is nothing to do.
bool RelaunchElevated(bool show_failure_message, const ElevationTexts& texts, const ShellExecuteCall& shell_execute);

}  // namespace vexa
