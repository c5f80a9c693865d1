// A prepared SQLite statement that finalizes itself; binds and reads the few column types the layer stores.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ce::detail {

class SqlStatement {
public:
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // The result of sqlite3_prepare_v2; the statement is unusable unless it is SQLITE_OK.
    int PrepareResult() const { return prepareResult_; }

    SqlStatement& Bind(int index, int64_t value);
    SqlStatement& Bind(int index, std::string_view text);
    SqlStatement& BindBlob(int index, const void* data, size_t size);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();

    int64_t Integer(int column) const;
    std::string Text(int column) const;
    std::vector<unsigned char> Blob(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    int prepareResult_;
};

}  // namespace ce::detail
