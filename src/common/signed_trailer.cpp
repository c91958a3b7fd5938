#include "common/signed_trailer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace vexa::trailer {

const uint8_t kDigestHeader[kDigestHeaderSize] = {0x30, 0x2D, 0x30, 0x09, 0x06, 0x05, 0x2B, 0x0E,
                                                  0x03, 0x02, 0x1A, 0x05, 0x00, 0x04, 0x20};
const uint8_t kStandardSha256DigestHeader[19] = {0x30, 0x31, 0x30, 0x0D, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                                 0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};

namespace {

thread_local TrailerError g_last_error;

#define TRAILER_FAIL(code, text) RecordTrailerError(__FILE__, __LINE__, (code), (text))

constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kNewHeaderPointerOffset = 0x3C;
constexpr uint32_t kPeSignatureAndFileHeaderSize = 4 + 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kChecksumOffsetInOptionalHeader = 64;
constexpr uint32_t kPe32DirectoryOffset = 96;
constexpr uint32_t kPe32PlusDirectoryOffset = 112;
constexpr uint32_t kSecurityDirectoryIndex = 4;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kCertificateEntryHeaderSize = 8;

Status WalkCertificateTable(ByteSource& file, uint64_t offset, uint32_t size) {
    uint64_t position = offset;
    uint64_t remaining = size;
    uint32_t entries = 0;
    while (remaining > 0) {
        if (entries == kMaxCertificateEntries) {
            TRAILER_FAIL(0, "certificate table has more than 256 entries");
            return Status::kMalformed;
        }
        if (remaining < kCertificateEntryHeaderSize) {
            TRAILER_FAIL(0, "certificate table ends inside an entry header");
            return Status::kMalformed;
        }
        uint8_t header[kCertificateEntryHeaderSize];
        if (!file.ReadAt(position, header, sizeof(header))) {
            TRAILER_FAIL(0, "certificate entry unreadable");
            return Status::kReadFailed;
        }
        // An entry shorter than its own header would never move the walk forward.
        const uint64_t length = ReadLe32(header);
        if (length < kCertificateEntryHeaderSize) {
            TRAILER_FAIL(0, "certificate entry shorter than its header");
            return Status::kMalformed;
        }
        const uint64_t rounded = (length + 7) & ~uint64_t{7};
        if (rounded > remaining) {
            TRAILER_FAIL(0, "certificate entries overrun the table");
            return Status::kMalformed;
        }
        position += rounded;
        remaining -= rounded;
        ++entries;
    }
    return Status::kFound;
}

}  // namespace

uint32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t ReadLe16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

void WriteLe32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

const TrailerError& LastTrailerError() {
    return g_last_error;
}

void RecordTrailerError(const char* file, int line, uint32_t code, const char* text) {
    g_last_error = TrailerError{file, line, code, text};
}

void ClearTrailerError() {
    g_last_error = TrailerError{};
}

Status ReadPeLayout(ByteSource& file, PeLayout& layout) {
    const uint64_t size = file.Size();
    uint8_t dos[kDosHeaderSize];
    if (size < sizeof(dos)) {
        TRAILER_FAIL(0, "file shorter than a DOS header");
        return Status::kMalformed;
    }
    if (!file.ReadAt(0, dos, sizeof(dos))) {
        TRAILER_FAIL(0, "DOS header unreadable");
        return Status::kReadFailed;
    }
    if (dos[0] != 'M' || dos[1] != 'Z') {
        TRAILER_FAIL(0, "not an executable image");
        return Status::kMalformed;
    }
    const uint64_t nt = ReadLe32(dos + kNewHeaderPointerOffset);
    const uint64_t optional = nt + kPeSignatureAndFileHeaderSize;
    uint8_t headers[kPeSignatureAndFileHeaderSize + 2];
    if (optional + 2 > size) {
        TRAILER_FAIL(0, "file shorter than its PE header");
        return Status::kMalformed;
    }
    if (!file.ReadAt(nt, headers, sizeof(headers))) {
        TRAILER_FAIL(0, "PE header unreadable");
        return Status::kReadFailed;
    }
    if (std::memcmp(headers, "PE\0\0", 4) != 0) {
        TRAILER_FAIL(0, "no PE signature");
        return Status::kMalformed;
    }
    const uint32_t section_count = ReadLe16(headers + 4 + 2);
    const uint32_t optional_size = ReadLe16(headers + 4 + 16);
    const uint16_t magic = ReadLe16(headers + kPeSignatureAndFileHeaderSize);
    uint32_t directory_offset = 0;
    if (magic == kPe32Magic) {
        directory_offset = kPe32DirectoryOffset;
    } else if (magic == kPe32PlusMagic) {
        directory_offset = kPe32PlusDirectoryOffset;
    } else {
        TRAILER_FAIL(0, "unknown optional header");
        return Status::kMalformed;
    }
    const uint32_t security_entry = directory_offset + kSecurityDirectoryIndex * kDirectoryEntrySize;
    if (optional_size < security_entry + kDirectoryEntrySize) {
        TRAILER_FAIL(0, "optional header without a certificate-table entry");
        return Status::kMalformed;
    }
    layout.headers_end = optional + optional_size + uint64_t{section_count} * kSectionHeaderSize;
    if (layout.headers_end > size) {
        TRAILER_FAIL(0, "file shorter than its headers");
        return Status::kMalformed;
    }
    uint8_t directory_count[4];
    uint8_t entry[kDirectoryEntrySize];
    if (!file.ReadAt(optional + directory_offset - 4, directory_count, sizeof(directory_count)) ||
        !file.ReadAt(optional + security_entry, entry, sizeof(entry))) {
        TRAILER_FAIL(0, "data directory unreadable");
        return Status::kReadFailed;
    }
    if (ReadLe32(directory_count) <= kSecurityDirectoryIndex) {
        TRAILER_FAIL(0, "data directory without a certificate-table entry");
        return Status::kMalformed;
    }
    layout.checksum_offset = optional + kChecksumOffsetInOptionalHeader;
    layout.security_entry_offset = optional + security_entry;
    layout.certificate_table_offset = 0;
    layout.certificate_table_size = ReadLe32(entry + 4);
    if (layout.certificate_table_size == 0)
        return Status::kFound;

    layout.certificate_table_offset = ReadLe32(entry);
    // The certificate table is the last thing in a file: the trailer's position is
    // counted from the end, so a table anywhere else would misplace it.
    if (layout.certificate_table_offset + layout.certificate_table_size != size) {
        TRAILER_FAIL(0, "certificate table does not end the file");
        return Status::kMalformed;
    }
    return WalkCertificateTable(file, layout.certificate_table_offset, layout.certificate_table_size);
}

