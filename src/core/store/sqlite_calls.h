#pragma once
// Small wrappers over SQLite's C calls, shared by the table file's reading and writing.
#include "core/common/error.h"

#include <sqlite3.h>

#include <string>

namespace barqeen::sqlite {

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            throw Error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    // true: a row is ready; false: done. Throws SQLite's message on an error.
    bool step(sqlite3* db)
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw Error(sqlite3_errmsg(db));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

inline void exec(sqlite3* db, const std::string& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error(text);
    }
}

inline int64_t integerOf(sqlite3* db, const std::string& sql)
{
    Statement s(db, sql);
    return s.step(db) ? sqlite3_column_int64(s.get(), 0) : 0;
}

inline std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

}  // namespace barqeen::sqlite
