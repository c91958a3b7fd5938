#include "engine/uninstall_hooks.h"

namespace vexa {
namespace {
UninstallHooks& Hooks() {
    static UninstallHooks* hooks = new UninstallHooks;
    return *hooks;
}
}  // namespace

void SetUninstallHooks(UninstallHooks hooks) {
    Hooks() = std::move(hooks);
}

const UninstallHooks& GetUninstallHooks() {
    return Hooks();
}

}  // namespace vexa
