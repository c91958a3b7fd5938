#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/rsa_public.h"

namespace vexa {
namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct PowerCase {
    const char* modulus;
    const char* input;
    uint32_t exponent;
    const char* expected;
};

// Expected values computed independently with arbitrary-precision arithmetic.
const PowerCase kPowerCases[] = {
    {"00000CA1", "00000041", 17, "00000AE6"},
    {"00000CA1", "00000000", 65537, "00000000"},
    {"00000CA1", "00000001", 65537, "00000001"},
    {"F2A74DE452E6B439", "6513270E269E0D37", 65537, "20E76823C0DBA6D9"},
    {"F2A74DE452E6B439", "F2A74DE452E6B438", 65537, "F2A74DE452E6B438"},
    {"EB0D549B6F03675A1600A35A099950D836F675CC81E74EF5E8E25D940ED904759531985D5D9DC9F81818E811892F902BD23F0824128B2F"
     "330C5C7FD0A6A3A451",
     "0FD630F1F29D0DA9953F48F1A09F76B5A170B33839263059F28C105D1FB17C2390C192CFD3AC94AF0F21DDB66CAD4A268D116ECE1738F7D"
     "93D9C172411E20B8F",
     65537,
     "D62F443EA44703EACEC8FAC4D755017F4F4A0B8EBF609D97CD9103C0A3E2296415F001A66E6BAF4F68AEDC6B166A966977A455329C25E1F"
     "85B13CE083E86F1F3"},
};

TEST(RsaPublicOperation, MatchesIndependentlyComputedPowers) {
    for (const PowerCase& c : kPowerCases) {
        const std::vector<uint8_t> modulus = FromHex(c.modulus);
        const std::vector<uint8_t> input = FromHex(c.input);
        std::vector<uint8_t> output(modulus.size());
        ASSERT_TRUE(RsaPublicOperation(modulus.data(), modulus.size(), c.exponent, input.data(), output.data()))
            << c.modulus;
        EXPECT_EQ(output, FromHex(c.expected)) << c.modulus << " ^ " << c.exponent;
    }
}

TEST(RsaPublicOperation, RefusesWhatIsNotAnRsaOperation) {
    const std::vector<uint8_t> modulus = FromHex("F2A74DE452E6B439");
    const std::vector<uint8_t> even = FromHex("F2A74DE452E6B438");
    std::vector<uint8_t> output(modulus.size());
    // The input must be below the modulus.
    EXPECT_FALSE(RsaPublicOperation(modulus.data(), modulus.size(), 65537, modulus.data(), output.data()));
    EXPECT_FALSE(RsaPublicOperation(modulus.data(), modulus.size(), 65537, FromHex("FFFFFFFFFFFFFFFF").data(),
                                    output.data()));
    EXPECT_FALSE(RsaPublicOperation(even.data(), even.size(), 65537, FromHex("0000000000000002").data(), output.data()));
    EXPECT_FALSE(RsaPublicOperation(modulus.data(), modulus.size(), 0, FromHex("0000000000000002").data(), output.data()));
    EXPECT_FALSE(RsaPublicOperation(modulus.data(), 6, 65537, FromHex("000000000002").data(), output.data()));
}

}  // namespace
}  // namespace vexa
