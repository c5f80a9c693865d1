#include "registry/SqlStatement.h"

#include <map>
#include <mutex>
#include <utility>

namespace ce::detail {
namespace {

// Statements not in use, by connection and SQL text. A statement in use is not here, so that a query
// run inside the loop of another with the same text (a key's subkeys, recursively) gets one of its own.
struct IdleStatements {
    std::mutex lock;
    std::map<std::pair<sqlite3*, const char*>, std::vector<sqlite3_stmt*>> idle;
};

IdleStatements& Idle() {
    static IdleStatements* statements = new IdleStatements;  // used until the last connection closes
    return *statements;
}

}  // namespace

SqlStatement::SqlStatement(sqlite3* db, const char* sql) : db_(db), sql_(sql) {
    {
        std::lock_guard guard(Idle().lock);
        auto found = Idle().idle.find({db, sql});
        if (found != Idle().idle.end() && !found->second.empty()) {
            statement_ = found->second.back();
            found->second.pop_back();
            return;
        }
    }
    prepareResult_ = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
}

SqlStatement::~SqlStatement() {
    if (prepareResult_ != SQLITE_OK || statement_ == nullptr) {
        sqlite3_finalize(statement_);
        return;
    }
    // Reset ends the statement's read of the database, so that a kept statement holds no lock.
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    std::lock_guard guard(Idle().lock);
    Idle().idle[{db_, sql_}].push_back(statement_);
}

void SqlStatement::ForgetConnection(sqlite3* db) {
    std::lock_guard guard(Idle().lock);
    for (auto it = Idle().idle.begin(); it != Idle().idle.end();) {
        if (it->first.first != db) {
            ++it;
            continue;
        }
        for (sqlite3_stmt* statement : it->second) {
            sqlite3_finalize(statement);
        }
        it = Idle().idle.erase(it);
    }
}

SqlStatement& SqlStatement::Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

SqlStatement& SqlStatement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::BindBlob(int index, const void* data, size_t size) {
    // A zero-length blob is bound as an empty blob, not as NULL, so that an empty value keeps its type.
    static const unsigned char kEmpty = 0;
    sqlite3_bind_blob(statement_, index, size == 0 ? &kEmpty : data, static_cast<int>(size),
                      SQLITE_TRANSIENT);
    return *this;
}

int SqlStatement::Step() {
    if (prepareResult_ != SQLITE_OK) {
        return prepareResult_;
    }
    return sqlite3_step(statement_);
}

int64_t SqlStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqlStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

std::vector<unsigned char> SqlStatement::Blob(int column) const {
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(statement_, column));
    int size = sqlite3_column_bytes(statement_, column);
    return data == nullptr ? std::vector<unsigned char>() : std::vector<unsigned char>(data, data + size);
}

}  // namespace ce::detail
