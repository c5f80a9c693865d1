// Replaces a file that other processes read: the content goes to "<name>.tmp" in the same folder, every
// write is checked, and only a complete file takes the old one's place. On failure the ".tmp" alone is
// deleted and the old file stays as it was. The platform's rename syncs the file's data before it and
// the folder after it, so that a power cut, too, leaves the old file or the new one.
#pragma once

#include "CFSFile.h"

class CAtomicFileWriter {
public:
    explicit CAtomicFileWriter(LPCWSTR path);
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;
    // Without a successful Commit the ".tmp" is deleted.
    virtual ~CAtomicFileWriter();

    bool Write(const void* data, DWORD size);
    bool Commit();

    // Writes the whole content in one go.
    static bool Replace(LPCWSTR path, const void* data, DWORD size);

private:
    bool MoveIntoPlace();
    void Discard();

    std::u16string m_path;
    std::u16string m_temporaryPath;
    CFSFile m_file;
    bool m_failed = false;
    bool m_committed = false;
};
