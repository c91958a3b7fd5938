// Verification of the signed trailer of a suite file (see signed_trailer.h for the
// format): SHA-256 through the platform's CNG, the RSA public operation with the key
// built into the program for the trailer's version, and a comparison of the whole
// decrypted block with the one expected.
#pragma once

#include <windows.h>

#include <string>

namespace vexa {

enum class TrailerVerdict {
    kValid,      // the trailer's signature covers this file as it is
    kInvalid,    // a trailer is there, but its signature does not verify
    kAbsent,     // no trailer of a known version
    kNoVerdict,  // unreadable, malformed or out of memory; treated like invalid
};

// Verifies the file behind |file|, which must be open for reading. The handle's file
// position is not used.
TrailerVerdict VerifySignedTrailer(HANDLE file);

// Opens |path| for reading, sharing only reads, and verifies it.
TrailerVerdict VerifySignedTrailerFile(const std::wstring& path);

const wchar_t* TrailerVerdictName(TrailerVerdict verdict);

}  // namespace vexa
