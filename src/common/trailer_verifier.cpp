#include "common/trailer_verifier.h"

#include <bcrypt.h>

#include <cstring>

#include "common/handles.h"
#include "common/rsa_public.h"
#include "common/signed_trailer.h"
#include "common/trailer_key.inc"

namespace vexa {
namespace {

using namespace trailer;

class HandleSource : public ByteSource {
public:
    explicit HandleSource(HANDLE file) : file_(file) {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file, &size))
            size_ = static_cast<uint64_t>(size.QuadPart);
        else
            RecordTrailerError(__FILE__, __LINE__, GetLastError(), "file size unknown");
        known_ = size_ != kUnknown;
    }
    bool known() const { return known_; }
    uint64_t Size() const override { return known_ ? size_ : 0; }
    bool ReadAt(uint64_t offset, void* buffer, size_t length) override {
        if (!known_ || offset > size_ || length > size_ - offset || length > MAXDWORD)
            return false;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(length), &read, &at)) {
            RecordTrailerError(__FILE__, __LINE__, GetLastError(), "read failed");
            return false;
        }
        return read == length;
    }

private:
    static constexpr uint64_t kUnknown = ~uint64_t{0};
    HANDLE file_;
    uint64_t size_ = kUnknown;
    bool known_ = false;
};

class CngSha256 : public HashSink {
public:
    CngSha256() {
        NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
        if (BCRYPT_SUCCESS(status))
            status = BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0);
        if (!BCRYPT_SUCCESS(status)) {
            RecordTrailerError(__FILE__, __LINE__, static_cast<uint32_t>(status), "SHA-256 unavailable");
            hash_ = nullptr;
        }
    }
    ~CngSha256() override {
        if (hash_)
            BCryptDestroyHash(hash_);
        if (algorithm_)
            BCryptCloseAlgorithmProvider(algorithm_, 0);
    }
    CngSha256(const CngSha256&) = delete;
    CngSha256& operator=(const CngSha256&) = delete;

    bool ready() const { return hash_ != nullptr; }
    bool Update(const uint8_t* bytes, size_t length) override {
        return hash_ && BCRYPT_SUCCESS(BCryptHashData(hash_, const_cast<PUCHAR>(bytes), static_cast<ULONG>(length), 0));
    }
    bool Finish(uint8_t (&digest)[kDigestSize]) {
        return hash_ && BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest, sizeof(digest), 0));
    }

private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

struct TrailerKey {
    const uint8_t* modulus;
    size_t size;
    uint32_t exponent;
};

// Keys by trailer version; version 1 is the only one known.
const TrailerKey* KeyForVersion(uint32_t version) {
    static const TrailerKey kVersion1{kTrailerModulus, sizeof(kTrailerModulus), kPublicExponent};
    return version == kVersion ? &kVersion1 : nullptr;
}

TrailerVerdict CheckSignature(const uint8_t* trailer_bytes, const uint8_t (&digest)[kDigestSize]) {
    const TrailerKey* key = KeyForVersion(ReadLe32(trailer_bytes + kVersionOffset));
    if (!key || key->size != kSignatureSize || BitLength(key->modulus, key->size) <= kMinimumKeyBitsExclusive)
        return TrailerVerdict::kInvalid;
    uint8_t decrypted[kSignatureSize];
    if (!RsaPublicOperation(key->modulus, key->size, key->exponent, trailer_bytes + kSignatureOffset, decrypted))
        return TrailerVerdict::kInvalid;
    // The whole block is rebuilt and compared, so nothing in it is parsed leniently.
    uint8_t expected[kSignatureSize];
    if (!BuildSignatureBlock(digest, kDigestHeader, kDigestHeaderSize, expected, sizeof(expected)))
        return TrailerVerdict::kInvalid;
    return std::memcmp(decrypted, expected, sizeof(expected)) == 0 ? TrailerVerdict::kValid
                                                                   : TrailerVerdict::kInvalid;
}

}  // namespace

TrailerVerdict VerifySignedTrailer(HANDLE file) {
    HandleSource source(file);
    if (!source.known())
        return TrailerVerdict::kNoVerdict;
    TrailerLocation location;
    switch (LocateTrailer(source, location)) {
        case Status::kFound:
            break;
        case Status::kAbsent:
            return TrailerVerdict::kAbsent;
        case Status::kMalformed:
        case Status::kReadFailed:
            return TrailerVerdict::kNoVerdict;
    }
    CngSha256 sha;
    uint8_t digest[kDigestSize];
    if (!sha.ready() || !HashSignedBytes(source, location.layout, location.position, sha) || !sha.Finish(digest))
        return TrailerVerdict::kNoVerdict;
    return CheckSignature(location.bytes, digest);
}

TrailerVerdict VerifySignedTrailerFile(const std::wstring& path) {
    unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        RecordTrailerError(__FILE__, __LINE__, GetLastError(), "file cannot be opened");
        return TrailerVerdict::kNoVerdict;
    }
    return VerifySignedTrailer(file.get());
}

const wchar_t* TrailerVerdictName(TrailerVerdict verdict) {
    switch (verdict) {
        case TrailerVerdict::kValid:
            return L"valid";
        case TrailerVerdict::kInvalid:
            return L"invalid";
        case TrailerVerdict::kAbsent:
            return L"absent";
        case TrailerVerdict::kNoVerdict:
            break;
    }
    return L"no verdict";
}

}  // namespace vexa
