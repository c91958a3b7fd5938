// Ends the suite's running programs and windows before anything is removed.
#pragma once

namespace vexa {

void StopSuiteProcesses();

}  // namespace vexa
