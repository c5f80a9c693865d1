// The package checks against independent references: zlib's CRC-32, the MD5 vectors of RFC 1321,
// the base64 vectors of RFC 4648, and signatures made with OpenSSL by the forecast server's signer.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "PackageSigner.h"
#include "Weather/Base64.h"
#include "Weather/CBigNumber.h"
#include "Weather/CMd5.h"
#include "Weather/Crc32.h"
#include "Weather/RsaSignature.h"

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

std::string Hex(const uint8_t* bytes, size_t length) {
    std::string out;
    char pair[3];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        out += pair;
    }
    return out;
}

TEST(Crc32, EqualsZlibAndContinuesARunningValue) {
    EXPECT_EQ(ComputeCrc32(0, nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc32(0, Bytes(""), 0), 0u);
    std::mt19937 random(7);
    std::string data(5000, '\0');
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    // Long texts are folded with carry-less multiplication where the processor has it, and the tables
    // finish what is left: lengths on both sides of where folding starts and of each fold's step, at
    // every alignment.
    for (size_t length : {1u, 3u, 15u, 17u, 64u, 127u, 128u, 129u, 143u, 144u, 191u, 192u, 193u, 4999u, 5000u}) {
        for (size_t offset : {0u, 1u, 5u}) {
            const uint8_t* start = Bytes(data) + offset;
            const size_t count = std::min(length, data.size() - offset);
            EXPECT_EQ(ComputeCrc32(0x12345678, start, count), crc32(0x12345678, start, count)) << length;
        }
    }
    uint32_t running = ComputeCrc32(ComputeCrc32(0, Bytes(data), 1234), Bytes(data) + 1234, data.size() - 1234);
    EXPECT_EQ(running, crc32(0, Bytes(data), data.size()));
    // In pieces too short to fold: the tables alone, as a processor without the multiplication runs.
    uint32_t byTables = 0;
    for (size_t at = 0; at < data.size(); at += 100) {
        byTables = ComputeCrc32(byTables, Bytes(data) + at, std::min<size_t>(100, data.size() - at));
    }
    EXPECT_EQ(byTables, crc32(0, Bytes(data), data.size()));
}

std::string Md5Hex(const std::string& text, size_t chunk) {
    CMd5 md5;
    for (size_t i = 0; i < text.size(); i += chunk) {
        md5.Update(Bytes(text) + i, std::min(chunk, text.size() - i));
    }
    uint8_t digest[CMd5::kDigestSize];
    md5.Final(digest);
    return Hex(digest, sizeof digest);
}

TEST(Md5, GivesTheVectorsOfRfc1321WhateverTheChunking) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"}};
    for (const auto& [text, digest] : vectors) {
        for (size_t chunk : {1u, 7u, 64u, 1000u}) {
            EXPECT_EQ(Md5Hex(text, chunk), digest) << '"' << text << "\" in chunks of " << chunk;
        }
    }
}

std::string DecodeOrError(const std::string& text, uint32_t* status) {
    std::vector<uint8_t> out(text.size() / 4 * 3 + 3);
    size_t length = 0;
    *status = DecodeBase64Block(text.data(), text.size(), out.data(), &length);
    return std::string(reinterpret_cast<char*>(out.data()), length);
}

TEST(Base64, DecodesTheVectorsOfRfc4648) {
    const std::pair<std::string, std::string> vectors[] = {{"", ""},         {"Zg==", "f"},     {"Zm8=", "fo"},
                                                           {"Zm9v", "foo"},  {"Zm9vYg==", "foob"},
                                                           {"Zm9vYmE=", "fooba"}, {"Zm9vYmFy", "foobar"}};
    for (const auto& [encoded, plain] : vectors) {
        uint32_t status = 1;
        EXPECT_EQ(DecodeOrError(encoded, &status), plain);
        EXPECT_EQ(status, 0u) << encoded;
    }
}

