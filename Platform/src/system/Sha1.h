// SHA-1 and HMAC-SHA1, for the device identifier: the one keyed hash that a process needs at start,
// computed here so that starting a program does not load and set up libcrypto.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ce::detail {

class Sha1 {
public:
    static constexpr size_t kDigestSize = 20;
    static constexpr size_t kBlockSize = 64;
    using Digest = std::array<uint8_t, kDigestSize>;

    Sha1();
    void Update(const void* data, size_t size);
    // The digest of everything updated so far; the object is spent afterwards.
    Digest Finish();

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 5> state_;
    std::array<uint8_t, kBlockSize> pending_{};
    size_t pendingSize_ = 0;
    uint64_t totalBytes_ = 0;
};

// HMAC (RFC 2104) with SHA-1 of data under key.
Sha1::Digest HmacSha1(const void* key, size_t keySize, const void* data, size_t dataSize);

}  // namespace ce::detail
