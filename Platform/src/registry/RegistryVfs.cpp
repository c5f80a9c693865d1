#include "registry/RegistryVfs.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <mutex>
#include <string>

#include "files/DiskSync.h"
#include "files/PowerCutSimulator.h"

namespace ce::detail {
namespace {

constexpr char kName[] = "ce-registry";

// Our file, with the host VFS's own one right behind it.
struct RegistryFile {
    sqlite3_file base;
    sqlite3_file* host;
    std::string* path;     // empty for SQLite's nameless temporary files
    bool folderUnsynced;   // a log this file made: the host syncs its folder at its first sync
};

sqlite3_vfs* HostVfs() {
    static sqlite3_vfs* host = sqlite3_vfs_find(nullptr);
    return host;
}

RegistryFile* Of(sqlite3_file* file) { return reinterpret_cast<RegistryFile*>(file); }
sqlite3_file* Host(sqlite3_file* file) { return Of(file)->host; }
bool Watched(sqlite3_file* file) { return PowerCutSimulator::Armed() && !Of(file)->path->empty(); }
PowerCutSimulator& Simulator() { return PowerCutSimulator::Instance(); }

int Close(sqlite3_file* file) {
    int result = Host(file)->pMethods->xClose(Host(file));
    delete Of(file)->path;
    return result;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return Host(file)->pMethods->xRead(Host(file), buffer, amount, offset);
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (Watched(file)) {
        Simulator().BeforeWrite(*Of(file)->path, static_cast<uint64_t>(offset), buffer, static_cast<size_t>(amount));
    }
    return Host(file)->pMethods->xWrite(Host(file), buffer, amount, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (Watched(file)) {
        Simulator().BeforeTruncate(*Of(file)->path, static_cast<uint64_t>(size));
    }
    return Host(file)->pMethods->xTruncate(Host(file), size);
}

int Sync(sqlite3_file* file, int flags) {
    if (Watched(file)) {
        Simulator().BeforeDataSync(*Of(file)->path);
        if (Of(file)->folderUnsynced) {
            Simulator().BeforeFolderSync(HostFolderOf(*Of(file)->path));
        }
    }
    Of(file)->folderUnsynced = false;
    return Host(file)->pMethods->xSync(Host(file), flags);
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) { return Host(file)->pMethods->xFileSize(Host(file), size); }
int Lock(sqlite3_file* file, int level) { return Host(file)->pMethods->xLock(Host(file), level); }
int Unlock(sqlite3_file* file, int level) { return Host(file)->pMethods->xUnlock(Host(file), level); }
int CheckReservedLock(sqlite3_file* file, int* held) {
    return Host(file)->pMethods->xCheckReservedLock(Host(file), held);
}
int FileControl(sqlite3_file* file, int op, void* argument) {
    return Host(file)->pMethods->xFileControl(Host(file), op, argument);
}
int SectorSize(sqlite3_file* file) { return Host(file)->pMethods->xSectorSize(Host(file)); }
int DeviceCharacteristics(sqlite3_file* file) { return Host(file)->pMethods->xDeviceCharacteristics(Host(file)); }

// The shared-memory index lives in RAM as far as a power cut goes: SQLite rebuilds it from the log.
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** mapped) {
    if (Watched(file)) {
        Simulator().ForgetOnPowerCut(*Of(file)->path + "-shm");
    }
    return Host(file)->pMethods->xShmMap(Host(file), region, size, extend, mapped);
}
int ShmLock(sqlite3_file* file, int offset, int count, int flags) {
    return Host(file)->pMethods->xShmLock(Host(file), offset, count, flags);
}
void ShmBarrier(sqlite3_file* file) { Host(file)->pMethods->xShmBarrier(Host(file)); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) { return Host(file)->pMethods->xShmUnmap(Host(file), deleteFlag); }
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** pointer) {
    return Host(file)->pMethods->xFetch(Host(file), offset, amount, pointer);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* pointer) {
    return Host(file)->pMethods->xUnfetch(Host(file), offset, pointer);
}

const sqlite3_io_methods kMethods = {3,         Close,      Read,        Write,    Truncate,   Sync,
                                     FileSize,  Lock,       Unlock,      CheckReservedLock,    FileControl,
                                     SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier,
                                     ShmUnmap,  Fetch,      Unfetch};

bool MakesLog(int flags) {
    return (flags & SQLITE_OPEN_CREATE) &&
           (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL));
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    RegistryFile* ours = Of(file);
    ours->base.pMethods = nullptr;
    ours->host = reinterpret_cast<sqlite3_file*>(ours + 1);
    std::string path = name != nullptr ? name : "";
    struct stat info {};
    bool made = !path.empty() && (flags & SQLITE_OPEN_CREATE) && stat(path.c_str(), &info) != 0;
    if (made && PowerCutSimulator::Armed()) {
        Simulator().BeforeCreate(path);
    }
    int result = HostVfs()->xOpen(HostVfs(), name, ours->host, flags, outFlags);
    if (result != SQLITE_OK) {
        return result;
    }
    ours->path = new std::string(std::move(path));
    ours->folderUnsynced = made && MakesLog(flags);
    ours->base.pMethods = &kMethods;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncFolder) {
    if (PowerCutSimulator::Armed()) {
        Simulator().BeforeUnlink(name);
        if (syncFolder) {
            Simulator().BeforeFolderSync(HostFolderOf(name));
        }
    }
    return HostVfs()->xDelete(HostVfs(), name, syncFolder);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    return HostVfs()->xAccess(HostVfs(), name, flags, result);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return HostVfs()->xFullPathname(HostVfs(), name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return HostVfs()->xDlOpen(HostVfs(), name); }
void DlError(sqlite3_vfs*, int size, char* message) { HostVfs()->xDlError(HostVfs(), size, message); }
void (*DlSym(sqlite3_vfs*, void* library, const char* symbol))(void) {
    return HostVfs()->xDlSym(HostVfs(), library, symbol);
}
void DlClose(sqlite3_vfs*, void* library) { HostVfs()->xDlClose(HostVfs(), library); }
int Randomness(sqlite3_vfs*, int size, char* out) { return HostVfs()->xRandomness(HostVfs(), size, out); }
int HostSleep(sqlite3_vfs*, int microseconds) { return HostVfs()->xSleep(HostVfs(), microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return HostVfs()->xCurrentTime(HostVfs(), now); }
int HostLastError(sqlite3_vfs*, int size, char* message) { return HostVfs()->xGetLastError(HostVfs(), size, message); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) { return HostVfs()->xCurrentTimeInt64(HostVfs(), now); }

sqlite3_vfs MakeVfs() {
    sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = static_cast<int>(sizeof(RegistryFile)) + HostVfs()->szOsFile;
    vfs.mxPathname = HostVfs()->mxPathname;
    vfs.zName = kName;
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xDlOpen = DlOpen;
    vfs.xDlError = DlError;
    vfs.xDlSym = DlSym;
    vfs.xDlClose = DlClose;
    vfs.xRandomness = Randomness;
    vfs.xSleep = HostSleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = HostLastError;
    vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    return vfs;
}

}  // namespace

const char* RegistryVfs::Name() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        static sqlite3_vfs vfs = MakeVfs();
        sqlite3_vfs_register(&vfs, 0);
    });
    return kName;
}

}  // namespace ce::detail
