#include "engine/process_shutdown.h"

namespace vexa {

// The monitor command, window closing and process termination arrive with the
// process-shutdown work.
void StopSuiteProcesses() {}

}  // namespace vexa
