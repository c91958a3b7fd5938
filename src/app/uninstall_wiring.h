// The program's own operations for the uninstall steps that the engine calls through its
// hooks: the pre-check and uninstall entry points of the suite's protection modules.
#pragma once

#include "engine/uninstall_hooks.h"

namespace vexa {

UninstallHooks ProductUninstallHooks();

}  // namespace vexa
