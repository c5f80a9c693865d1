// A growable byte block that collects downloaded and file data. Copies own their own block.
#pragma once

#include "ce/types.h"

class CByteBuffer {
public:
    static constexpr DWORD kDefaultGrowStep = 51200;
    static constexpr DWORD kEnd = static_cast<DWORD>(-1);

    CByteBuffer() = default;
    CByteBuffer(const CByteBuffer& other);
    CByteBuffer(CByteBuffer&& other) noexcept;
    CByteBuffer& operator=(const CByteBuffer& other);
    CByteBuffer& operator=(CByteBuffer&& other) noexcept;
    virtual ~CByteBuffer();

    int SetGrowStep(DWORD bytes);
    DWORD GetLength() const { return m_length; }
    // data + offset; kEnd gives the end of the content. Null while nothing is allocated.
    BYTE* GetPointer(DWORD offset) const;
    // Opens a gap of count bytes at offset (kEnd or past the end: appended); null on failure.
    BYTE* InsertSpace(DWORD count, DWORD offset);
    int Insert(const void* source, DWORD count, DWORD offset);
    // Copies count bytes from offset into target; false when they are not all inside the content.
    bool ReadAt(DWORD offset, DWORD count, void* target) const;
    // Sets the bytes in use, growing the block when needed; new bytes are undefined.
    bool SetLength(DWORD length);
    void Clear() { m_length = 0; }
    void Free();

private:
    bool Reserve(DWORD needed);
    void CopyFrom(const CByteBuffer& other);

    BYTE* m_data = nullptr;
    DWORD m_length = 0;
    DWORD m_capacity = 0;
    DWORD m_growStep = kDefaultGrowStep;
};
