// Unsigned multi-precision numbers of up to 33 32-bit digits (little-endian by digit): what the RSA
// public-key operation needs, and nothing more.
#pragma once

#include <cstddef>
#include <cstdint>

class CBigNumber {
public:
    static constexpr int kMaxDigits = 33;

    CBigNumber();
    // A big-endian number; false when it does not fit.
    bool FromBytes(const uint8_t* bytes, size_t length);
    // Writes the number big-endian, right-aligned in length bytes; false when it does not fit.
    bool ToBytes(uint8_t* bytes, size_t length) const;
    int DigitCount() const;
    bool IsZero() const { return DigitCount() == 0; }
    int Compare(const CBigNumber& other) const;
    // result = base ^ exponent mod modulus; false for a zero modulus.
    static bool ModExp(const CBigNumber& base, const CBigNumber& exponent, const CBigNumber& modulus,
                       CBigNumber& result);
    void Wipe();

private:
    // result = a * b mod modulus, with a, b below the modulus.
    static void ModMul(const CBigNumber& a, const CBigNumber& b, const CBigNumber& modulus, CBigNumber& result);
    static void MontgomeryModExp(const CBigNumber& base, const CBigNumber& exponent, const CBigNumber& modulus,
                                 CBigNumber& result);
    // remainder = number (count digits) mod divisor; the divisor is not zero.
    static void Remainder(const uint32_t* number, int count, const CBigNumber& divisor, CBigNumber& remainder);

    uint32_t digits_[kMaxDigits];
};
