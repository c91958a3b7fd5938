#include "engine/fs_redirection.h"

namespace vexa {

FsRedirectionGuard::FsRedirectionGuard() : kernel32_(LoadLibraryW(L"Kernel32.dll")) {
    if (!kernel32_)
        return;
    disable_ = reinterpret_cast<DisableFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32_, "Wow64DisableWow64FsRedirection")));
    revert_ = reinterpret_cast<RevertFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32_, "Wow64RevertWow64FsRedirection")));
    if (disable_ && revert_)
        disabled_ = disable_(&old_value_) != FALSE;
}

FsRedirectionGuard::~FsRedirectionGuard() {
    if (revert_ && disabled_)
        revert_(old_value_);
    disable_ = nullptr;
    revert_ = nullptr;
    if (kernel32_)
        FreeLibrary(kernel32_);
}

}  // namespace vexa
