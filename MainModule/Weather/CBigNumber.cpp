#include "Weather/CBigNumber.h"

#include <cstring>

namespace {

int Significant(const uint32_t* digits, int count) {
    while (count > 0 && digits[count - 1] == 0) {
        --count;
    }
    return count;
}

int LeadingZeros(uint32_t value) { return value == 0 ? 32 : __builtin_clz(value); }

// Montgomery multiplication in 64-bit limbs for an odd modulus of up to kLimbs limbs: a * b / R mod n
// with R = 2^(64 * limbs), reduced as it is multiplied (no division). Numbers in Montgomery form are
// x * R mod n.
class Montgomery {
public:
    static constexpr int kLimbs = 16;
    using Limbs = uint64_t[kLimbs];

    Montgomery(const uint32_t* modulus, int limbs) : limbs_(limbs) {
        Load(modulus, limbs * 2, modulus_);
        // -n^-1 mod 2^64 by Newton's iteration: each step doubles the bits that are right.
        uint64_t inverse = 1;
        for (int i = 0; i < 6; ++i) {
            inverse *= 2 - modulus_[0] * inverse;
        }
        minusInverse_ = 0 - inverse;
    }

    // Limbs of a number of digitCount 32-bit digits (below the modulus).
    void Load(const uint32_t* digits, int digitCount, Limbs& out) const {
        for (int i = 0; i < kLimbs; ++i) {
            const int low = 2 * i;
            out[i] = (low < digitCount ? digits[low] : 0) |
                     (low + 1 < digitCount ? static_cast<uint64_t>(digits[low + 1]) << 32 : 0);
        }
    }
    void Store(const Limbs& limbs, uint32_t* digits, int digitCount) const {
        for (int i = 0; i < digitCount; ++i) {
            digits[i] = i / 2 < kLimbs ? static_cast<uint32_t>(limbs[i / 2] >> (32 * (i % 2))) : 0;
        }
    }

    // result = a * b / R mod n, for a and b below n (result may be a or b). Each limb of b is
    // multiplied in and reduced in the same pass over the limbs: the carries of the product and of the
    // reduction are two chains that do not wait for each other. t stays below 2n.
    void Multiply(const Limbs& a, const Limbs& b, Limbs& result) const {
        using Wide = unsigned __int128;
        uint64_t t[kLimbs + 1] = {};
        for (int i = 0; i < limbs_; ++i) {
            const uint64_t multiplier = b[i];
            Wide product = static_cast<Wide>(a[0]) * multiplier + t[0];
            uint64_t productCarry = static_cast<uint64_t>(product >> 64);
            const uint64_t lowest = static_cast<uint64_t>(product);
            // Adding m * n clears the lowest limb, which the shift by one limb then drops.
            const uint64_t m = lowest * minusInverse_;
            Wide reduction = static_cast<Wide>(m) * modulus_[0] + lowest;
            uint64_t reductionCarry = static_cast<uint64_t>(reduction >> 64);
            for (int j = 1; j < limbs_; ++j) {
                product = static_cast<Wide>(a[j]) * multiplier + t[j] + productCarry;
                productCarry = static_cast<uint64_t>(product >> 64);
                reduction = static_cast<Wide>(m) * modulus_[j] + static_cast<uint64_t>(product) + reductionCarry;
                reductionCarry = static_cast<uint64_t>(reduction >> 64);
                t[j - 1] = static_cast<uint64_t>(reduction);
            }
            const Wide top = static_cast<Wide>(t[limbs_]) + productCarry + reductionCarry;
            t[limbs_ - 1] = static_cast<uint64_t>(top);
            t[limbs_] = static_cast<uint64_t>(top >> 64);
        }
        // t < 2n: one subtraction at most.
        if (t[limbs_] != 0 || !Below(t, modulus_)) {
            uint64_t borrow = 0;
            for (int j = 0; j < limbs_; ++j) {
                const Wide difference = static_cast<Wide>(t[j]) - modulus_[j] - borrow;
                t[j] = static_cast<uint64_t>(difference);
                borrow = static_cast<uint64_t>(difference >> 64) != 0 ? 1 : 0;
            }
        }
        for (int j = 0; j < kLimbs; ++j) {
            result[j] = j < limbs_ ? t[j] : 0;
        }
    }

private:
    bool Below(const uint64_t* value, const Limbs& bound) const {
        for (int j = limbs_ - 1; j >= 0; --j) {
            if (value[j] != bound[j]) {
                return value[j] < bound[j];
            }
        }
        return false;
    }

    int limbs_;
    Limbs modulus_;
    uint64_t minusInverse_;
};

}  // namespace

CBigNumber::CBigNumber() { Wipe(); }

