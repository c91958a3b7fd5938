// vexa-sign-trailer: puts the suite's signed trailer on a PE file, in front of its
// certificate table (or at its end when it has none), and moves the certificate-table
// entry so that the file stays a valid PE. A file that already carries a trailer is
// signed afresh. Runs on the build machine.
//
//   vexa-sign-trailer sign --key <private key PEM> [--name <file name>]
//                          [--standard-sha256-header] <file>
//   vexa-sign-trailer append-certificate <file>
//
// --standard-sha256-header writes the usual SHA-256 digest header instead of the one the
// suite uses; it exists only to make files that the verifier must refuse.
// append-certificate adds a placeholder certificate-table entry, as a code-signing tool
// leaves one, for tests of files that have a table.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/rsa_public.h"
#include "common/signed_trailer.h"

namespace {

using namespace vexa::trailer;
using Bytes = std::vector<uint8_t>;
static_assert(kTrailerSize % 8 == 0, "the trailer keeps a certificate table behind it aligned");

class VectorSource : public ByteSource {
public:
    explicit VectorSource(const Bytes& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t length) override {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            return false;
        std::memcpy(buffer, bytes_.data() + offset, length);
        return true;
    }

private:
    const Bytes& bytes_;
};

class OpenSslSha256 : public HashSink {
public:
    OpenSslSha256() : context_(EVP_MD_CTX_new()) { ok_ = context_ && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr); }
    ~OpenSslSha256() override { EVP_MD_CTX_free(context_); }
    bool Update(const uint8_t* bytes, size_t length) override {
        return ok_ && EVP_DigestUpdate(context_, bytes, length) == 1;
    }
    bool Finish(uint8_t (&digest)[kDigestSize]) {
        unsigned int length = 0;
        return ok_ && EVP_DigestFinal_ex(context_, digest, &length) == 1 && length == kDigestSize;
    }

private:
    EVP_MD_CTX* context_;
    bool ok_ = false;
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "vexa-sign-trailer: %s\n", what.c_str());
    const char* detail = LastTrailerError().text;
    if (detail)
        std::fprintf(stderr, "vexa-sign-trailer: %s\n", detail);
    unsigned long error = 0;
    while ((error = ERR_get_error()) != 0) {
        char text[256];
        ERR_error_string_n(error, text, sizeof(text));
        std::fprintf(stderr, "vexa-sign-trailer: %s\n", text);
    }
    std::exit(1);
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Written beside the file and renamed over it, so a failed run never leaves half a file.
void WriteWholeFile(const std::string& path, const Bytes& bytes) {
    const std::string temporary = path + ".signing";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            Fail("cannot write " + temporary);
    }
    struct stat original {};
    if (stat(path.c_str(), &original) == 0)
        chmod(temporary.c_str(), original.st_mode & 07777);
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        Fail("cannot replace " + path + ": " + std::strerror(errno));
}

PeLayout ReadLayout(const Bytes& file, const std::string& path) {
    VectorSource source(file);
    PeLayout layout;
    if (ReadPeLayout(source, layout) != Status::kFound)
        Fail(path + " is not a PE file whose certificate table can be kept");
    return layout;
}

void SetSecurityEntry(Bytes& file, const PeLayout& layout, uint32_t offset, uint32_t size) {
    WriteLe32(file.data() + layout.security_entry_offset, offset);
    WriteLe32(file.data() + layout.security_entry_offset + 4, size);
}

