// The device registry kept in <root>/registry.db (SQLite, WAL), shared by every process of the device.
// Keys form a tree below three fixed roots; key and value names are matched without regard to case but
// keep the spelling they were created with. Every operation returns a registry error code.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "ce/types.h"
#include "registry/SqlStatement.h"

namespace ce::detail {

struct RegistryValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct RegistryKeyInfo {
    DWORD subKeys = 0;
    DWORD maxSubKeyLength = 0;  // characters, without the terminator
    DWORD values = 0;
    DWORD maxValueNameLength = 0;
    DWORD maxValueLength = 0;  // bytes
    uint64_t lastWriteUnixMs = 0;
};

class RegistryStore {
public:
    // Ids of the three roots; every other key has an id above them.
    static constexpr int64_t kClassesRoot = 1;
    static constexpr int64_t kCurrentUser = 2;
    static constexpr int64_t kLocalMachine = 3;

    static RegistryStore& Instance();

    LONG CreateKey(int64_t parent, const std::vector<std::u16string>& path, int64_t* key, bool* created);
    LONG OpenKey(int64_t parent, const std::vector<std::u16string>& path, int64_t* key);
    // ERROR_SUCCESS while the key exists, ERROR_KEY_DELETED once it is gone.
    LONG CheckKey(int64_t key);
    LONG SetValue(int64_t key, std::u16string_view name, DWORD type, const BYTE* data, DWORD size);
    LONG GetValue(int64_t key, std::u16string_view name, RegistryValue* value);
    LONG DeleteValue(int64_t key, std::u16string_view name);
    // Deletes the key at the path with everything below it.
    LONG DeleteKey(int64_t parent, const std::vector<std::u16string>& path);
    // Subkeys in the order of their names (without case), values in the order they were first set.
    LONG SubKeyAt(int64_t key, DWORD index, std::u16string* name, uint64_t* lastWriteUnixMs);
    LONG ValueAt(int64_t key, DWORD index, RegistryValue* value);
    LONG QueryInfo(int64_t key, RegistryKeyInfo* info);
    // Moves committed changes from the write-ahead log into registry.db.
    LONG Flush();

private:
    RegistryStore() = default;

    LONG Connect();
    LONG OpenDatabase(const std::string& file);
    void Disconnect();
    LONG Execute(const char* sql);
    LONG EnableWal();
    bool HasSchema();
    LONG FindChild(int64_t parent, const std::u16string& name, int64_t* child);
    LONG Walk(int64_t parent, const std::vector<std::u16string>& path, int64_t* key);
    LONG Touch(int64_t key);
    LONG Commit(LONG result);
    // Connects and starts a transaction that writes.
    LONG BeginWrite();
    // The value row of a query selecting name, type and data; whenNone when it gives no row.
    LONG ReadValue(SqlStatement& query, int64_t key, LONG whenNone, RegistryValue* value);
    LONG Error(int sqliteResult) const;

    std::mutex lock_;
    sqlite3* db_ = nullptr;
    std::string dbRoot_;  // the device root that db_ belongs to
};

}  // namespace ce::detail
