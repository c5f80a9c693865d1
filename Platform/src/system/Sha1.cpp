#include "system/Sha1.h"

#include <algorithm>
#include <cstring>

namespace ce::detail {
namespace {

uint32_t RotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

uint32_t ReadBigEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

}  // namespace

Sha1::Sha1() : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

void Sha1::Compress(const uint8_t* block) {
    uint32_t words[80];
    for (int i = 0; i < 16; ++i) {
        words[i] = ReadBigEndian(block + 4 * i);
    }
    for (int i = 16; i < 80; ++i) {
        words[i] = RotateLeft(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t mixed, constant;
        if (i < 20) {
            mixed = (b & c) | (~b & d), constant = 0x5A827999;
        } else if (i < 40) {
            mixed = b ^ c ^ d, constant = 0x6ED9EBA1;
        } else if (i < 60) {
            mixed = (b & c) | (b & d) | (c & d), constant = 0x8F1BBCDC;
        } else {
            mixed = b ^ c ^ d, constant = 0xCA62C1D6;
        }
        uint32_t next = RotateLeft(a, 5) + mixed + e + constant + words[i];
        e = d, d = c, c = RotateLeft(b, 30), b = a, a = next;
    }
    state_[0] += a, state_[1] += b, state_[2] += c, state_[3] += d, state_[4] += e;
}

void Sha1::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    totalBytes_ += size;
    while (size > 0) {
        size_t taken = std::min(size, kBlockSize - pendingSize_);
        std::memcpy(pending_.data() + pendingSize_, bytes, taken);
        pendingSize_ += taken, bytes += taken, size -= taken;
        if (pendingSize_ == kBlockSize) {
            Compress(pending_.data());
            pendingSize_ = 0;
        }
    }
}

Sha1::Digest Sha1::Finish() {
    // The message ends in a one bit, zeros up to 8 bytes before a block's end, then its bit length.
    uint64_t bits = totalBytes_ * 8;
    const uint8_t marker = 0x80;
    Update(&marker, 1);
    const uint8_t zero = 0;
    while (pendingSize_ != kBlockSize - 8) {
        Update(&zero, 1);
    }
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) {
        length[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    }
    Update(length, sizeof length);
    Digest digest;
    for (size_t i = 0; i < state_.size(); ++i) {
        for (int j = 0; j < 4; ++j) {
            digest[4 * i + j] = static_cast<uint8_t>(state_[i] >> (24 - 8 * j));
        }
    }
    return digest;
}

Sha1::Digest HmacSha1(const void* key, size_t keySize, const void* data, size_t dataSize) {
    std::array<uint8_t, Sha1::kBlockSize> block{};
    if (keySize > Sha1::kBlockSize) {
        Sha1 shortened;
        shortened.Update(key, keySize);
        Sha1::Digest digest = shortened.Finish();
        std::memcpy(block.data(), digest.data(), digest.size());
    } else if (keySize > 0) {
        std::memcpy(block.data(), key, keySize);
    }
    std::array<uint8_t, Sha1::kBlockSize> innerPad, outerPad;
    for (size_t i = 0; i < block.size(); ++i) {
        innerPad[i] = block[i] ^ 0x36;
        outerPad[i] = block[i] ^ 0x5C;
    }
    Sha1 inner;
    inner.Update(innerPad.data(), innerPad.size());
    inner.Update(data, dataSize);
    Sha1::Digest innerDigest = inner.Finish();
    Sha1 outer;
    outer.Update(outerPad.data(), outerPad.size());
    outer.Update(innerDigest.data(), innerDigest.size());
    return outer.Finish();
}

}  // namespace ce::detail
