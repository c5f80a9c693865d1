#include "PackageInstaller.h"

#include <memory>

#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/registry.h"

namespace {

using installpkg::Record;
using installpkg::RecordKind;

constexpr char kLogName[] = "installer";
constexpr DWORD kReadLimit = installpkg::kMaxPackageSize + 4096;
constexpr char16_t kAppsKey[] = u"Software\\Apps\\";

struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenFile(LPCWSTR path, DWORD access, DWORD disposition) {
    HANDLE file = CreateFileW(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteWhole(LPCWSTR path, const std::string& bytes) {
    FileHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD portion = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file.get(), bytes.data() + done, portion, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return CloseHandle(file.release()) != FALSE;
}

std::u16string ParentFolder(const std::u16string& path) {
    size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos || slash == 0 ? std::u16string(u"\\") : path.substr(0, slash);
}

bool FolderExists(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool PackageInstaller::Install() {
    LogEvent("handed", {{"quiet", m_quiet ? "1" : "0"}});
    std::string bytes;
    std::string error;
    if (!ReadPackage(&bytes)) {
        return false;
    }
    if (!installpkg::Read(bytes, &m_records, &error)) {
        return Fail(error);
    }
    if (!CheckRecords() || !CreateFolders()) {
        return false;
    }
    if (!StageFiles()) {
        DiscardStaged();
        return false;
    }
    if (!PlaceFiles() || !MarkInstalled() || !RunPrograms()) {
        return false;
    }
    LogEvent("installed", {{"records", std::to_string(m_records.size())}});
    return true;
}

bool PackageInstaller::ReadPackage(std::string* bytes) {
    FileHandle file = OpenFile(m_package.c_str(), GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        return Fail("the package cannot be opened (error " + std::to_string(GetLastError()) + ")");
    }
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kReadLimit) {
        return Fail("the package is too large or its size cannot be read");
    }
    bytes->resize(size);
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes->data() + done, size - done, &read, nullptr) || read == 0) {
            return Fail("the package cannot be read");
        }
        done += read;
    }
    return true;
}

// Every record is judged before anything is changed.
bool PackageInstaller::CheckRecords() {
    int applications = 0;
    for (const Record& record : m_records) {
        if (record.kind == RecordKind::Application) {
            if (++applications > 1 || record.name.find('\\') != std::string::npos) {
                return Fail("the package names its application more than once or with a backslash");
            }
            continue;
        }
        if (!CheckDevicePath(record)) {
            return false;
        }
    }
    return true;
}

bool PackageInstaller::CheckDevicePath(const Record& record) {
    std::u16string path = ce::FromUtf8(record.name);
    bool absolute = path.size() > 1 && path[0] == u'\\' && path.back() != u'\\';
    if (!absolute || ce::HostPath(path).empty() || path.find(u'/') != std::u16string::npos) {
        return Fail("the package names an unusable device path: " + record.name);
    }
    if (record.kind == RecordKind::Run && record.data.find('\0') != std::string::npos) {
        return Fail("the package gives a command line with a NUL for " + record.name);
    }
    return true;
}

bool PackageInstaller::CreateFolders() {
    for (const Record& record : m_records) {
        if (record.kind != RecordKind::Folder && record.kind != RecordKind::File) {
            continue;
        }
        std::u16string path = ce::FromUtf8(record.name);
        std::u16string folder = record.kind == RecordKind::Folder ? path : ParentFolder(path);
        // Each missing ancestor, outermost first.
        std::vector<std::u16string> missing;
        for (std::u16string at = folder; at != u"\\" && !FolderExists(at); at = ParentFolder(at)) {
            missing.insert(missing.begin(), at);
        }
        for (const std::u16string& create : missing) {
            if (!CreateDirectoryW(create.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
                for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it) {
                    RemoveDirectoryW(it->c_str());
                }
                return Fail("the folder " + ce::ToUtf8(create) + " cannot be created");
            }
            m_createdFolders.push_back(create);
        }
    }
    return true;
}

bool PackageInstaller::StageFiles() {
    for (const Record& record : m_records) {
        if (record.kind != RecordKind::File) {
            continue;
        }
        std::u16string temporary = ce::FromUtf8(record.name) + u".tmp";
        m_staged.push_back(temporary);
        if (!WriteWhole(temporary.c_str(), record.data)) {
            return Fail("the file " + record.name + " cannot be written");
        }
    }
    return true;
}

bool PackageInstaller::PlaceFiles() {
    size_t staged = 0;
    for (const Record& record : m_records) {
        if (record.kind != RecordKind::File) {
            continue;
        }
        std::u16string target = ce::FromUtf8(record.name);
        if (!MoveFileExW(m_staged[staged].c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            m_staged.erase(m_staged.begin(), m_staged.begin() + static_cast<long>(staged));
            DiscardStaged();
            return Fail("the file " + record.name + " cannot be put in place");
        }
        ++staged;
    }
    m_staged.clear();
    return true;
}

void PackageInstaller::DiscardStaged() {
    for (const std::u16string& temporary : m_staged) {
        DeleteFileW(temporary.c_str());
    }
    m_staged.clear();
    for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it) {
        RemoveDirectoryW(it->c_str());
    }
    m_createdFolders.clear();
}

bool PackageInstaller::MarkInstalled() {
    for (const Record& record : m_records) {
        if (record.kind != RecordKind::Application) {
            continue;
        }
        std::u16string keyPath = kAppsKey + ce::FromUtf8(record.name);
        HKEY key = nullptr;
        DWORD installed = 1;
        bool marked = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr) ==
                          ERROR_SUCCESS &&
                      RegSetValueExW(key, u"Instl", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed),
                                     sizeof installed) == ERROR_SUCCESS;
        if (key != nullptr) {
            RegCloseKey(key);
        }
        if (!marked) {
            return Fail("the application " + record.name + " cannot be marked installed");
        }
    }
    return true;
}

bool PackageInstaller::RunPrograms() {
    for (const Record& record : m_records) {
        if (record.kind != RecordKind::Run) {
            continue;
        }
        std::u16string program = ce::FromUtf8(record.name);
        std::u16string commandLine = ce::FromUtf8(record.data);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            nullptr, &process)) {
            return Fail("the program " + record.name + " cannot be started");
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        LogEvent("ran", {{"program", record.name}, {"command_line", record.data}, {"exit_code", std::to_string(exitCode)}});
    }
    return true;
}

bool PackageInstaller::Fail(const std::string& reason) {
    m_problem = reason;
    LogEvent("failed", {{"reason", reason}});
    return false;
}

void PackageInstaller::LogEvent(const std::string& event, std::vector<std::pair<std::string, std::string>> fields) {
    fields.insert(fields.begin(), {{"event", event}, {"package", ce::ToUtf8(m_package)}});
    ce::AppendDeviceLog(kLogName, fields);
}
