#include "BitWriter.h"

void BitWriter::Write(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        if (bitIndex_ == 8) {
            bytes_ += '\0';
            bitIndex_ = 0;
        }
        if ((value >> i) & 1) {
            bytes_.back() = static_cast<char>(static_cast<unsigned char>(bytes_.back()) | (1u << bitIndex_));
        }
        ++bitIndex_;
    }
}
