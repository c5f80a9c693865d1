// Writes bit fields in the order the city database reader takes them: the bits of each byte from the
// least significant up, and each field with its most significant bit first.
#pragma once

#include <cstdint>
#include <string>

class BitWriter {
public:
    void Write(uint32_t value, int bits);
    // The bytes so far, the last one padded with zero bits.
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    int bitIndex_ = 8;
};
