// A prepared SQLite statement; binds and reads the few column types the layer stores. Statements are
// kept per connection and text once prepared, and handed out again reset: a registry read then costs
// a look-up instead of compiling its SQL each time.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ce::detail {

class SqlStatement {
public:
    // sql: a text that lives as long as the program (the statement is kept under its address).
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement();
    // Finalizes the kept statements of a connection; called before it closes, with none in use.
    static void ForgetConnection(sqlite3* db);
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
    sqlite3* db_;
    const char* sql_;
    sqlite3_stmt* statement_ = nullptr;
    int prepareResult_ = SQLITE_OK;
};

}  // namespace ce::detail
