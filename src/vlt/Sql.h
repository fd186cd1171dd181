// A thin owner of SQLite connections and statements, so that no path leaks one.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vlt {

class Stmt {
public:
    Stmt() = default;
    Stmt(sqlite3* db, std::string_view sql);
    ~Stmt() { sqlite3_finalize(stmt_); }
    Stmt(Stmt&& o) noexcept : stmt_(std::exchange(o.stmt_, nullptr)), rc_(o.rc_) {}
    Stmt& operator=(Stmt&& o) noexcept {
        std::swap(stmt_, o.stmt_);
        rc_ = o.rc_;
        return *this;
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    explicit operator bool() const { return stmt_ != nullptr; }
    int prepareCode() const { return rc_; }
    sqlite3_stmt* get() const { return stmt_; }

    Stmt& bind(int i, std::int64_t v);
    Stmt& bind(int i, std::string_view text);
    Stmt& bindBlob(int i, const void* data, std::size_t size);
    Stmt& bindNull(int i);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    std::int64_t i64(int col) const { return sqlite3_column_int64(stmt_, col); }
    bool isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
    std::string_view text(int col) const;
    std::vector<std::uint8_t> blob(int col) const;
    std::string_view blobView(int col) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

// Runs statements that return no rows; false on the first failure.
bool Exec(sqlite3* db, const char* sql);

} // namespace vlt
