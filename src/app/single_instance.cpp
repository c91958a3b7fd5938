#include "app/single_instance.h"

namespace vexa {

InstanceClaim CSingleInstance::Claim(const wchar_t* name) {
    Release();
    mutex_.reset(CreateMutexW(nullptr, TRUE, name));
    if (!mutex_)
        return InstanceClaim::kFailed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Ownership was not granted; the handle only kept the other copy's mutex alive.
        mutex_.reset();
        return InstanceClaim::kAlreadyRunning;
    }
    owned_ = true;
    return InstanceClaim::kFirst;
}

void CSingleInstance::Release() {
    if (owned_)
        ReleaseMutex(mutex_.get());
    owned_ = false;
    mutex_.reset();
}

}  // namespace vexa
