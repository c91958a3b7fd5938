// The process's exit codes.
#pragma once

namespace vexa {

// A normal end: the uninstallation's countdown ran out, the window was closed before the
// start, another copy already runs, or the process handed itself to the consent prompt
// (or could not be elevated).
constexpr int kExitNormal = 0;
// The user cancelled: the cancel button, the window's close button or the Escape key.
constexpr int kExitCancelled = 2;
// The uninstall worker could not be created or started; the process ends at once.
constexpr int kExitWorkerUnavailable = 333;

}  // namespace vexa
