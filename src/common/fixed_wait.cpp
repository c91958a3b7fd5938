#include "common/fixed_wait.h"

#include <atomic>

namespace vexa {
namespace {
std::atomic<unsigned> g_percent{100};
}

void FixedWait(DWORD milliseconds) {
    Sleep(static_cast<DWORD>(static_cast<unsigned long long>(milliseconds) * g_percent / 100));
}

void SetFixedWaitPercent(unsigned percent) {
    g_percent = percent;
}

}  // namespace vexa
