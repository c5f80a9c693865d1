// The RSA public-key operation with PKCS #1 v1.5 block checking, and the check of a forecast's
// base64 MD5 signature against the built-in public key.
#pragma once

#include <cstddef>
#include <cstdint>

struct PublicKeyRecord {
    uint32_t bits;            // modulus length in bits (1024)
    uint8_t modulus[128];     // big-endian, right-aligned
    uint8_t exponent[128];    // big-endian, right-aligned
};

enum : uint32_t {
    kRsaBadBlock = 1025,         // input not below the modulus, or no valid block type 1
    kRsaBadBase64 = 1027,
    kRsaInputTooLong = 1030,     // the signature is longer than the modulus
    kRsaOperationFailed = 1034,
    kRsaDigestMismatch = 1035,
    kRsaBadSignatureText = 1036, // more than 173 characters, or not base64
};

// input ^ exponent mod modulus, checked as a type 1 block; the data after the separator goes to out
// (which needs the modulus length in bytes). Returns 0 or an error code above.
uint32_t RsaPublicDecrypt(uint8_t* out, size_t* outLength, const uint8_t* input, size_t inputLength,
                          const PublicKeyRecord& key);

// Checks that signatureText is the signature of the content's MD5 digest. Returns 0 or an error code.
uint32_t VerifyPemSignature(const uint8_t* content, size_t contentLength, const char* signatureText,
                            size_t signatureLength, const PublicKeyRecord& key);
