// Times the signed-trailer verification of one file: trailer_benchmark <file> [runs].
// Prints the verdict and the fastest run in milliseconds. Run by tools/benchmark-trailer.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "common/trailer_verifier.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: trailer_benchmark <file> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    double best = 0;
    vexa::TrailerVerdict verdict = vexa::TrailerVerdict::kNoVerdict;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start{};
        LARGE_INTEGER stop{};
        QueryPerformanceCounter(&start);
        verdict = vexa::VerifySignedTrailerFile(argv[1]);
        QueryPerformanceCounter(&stop);
        const double ms = 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (i == 0 || ms < best)
            best = ms;
    }
    std::wprintf(L"verdict %ls\nbest_ms %.1f\n", vexa::TrailerVerdictName(verdict), best);
    return verdict == vexa::TrailerVerdict::kValid ? 0 : 1;
}
