// A prefix code for the 8-bit texts of the city database, built from their symbol frequencies
// (Huffman), written as the table the reader loads: a 16-bit count, then symbol, length and code of
// each entry, shortest codes first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class PrefixCodeBuilder {
public:
    // Counts the symbols of a text and its terminating 0.
    void Count(const std::string& text);
    // Builds the codes; false when they do not fit the format (over 255 symbols or 32 bits).
    bool Build(std::string& error);
    std::string Table() const;
    // The coded text with its terminator, padded to whole bytes.
    std::string Encode(const std::string& text) const;

private:
    struct Code {
        uint32_t bits = 0;
        int length = 0;
    };
    std::array<uint64_t, 256> frequency_{};
    std::array<Code, 256> codes_{};
};
