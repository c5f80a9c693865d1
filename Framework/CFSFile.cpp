#include "CFSFile.h"

#include "CByteBuffer.h"

CFSFile::~CFSFile() {
    if (IsOpen()) {
        Close();
    }
}

bool CFSFile::Open(LPCWSTR path, DWORD disposition, DWORD access, DWORD shareMode) {
    if (IsOpen()) {
        Close();
    }
    m_handle = CreateFileW(path, access, shareMode, nullptr, disposition, 0, nullptr);
    return IsOpen();
}

BOOL CFSFile::Close() {
    const BOOL closed = CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
}

DWORD CFSFile::GetSize(LPDWORD sizeHigh) const {
    if (!IsOpen()) {
        if (sizeHigh != nullptr) {
            *sizeHigh = 0;
        }
        return INVALID_FILE_SIZE;
    }
    return GetFileSize(m_handle, sizeHigh);
}

int CFSFile::GetTimes(LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
    if (!IsOpen()) {
        m_error = 1;
        return 0;
    }
    return GetFileTime(m_handle, creation, lastAccess, lastWrite) ? 1 : 0;
}

int CFSFile::Read(LPVOID buffer, DWORD bytes, LPDWORD read) {
    DWORD done = 0;
    if (!IsOpen() || !ReadFile(m_handle, buffer, bytes, &done, nullptr)) {
        return 0;
    }
    if (read != nullptr) {
        *read = done;
    }
    return 1;
}

bool CFSFile::Flush() {
    return FlushFileBuffers(m_handle) != FALSE;
}

int CFSFile::Write(LPCVOID buffer, DWORD bytes, LPDWORD written) {
    DWORD done = 0;
    if (!IsOpen() || !WriteFile(m_handle, buffer, bytes, &done, nullptr)) {
        return 0;
    }
    if (written != nullptr) {
        *written = done;
    }
    return 1;
}

DWORD CFSFile::ReadU32() {
    BYTE bytes[4] = {};
    DWORD read = 0;
    if (!Read(bytes, sizeof bytes, &read) || read != sizeof bytes) {
        m_error = 1;
        return 0;
    }
    return bytes[0] | (static_cast<DWORD>(bytes[1]) << 8) | (static_cast<DWORD>(bytes[2]) << 16) |
           (static_cast<DWORD>(bytes[3]) << 24);
}

bool CFSFile::ReadExact(LPVOID buffer, DWORD bytes) {
    DWORD read = 0;
    return Read(buffer, bytes, &read) && read == bytes;
}

bool CFSFile::ReadU16(WORD& value) {
    BYTE bytes[2];
    if (!ReadExact(bytes, sizeof bytes)) {
        return false;
    }
    value = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
    return true;
}

bool CFSFile::ReadU32(DWORD& value) {
    WORD low = 0, high = 0;
    if (!ReadU16(low) || !ReadU16(high)) {
        return false;
    }
    value = low | (static_cast<DWORD>(high) << 16);
    return true;
}

bool CFSFile::WriteU32(DWORD value) {
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    DWORD written = 0;
    return Write(bytes, sizeof bytes, &written) && written == sizeof bytes;
}

bool CFSFile::Seek(LONG offset, DWORD method) {
    if (!IsOpen()) {
        return false;
    }
    SetLastError(NO_ERROR);
    const DWORD position = SetFilePointer(m_handle, offset, nullptr, method);
    return !(position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool CFSFile::ReadAll(CByteBuffer* out) {
    constexpr DWORD kChunk = 65536;
    if (out == nullptr || !IsOpen()) {
        return false;
    }
    const DWORD start = out->GetLength();
    for (;;) {
        BYTE* chunk = out->InsertSpace(kChunk, CByteBuffer::kEnd);
        DWORD read = 0;
        if (chunk == nullptr || !Read(chunk, kChunk, &read)) {
            out->SetLength(start);
            return false;
        }
        out->SetLength(out->GetLength() - kChunk + read);
        if (read == 0) {
            return true;
        }
    }
}
