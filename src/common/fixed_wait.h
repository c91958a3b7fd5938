// The program's long fixed waits (one to three seconds between uninstall steps) all go
// through FixedWait, so that integration tests of a single step can shorten them.
// Acceptance tests and the product run them at full length.
#pragma once

#include <windows.h>

namespace vexa {

void FixedWait(DWORD milliseconds);

// Percentage of every fixed wait actually waited; 100 unless a test changes it.
void SetFixedWaitPercent(unsigned percent);

}  // namespace vexa
