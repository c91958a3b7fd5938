#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/signed_trailer.h"
#include "common/trailer_verifier.h"
#include "support/test_support.h"
#include "trust/trust_test_util.h"

namespace vexa {
namespace {

using test::AppendCertificateTable;
using test::Le32;
using test::PutLe32;
using test::ReadPeFacts;
using test::StandinFile;
using trailer::kTrailerSize;

constexpr size_t kSignature = trailer::kSignatureOffset;

class SignedTrailerTest : public testing::Test {
protected:
    TrailerVerdict VerifyBytes(const std::string& bytes) {
        const std::wstring path = dir_ / test::UniqueName(L"file") + L".dll";
        EXPECT_TRUE(test::WriteFileBytes(path, bytes));
        return VerifySignedTrailerFile(path);
    }
    static std::string Signed() { return test::ReadFileBytes(StandinFile(L"base")); }

    test::ScopedTempDir dir_{L"trailer"};
};

#define EXPECT_VERDICT(expected, actual) \
    EXPECT_STREQ(TrailerVerdictName(expected), TrailerVerdictName(actual))

TEST_F(SignedTrailerTest, SignedStandinsAreValid) {
    const struct {
        const wchar_t* folder;
        const wchar_t* file;
    } kSigned[] = {{L"base", L"Vexabase.dll"},      {L"base-initfail", L"Vexabase.dll"},
                   {L"base-object", L"Vexabase.dll"}, {L"base-certtable", L"Vexabase.dll"},
                   {L"probe", L"Vexaprobe.dll"},     {L"probe", L"Vexaprobe.exe"}};
    for (const auto& file : kSigned) {
        EXPECT_VERDICT(TrailerVerdict::kValid, VerifySignedTrailerFile(StandinFile(file.folder, file.file)))
            << file.folder << L"\\" << file.file;
    }
    EXPECT_VERDICT(TrailerVerdict::kAbsent, VerifySignedTrailerFile(StandinFile(L"base-unsigned")));
    EXPECT_VERDICT(TrailerVerdict::kAbsent, VerifySignedTrailerFile(StandinFile(L"probe-unsigned", L"Vexaprobe.dll")));
}

TEST_F(SignedTrailerTest, WithoutCertificateTableTheTrailerEndsTheFile) {
    const std::string bytes = Signed();
    ASSERT_EQ(Le32(bytes, ReadPeFacts(bytes).security_entry + 4), 0u);
    const std::string trailer = bytes.substr(bytes.size() - kTrailerSize);
    EXPECT_EQ(trailer.substr(0, 4), "olWc");
    EXPECT_EQ(trailer.substr(660, 4), "=82b");
    EXPECT_EQ(Le32(trailer, 132), 1u);
    const std::string name = trailer.substr(4, 24);
    EXPECT_EQ(name, std::string("V\0e\0x\0a\0b\0a\0s\0e\0.\0d\0l\0l\0", 24));
}

TEST_F(SignedTrailerTest, SignerPutsTheTrailerInFrontOfTheCertificateTable) {
    const std::string bytes = test::ReadFileBytes(StandinFile(L"base-certtable"));
    const size_t entry = ReadPeFacts(bytes).security_entry;
    const size_t table = Le32(bytes, entry);
    const size_t table_size = Le32(bytes, entry + 4);
    ASSERT_GT(table_size, 0u);
    EXPECT_EQ(table + table_size, bytes.size());
    EXPECT_EQ(bytes.substr(table - kTrailerSize, 4), "olWc");
    EXPECT_EQ(bytes.substr(table - 4, 4), "=82b");
}

TEST_F(SignedTrailerTest, ChecksumAndCertificateTableAreOutsideTheSignature) {
    const std::string original = Signed();
    const test::PeFacts facts = ReadPeFacts(original);
    const struct {
        const char* change;
        std::function<void(std::string&)> apply;
    } kChanges[] = {
        {"checksum", [&](std::string& b) { PutLe32(b, facts.checksum, Le32(b, facts.checksum) ^ 0x5A5A1234); }},
        {"certificate table added", [&](std::string& b) { AppendCertificateTable(b, {1500}); }},
        {"certificate table added and changed",
         [&](std::string& b) {
             AppendCertificateTable(b, {40, 64});
             b[b.size() - 3] ^= 0x11;
             b[Le32(b, facts.security_entry) + 12] ^= 0x22;
         }},
        {"256 certificate entries",
         [&](std::string& b) { AppendCertificateTable(b, std::vector<uint32_t>(256, 12)); }},
    };
    for (const auto& change : kChanges) {
        std::string bytes = original;
        change.apply(bytes);
        EXPECT_VERDICT(TrailerVerdict::kValid, VerifyBytes(bytes)) << change.change;
    }
    std::string table_changed = test::ReadFileBytes(StandinFile(L"base-certtable"));
    table_changed[table_changed.size() - 9] ^= 0x40;
    EXPECT_VERDICT(TrailerVerdict::kValid, VerifyBytes(table_changed)) << "signed certificate table changed";
}

TEST_F(SignedTrailerTest, AnyOtherSignedByteChangedMakesItInvalid) {
    const std::string original = Signed();
    const test::PeFacts facts = ReadPeFacts(original);
    const size_t t = original.size() - kTrailerSize;
    const struct {
        const char* where;
        size_t offset;
    } kBytes[] = {
        {"DOS header", 2},
        {"DOS stub", 0x40},
        {"byte before the checksum", facts.checksum - 1},
        {"byte after the checksum", facts.checksum + 4},
        {"byte before the certificate entry", facts.security_entry - 1},
        {"byte after the certificate entry", facts.security_entry + 8},
        {"section table end", facts.headers_end - 1},
        {"middle of the image", original.size() / 2},
        {"byte before the trailer", t - 1},
        {"trailer file name", t + 4},
        {"trailer signing time", t + 136},
        {"trailer reserved", t + 140},
        {"first signature byte", t + kSignature},
        {"last signature byte", t + kSignature + 511},
        {"trailer reserved at 656", t + 656},
    };
    for (const auto& byte : kBytes) {
        std::string bytes = original;
        bytes[byte.offset] ^= 0x01;
        EXPECT_VERDICT(TrailerVerdict::kInvalid, VerifyBytes(bytes)) << byte.where;
    }
}

TEST_F(SignedTrailerTest, UnknownVersionOrDamagedFrameIsAbsent) {
    const std::string original = Signed();
    const size_t t = original.size() - kTrailerSize;
    const struct {
        const char* change;
        size_t offset;
        uint32_t value;
    } kFrames[] = {{"version 2", t + 132, 2}, {"end magic", t + 660, 0x62323800}, {"magic", t, 0x6357306F}};
    for (const auto& frame : kFrames) {
        std::string bytes = original;
        PutLe32(bytes, frame.offset, frame.value);
        EXPECT_VERDICT(TrailerVerdict::kAbsent, VerifyBytes(bytes)) << frame.change;
    }
}

TEST_F(SignedTrailerTest, StandardSha256DigestHeaderIsInvalid) {
    EXPECT_VERDICT(TrailerVerdict::kInvalid, VerifySignedTrailerFile(StandinFile(L"base-sha256")));
}

TEST_F(SignedTrailerTest, MalformedFilesEndWithoutVerdict) {
    const std::string original = Signed();
    const test::PeFacts facts = ReadPeFacts(original);
    const size_t entry = facts.security_entry;
    const struct {
        const char* file;
        std::function<void(std::string&)> make;
    } kMalformed[] = {
        {"zero-length file", [](std::string& b) { b.clear(); }},
        {"shorter than its headers", [&](std::string& b) { b.resize(facts.headers_end - 1); }},
        {"cut inside the PE header", [](std::string& b) { b.resize(Le32(b, 0x3C) + 10); }},
        {"PE header pointer past the end", [](std::string& b) { PutLe32(b, 0x3C, 0xFFFFFFF0); }},
        {"section count past the end", [](std::string& b) { b[Le32(b, 0x3C) + 6] = '\xFF'; b[Le32(b, 0x3C) + 7] = '\xFF'; }},
        {"not an executable", [](std::string& b) { b[0] = 'Z'; }},
        {"certificate entry past the end",
         [&](std::string& b) {
             PutLe32(b, entry, static_cast<uint32_t>(b.size() + 64));
             PutLe32(b, entry + 4, 16);
         }},
        {"certificate table size 0xFFFFFFF8",
         [&](std::string& b) {
             AppendCertificateTable(b, {16});
             PutLe32(b, entry + 4, 0xFFFFFFF8);
         }},
        {"certificate table size below its entries",
         [&](std::string& b) {
             AppendCertificateTable(b, {40});
             PutLe32(b, Le32(b, entry), 48);
         }},
        {"certificate entries short of the table size",
         [&](std::string& b) {
             AppendCertificateTable(b, {16, 16});
             PutLe32(b, Le32(b, entry), 8);
         }},
        {"257 certificate entries", [](std::string& b) { AppendCertificateTable(b, std::vector<uint32_t>(257, 8)); }},
        {"certificate entry of length 0",
         [&](std::string& b) {
             AppendCertificateTable(b, {16});
             PutLe32(b, Le32(b, entry), 0);
         }},
        {"certificate table not at the end",
         [&](std::string& b) {
             AppendCertificateTable(b, {16});
             b.append(8, '\0');
         }},
    };
    for (const auto& file : kMalformed) {
        std::string bytes = original;
        file.make(bytes);
        trailer::ClearTrailerError();
        EXPECT_VERDICT(TrailerVerdict::kNoVerdict, VerifyBytes(bytes)) << file.file;
        EXPECT_NE(trailer::LastTrailerError().text, nullptr) << file.file;
    }
    EXPECT_VERDICT(TrailerVerdict::kNoVerdict, VerifySignedTrailerFile(dir_ / L"missing.dll"));
}

// A hand-made image of either header kind, with a certificate table: a trailer frame in
// front of the table must be found (its signature then fails: invalid), and without
// the frame there is none (absent). Proves the data directory is read at the right
// place for 32-bit images in the 64-bit build, and for 64-bit ones in the 32-bit build.
TEST_F(SignedTrailerTest, BothHeaderKindsLocateTheTrailer) {
    for (const uint16_t magic : {uint16_t{0x10B}, uint16_t{0x20B}}) {
        const uint32_t optional_size = magic == 0x10B ? 224 : 240;
        std::string image(0x80 + 24 + optional_size + 40, '\0');
        image[0] = 'M';
        image[1] = 'Z';
        PutLe32(image, 0x3C, 0x80);
        image.replace(0x80, 4, std::string("PE\0\0", 4));
        image[0x80 + 6] = 1;  // one section
        image[0x80 + 20] = static_cast<char>(optional_size & 0xFF);
        image[0x80 + 21] = static_cast<char>(optional_size >> 8);
        image[0x80 + 24] = static_cast<char>(magic & 0xFF);
        image[0x80 + 25] = static_cast<char>(magic >> 8);
        PutLe32(image, 0x80 + 24 + (magic == 0x10B ? 92 : 108), 16);  // directory count
        image.append(4096, '\x90');
        std::string framed = image;
        std::string frame(kTrailerSize, '\0');
        frame.replace(0, 4, "olWc");
        frame.replace(660, 4, "=82b");
        frame[132] = 1;
        framed += frame;
        AppendCertificateTable(image, {24});
        AppendCertificateTable(framed, {24});
        // The frame must sit right in front of the table: no padding between.
        ASSERT_EQ(framed.size() % 8, 0u);
        EXPECT_VERDICT(TrailerVerdict::kInvalid, VerifyBytes(framed)) << "magic " << magic;
        EXPECT_VERDICT(TrailerVerdict::kAbsent, VerifyBytes(image)) << "magic " << magic;
    }
}

}  // namespace
}  // namespace vexa
