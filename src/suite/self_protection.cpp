#include "suite/self_protection.h"

#include <atomic>

#include "common/handles.h"

namespace vexa {
namespace {

std::atomic<SelfProtectionAnswer> g_answer{SelfProtectionAnswer::kAskDriver};

bool AskDriver() {
    // Attribute-read access is all the driver's request needs.
    unique_handle device(CreateFileW(kSelfProtectionDevice, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device)
        return false;
    DWORD process_id = GetCurrentProcessId();
    DWORD vouches = 0;
    DWORD returned = 0;
    if (!DeviceIoControl(device.get(), kVouchForProcessControlCode, &process_id, sizeof(process_id), &vouches,
                         sizeof(vouches), &returned, nullptr)) {
        return false;
    }
    return vouches != 0;
}

}  // namespace

bool SelfProtectionVouchesForThisProcess() {
    switch (g_answer.load()) {
        case SelfProtectionAnswer::kVouches:
            return true;
        case SelfProtectionAnswer::kDoesNotVouch:
            return false;
        case SelfProtectionAnswer::kAskDriver:
            break;
    }
    return AskDriver();
}

void SetSelfProtectionAnswerForTesting(SelfProtectionAnswer answer) {
    g_answer = answer;
}

}  // namespace vexa
