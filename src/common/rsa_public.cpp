#include "common/rsa_public.h"

#include <cstring>

namespace vexa {
namespace {

constexpr size_t kMaxLimbs = 256;  // 8192 bits
using Limb = uint32_t;
using Wide = uint64_t;

struct Number {
    Limb limb[kMaxLimbs + 2] = {};  // least significant first, two spare limbs for products
};

void FromBigEndian(const uint8_t* bytes, size_t count, Number& out) {
    std::memset(out.limb, 0, sizeof(out.limb));
    for (size_t i = 0; i < count * 4; ++i) {
        const size_t from_end = count * 4 - 1 - i;
        out.limb[from_end / 4] |= static_cast<Limb>(bytes[i]) << (8 * (from_end % 4));
    }
}

void ToBigEndian(const Number& number, size_t count, uint8_t* bytes) {
    for (size_t i = 0; i < count * 4; ++i) {
        const size_t from_end = count * 4 - 1 - i;
        bytes[i] = static_cast<uint8_t>(number.limb[from_end / 4] >> (8 * (from_end % 4)));
    }
}

// a < b over |count| limbs, with |a_top| an extra limb above a.
bool Less(const Limb* a, Limb a_top, const Limb* b, size_t count) {
    if (a_top)
        return false;
    for (size_t i = count; i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    return false;
}

void SubtractInPlace(Limb* a, const Limb* b, size_t count) {
    Limb borrow = 0;
    for (size_t i = 0; i < count; ++i) {
        const Wide difference = static_cast<Wide>(a[i]) - b[i] - borrow;
        a[i] = static_cast<Limb>(difference);
        borrow = static_cast<Limb>((difference >> 32) & 1);
    }
}

class Montgomery {
public:
    Montgomery(const Number& modulus, size_t count) : n_(modulus), count_(count) {
        // -n^-1 mod 2^32 by Newton's iteration; each step doubles the correct bits.
        Limb inverse = n_.limb[0];
        for (int i = 0; i < 5; ++i)
            inverse *= 2 - n_.limb[0] * inverse;
        n_prime_ = static_cast<Limb>(0 - inverse);
        // R^2 mod n, R = 2^(32 * count), by doubling 1 modulo n.
        Number value;
        value.limb[0] = 1;
        for (size_t i = 0; i < 2 * 32 * count_; ++i) {
            Limb carry = 0;
            for (size_t j = 0; j < count_; ++j) {
                const Limb next = value.limb[j] >> 31;
                value.limb[j] = (value.limb[j] << 1) | carry;
                carry = next;
            }
            if (!Less(value.limb, carry, n_.limb, count_))
                SubtractInPlace(value.limb, n_.limb, count_);
        }
        r_squared_ = value;
    }

    // out = a * b / R mod n (CIOS).
    void Multiply(const Number& a, const Number& b, Number& out) const {
        Limb t[kMaxLimbs + 2] = {};
        for (size_t i = 0; i < count_; ++i) {
            Wide carry = 0;
            for (size_t j = 0; j < count_; ++j) {
                const Wide sum = static_cast<Wide>(t[j]) + static_cast<Wide>(a.limb[j]) * b.limb[i] + carry;
                t[j] = static_cast<Limb>(sum);
                carry = sum >> 32;
            }
            Wide sum = static_cast<Wide>(t[count_]) + carry;
            t[count_] = static_cast<Limb>(sum);
            t[count_ + 1] = static_cast<Limb>(sum >> 32);

            const Limb m = t[0] * n_prime_;
            sum = static_cast<Wide>(t[0]) + static_cast<Wide>(m) * n_.limb[0];
            carry = sum >> 32;
            for (size_t j = 1; j < count_; ++j) {
                sum = static_cast<Wide>(t[j]) + static_cast<Wide>(m) * n_.limb[j] + carry;
                t[j - 1] = static_cast<Limb>(sum);
                carry = sum >> 32;
            }
            sum = static_cast<Wide>(t[count_]) + carry;
            t[count_ - 1] = static_cast<Limb>(sum);
            t[count_] = t[count_ + 1] + static_cast<Limb>(sum >> 32);
        }
        if (!Less(t, t[count_], n_.limb, count_))
            SubtractInPlace(t, n_.limb, count_ + 1);
        std::memset(out.limb, 0, sizeof(out.limb));
        std::memcpy(out.limb, t, count_ * sizeof(Limb));
    }

    void Power(const Number& base, uint32_t exponent, Number& out) const {
        Number base_m;
        Multiply(base, r_squared_, base_m);
        Number accumulator = base_m;
        int bit = 31;
        while (!(exponent >> bit & 1))
            --bit;
        for (--bit; bit >= 0; --bit) {
            Multiply(accumulator, accumulator, accumulator);
            if (exponent >> bit & 1)
                Multiply(accumulator, base_m, accumulator);
        }
        Number one;
        one.limb[0] = 1;
        Multiply(accumulator, one, out);
    }

private:
    Number n_;
    size_t count_;
    Limb n_prime_ = 0;
    Number r_squared_;
};

}  // namespace

bool RsaPublicOperation(const uint8_t* modulus, size_t size, uint32_t exponent, const uint8_t* input,
                        uint8_t* output) {
    if (size == 0 || size % 4 != 0 || size / 4 > kMaxLimbs || exponent == 0 || !(modulus[size - 1] & 1))
        return false;
    const size_t count = size / 4;
    Number n;
    Number x;
    FromBigEndian(modulus, count, n);
    FromBigEndian(input, count, x);
    if (!Less(x.limb, 0, n.limb, count))
        return false;
    const Montgomery montgomery(n, count);
    Number result;
    montgomery.Power(x, exponent, result);
    ToBigEndian(result, count, output);
    return true;
}

}  // namespace vexa