// The PE image checksum: 16-bit one's-complement-style sum with the checksum field
// counted as zero, plus the file length.
uint32_t PeChecksum(const Bytes& file, uint64_t checksum_offset) {
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        if (i >= checksum_offset && i < checksum_offset + 4)
            continue;
        uint32_t word = file[i];
        if (i + 1 < file.size())
            word |= static_cast<uint32_t>(file[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size());
}

// Takes an earlier trailer out, so that signing twice gives one trailer.
void RemoveOldTrailer(Bytes& file, const std::string& path) {
    VectorSource source(file);
    TrailerLocation old;
    if (LocateTrailer(source, old) != Status::kFound)
        return;
    file.erase(file.begin() + static_cast<std::ptrdiff_t>(old.position),
               file.begin() + static_cast<std::ptrdiff_t>(old.position + kTrailerSize));
    if (old.layout.certificate_table_size != 0) {
        SetSecurityEntry(file, old.layout, static_cast<uint32_t>(old.layout.certificate_table_offset - kTrailerSize),
                         old.layout.certificate_table_size);
    }
    ReadLayout(file, path);
}

EVP_PKEY* LoadKey(const std::string& key_path) {
    FILE* in = std::fopen(key_path.c_str(), "r");
    if (!in)
        Fail("cannot open key " + key_path);
    EVP_PKEY* key = PEM_read_PrivateKey(in, nullptr, nullptr, nullptr);
    std::fclose(in);
    if (!key || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA || EVP_PKEY_get_bits(key) != 4096)
        Fail(key_path + " is not a 4096-bit RSA private key");
    BIGNUM* exponent = nullptr;
    if (!EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_E, &exponent) || !BN_is_word(exponent, kPublicExponent))
        Fail(key_path + " does not have the public exponent 65537");
    BN_free(exponent);
    return key;
}

void Modulus(EVP_PKEY* key, uint8_t (&modulus)[kSignatureSize]) {
    BIGNUM* n = nullptr;
    if (!EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n) || BN_bn2binpad(n, modulus, kSignatureSize) < 0)
        Fail("cannot read the key's modulus");
    BN_free(n);
}

// The raw private-key operation on the whole block, which the signer builds itself.
void RawSign(EVP_PKEY* key, const uint8_t (&block)[kSignatureSize], uint8_t (&signature)[kSignatureSize]) {
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(EVP_PKEY_CTX_new(key, nullptr),
                                                                        EVP_PKEY_CTX_free);
    size_t length = kSignatureSize;
    if (!context || EVP_PKEY_decrypt_init(context.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_NO_PADDING) != 1 ||
        EVP_PKEY_decrypt(context.get(), signature, &length, block, kSignatureSize) != 1 || length != kSignatureSize) {
        Fail("the private-key operation failed");
    }
}

void FillTrailerFrame(uint8_t* trailer, const std::string& name) {
    std::memset(trailer, 0, kTrailerSize);
    std::memcpy(trailer, kMagic, 4);
    // UTF-16: the suite's file names are plain ASCII; one character is kept for the null.
    if (name.size() >= kFileNameSize / 2)
        Fail("file name too long for the trailer: " + name);
    for (size_t i = 0; i < name.size(); ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            Fail("file name is not ASCII: " + name);
        trailer[kFileNameOffset + 2 * i] = static_cast<uint8_t>(name[i]);
    }
    WriteLe32(trailer + kVersionOffset, kVersion);
    // SOURCE_DATE_EPOCH keeps builds reproducible where it is set.
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    const long long now = epoch ? std::atoll(epoch) : static_cast<long long>(std::time(nullptr));
    WriteLe32(trailer + kTimeOffset, static_cast<uint32_t>(now));
    std::memcpy(trailer + kEndMagicOffset, kEndMagic, 4);
}

