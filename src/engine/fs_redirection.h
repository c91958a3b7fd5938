// FsRedirectionGuard: switches WOW64 file-system redirection off for the calling thread
// while it lives, so that a 32-bit program reaches the native system32 folder on 64-bit
// Windows. Where the system has no such calls it does nothing. Begin and end on the same
// thread.
#pragma once

#include <windows.h>

namespace vexa {

class FsRedirectionGuard {
public:
    FsRedirectionGuard();
    ~FsRedirectionGuard();
    FsRedirectionGuard(const FsRedirectionGuard&) = delete;
    FsRedirectionGuard& operator=(const FsRedirectionGuard&) = delete;

    bool Disabled() const { return disabled_; }

private:
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    using RevertFn = BOOL(WINAPI*)(PVOID);

    HMODULE kernel32_ = nullptr;
    DisableFn disable_ = nullptr;
    RevertFn revert_ = nullptr;
    PVOID old_value_ = nullptr;
    bool disabled_ = false;
};

}  // namespace vexa
