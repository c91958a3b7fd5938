// One running copy of the uninstaller per session, through a named mutex that the first
// copy owns.
#pragma once

#include <windows.h>

#include "common/handles.h"

namespace vexa {

constexpr wchar_t kInstanceMutexName[] = L"Local\\KVexaSafeI18NInstaller";

enum class InstanceClaim {
    kFirst,           // this process owns the mutex and runs
    kAlreadyRunning,  // another copy holds it: end quietly
    kFailed,          // the mutex could not be created: end quietly
};

class CSingleInstance {
public:
    CSingleInstance() = default;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;
    ~CSingleInstance() { Release(); }

    // Creates |name| with initial ownership requested.
    InstanceClaim Claim(const wchar_t* name = kInstanceMutexName);

    // Gives up ownership and closes the mutex. Called at the normal end, and before the
    // elevated relaunch so that the new copy does not take itself for a second one.
    void Release();

private:
    unique_handle mutex_;
    bool owned_ = false;
};

}  // namespace vexa
