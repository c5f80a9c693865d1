#include "CAtomicFileWriter.h"

CAtomicFileWriter::CAtomicFileWriter(LPCWSTR path) : m_path(path != nullptr ? path : u"") {
    m_temporaryPath = m_path + u".tmp";
    m_failed = m_path.empty() ||
               !m_file.Open(m_temporaryPath.c_str(), CREATE_ALWAYS, GENERIC_WRITE, 0);
}

CAtomicFileWriter::~CAtomicFileWriter() {
    if (!m_committed) {
        Discard();
    }
}

bool CAtomicFileWriter::Write(const void* data, DWORD size) {
    if (m_failed || m_committed) {
        return false;
    }
    DWORD written = 0;
    if (size > 0 && (!m_file.Write(data, size, &written) || written != size)) {
        m_failed = true;
    }
    return !m_failed;
}

bool CAtomicFileWriter::Commit() {
    if (m_failed || m_committed) {
        return false;
    }
    if (!m_file.Close()) {
        m_failed = true;
        return false;
    }
    if (!MoveIntoPlace()) {
        m_failed = true;
        return false;
    }
    m_committed = true;
    return true;
}

// The device's rename does not replace an existing file: the old file steps aside as "<name>.old" and
// comes back when the new one cannot take its place. Readers of shared files hold the file's mutex.
bool CAtomicFileWriter::MoveIntoPlace() {
    LPCWSTR temporary = m_temporaryPath.c_str();
    LPCWSTR target = m_path.c_str();
    if (MoveFileW(temporary, target)) {
        return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    std::u16string backup = m_path + u".old";
    DeleteFileW(backup.c_str());
    if (!MoveFileW(target, backup.c_str())) {
        return false;
    }
    if (!MoveFileW(temporary, target)) {
        MoveFileW(backup.c_str(), target);
        return false;
    }
    DeleteFileW(backup.c_str());
    return true;
}

bool CAtomicFileWriter::Replace(LPCWSTR path, const void* data, DWORD size) {
    CAtomicFileWriter writer(path);
    return writer.Write(data, size) && writer.Commit();
}

void CAtomicFileWriter::Discard() {
    if (m_file.IsOpen()) {
        m_file.Close();
    }
    if (!m_path.empty()) {
        DeleteFileW(m_temporaryPath.c_str());
    }
}
