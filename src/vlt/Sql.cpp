#include "vlt/Sql.h"

namespace vlt {

Stmt::Stmt(sqlite3* db, std::string_view sql) {
    rc_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Stmt& Stmt::bind(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

Stmt& Stmt::bind(int i, std::string_view text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Stmt& Stmt::bindBlob(int i, const void* data, std::size_t size) {
    sqlite3_bind_blob64(stmt_, i, size ? data : "", size, SQLITE_TRANSIENT);
    return *this;
}

Stmt& Stmt::bindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
}

int Stmt::step() {
    return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE;
}

void Stmt::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

std::string_view Stmt::text(int col) const {
    const unsigned char* p = sqlite3_column_text(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p ? std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
}

std::string_view Stmt::blobView(int col) const {
    const void* p = sqlite3_column_blob(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
}

std::vector<std::uint8_t> Stmt::blob(int col) const {
    const std::string_view v = blobView(col);
    return std::vector<std::uint8_t>(v.begin(), v.end());
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace vlt
