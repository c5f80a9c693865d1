// Owns one file handle; every operation reports success as a flag.
#pragma once

#include "ce/kernel.h"

class CByteBuffer;

class CFSFile {
public:
    CFSFile() = default;
    CFSFile(const CFSFile&) = delete;
    CFSFile& operator=(const CFSFile&) = delete;
    virtual ~CFSFile();

    bool Open(LPCWSTR path, DWORD disposition, DWORD access, DWORD shareMode);
    BOOL Close();
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // The low 32 bits of the size; the high ones go to sizeHigh when given.
    DWORD GetSize(LPDWORD sizeHigh) const;
    int GetTimes(LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
    int Read(LPVOID buffer, DWORD bytes, LPDWORD read);
    int Write(LPCVOID buffer, DWORD bytes, LPDWORD written);
    // Until what was written is on the disk (FlushFileBuffers).
    bool Flush();

    // Appends everything from the current position to the end of the file.
    bool ReadAll(CByteBuffer* out);

    // A little-endian 32-bit word; a short read sets the error flag and gives 0.
    DWORD ReadU32();
    // Reads exactly that many bytes; false on a short read.
    bool ReadExact(LPVOID buffer, DWORD bytes);
    // Little-endian words; false on a short read.
    bool ReadU16(WORD& value);
    bool ReadU32(DWORD& value);
    bool WriteU32(DWORD value);
    bool Seek(LONG offset, DWORD method);

    bool HasError() const { return m_error != 0; }
    void ClearError() { m_error = 0; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    DWORD m_error = 0;
};
