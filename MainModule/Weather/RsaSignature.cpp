#include "Weather/RsaSignature.h"

#include <cstring>

#include "Weather/Base64.h"
#include "Weather/CBigNumber.h"
#include "Weather/CMd5.h"

namespace {

constexpr size_t kMaxSignatureText = 173;
constexpr size_t kKeyBytes = 128;
constexpr uint8_t kMd5DigestInfoPrefix[] = {0x30, 0x20, 0x30, 0x0c, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                            0x86, 0xf7, 0x0d, 0x02, 0x05, 0x05, 0x00, 0x04, 0x10};
constexpr size_t kDigestInfoSize = sizeof kMd5DigestInfoPrefix + CMd5::kDigestSize;

void Wipe(void* data, size_t length) {
    volatile uint8_t* p = static_cast<volatile uint8_t*>(data);
    for (size_t i = 0; i < length; ++i) {
        p[i] = 0;
    }
}

// The data of a type 1 block: 00 01 FF..FF 00 data, with at least eight FF bytes.
bool UnpadBlock(const uint8_t* block, size_t length, const uint8_t** data, size_t* dataLength) {
    if (length < 11 || block[0] != 0x00 || block[1] != 0x01) {
        return false;
    }
    size_t i = 2;
    while (i < length - 1 && block[i] == 0xFF) {
        ++i;
    }
    if (block[i] != 0x00 || i - 2 < 8) {
        return false;
    }
    *data = block + i + 1;
    *dataLength = length - i - 1;
    return true;
}

}  // namespace

uint32_t RsaPublicDecrypt(uint8_t* out, size_t* outLength, const uint8_t* input, size_t inputLength,
                          const PublicKeyRecord& key) {
    *outLength = 0;
    size_t modulusLength = (key.bits + 7) / 8;
    if (modulusLength == 0 || modulusLength > kKeyBytes || inputLength > modulusLength) {
        return kRsaInputTooLong;
    }
    CBigNumber modulus, exponent, number, result;
    if (!modulus.FromBytes(key.modulus, kKeyBytes) || !exponent.FromBytes(key.exponent, kKeyBytes) ||
        !number.FromBytes(input, inputLength) || modulus.IsZero()) {
        return kRsaBadBlock;
    }
    if (number.Compare(modulus) >= 0) {
        return kRsaBadBlock;
    }
    uint8_t block[kKeyBytes];
    if (!CBigNumber::ModExp(number, exponent, modulus, result) || !result.ToBytes(block, modulusLength)) {
        return kRsaBadBlock;
    }
    result.Wipe();
    const uint8_t* data = nullptr;
    size_t dataLength = 0;
    uint32_t status = 0;
    if (!UnpadBlock(block, modulusLength, &data, &dataLength) || dataLength + 11 > modulusLength) {
        status = kRsaBadBlock;
    } else {
        std::memcpy(out, data, dataLength);
        *outLength = dataLength;
    }
    Wipe(block, sizeof block);
    return status;
}

uint32_t VerifyPemSignature(const uint8_t* content, size_t contentLength, const char* signatureText,
                            size_t signatureLength, const PublicKeyRecord& key) {
    if (signatureLength > kMaxSignatureText) {
        return kRsaBadSignatureText;
    }
    uint8_t signature[kMaxSignatureText / 4 * 3 + 3];
    size_t signatureBytes = 0;
    if (DecodeBase64Block(signatureText, signatureLength, signature, &signatureBytes) != 0) {
        return kRsaBadSignatureText;
    }
    uint8_t expected[kDigestInfoSize];
    std::memcpy(expected, kMd5DigestInfoPrefix, sizeof kMd5DigestInfoPrefix);
    CMd5 md5;
    md5.Update(content, contentLength);
    md5.Final(expected + sizeof kMd5DigestInfoPrefix);

    uint32_t status = 0;
    uint8_t block[kKeyBytes];
    size_t blockLength = 0;
    if (signatureBytes > kKeyBytes) {
        status = kRsaInputTooLong;
    } else if (RsaPublicDecrypt(block, &blockLength, signature, signatureBytes, key) != 0) {
        status = kRsaOperationFailed;
    } else if (blockLength != kDigestInfoSize || std::memcmp(block, expected, kDigestInfoSize) != 0) {
        status = kRsaDigestMismatch;
    }
    Wipe(block, sizeof block);
    Wipe(expected, sizeof expected);
    Wipe(signature, sizeof signature);
    return status;
}