void CBigNumber::Wipe() {
    volatile uint32_t* p = digits_;
    for (int i = 0; i < kMaxDigits; ++i) {
        p[i] = 0;
    }
}

bool CBigNumber::FromBytes(const uint8_t* bytes, size_t length) {
    Wipe();
    for (size_t i = 0; i < length; ++i) {
        size_t position = length - 1 - i;  // byte weight
        if (bytes[i] == 0) {
            continue;
        }
        if (position / 4 >= static_cast<size_t>(kMaxDigits)) {
            return false;
        }
        digits_[position / 4] |= static_cast<uint32_t>(bytes[i]) << (8 * (position % 4));
    }
    return true;
}

bool CBigNumber::ToBytes(uint8_t* bytes, size_t length) const {
    if (static_cast<size_t>(DigitCount()) * 4 > length + 3) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        size_t position = length - 1 - i;
        bytes[i] = position / 4 < static_cast<size_t>(kMaxDigits)
                       ? static_cast<uint8_t>(digits_[position / 4] >> (8 * (position % 4)))
                       : 0;
    }
    // The highest digit may hold bytes beyond the length.
    for (size_t position = length; position < static_cast<size_t>(kMaxDigits) * 4; ++position) {
        if ((digits_[position / 4] >> (8 * (position % 4))) & 0xFF) {
            return false;
        }
    }
    return true;
}

int CBigNumber::DigitCount() const { return Significant(digits_, kMaxDigits); }

int CBigNumber::Compare(const CBigNumber& other) const {
    for (int i = kMaxDigits - 1; i >= 0; --i) {
        if (digits_[i] != other.digits_[i]) {
            return digits_[i] < other.digits_[i] ? -1 : 1;
        }
    }
    return 0;
}

// Long division (Knuth, algorithm D) keeping only the remainder.
void CBigNumber::Remainder(const uint32_t* number, int count, const CBigNumber& divisor, CBigNumber& remainder) {
    int n = divisor.DigitCount();
    int m = Significant(number, count);
    remainder.Wipe();
    if (m < n) {
        std::memcpy(remainder.digits_, number, m * sizeof(uint32_t));
        return;
    }
    if (n == 1) {
        uint64_t rest = 0;
        for (int i = m - 1; i >= 0; --i) {
            rest = ((rest << 32) | number[i]) % divisor.digits_[0];
        }
        remainder.digits_[0] = static_cast<uint32_t>(rest);
        return;
    }
    int shift = LeadingZeros(divisor.digits_[n - 1]);
    uint32_t v[kMaxDigits];
    uint32_t u[2 * kMaxDigits + 2] = {};
    for (int i = n - 1; i > 0; --i) {
        v[i] = (divisor.digits_[i] << shift) | (shift ? divisor.digits_[i - 1] >> (32 - shift) : 0);
    }
    v[0] = divisor.digits_[0] << shift;
    u[m] = shift ? number[m - 1] >> (32 - shift) : 0;
    for (int i = m - 1; i > 0; --i) {
        u[i] = (number[i] << shift) | (shift ? number[i - 1] >> (32 - shift) : 0);
    }
    u[0] = number[0] << shift;

    for (int j = m - n; j >= 0; --j) {
        uint64_t top = (static_cast<uint64_t>(u[j + n]) << 32) | u[j + n - 1];
        uint64_t qhat = top / v[n - 1];
        uint64_t rhat = top % v[n - 1];
        while (qhat > 0xFFFFFFFFull || qhat * v[n - 2] > ((rhat << 32) | u[j + n - 2])) {
            --qhat;
            rhat += v[n - 1];
            if (rhat > 0xFFFFFFFFull) {
                break;
            }
        }
        // u[j..j+n] -= qhat * v
        int64_t borrow = 0;
        uint64_t carry = 0;
        for (int i = 0; i < n; ++i) {
            uint64_t product = qhat * v[i] + carry;
            carry = product >> 32;
            int64_t t = static_cast<int64_t>(u[i + j]) - borrow - static_cast<int64_t>(product & 0xFFFFFFFFull);
            u[i + j] = static_cast<uint32_t>(t);
            borrow = t < 0 ? 1 : 0;
        }
        int64_t t = static_cast<int64_t>(u[j + n]) - borrow - static_cast<int64_t>(carry);
        u[j + n] = static_cast<uint32_t>(t);
        if (t < 0) {
            // qhat was one too large: add the divisor back.
            uint64_t sum = 0;
            for (int i = 0; i < n; ++i) {
                sum = static_cast<uint64_t>(u[i + j]) + v[i] + (sum >> 32);
                u[i + j] = static_cast<uint32_t>(sum);
            }
            u[j + n] += static_cast<uint32_t>(sum >> 32);
        }
    }
    for (int i = 0; i < n; ++i) {
        remainder.digits_[i] = (u[i] >> shift) | (shift ? static_cast<uint32_t>(static_cast<uint64_t>(u[i + 1]) << (32 - shift)) : 0);
    }
    std::memset(u, 0, sizeof u);
}

