// Removal of the suite's services ([service] rows) and of its built-in kernel drivers.
#pragma once

#include <string>

#include "engine/ini_document.h"

namespace vexa {

void RemoveScriptServices(const IniSection& services);
bool RemoveDeepScanDriver(const std::wstring& suite_folder);
bool RemoveFilterDriver();
bool RemoveSandboxDriver();

}  // namespace vexa
