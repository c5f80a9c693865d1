// zlib, loaded at run time from the library named "zlib".
#pragma once

#include <cstddef>
#include <cstdint>

// A new buffer of exactly expectedLength bytes (release it with free), or null when the input is empty,
// zlib cannot be loaded, the allocation fails, or zlib reports an error or a length other than the
// expected one.
uint8_t* UncompressWithZlib(const uint8_t* compressed, size_t compressedLength, size_t expectedLength);
