#include "engine/services_drivers.h"

namespace vexa {

// Service and driver removal arrives with its own work; the steps are wired in their
// places of the sequence and do nothing yet.
void RemoveScriptServices(const IniSection& /*services*/) {}

bool RemoveDeepScanDriver(const std::wstring& /*suite_folder*/) {
    return false;
}

bool RemoveFilterDriver() {
    return false;
}

bool RemoveSandboxDriver() {
    return false;
}

}  // namespace vexa
