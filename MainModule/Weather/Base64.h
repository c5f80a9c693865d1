// Base64 decoding of signature texts.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kBase64Invalid = 1027;

// Decodes a text whose length is a multiple of 4; "=" may stand only in the last one or two places of
// the last group. The output needs length / 4 * 3 bytes. Returns 0 or kBase64Invalid.
uint32_t DecodeBase64Block(const char* text, size_t length, uint8_t* out, size_t* outLength);
