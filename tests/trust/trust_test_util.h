// Helpers of the trust tests: where the stand-in shapes are, PE facts read the simple
// way (independently of the code under test), byte patching and journal counting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

// A built stand-in: <StandinFolder>\<folder>\<file>.
std::wstring StandinFile(const std::wstring& folder, const std::wstring& file = L"Vexabase.dll");

struct PeFacts {
    size_t checksum = 0;
    size_t security_entry = 0;
    size_t headers_end = 0;
};
PeFacts ReadPeFacts(const std::string& bytes);

uint32_t Le32(const std::string& bytes, size_t offset);
void PutLe32(std::string& bytes, size_t offset, uint32_t value);

// Appends a certificate table with entries of these lengths (each padded to 8) and
// points the data directory at it.
void AppendCertificateTable(std::string& bytes, const std::vector<uint32_t>& entry_lengths);

// Journal lines that start with |prefix|.
size_t CountJournal(const std::wstring& prefix);

}  // namespace vexa::test
