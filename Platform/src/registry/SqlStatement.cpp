#include "registry/SqlStatement.h"

namespace ce::detail {

SqlStatement::SqlStatement(sqlite3* db, const char* sql)
    : prepareResult_(sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr)) {}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(statement_);
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
