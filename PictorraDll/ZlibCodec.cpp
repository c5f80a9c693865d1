#include "ZlibCodec.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <type_traits>

#include "ce/kernel.h"

namespace {
using InitDeflateFn = int (*)(z_streamp, int, const char*, int);
using InitInflateFn = int (*)(z_streamp, const char*, int);
using StepFn = int (*)(z_streamp, int);
using EndFn = int (*)(z_streamp);

struct ZlibBinding {
    std::mutex lock;
    HMODULE inflateModule = nullptr;
    HMODULE deflateModule = nullptr;
    InitInflateFn initInflate = nullptr;
    StepFn stepInflate = nullptr;
    EndFn inflateEnd = nullptr;
    EndFn inflateReset = nullptr;
    // Present from zlib 1.2.9 on; without it the check value is computed and left unused.
    StepFn inflateValidate = nullptr;
    InitDeflateFn initDeflate = nullptr;
    StepFn stepDeflate = nullptr;
    EndFn deflateEnd = nullptr;
};

// Never torn down, so that a decoder that the library keeps beyond an object's life (see
// RenderCacheFileBuffers) may still end its zlib stream while the statics are destroyed.
static_assert(std::is_trivially_destructible_v<ZlibBinding>);

ZlibBinding& Binding() {
    static ZlibBinding binding;
    return binding;
}

template <typename T>
bool Bind(HMODULE module, const char16_t* name, T& fn) {
    fn = reinterpret_cast<T>(GetProcAddressW(module, name));
    return fn != nullptr;
}

bool BindInflate() {
    ZlibBinding& binding = Binding();
    std::lock_guard<std::mutex> guard(binding.lock);
    if (binding.inflateModule)
        return true;
    HMODULE module = LoadLibraryW(u"zlib");
    if (!module)
        return false;
    if (!Bind(module, u"inflateInit_", binding.initInflate) ||
        !Bind(module, u"inflate", binding.stepInflate) || !Bind(module, u"inflateEnd", binding.inflateEnd) ||
        !Bind(module, u"inflateReset", binding.inflateReset)) {
        FreeLibrary(module);
        return false;
    }
    Bind(module, u"inflateValidate", binding.inflateValidate);  // optional: older zlib lacks it
    binding.inflateModule = module;
    return true;
}

bool BindDeflate() {
    ZlibBinding& binding = Binding();
    std::lock_guard<std::mutex> guard(binding.lock);
    if (binding.deflateModule)
        return true;
    HMODULE module = LoadLibraryW(u"zlib");
    if (!module)
        return false;
    if (!Bind(module, u"deflateInit_", binding.initDeflate) ||
        !Bind(module, u"deflate", binding.stepDeflate) || !Bind(module, u"deflateEnd", binding.deflateEnd)) {
        FreeLibrary(module);
        return false;
    }
    binding.deflateModule = module;
    return true;
}
}  // namespace

int ZlibCodec::Compress(const void* source, size_t length, std::vector<uint8_t>& out, size_t capacity,
                        int level) {
    out.clear();
    if (!BindDeflate())
        return kNotBound;
    if (length > UINT32_MAX || capacity > UINT32_MAX)
        return kBufferError;
    ZlibBinding& binding = Binding();
    z_stream stream{};
    int rc = binding.initDeflate(&stream, level, ZLIB_VERSION, int(sizeof(z_stream)));
    if (rc != Z_OK)
        return rc;
    out.resize(capacity);
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
    stream.avail_in = uInt(length);
    stream.next_out = out.data();
    stream.avail_out = uInt(capacity);
    rc = binding.stepDeflate(&stream, Z_FULL_FLUSH);
    // A full buffer may hide output still held inside zlib: only a call that took everything and left
    // room over is complete.
    if (rc == Z_OK && (stream.avail_in != 0 || stream.avail_out == 0))
        rc = kBufferError;
    size_t produced = capacity - stream.avail_out;
    binding.deflateEnd(&stream);  // only frees the stream: the step's result has judged the output
    if (rc != Z_OK) {
        out.clear();
        return rc;
    }
    out.resize(produced);
    return Z_OK;
}

int ZlibCodec::Uncompress(const void* source, size_t length, std::vector<uint8_t>& out, size_t maxLength,
                          size_t expectedLength) {
    out.clear();
    if (!BindInflate())
        return kNotBound;
    if (length > UINT32_MAX)
        return kDataError;
    ZlibBinding& binding = Binding();
    z_stream stream{};
    int rc = binding.initInflate(&stream, ZLIB_VERSION, int(sizeof(z_stream)));
    if (rc != Z_OK)
        return rc;
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
    stream.avail_in = uInt(length);
    // One byte beyond the expected length shows an output that is longer than it should be.
    size_t size =
        expectedLength > 0 ? std::min(expectedLength, maxLength) + 1 : std::max<size_t>(2 * length, 64);
    size_t used = 0;
    try {
        for (;;) {
            out.resize(size);
            stream.next_out = out.data() + used;
            stream.avail_out = uInt(size - used);
            rc = binding.stepInflate(&stream, Z_SYNC_FLUSH);
            used = size - stream.avail_out;
            if (rc == Z_NEED_DICT)
                rc = kDataError;
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                break;
            if (used > maxLength) {
                rc = kDataError;
                break;
            }
            if (stream.avail_out == 0 && rc != Z_STREAM_END) {
                size = std::min(size * 2, maxLength + 1);
                continue;
            }
            // Done when the stream ended or all input was taken (the cache's blobs carry no final block).
            rc = Z_OK;
            break;
        }
    } catch (const std::bad_alloc&) {
        rc = kNoMemory;
    }
    binding.inflateEnd(&stream);  // only frees the stream: the steps' results have judged the output
    if (rc != Z_OK) {
        out.clear();
        return rc;
    }
    out.resize(used);
    return Z_OK;
}

