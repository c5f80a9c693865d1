#include "RenderCacheFileBuffers.h"

#include <mutex>
#include <new>

namespace {
// Enough for two objects at a time drawing pictures of up to 256 x 256; a larger picture's buffers
// are freed when its object ends rather than kept for a size that seldom comes back.
constexpr size_t kKeptSets = 2;
constexpr size_t kKeptBytesPerSet = 256 * 256 * 4 + 64 * 1024;

class KeptSets {
public:
    ~KeptSets() {
        // An object that outlives the library's statics gives its set back to no one (see GiveBack).
        std::lock_guard<std::mutex> guard(m_lock);
        s_open = false;
        m_sets.clear();
    }
    RenderCacheFileBuffers::Lease Take() {
        std::unique_ptr<RenderCacheFileBuffers> set;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_sets.empty()) {
                set = std::move(m_sets.back());
                m_sets.pop_back();
            }
        }
        if (!set)
            set.reset(new (std::nothrow) RenderCacheFileBuffers);
        return RenderCacheFileBuffers::Lease(set.release());
    }
    // Keeps the set, or frees it when enough are kept already.
    void Keep(std::unique_ptr<RenderCacheFileBuffers> set) {
        set->TrimTo(kKeptBytesPerSet);
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_sets.size() < kKeptSets)
            m_sets.push_back(std::move(set));
    }
    static bool Open() { return s_open; }

private:
    std::mutex m_lock;
    std::vector<std::unique_ptr<RenderCacheFileBuffers>> m_sets;
    static inline bool s_open = true;
};

KeptSets& Kept() {
    static KeptSets kept;
    return kept;
}
}  // namespace

RenderCacheFileBuffers::Lease RenderCacheFileBuffers::Take() {
    return Kept().Take();
}

void RenderCacheFileBuffers::GiveBack::operator()(RenderCacheFileBuffers* buffers) const {
    std::unique_ptr<RenderCacheFileBuffers> set(buffers);
    if (set && KeptSets::Open())
        Kept().Keep(std::move(set));
}

uint32_t* RenderCacheFileBuffers::Pixels(size_t count) {
    if (count > m_pixelCapacity) {
        // The old block goes first, so that the two are never held at once. Not value-initialised: the
        // decoder writes every word before anything reads one.
        m_pixels.reset();
        m_pixels.reset(new (std::nothrow) uint32_t[count]);
        m_pixelCapacity = m_pixels ? count : 0;
    }
    return m_pixels.get();
}

bool RenderCacheFileBuffers::ReserveReadAhead(size_t size) {
    if (m_readAhead.size() >= size)
        return true;
    try {
        m_readAhead.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t RenderCacheFileBuffers::HeldBytes() const {
    return m_pixelCapacity * sizeof(uint32_t) + m_readAhead.capacity() + m_inflater.HeldBytes();
}

void RenderCacheFileBuffers::TrimTo(size_t limit) {
    if (HeldBytes() <= limit)
        return;
    m_pixels.reset();
    m_pixelCapacity = 0;
    if (HeldBytes() <= limit)
        return;
    m_readAhead = {};
    if (HeldBytes() > limit)
        m_inflater.Release();
}
