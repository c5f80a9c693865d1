#include "Weather/CAtomicFileWriter.h"

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

// One rename replaces the old file, so a reader never finds the file missing.
bool CAtomicFileWriter::MoveIntoPlace() {
    return MoveFileExW(m_temporaryPath.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
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