int Sign(const std::string& path, const std::string& key_path, std::string name, bool standard_header) {
    EVP_PKEY* key = LoadKey(key_path);
    Bytes file = ReadWholeFile(path);
    ReadLayout(file, path);
    RemoveOldTrailer(file, path);
    const PeLayout layout = ReadLayout(file, path);
    if (name.empty())
        name = path.substr(path.find_last_of("/\\") + 1);

    // Without a certificate table the trailer goes on an 8-byte boundary, so that it ends
    // where a code-signing tool will later put the table, without padding between.
    if (layout.certificate_table_size == 0)
        file.resize((file.size() + 7) & ~size_t{7}, 0);
    const uint64_t position = file.size() - layout.certificate_table_size;
    if (position < layout.headers_end)
        Fail(path + " has no room for a trailer after its headers");
    uint8_t trailer[kTrailerSize];
    FillTrailerFrame(trailer, name);
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(position), trailer, trailer + kTrailerSize);
    if (layout.certificate_table_size != 0) {
        if (layout.certificate_table_offset + kTrailerSize > UINT32_MAX)
            Fail(path + " is too large for a certificate table behind the trailer");
        SetSecurityEntry(file, layout, static_cast<uint32_t>(layout.certificate_table_offset + kTrailerSize),
                         layout.certificate_table_size);
    }

    VectorSource source(file);
    TrailerLocation location;
    if (LocateTrailer(source, location) != Status::kFound || location.position != position)
        Fail("the trailer is not where the verifier looks for it");
    OpenSslSha256 sha;
    uint8_t digest[kDigestSize];
    if (!HashSignedBytes(source, location.layout, position, sha) || !sha.Finish(digest))
        Fail("hashing failed");

    uint8_t block[kSignatureSize];
    const uint8_t* header = standard_header ? kStandardSha256DigestHeader : kDigestHeader;
    const size_t header_size = standard_header ? sizeof(kStandardSha256DigestHeader) : kDigestHeaderSize;
    if (!BuildSignatureBlock(digest, header, header_size, block, sizeof(block)))
        Fail("cannot build the signature block");
    uint8_t signature[kSignatureSize];
    RawSign(key, block, signature);

    // The signature must come back through the same public operation the program uses.
    uint8_t modulus[kSignatureSize];
    Modulus(key, modulus);
    uint8_t check[kSignatureSize];
    if (!vexa::RsaPublicOperation(modulus, sizeof(modulus), kPublicExponent, signature, check) ||
        std::memcmp(check, block, sizeof(block)) != 0) {
        Fail("the signature does not verify with the key's public half");
    }
    EVP_PKEY_free(key);
    std::memcpy(file.data() + position + kSignatureOffset, signature, sizeof(signature));

    // A file that carried a checksum keeps a correct one; the checksum is not signed.
    if (ReadLe32(file.data() + layout.checksum_offset) != 0)
        WriteLe32(file.data() + layout.checksum_offset, PeChecksum(file, layout.checksum_offset));
    WriteWholeFile(path, file);
    return 0;
}

int AppendCertificate(const std::string& path) {
    Bytes file = ReadWholeFile(path);
    const PeLayout layout = ReadLayout(file, path);
    if (layout.certificate_table_size != 0)
        Fail(path + " already has a certificate table");
    // The table starts on an 8-byte boundary; one entry: length, revision 2.0, type
    // PKCS #7, and a placeholder payload.
    file.resize((file.size() + 7) & ~size_t{7}, 0);
    const uint32_t offset = static_cast<uint32_t>(file.size());
    const uint32_t length = 8 + 37;
    const uint32_t rounded = (length + 7) & ~uint32_t{7};
    file.resize(file.size() + rounded, 0);
    WriteLe32(file.data() + offset, length);
    file[offset + 4] = 0x00;
    file[offset + 5] = 0x02;
    file[offset + 6] = 0x02;
    file[offset + 7] = 0x00;
    std::memset(file.data() + offset + 8, 0xA5, length - 8);
    SetSecurityEntry(file, layout, offset, rounded);
    ReadLayout(file, path);
    WriteWholeFile(path, file);
    return 0;
}

[[noreturn]] void Usage() {
    Fail("usage: vexa-sign-trailer sign --key <pem> [--name <file name>] [--standard-sha256-header] <file>\n"
         "       vexa-sign-trailer append-certificate <file>");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        Usage();
    const std::string command = argv[1];
    if (command == "append-certificate" && argc == 3)
        return AppendCertificate(argv[2]);
    if (command != "sign")
        Usage();
    std::string key;
    std::string name;
    std::string file;
    bool standard_header = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--key" && i + 1 < argc) {
            key = argv[++i];
        } else if (argument == "--name" && i + 1 < argc) {
            name = argv[++i];
        } else if (argument == "--standard-sha256-header") {
            standard_header = true;
        } else if (file.empty() && argument.rfind("--", 0) != 0) {
            file = argument;
        } else {
            Usage();
        }
    }
    if (key.empty() || file.empty())
        Usage();
    return Sign(file, key, name, standard_header);
}