void CBigNumber::ModMul(const CBigNumber& a, const CBigNumber& b, const CBigNumber& modulus, CBigNumber& result) {
    uint32_t product[2 * kMaxDigits] = {};
    int na = a.DigitCount();
    int nb = b.DigitCount();
    for (int i = 0; i < na; ++i) {
        uint64_t carry = 0;
        for (int k = 0; k < nb; ++k) {
            uint64_t t = static_cast<uint64_t>(a.digits_[i]) * b.digits_[k] + product[i + k] + carry;
            product[i + k] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        product[i + nb] = static_cast<uint32_t>(carry);
    }
    Remainder(product, 2 * kMaxDigits, modulus, result);
    std::memset(product, 0, sizeof product);
}

bool CBigNumber::ModExp(const CBigNumber& base, const CBigNumber& exponent, const CBigNumber& modulus,
                        CBigNumber& result) {
    if (modulus.IsZero()) {
        return false;
    }
    const int modulusDigits = modulus.DigitCount();
    if ((modulus.digits_[0] & 1) != 0 && modulusDigits > 1 && modulusDigits <= 2 * Montgomery::kLimbs) {
        MontgomeryModExp(base, exponent, modulus, result);
        return true;
    }
    CBigNumber reducedBase;
    Remainder(base.digits_, kMaxDigits, modulus, reducedBase);
    CBigNumber one;
    one.digits_[0] = 1;
    CBigNumber accumulator;
    Remainder(one.digits_, kMaxDigits, modulus, accumulator);
    for (int i = exponent.DigitCount() - 1; i >= 0; --i) {
        for (int bit = 31; bit >= 0; --bit) {
            CBigNumber squared;
            ModMul(accumulator, accumulator, modulus, squared);
            accumulator = squared;
            if ((exponent.digits_[i] >> bit) & 1) {
                CBigNumber multiplied;
                ModMul(accumulator, reducedBase, modulus, multiplied);
                accumulator = multiplied;
            }
        }
    }
    result = accumulator;
    accumulator.Wipe();
    reducedBase.Wipe();
    return true;
}

// The same power for an odd modulus, squaring and multiplying in Montgomery form: an RSA modulus is odd,
// and the forecast's signature is checked with one such power.
void CBigNumber::MontgomeryModExp(const CBigNumber& base, const CBigNumber& exponent, const CBigNumber& modulus,
                                  CBigNumber& result) {
    const int limbs = (modulus.DigitCount() + 1) / 2;
    const Montgomery montgomery(modulus.digits_, limbs);
    // R^2 mod n, with R = 2^(64 * limbs): what brings a number into Montgomery form.
    uint32_t rSquared[4 * Montgomery::kLimbs + 1] = {};
    rSquared[4 * limbs] = 1;
    CBigNumber rSquaredModN;
    Remainder(rSquared, 4 * limbs + 1, modulus, rSquaredModN);
    CBigNumber reducedBase;
    Remainder(base.digits_, kMaxDigits, modulus, reducedBase);

    Montgomery::Limbs r2, x, accumulator = {}, one = {1};
    montgomery.Load(rSquaredModN.digits_, kMaxDigits, r2);
    montgomery.Load(reducedBase.digits_, kMaxDigits, x);
    montgomery.Multiply(x, r2, x);             // base * R mod n
    if (exponent.IsZero()) {
        montgomery.Multiply(one, r2, accumulator);  // R mod n, the form of 1: the power is 1
    }
    // From the exponent's highest bit down: the squarings of 1 before it are left out.
    bool started = false;
    for (int i = exponent.DigitCount() - 1; i >= 0; --i) {
        for (int bit = 31; bit >= 0; --bit) {
            if (started) {
                montgomery.Multiply(accumulator, accumulator, accumulator);
            }
            if ((exponent.digits_[i] >> bit) & 1) {
                if (started) {
                    montgomery.Multiply(accumulator, x, accumulator);
                } else {
                    std::memcpy(accumulator, x, sizeof accumulator);
                    started = true;
                }
            }
        }
    }
    montgomery.Multiply(accumulator, one, accumulator);  // out of Montgomery form
    result.Wipe();
    montgomery.Store(accumulator, result.digits_, kMaxDigits);
    reducedBase.Wipe();
    volatile uint64_t* wipe = accumulator;
    for (int i = 0; i < Montgomery::kLimbs; ++i) {
        wipe[i] = 0;
        x[i] = 0;
    }
}
