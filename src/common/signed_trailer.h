// The signed trailer that the suite appends to its executables and libraries: where it
// lies in a PE file, which bytes its signature covers and what the signature block must
// hold. This file knows nothing of Windows, so that the host-side signer builds it too;
// trailer_verifier.h holds the verification on Windows.
//
//   ByteSource       random access to a file's bytes, every read checked against its size
//   HashSink         incremental digest fed by HashSignedBytes
//   PeLayout         what the trailer's position and the zeroed ranges depend on
//   TrailerLocation  a trailer found in a file, with its 664 bytes
//   TrailerError     the calling thread's record of the last failure
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa::trailer {

// Layout of the 664-byte trailer (little-endian integers).
constexpr uint32_t kTrailerSize = 664;
constexpr uint32_t kFileNameOffset = 4;
constexpr uint32_t kFileNameSize = 128;
constexpr uint32_t kVersionOffset = 132;
constexpr uint32_t kTimeOffset = 136;
constexpr uint32_t kSignatureOffset = 144;
constexpr uint32_t kSignatureSize = 512;
constexpr uint32_t kEndMagicOffset = 660;
constexpr char kMagic[4] = {'o', 'l', 'W', 'c'};
constexpr char kEndMagic[4] = {'=', '8', '2', 'b'};
constexpr uint32_t kVersion = 1;

// The signed message: a digest header that names SHA-1 although the digest that follows
// is SHA-256. Signers produce it exactly so, and the verifier compares it byte for byte.
constexpr size_t kDigestSize = 32;
constexpr size_t kDigestHeaderSize = 15;
extern const uint8_t kDigestHeader[kDigestHeaderSize];
// The standard header of a SHA-256 digest, which the verifier must not accept.
extern const uint8_t kStandardSha256DigestHeader[19];
constexpr size_t kMessageSize = kDigestHeaderSize + kDigestSize;

constexpr uint32_t kMaxCertificateEntries = 256;
constexpr size_t kHashChunkSize = 32 * 1024;
constexpr uint32_t kPublicExponent = 65537;
// A key of this many bits or fewer is refused.
constexpr uint32_t kMinimumKeyBitsExclusive = 4088;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Exactly |length| bytes from |offset|; false on a short or failed read.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t length) = 0;
};

class HashSink {
public:
    virtual ~HashSink() = default;
    virtual bool Update(const uint8_t* bytes, size_t length) = 0;
};

enum class Status {
    kFound,       // a trailer of the known version is there
    kAbsent,      // no trailer, or one of an unknown version or a damaged frame
    kMalformed,   // the PE headers or the certificate table do not hold together
    kReadFailed,  // the file could not be read where it had to be
};

struct PeLayout {
    uint64_t checksum_offset = 0;         // 4-byte header checksum
    uint64_t security_entry_offset = 0;   // 8-byte certificate-table entry of the data directory
    uint64_t certificate_table_offset = 0;
    uint32_t certificate_table_size = 0;  // 0 when the file has no certificate table
    uint64_t headers_end = 0;             // end of the section table
};

struct TrailerLocation {
    PeLayout layout;
    uint64_t position = 0;  // T: file size - certificate table size - 664
    uint8_t bytes[kTrailerSize] = {};
};

// Reads the PE headers and walks the certificate table: at most 256 entries whose
// lengths, rounded up to multiples of 8, add up exactly to the table's size, and the
// table must end the file. kFound on success.
Status ReadPeLayout(ByteSource& file, PeLayout& layout);

// Finds the trailer in front of the certificate table (or at the end of the file).
Status LocateTrailer(ByteSource& file, TrailerLocation& location);

// Where a trailer would go in |layout|'s file of |file_size| bytes, or false when there
// is no room for one after the headers.
bool TrailerPosition(const PeLayout& layout, uint64_t file_size, uint64_t& position);

// Feeds the file's bytes from 0 to the end of the trailer at |position| to |sink| in
// 32 KiB chunks, with the header checksum, the certificate-table entry and the
// signature fed as zeros.
bool HashSignedBytes(ByteSource& file, const PeLayout& layout, uint64_t position, HashSink& sink);

// The whole block that the signature of |digest| must decrypt to: 00 01, FF padding, 00,
// the digest header and the digest, |block_size| bytes in all.
bool BuildSignatureBlock(const uint8_t (&digest)[kDigestSize], const uint8_t* header, size_t header_size,
                         uint8_t* block, size_t block_size);

// The number of significant bits of a big-endian integer.
uint32_t BitLength(const uint8_t* big_endian, size_t size);

uint32_t ReadLe32(const uint8_t* bytes);
uint16_t ReadLe16(const uint8_t* bytes);
void WriteLe32(uint8_t* bytes, uint32_t value);

struct TrailerError {
    const char* file = nullptr;
    int line = 0;
    uint32_t code = 0;  // system or runtime error code, 0 for a format error
    const char* text = nullptr;
};

// The last failure of a trailer operation on the calling thread. Nothing in the program
// reads it; it is there for a debugger and for tests.
const TrailerError& LastTrailerError();
void RecordTrailerError(const char* file, int line, uint32_t code, const char* text);
void ClearTrailerError();

}  // namespace vexa::trailer