TEST(Base64, RefusesBadLengthsMisplacedPaddingAndForeignCharacters) {
    for (std::string bad : {"Zm9vY", "=m9v", "Z=9v", "Zm=v", "Zg==Zm9v", "Zm9v Zm9v", "Zm9*", "Zm\n9"}) {
        uint32_t status = 0;
        DecodeOrError(bad, &status);
        EXPECT_EQ(status, kBase64Invalid) << '"' << bad << '"';
    }
}

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t length) {
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

// Our power of the big-endian operands beside OpenSSL's, written in the modulus' length.
void ExpectPowerAgreesWithOpenSsl(const std::vector<uint8_t>& modulus, const std::vector<uint8_t>& base,
                                  const std::vector<uint8_t>& exponent, BN_CTX* context, const std::string& label) {
    CBigNumber m, b, e, r;
    ASSERT_TRUE(m.FromBytes(modulus.data(), modulus.size()));
    ASSERT_TRUE(b.FromBytes(base.data(), base.size()));
    ASSERT_TRUE(e.FromBytes(exponent.data(), exponent.size()));
    ASSERT_TRUE(CBigNumber::ModExp(b, e, m, r));
    std::vector<uint8_t> ours(modulus.size());
    ASSERT_TRUE(r.ToBytes(ours.data(), ours.size()));

    BIGNUM* bm = BN_bin2bn(modulus.data(), static_cast<int>(modulus.size()), nullptr);
    BIGNUM* bb = BN_bin2bn(base.data(), static_cast<int>(base.size()), nullptr);
    BIGNUM* be = BN_bin2bn(exponent.data(), static_cast<int>(exponent.size()), nullptr);
    BIGNUM* br = BN_new();
    EXPECT_EQ(BN_mod_exp(br, bb, be, bm, context), 1);
    std::vector<uint8_t> theirs(modulus.size());
    EXPECT_EQ(BN_bn2binpad(br, theirs.data(), static_cast<int>(theirs.size())), static_cast<int>(modulus.size()));
    EXPECT_EQ(Hex(ours.data(), ours.size()), Hex(theirs.data(), theirs.size())) << label;
    BN_free(bm);
    BN_free(bb);
    BN_free(be);
    BN_free(br);
}

// Odd moduli of RSA size and smaller (Montgomery's way), even ones and one of 33 digits (by division),
// bases above the modulus and exponents of every length.
TEST(CBigNumber, ModularPowerAgreesWithOpenSsl) {
    std::mt19937 random(11);
    BN_CTX* context = BN_CTX_new();
    struct Modulus {
        size_t length;
        bool odd;
    };
    for (const Modulus shape : {Modulus{128, true}, Modulus{128, false}, Modulus{9, true}, Modulus{5, true},
                                Modulus{4, true}, Modulus{130, true}}) {
        for (size_t exponentLength : {1u, 3u, 128u}) {
            for (int round = 0; round < 2; ++round) {
                auto modulus = RandomBytes(random, shape.length);
                modulus[0] |= 0x80;
                modulus[shape.length - 1] = static_cast<uint8_t>(shape.odd ? modulus[shape.length - 1] | 1
                                                                           : modulus[shape.length - 1] & 0xFE);
                auto base = RandomBytes(random, round == 0 ? std::min<size_t>(shape.length, 128) : 128);
                if (round == 0) {
                    base[0] &= 0x7F;
                }
                auto exponent = RandomBytes(random, exponentLength);
                ExpectPowerAgreesWithOpenSsl(modulus, base, exponent, context,
                                             std::to_string(shape.length) + (shape.odd ? " odd" : " even") +
                                                 ", exponent " + std::to_string(exponentLength));
            }
        }
    }
    BN_CTX_free(context);
}

// The multiplication that checks every signature, on many operands of the key's size and below it:
// moduli of one to sixteen 64-bit limbs, all ones or nearly all zeros, the key's exponent and 0.
TEST(CBigNumber, ManyRandomPowersAgreeWithOpenSsl) {
    std::mt19937 random(29);
    BN_CTX* context = BN_CTX_new();
    for (int round = 0; round < 400; ++round) {
        const size_t length = round % 2 == 0 ? 128 : 5 + random() % 124;
        auto modulus = RandomBytes(random, length);
        if (round % 7 == 0) {
            std::fill(modulus.begin(), modulus.end(), 0xFF);
        } else if (round % 11 == 0) {
            std::fill(modulus.begin(), modulus.end(), 0x00);
        }
        modulus[0] |= 0x80;
        modulus[length - 1] |= 1;
        auto base = RandomBytes(random, length);
        base[0] &= 0x7F;
        const auto exponent = round % 3 == 0    ? std::vector<uint8_t>{0x01, 0x00, 0x01}
                              : round % 13 == 0 ? std::vector<uint8_t>{0x00}
                                                : RandomBytes(random, 1 + random() % 16);

        ExpectPowerAgreesWithOpenSsl(modulus, base, exponent, context, "round " + std::to_string(round));
    }
    BN_CTX_free(context);
}

class Signature : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(signer_.LoadPrivateKey(std::string(CE_SOURCE_DIR) + "/tools/weather-server/signing-key.pem", error))
            << error;
        auto modulus = signer_.PublicModulus();
        auto exponent = signer_.PublicExponent();
        ASSERT_EQ(modulus.size(), 128u);
        std::memset(&key_, 0, sizeof key_);
        key_.bits = 1024;
        std::memcpy(key_.modulus, modulus.data(), 128);
        std::memcpy(key_.exponent + 128 - exponent.size(), exponent.data(), exponent.size());
    }

    uint32_t Verify(const std::string& content, const std::string& signature) {
        return VerifyPemSignature(Bytes(content), content.size(), signature.data(), signature.size(), key_);
    }

    PackageSigner signer_;
    PublicKeyRecord key_;
};

