// Where the running program's executable is.
#pragma once

#include <string>

namespace vexa {

// The executable's full path; empty when it cannot be had in full within MAX_PATH, so
// that a cut path never names another file.
std::wstring OwnExecutablePath();

}  // namespace vexa
