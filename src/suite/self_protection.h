// The suite's self-protection driver, asked whether it vouches for this process. A
// process it vouches for may load and start any suite file.
#pragma once

#include <windows.h>

namespace vexa {

constexpr wchar_t kSelfProtectionDevice[] = L"\\\\.\\VexaSelfProtection";
constexpr DWORD kVouchForProcessControlCode = 0x22204C;

// Sends the driver the current process id; true when the request succeeds and the
// driver answers non-zero. A missing device or a failed request does not vouch.
bool SelfProtectionVouchesForThisProcess();

// The driver cannot run where the tests run, so a test answers for it.
enum class SelfProtectionAnswer { kAskDriver, kVouches, kDoesNotVouch };
void SetSelfProtectionAnswerForTesting(SelfProtectionAnswer answer);

}  // namespace vexa
