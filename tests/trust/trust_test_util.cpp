#include "trust/trust_test_util.h"

#include "journal/journal.h"
#include "support/test_support.h"

namespace vexa::test {

std::wstring StandinFile(const std::wstring& folder, const std::wstring& file) {
    return StandinFolder() + L"\\" + folder + L"\\" + file;
}

uint32_t Le32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + i));
    return value;
}

void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<char>(value >> (8 * i));
}

PeFacts ReadPeFacts(const std::string& bytes) {
    const size_t nt = Le32(bytes, 0x3C);
    const size_t optional = nt + 24;
    const uint32_t sections = Le32(bytes, nt + 4) >> 16;
    const uint32_t optional_size = Le32(bytes, nt + 20) & 0xFFFF;
    const bool pe32 = (Le32(bytes, optional) & 0xFFFF) == 0x10B;
    PeFacts facts;
    facts.checksum = optional + 64;
    facts.security_entry = optional + (pe32 ? 96 : 112) + 4 * 8;
    facts.headers_end = optional + optional_size + sections * 40;
    return facts;
}

void AppendCertificateTable(std::string& bytes, const std::vector<uint32_t>& entry_lengths) {
    bytes.resize((bytes.size() + 7) & ~size_t{7}, '\0');
    const size_t offset = bytes.size();
    for (uint32_t length : entry_lengths) {
        const size_t entry = bytes.size();
        bytes.resize(entry + ((length + 7) & ~uint32_t{7}), '\x5A');
        if (bytes.size() >= entry + 8) {
            PutLe32(bytes, entry, length);
            PutLe32(bytes, entry + 4, 0x00020200);
        }
    }
    const PeFacts facts = ReadPeFacts(bytes);
    PutLe32(bytes, facts.security_entry, static_cast<uint32_t>(offset));
    PutLe32(bytes, facts.security_entry + 4, static_cast<uint32_t>(bytes.size() - offset));
}

size_t CountJournal(const std::wstring& prefix) {
    size_t count = 0;
    for (const std::wstring& line : standin::ReadJournal()) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            ++count;
    }
    return count;
}

}  // namespace vexa::test