bool TrailerPosition(const PeLayout& layout, uint64_t file_size, uint64_t& position) {
    const uint64_t reserved = uint64_t{layout.certificate_table_size} + kTrailerSize;
    if (file_size < reserved || file_size - reserved < layout.headers_end)
        return false;
    position = file_size - reserved;
    return true;
}

Status LocateTrailer(ByteSource& file, TrailerLocation& location) {
    const Status status = ReadPeLayout(file, location.layout);
    if (status != Status::kFound)
        return status;
    if (!TrailerPosition(location.layout, file.Size(), location.position))
        return Status::kAbsent;
    if (!file.ReadAt(location.position, location.bytes, kTrailerSize)) {
        TRAILER_FAIL(0, "trailer unreadable");
        return Status::kReadFailed;
    }
    const uint8_t* bytes = location.bytes;
    if (std::memcmp(bytes, kMagic, 4) != 0 || std::memcmp(bytes + kEndMagicOffset, kEndMagic, 4) != 0 ||
        ReadLe32(bytes + kVersionOffset) != kVersion) {
        return Status::kAbsent;
    }
    return Status::kFound;
}

bool HashSignedBytes(ByteSource& file, const PeLayout& layout, uint64_t position, HashSink& sink) {
    struct Range {
        uint64_t begin;
        uint64_t length;
    };
    const Range zeroed[] = {
        {layout.checksum_offset, 4},
        {layout.security_entry_offset, kDirectoryEntrySize},
        {position + kSignatureOffset, kSignatureSize},
    };
    const uint64_t end = position + kTrailerSize;
    if (end > file.Size()) {
        TRAILER_FAIL(0, "trailer beyond the end of the file");
        return false;
    }
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kHashChunkSize]);
    if (!chunk) {
        TRAILER_FAIL(0, "out of memory");
        return false;
    }
    for (uint64_t offset = 0; offset < end;) {
        const size_t length = static_cast<size_t>(std::min<uint64_t>(kHashChunkSize, end - offset));
        if (!file.ReadAt(offset, chunk.get(), length)) {
            TRAILER_FAIL(0, "short read while hashing");
            return false;
        }
        for (const Range& range : zeroed) {
            const uint64_t begin = std::max(range.begin, offset);
            const uint64_t stop = std::min(range.begin + range.length, offset + length);
            if (begin < stop)
                std::memset(chunk.get() + (begin - offset), 0, static_cast<size_t>(stop - begin));
        }
        if (!sink.Update(chunk.get(), length)) {
            TRAILER_FAIL(0, "hash update failed");
            return false;
        }
        offset += length;
    }
    return true;
}

bool BuildSignatureBlock(const uint8_t (&digest)[kDigestSize], const uint8_t* header, size_t header_size,
                         uint8_t* block, size_t block_size) {
    const size_t message_size = header_size + kDigestSize;
    // 00 01, at least eight FF, 00, message.
    if (block_size < message_size + 11)
        return false;
    block[0] = 0x00;
    block[1] = 0x01;
    const size_t separator = block_size - message_size - 1;
    std::memset(block + 2, 0xFF, separator - 2);
    block[separator] = 0x00;
    std::memcpy(block + separator + 1, header, header_size);
    std::memcpy(block + separator + 1 + header_size, digest, kDigestSize);
    return true;
}

uint32_t BitLength(const uint8_t* big_endian, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (big_endian[i]) {
            uint32_t bits = 8;
            for (uint8_t top = 0x80; !(big_endian[i] & top); top >>= 1)
                --bits;
            return static_cast<uint32_t>((size - i - 1) * 8 + bits);
        }
    }
    return 0;
}

}  // namespace vexa::trailer
