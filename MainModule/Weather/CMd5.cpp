#include "Weather/CMd5.h"

#include <bit>
#include <cstring>

namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// The four rounds, sixteen steps each: every step mixes b, c and d with one round's function, adds a
// message word and a sine constant, rotates and adds b. The steps of a round rotate by four amounts in
// turn; written out with them as constants, a step is a handful of instructions.
// b is the value finished last: a, the word and the sine are added first, so that only the mix waits
// for b.
template <class Mix>
void Step(Mix mix, uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, uint32_t sine, int shift) {
    a = b + RotateLeft((a + word + sine) + mix(b, c, d), shift);
}

template <class Mix, class WordIndex>
void Round(Mix mix, WordIndex wordIndex, const int (&shifts)[4], int first, const uint32_t m[16],
           uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d) {
    for (int i = first; i < first + 16; i += 4) {
        Step(mix, a, b, c, d, m[wordIndex(i)], kSine[i], shifts[0]);
        Step(mix, d, a, b, c, m[wordIndex(i + 1)], kSine[i + 1], shifts[1]);
        Step(mix, c, d, a, b, m[wordIndex(i + 2)], kSine[i + 2], shifts[2]);
        Step(mix, b, c, d, a, m[wordIndex(i + 3)], kSine[i + 3], shifts[3]);
    }
}

}  // namespace

void CMd5::Init() {
    state_[0] = 0x67452301;
    state_[1] = 0xefcdab89;
    state_[2] = 0x98badcfe;
    state_[3] = 0x10325476;
    bitCount_ = 0;
    std::memset(buffer_, 0, sizeof buffer_);
}

void CMd5::Transform(const uint8_t block[64]) {
    // The message words are little-endian: on a little-endian machine the block is copied as it is.
    uint32_t m[16];
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(m, block, sizeof m);
    } else {
        for (int i = 0; i < 16; ++i) {
            m[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
                   (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
        }
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    // The selection (x & y) | (~x & z) in one operation fewer. The second selection's two halves have no
    // bit in common, so it is their sum, and the half without x is ready before x is. Likewise y ^ z and
    // ~z are taken before x joins them.
    Round([](uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }, [](int i) { return i; },
          {7, 12, 17, 22}, 0, m, a, b, c, d);
    Round([](uint32_t x, uint32_t y, uint32_t z) { return (y & ~z) + (x & z); },
          [](int i) { return (5 * i + 1) % 16; }, {5, 9, 14, 20}, 16, m, a, b, c, d);
    Round([](uint32_t x, uint32_t y, uint32_t z) { return x ^ (y ^ z); }, [](int i) { return (3 * i + 5) % 16; },
          {4, 11, 16, 23}, 32, m, a, b, c, d);
    Round([](uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }, [](int i) { return (7 * i) % 16; },
          {6, 10, 15, 21}, 48, m, a, b, c, d);
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void CMd5::Update(const uint8_t* bytes, size_t length) {
    size_t used = static_cast<size_t>((bitCount_ / 8) % 64);
    bitCount_ += static_cast<uint64_t>(length) * 8;
    size_t i = 0;
    if (used > 0) {
        size_t take = length < 64 - used ? length : 64 - used;
        std::memcpy(buffer_ + used, bytes, take);
        i = take;
        if (used + take < 64) {
            return;
        }
        Transform(buffer_);
    }
    for (; i + 64 <= length; i += 64) {
        Transform(bytes + i);
    }
    std::memcpy(buffer_, bytes + i, length - i);
}

void CMd5::Final(uint8_t digest[kDigestSize]) {
    uint64_t bits = bitCount_;
    uint8_t padding[72] = {0x80};
    size_t used = static_cast<size_t>((bits / 8) % 64);
    size_t padLength = used < 56 ? 56 - used : 120 - used;
    Update(padding, padLength);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) {
        length[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    Update(length, 8);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            digest[i * 4 + k] = static_cast<uint8_t>(state_[i] >> (8 * k));
        }
    }
    std::memset(state_, 0, sizeof state_);
    std::memset(buffer_, 0, sizeof buffer_);
    bitCount_ = 0;
}