TEST_F(Signature, AnOpenSslSignatureVerifiesAndOneChangedByteFails) {
    std::string content = "<FORECAST LOCATIONID=\"DEBE0001\"/>";
    std::string signature = signer_.Sign(content);
    ASSERT_EQ(signature.size(), 172u);
    EXPECT_EQ(Verify(content, signature), 0u);
    for (size_t position : {0ul, content.size() / 2, content.size() - 1}) {
        std::string changed = content;
        changed[position] ^= 0x20;
        EXPECT_EQ(Verify(changed, signature), static_cast<uint32_t>(kRsaDigestMismatch)) << position;
    }
}

TEST_F(Signature, RefusesTextsThatAreTooLongOrNotBase64OrNotBelowTheModulus) {
    std::string content = "content";
    EXPECT_EQ(Verify(content, std::string(174, 'A')), static_cast<uint32_t>(kRsaBadSignatureText));
    EXPECT_EQ(Verify(content, std::string(171, 'A') + "*"), static_cast<uint32_t>(kRsaBadSignatureText));
    // 172 characters without padding decode to 129 bytes: longer than the modulus.
    EXPECT_EQ(Verify(content, std::string(172, 'A')), static_cast<uint32_t>(kRsaInputTooLong));
    // 128 bytes of 0xFF lie above the modulus: the public-key operation fails.
    std::vector<uint8_t> big(128, 0xFF);
    std::string aboveModulus = PackageSigner::Base64(big.data(), big.size());
    EXPECT_EQ(Verify(content, aboveModulus), static_cast<uint32_t>(kRsaOperationFailed));
}

TEST_F(Signature, PublicDecryptRefusesABlockWithoutTheTypeOnePadding) {
    // A number whose power is not a type 1 block: small numbers stay small (1 ^ e = 1).
    uint8_t one[1] = {1};
    uint8_t out[128];
    size_t length = 99;
    EXPECT_EQ(RsaPublicDecrypt(out, &length, one, sizeof one, key_), static_cast<uint32_t>(kRsaBadBlock));
    EXPECT_EQ(length, 0u);
}

}  // namespace
