// zlib, bound by name through the module loader on first use and kept for the life of the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ZlibCodec {
public:
    // -6: zlib or one of its entry points could not be bound.
    static constexpr int kNotBound = -6;
    static constexpr int kNoMemory = -4;
    static constexpr int kDataError = -3;
    static constexpr int kBufferError = -5;

    // One deflate with a full flush into a buffer of `capacity` bytes: a zlib header, no final block.
    // Fails unless all input was taken with room left over.
    static int Compress(const void* source, size_t length, std::vector<uint8_t>& out, size_t capacity,
                        int level);
    // Inflates until the input is used up or the stream ends; an output beyond maxLength is a data
    // error, so that a small damaged block cannot claim unbounded memory. A caller that knows the
    // inflated length gives it as expectedLength: the output is then allocated once.
    static int Uncompress(const void* source, size_t length, std::vector<uint8_t>& out, size_t maxLength,
                          size_t expectedLength = 0);
    // Inflates into the caller's block; 0 only when exactly outLength bytes came out of it.
    static int UncompressExact(const void* source, size_t length, void* out, size_t outLength);

    // UncompressExact with what it decodes with kept from one call to the next: after the first, a call
    // allocates nothing (a new zlib stream each time takes and frees its window, some 40 KB).
    //
    // A stream cut off after a full flush (the render cache's blobs) is decoded by libdeflate: zlib's
    // inflate copies a match that overlaps its own output byte by byte, and in a picture every run of
    // equal pixels is one, which makes zlib several times slower there. Any other stream goes to zlib.
    class ExactInflater {
    public:
        ExactInflater() = default;
        ExactInflater(const ExactInflater&) = delete;
        ExactInflater& operator=(const ExactInflater&) = delete;
        ~ExactInflater();
        int Inflate(const void* source, size_t length, void* out, size_t outLength);
        // The same through zlib alone, whatever the stream: what Inflate must agree with.
        int InflateWithZlib(const void* source, size_t length, void* out, size_t outLength);
        // The bytes kept for the next stream's data, and freeing them.
        size_t HeldBytes() const { return m_closed.capacity(); }
        void Release() { m_closed = {}; }

    private:
        struct Stream;
        Stream* m_stream = nullptr;
        struct libdeflate_decompressor* m_decompressor = nullptr;
        // The deflate data of the last stream, with the final block it lacks.
        std::vector<uint8_t> m_closed;
    };
};