struct ZlibCodec::ExactInflater::Stream {
    z_stream z{};
};

ZlibCodec::ExactInflater::~ExactInflater() {
    if (m_stream)
        Binding().inflateEnd(&m_stream->z);
    delete m_stream;
    if (m_decompressor)
        libdeflate_free_decompressor(m_decompressor);
}

namespace {
// A zlib header that announces deflate data without a preset dictionary.
bool PlainZlibHeader(const uint8_t* bytes, size_t length) {
    return length >= 2 && (bytes[0] & 0x0F) == 8 && (bytes[0] >> 4) <= 7 &&
           (bytes[0] << 8 | bytes[1]) % 31 == 0 && (bytes[1] & 0x20) == 0;
}

// What a full flush leaves at the end: an empty stored block, after which the data is byte-aligned.
bool EndsWithFullFlush(const uint8_t* bytes, size_t length) {
    static constexpr uint8_t kEmptyStoredBlock[] = {0x00, 0x00, 0xFF, 0xFF};
    return length >= 2 + sizeof kEmptyStoredBlock &&
           std::equal(std::begin(kEmptyStoredBlock), std::end(kEmptyStoredBlock), bytes + length - 4);
}

// An empty final block with fixed codes: the end that a cut-off stream lacks.
constexpr uint8_t kEmptyFinalBlock[] = {0x03, 0x00};
}  // namespace

int ZlibCodec::ExactInflater::Inflate(const void* source, size_t length, void* out, size_t outLength) {
    if (!BindInflate())
        return kNotBound;
    if (length > UINT32_MAX || outLength > UINT32_MAX || outLength == 0)
        return kDataError;
    const auto* bytes = static_cast<const uint8_t*>(source);
    if (!PlainZlibHeader(bytes, length))
        return kDataError;
    if (!EndsWithFullFlush(bytes, length))
        return InflateWithZlib(source, length, out, outLength);
    if (!m_decompressor && !(m_decompressor = libdeflate_alloc_decompressor()))
        return kNoMemory;
    // The deflate data without the zlib header, closed by a final block, decoded whole.
    m_closed.assign(bytes + 2, bytes + length);
    m_closed.insert(m_closed.end(), std::begin(kEmptyFinalBlock), std::end(kEmptyFinalBlock));
    libdeflate_result rc = libdeflate_deflate_decompress(m_decompressor, m_closed.data(), m_closed.size(),
                                                         out, outLength, nullptr);
    return rc == LIBDEFLATE_SUCCESS ? Z_OK : kDataError;
}

int ZlibCodec::ExactInflater::InflateWithZlib(const void* source, size_t length, void* out,
                                              size_t outLength) {
    if (!BindInflate())
        return kNotBound;
    if (length > UINT32_MAX || outLength > UINT32_MAX || outLength == 0)
        return kDataError;
    ZlibBinding& binding = Binding();
    int rc = Z_OK;
    if (!m_stream) {
        auto* fresh = new (std::nothrow) Stream;
        if (!fresh)
            return kNoMemory;
        rc = binding.initInflate(&fresh->z, ZLIB_VERSION, int(sizeof(z_stream)));
        if (rc != Z_OK) {
            delete fresh;
            return rc;
        }
        m_stream = fresh;
    } else if ((rc = binding.inflateReset(&m_stream->z)) != Z_OK) {
        return rc;
    }
    z_stream& stream = m_stream->z;
    // A stream cut off after a full flush has no check value at its end to compare with.
    if (binding.inflateValidate)
        binding.inflateValidate(&stream, 0);
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
    stream.avail_in = uInt(length);
    stream.next_out = static_cast<Bytef*>(out);
    stream.avail_out = uInt(outLength);
    rc = binding.stepInflate(&stream, Z_SYNC_FLUSH);
    if (rc == Z_NEED_DICT)
        return kDataError;
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        return rc;
    bool whole = stream.avail_out == 0;
    if (whole && rc != Z_STREAM_END) {
        // One byte more is an output longer than asked, and a damaged rest of the input is damaged
        // data, as for Uncompress.
        Bytef beyond = 0;
        stream.next_out = &beyond;
        stream.avail_out = 1;
        int more = binding.stepInflate(&stream, Z_SYNC_FLUSH);
        whole = stream.avail_out == 1 && (more == Z_OK || more == Z_STREAM_END || more == Z_BUF_ERROR);
    }
    return whole ? Z_OK : kDataError;
}

int ZlibCodec::UncompressExact(const void* source, size_t length, void* out, size_t outLength) {
    ExactInflater inflater;
    return inflater.Inflate(source, length, out, outLength);
}
