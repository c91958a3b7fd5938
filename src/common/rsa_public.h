// The RSA public-key operation (input to the power of the exponent modulo the modulus)
// on big-endian byte strings, for checking the suite's signatures. Montgomery
// multiplication on 32-bit limbs; written here because the platform's own RSA is not
// available everywhere the program runs. Public data only, so no constant-time care.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// |output| = |input| ^ |exponent| mod |modulus|, all |size| bytes big-endian. False when
// the modulus is even or zero, |size| is not a multiple of 4 or above 1024, the exponent
// is 0, or the input is not below the modulus. |output| may be |input|.
bool RsaPublicOperation(const uint8_t* modulus, size_t size, uint32_t exponent, const uint8_t* input,
                        uint8_t* output);

}  // namespace vexa
