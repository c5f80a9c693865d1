// What a render cache look-up decodes with: the decoder, the decoded pixels and the blob bytes read
// ahead. A RenderCacheFile leases one set for its life and gives it back when it ends; the library
// keeps a few given-back sets for the next package object. So a new object's look-ups decode with
// memory that is already allocated and touched: no page of it is new to the process, and no buffer
// is cleared before it is written.
//
// A lease is used by one object (one thread) at a time; taking and giving back are thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ZlibCodec.h"

class RenderCacheFileBuffers {
public:
    struct GiveBack {
        void operator()(RenderCacheFileBuffers* buffers) const;
    };
    using Lease = std::unique_ptr<RenderCacheFileBuffers, GiveBack>;

    // A kept set when there is one, else a new one.
    static Lease Take();

    RenderCacheFileBuffers() = default;
    RenderCacheFileBuffers(const RenderCacheFileBuffers&) = delete;
    RenderCacheFileBuffers& operator=(const RenderCacheFileBuffers&) = delete;

    // Room for count words, what was there before left in place; null when it cannot be had.
    uint32_t* Pixels(size_t count);
    // Grows to at least size bytes, the bytes it had kept; false when it cannot.
    bool ReserveReadAhead(size_t size);
    uint8_t* ReadAhead() { return m_readAhead.data(); }
    ZlibCodec::ExactInflater& Inflater() { return m_inflater; }

    // The bytes the set holds on to, and what it frees of them to hold no more than limit.
    size_t HeldBytes() const;
    void TrimTo(size_t limit);

private:
    std::unique_ptr<uint32_t[]> m_pixels;
    size_t m_pixelCapacity = 0;
    std::vector<uint8_t> m_readAhead;
    ZlibCodec::ExactInflater m_inflater;
};
