// MD5 message digest (RFC 1321).
#pragma once

#include <cstddef>
#include <cstdint>

class CMd5 {
public:
    static constexpr size_t kDigestSize = 16;

    CMd5() { Init(); }
    void Init();
    void Update(const uint8_t* bytes, size_t length);
    // Writes the digest and wipes the state.
    void Final(uint8_t digest[kDigestSize]);

private:
    void Transform(const uint8_t block[64]);

    uint32_t state_[4];
    uint64_t bitCount_;
    uint8_t buffer_[64];
};
