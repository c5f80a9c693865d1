#include "CByteBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

CByteBuffer::CByteBuffer(const CByteBuffer& other) : m_growStep(other.m_growStep) {
    CopyFrom(other);
}

CByteBuffer::CByteBuffer(CByteBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_length(std::exchange(other.m_length, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_growStep(other.m_growStep) {}

CByteBuffer& CByteBuffer::operator=(const CByteBuffer& other) {
    if (this != &other) {
        Free();
        m_growStep = other.m_growStep;
        CopyFrom(other);
    }
    return *this;
}

CByteBuffer& CByteBuffer::operator=(CByteBuffer&& other) noexcept {
    if (this != &other) {
        Free();
        m_data = std::exchange(other.m_data, nullptr);
        m_length = std::exchange(other.m_length, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_growStep = other.m_growStep;
    }
    return *this;
}

CByteBuffer::~CByteBuffer() {
    Free();
}

// A copy that cannot get its block stays empty rather than sharing the other's.
void CByteBuffer::CopyFrom(const CByteBuffer& other) {
    if (other.m_length == 0) {
        return;
    }
    m_data = static_cast<BYTE*>(std::malloc(other.m_length));
    if (m_data == nullptr) {
        return;
    }
    std::memcpy(m_data, other.m_data, other.m_length);
    m_length = other.m_length;
    m_capacity = other.m_length;
}

int CByteBuffer::SetGrowStep(DWORD bytes) {
    m_growStep = bytes;
    return 1;
}

BYTE* CByteBuffer::GetPointer(DWORD offset) const {
    if (m_data == nullptr) {
        return nullptr;
    }
    return m_data + (offset == kEnd ? m_length : offset);
}

bool CByteBuffer::Reserve(DWORD needed) {
    if (needed <= m_capacity) {
        return true;
    }
    // The capacity is a 32-bit size: a growth that cannot be expressed in it fails.
    const ULONGLONG capacity = static_cast<ULONGLONG>(needed) + m_growStep;
    if (capacity > std::numeric_limits<DWORD>::max()) {
        return false;
    }
    auto* grown = static_cast<BYTE*>(std::realloc(m_data, static_cast<size_t>(capacity)));
    if (grown == nullptr) {
        return false;
    }
    m_data = grown;
    m_capacity = static_cast<DWORD>(capacity);
    return true;
}

BYTE* CByteBuffer::InsertSpace(DWORD count, DWORD offset) {
    const ULONGLONG needed = static_cast<ULONGLONG>(m_length) + count;
    if (needed > std::numeric_limits<DWORD>::max() || !Reserve(static_cast<DWORD>(needed))) {
        return nullptr;
    }
    if (offset != kEnd && offset <= m_length) {
        std::memmove(m_data + offset + count, m_data + offset, m_length - offset);
        m_length += count;
        return m_data + offset;
    }
    const DWORD end = m_length;
    m_length += count;
    return m_data + end;
}

int CByteBuffer::Insert(const void* source, DWORD count, DWORD offset) {
    if (source == nullptr) {
        return 0;
    }
    if (count == 0) {
        return 1;
    }
    BYTE* gap = InsertSpace(count, offset);
    if (gap == nullptr) {
        return 0;
    }
    std::memcpy(gap, source, count);
    return 1;
}

bool CByteBuffer::ReadAt(DWORD offset, DWORD count, void* target) const {
    if (target == nullptr || m_data == nullptr || offset == kEnd ||
        static_cast<ULONGLONG>(offset) + count > m_length) {
        return false;
    }
    std::memcpy(target, m_data + offset, count);
    return true;
}

bool CByteBuffer::SetLength(DWORD length) {
    if (!Reserve(length)) {
        return false;
    }
    m_length = length;
    return true;
}

void CByteBuffer::Free() {
    std::free(m_data);
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}
