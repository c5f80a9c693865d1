#include "registry/RegistryStore.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "ce/device.h"
#include "registry/RegistryVfs.h"
#include "registry/SqlStatement.h"
#include "strings/CaseFold.h"

namespace ce::detail {
namespace {

// Other processes of the device may hold the write lock for a moment; wait that long before giving up.
constexpr int kBusyTimeoutMs = 5000;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, written INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS vals("
    " key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, folded));"
    "INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES"
    " (1, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
    " (2, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
    " (3, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');"
    "PRAGMA user_version=1;";
// What the schema's last statement stamps on the file: a file with it has the tables and the roots.
constexpr int64_t kSchemaVersion = 1;

// The form of a name that lookups compare: every code unit lowered, so that "Software" finds "SOFTWARE".
std::string Folded(std::u16string_view name) {
    std::u16string lowered(name);
    for (char16_t& c : lowered) {
        c = FoldToLower(c);
    }
    return ToUtf8(lowered);
}

}  // namespace

RegistryStore& RegistryStore::Instance() {
    static RegistryStore* store = new RegistryStore;  // never destroyed: keys may be closed during exit
    return *store;
}

LONG RegistryStore::Error(int sqliteResult) const {
    switch (sqliteResult & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return ERROR_SUCCESS;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_ERROR:  // our schema is fixed, so a statement that does not fit is a foreign file
            return ERROR_REGISTRY_CORRUPT;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_BUSY;
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return ERROR_ACCESS_DENIED;
        case SQLITE_NOMEM:
            return ERROR_OUTOFMEMORY;
        case SQLITE_CANTOPEN:
            return ERROR_CANTOPEN;
        default:
            return ERROR_CANTWRITE;
    }
}

LONG RegistryStore::Connect() {
    std::string root = DeviceRoot();
    if (root.empty()) {
        Disconnect();
        return ERROR_PATH_NOT_FOUND;
    }
    if (db_ != nullptr && dbRoot_ == root) {
        return ERROR_SUCCESS;
    }
    Disconnect();
    LONG result = OpenDatabase(root + "/registry.db");
    if (result != ERROR_SUCCESS) {
        Disconnect();
        return result;
    }
    dbRoot_ = root;
    return ERROR_SUCCESS;
}

LONG RegistryStore::OpenDatabase(const std::string& file) {
    int opened = sqlite3_open_v2(file.c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 RegistryVfs::Name());
    if (opened != SQLITE_OK) {
        return (opened & 0xFF) == SQLITE_CANTOPEN ? ERROR_PATH_NOT_FOUND : Error(opened);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // A file that is not a database shows here first; it is reported and left as it is.
    LONG result = EnableWal();
    // FULL: in WAL mode each commit syncs the log, so a value written stays written after a power cut
    // (NORMAL keeps the file whole but may lose the last commits).
    if (result == ERROR_SUCCESS) {
        result = Execute("PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    // A registry in use is only read here: no write lock to wait for behind another process's write.
    if (HasSchema()) {
        return ERROR_SUCCESS;
    }
    result = Execute("BEGIN IMMEDIATE");
    if (result != ERROR_SUCCESS) {
        return result;
    }
    return Commit(Execute(kSchema));
}

bool RegistryStore::HasSchema() {
    SqlStatement version(db_, "PRAGMA user_version");
    return version.Step() == SQLITE_ROW && version.Integer(0) == kSchemaVersion;
}

void RegistryStore::Disconnect() {
    if (db_ != nullptr) {
        SqlStatement::ForgetConnection(db_);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    dbRoot_.clear();
}

LONG RegistryStore::Execute(const char* sql) {
    return Error(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

LONG RegistryStore::EnableWal() {
    // Switching a new file to WAL needs the file to itself and does not wait through the busy handler,
    // while another process of the device may be switching it at the same moment: try again a while.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        SqlStatement mode(db_, "PRAGMA journal_mode=WAL");
        int step = mode.Step();
        if (step == SQLITE_ROW) {
            return ERROR_SUCCESS;
        }
        if ((step & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline) {
            return Error(step);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

LONG RegistryStore::Commit(LONG result) {
    if (result == ERROR_SUCCESS) {
        result = Execute("COMMIT");
    }
    if (result != ERROR_SUCCESS && !sqlite3_get_autocommit(db_)) {
        Execute("ROLLBACK");
    }
    return result;
}

LONG RegistryStore::BeginWrite() {
    LONG result = Connect();
    return result == ERROR_SUCCESS ? Execute("BEGIN IMMEDIATE") : result;
}

LONG RegistryStore::ReadValue(SqlStatement& query, int64_t key, LONG whenNone, RegistryValue* value) {
    int step = query.Step();
    if (step == SQLITE_ROW) {
        value->name = FromUtf8(query.Text(0));
        value->type = static_cast<DWORD>(query.Integer(1));
        value->data = query.Blob(2);
        return ERROR_SUCCESS;
    }
    if (step != SQLITE_DONE) {
        return Error(step);
    }
    // No row: the key may be gone, which outranks the missing value.
    LONG result = CheckKey(key);
    return result == ERROR_SUCCESS ? whenNone : result;
}

LONG RegistryStore::CheckKey(int64_t key) {
    SqlStatement query(db_, "SELECT 1 FROM keys WHERE id = ?");
    int step = query.Bind(1, key).Step();
    if (step == SQLITE_ROW) {
        return ERROR_SUCCESS;
    }
    return step == SQLITE_DONE ? ERROR_KEY_DELETED : Error(step);
}

LONG RegistryStore::FindChild(int64_t parent, const std::u16string& name, int64_t* child) {
    SqlStatement query(db_, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
    int step = query.Bind(1, parent).Bind(2, Folded(name)).Step();
    if (step == SQLITE_ROW) {
        *child = query.Integer(0);
        return ERROR_SUCCESS;
    }
    return step == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Error(step);
}

LONG RegistryStore::Walk(int64_t parent, const std::vector<std::u16string>& path, int64_t* key) {
    LONG result = CheckKey(parent);
    for (size_t i = 0; result == ERROR_SUCCESS && i < path.size(); ++i) {
        result = FindChild(parent, path[i], &parent);
    }
    if (result == ERROR_SUCCESS) {
        *key = parent;
    }
    return result;
}

LONG RegistryStore::Touch(int64_t key) {
    SqlStatement update(db_, "UPDATE keys SET written = ? WHERE id = ?");
    return Error(update.Bind(1, static_cast<int64_t>(ClockUnixMs())).Bind(2, key).Step());
}

LONG RegistryStore::CreateKey(int64_t parent, const std::vector<std::u16string>& path, int64_t* key,
                              bool* created) {
    std::lock_guard guard(lock_);
    LONG result = BeginWrite();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    *created = false;
    result = CheckKey(parent);
    for (size_t i = 0; result == ERROR_SUCCESS && i < path.size(); ++i) {
        int64_t child = 0;
        result = FindChild(parent, path[i], &child);
        if (result == ERROR_FILE_NOT_FOUND) {
            SqlStatement insert(db_, "INSERT INTO keys(parent, name, folded, written) VALUES (?, ?, ?, ?)");
            insert.Bind(1, parent).Bind(2, ToUtf8(path[i])).Bind(3, Folded(path[i]));
            result = Error(insert.Bind(4, static_cast<int64_t>(ClockUnixMs())).Step());
            child = sqlite3_last_insert_rowid(db_);
            if (result == ERROR_SUCCESS) {
                result = Touch(parent);
            }
            *created = true;
        }
        parent = child;
    }
    *key = parent;
    return Commit(result);
}

LONG RegistryStore::OpenKey(int64_t parent, const std::vector<std::u16string>& path, int64_t* key) {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    return result == ERROR_SUCCESS ? Walk(parent, path, key) : result;
}

LONG RegistryStore::SetValue(int64_t key, std::u16string_view name, DWORD type, const BYTE* data,
                             DWORD size) {
    std::lock_guard guard(lock_);
    LONG result = BeginWrite();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = CheckKey(key);
    if (result == ERROR_SUCCESS) {
        SqlStatement upsert(
            db_,
            "INSERT INTO vals(key, name, folded, type, data) VALUES (?, ?, ?, ?, ?)"
            " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
        upsert.Bind(1, key).Bind(2, ToUtf8(name)).Bind(3, Folded(name)).Bind(4, static_cast<int64_t>(type));
        result = Error(upsert.BindBlob(5, data, size).Step());
    }
    if (result == ERROR_SUCCESS) {
        result = Touch(key);
    }
    return Commit(result);
}

LONG RegistryStore::GetValue(int64_t key, std::u16string_view name, RegistryValue* value) {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    SqlStatement query(db_, "SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
    query.Bind(1, key).Bind(2, Folded(name));
    return ReadValue(query, key, ERROR_FILE_NOT_FOUND, value);
}

LONG RegistryStore::DeleteValue(int64_t key, std::u16string_view name) {
    std::lock_guard guard(lock_);
    LONG result = BeginWrite();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = CheckKey(key);
    if (result == ERROR_SUCCESS) {
        SqlStatement remove(db_, "DELETE FROM vals WHERE key = ? AND folded = ?");
        result = Error(remove.Bind(1, key).Bind(2, Folded(name)).Step());
    }
    if (result == ERROR_SUCCESS) {
        result = sqlite3_changes(db_) == 0 ? ERROR_FILE_NOT_FOUND : Touch(key);
    }
    return Commit(result);
}

LONG RegistryStore::DeleteKey(int64_t parent, const std::vector<std::u16string>& path) {
    if (path.empty()) {
        return ERROR_ACCESS_DENIED;  // a key deletes its subkeys, never itself through its own handle
    }
    std::lock_guard guard(lock_);
    LONG result = BeginWrite();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    int64_t key = 0;
    int64_t keyParent = parent;
    result = Walk(parent, std::vector<std::u16string>(path.begin(), path.end() - 1), &keyParent);
    if (result == ERROR_SUCCESS) {
        result = FindChild(keyParent, path.back(), &key);
    }
    if (result == ERROR_SUCCESS) {
        // The foreign keys cascade: subkeys and values of the whole subtree go with it.
        SqlStatement remove(db_, "DELETE FROM keys WHERE id = ?");
        result = Error(remove.Bind(1, key).Step());
    }
    if (result == ERROR_SUCCESS) {
        result = Touch(keyParent);
    }
    return Commit(result);
}

LONG RegistryStore::SubKeyAt(int64_t key, DWORD index, std::u16string* name, uint64_t* lastWriteUnixMs) {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    SqlStatement query(db_,
                       "SELECT name, written FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
    int step = query.Bind(1, key).Bind(2, static_cast<int64_t>(index)).Step();
    if (step == SQLITE_ROW) {
        *name = FromUtf8(query.Text(0));
        *lastWriteUnixMs = static_cast<uint64_t>(query.Integer(1));
        return ERROR_SUCCESS;
    }
    if (step != SQLITE_DONE) {
        return Error(step);
    }
    result = CheckKey(key);
    return result == ERROR_SUCCESS ? ERROR_NO_MORE_ITEMS : result;
}

LONG RegistryStore::ValueAt(int64_t key, DWORD index, RegistryValue* value) {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    SqlStatement query(db_,
                       "SELECT name, type, data FROM vals WHERE key = ? ORDER BY rowid LIMIT 1 OFFSET ?");
    query.Bind(1, key).Bind(2, static_cast<int64_t>(index));
    return ReadValue(query, key, ERROR_NO_MORE_ITEMS, value);
}

LONG RegistryStore::QueryInfo(int64_t key, RegistryKeyInfo* info) {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    if (result == ERROR_SUCCESS) {
        result = Execute("BEGIN");  // one snapshot for all three queries
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    *info = RegistryKeyInfo();
    SqlStatement self(db_, "SELECT written FROM keys WHERE id = ?");
    int step = self.Bind(1, key).Step();
    result = step == SQLITE_ROW ? ERROR_SUCCESS : step == SQLITE_DONE ? ERROR_KEY_DELETED : Error(step);
    if (result == ERROR_SUCCESS) {
        info->lastWriteUnixMs = static_cast<uint64_t>(self.Integer(0));
        SqlStatement keys(db_, "SELECT name FROM keys WHERE parent = ?");
        keys.Bind(1, key);
        while ((step = keys.Step()) == SQLITE_ROW) {
            ++info->subKeys;
            info->maxSubKeyLength = std::max<DWORD>(info->maxSubKeyLength, FromUtf8(keys.Text(0)).size());
        }
        result = Error(step);
    }
    if (result == ERROR_SUCCESS) {
        SqlStatement values(db_, "SELECT name, length(data) FROM vals WHERE key = ?");
        values.Bind(1, key);
        while ((step = values.Step()) == SQLITE_ROW) {
            ++info->values;
            info->maxValueNameLength =
                std::max<DWORD>(info->maxValueNameLength, FromUtf8(values.Text(0)).size());
            info->maxValueLength = std::max<DWORD>(info->maxValueLength, values.Integer(1));
        }
        result = Error(step);
    }
    return Commit(result);
}

LONG RegistryStore::Flush() {
    std::lock_guard guard(lock_);
    LONG result = Connect();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    int checkpoint = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    // A reader in another process may hold back part of the log; what was copied is on disk all the same.
    return (checkpoint & 0xFF) == SQLITE_BUSY ? ERROR_SUCCESS : Error(checkpoint);
}

}  // namespace ce::detail
