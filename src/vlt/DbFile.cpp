#include "vlt/DbFile.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "common/Ascii.h"
#include "common/PlainFile.h"
#include "vlt/Schema.h"
#include "vlt/SearchRows.h"
#include "vlt/Sql.h"

namespace vlt {
namespace {

constexpr char kSqliteMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                   'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

std::string UriOf(const std::string& file) {
    // Percent-encode what a URI path cannot hold as it is.
    std::string uri = "file:";
    for (unsigned char c : file) {
        if (c == '%' || c == '?' || c == '#' || c < 0x21 || c > 0x7E) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            uri += buf;
        } else {
            uri += static_cast<char>(c);
        }
    }
    // immutable: the file never changes under us (the builder replaces files by renaming), so
    // SQLite needs no locks and will not create journal or WAL files beside it.
    return uri + "?mode=ro&immutable=1";
}

} // namespace

store::Status StatusOfSqlite(int code) {
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return store::kNotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return store::kFileAccess;
    case SQLITE_NOMEM:
        return store::kOutOfMemory;
    default:
        return store::kDatabaseCorrupt;
    }
}

store::TimeDate TimeOf(std::int64_t stored) {
    return store::TimeDate::FromValue(static_cast<std::uint64_t>(stored));
}

DbFile::~DbFile() {
    openingAhead.reset(); // its thread ends before the connection it reads is closed
    statements_.clear();  // statements go before their connection
    sqlite3_close_v2(conn_);
    sqlite3_close_v2(reader_);
}

sqlite3* DbFile::reader() {
    if (readerTried_ || !plainFile_)
        return reader_;
    readerTried_ = true;
    sqlite3* conn = nullptr;
    if (sqlite3_open_v2(UriOf(path_).c_str(), &conn,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(conn);
        return nullptr;
    }
    Exec(conn, "PRAGMA query_only=1");
    // It reads in order, once: the upper pages of the trees are all it keeps.
    Exec(conn, "PRAGMA cache_size=-64");
    reader_ = conn;
    return reader_;
}

StmtLease DbFile::cached(const char* sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end() || !it->second)
        it = statements_.insert_or_assign(sql, Stmt(conn_, sql)).first;
    return StmtLease(&it->second);
}

store::Status DbFile::Open(const std::string& file, std::shared_ptr<DbFile>* out,
                           std::string* detail, const char* vfs) {
    auto fail = [&](store::Status s, const std::string& why) {
        *detail = file + ": " + why;
        return s;
    };
    // Look at the header ourselves first: SQLite would happily treat an empty file as a new
    // database, and its message for random bytes does not say what the file is.
    if (!vfs) {
        int err = 0;
        const int fd = OpenPlainFile(file, &err);
        if (fd < 0)
            return fail(err == EINVAL ? store::kNotADatabase : store::kFileAccess,
                        err == EINVAL ? std::string("not a regular file")
                                      : "cannot be read: " + PlainFileError(err));
        char head[16] = {};
        ssize_t got = 0;
        while (got < 16) {
            const ssize_t n = ::read(fd, head + got, sizeof head - std::size_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        ::close(fd);
        if (got == 0)
            return fail(store::kNotADatabase, "the file is empty");
        if (got < 16 || std::memcmp(head, kSqliteMagic, 16) != 0)
            return fail(store::kNotADatabase, "not a database file (unknown header)");
    }

    std::shared_ptr<DbFile> db(new DbFile);
    db->path_ = file;
    db->plainFile_ = vfs == nullptr;
    int rc = sqlite3_open_v2(UriOf(file).c_str(), &db->conn_,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, vfs);
    if (rc != SQLITE_OK)
        return fail(StatusOfSqlite(rc), std::string("cannot be opened: ") + sqlite3_errstr(rc));
    Exec(db->conn_, "PRAGMA query_only=1");
    // Reads go through the system's file cache anyway; what pays to keep here is the upper
    // pages of the trees, and 256 KiB holds them (a dump of 100,000 notes reads no page more
    // than with SQLite's 2 MB), so every open database costs less memory.
    Exec(db->conn_, "PRAGMA cache_size=-256");

    // Every table must be there before anything is read from it.
    {
        Stmt q(db->conn_, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?");
        if (!q)
            return fail(StatusOfSqlite(q.prepareCode()),
                        std::string("damaged database: ") + sqlite3_errmsg(db->conn_));
        for (const char* table : schema::kTables) {
            q.reset();
            q.bind(1, std::string_view(table));
            rc = q.step();
            if (rc == SQLITE_DONE)
                return fail(store::kDatabaseCorrupt,
                            std::string("table \"") + table + "\" is missing");
            if (rc != SQLITE_ROW)
                return fail(StatusOfSqlite(rc),
                            std::string("damaged database: ") + sqlite3_errstr(rc));
        }
    }
    {
        Stmt q(db->conn_, "SELECT key, value FROM meta WHERE key IN ('format','schema')");
        if (!q)
            return fail(store::kDatabaseCorrupt, "table \"meta\" is damaged");
        std::string format, version;
        while ((rc = q.step()) == SQLITE_ROW)
            (q.text(0) == "format" ? format : version) = std::string(q.text(1));
        if (rc != SQLITE_DONE)
            return fail(StatusOfSqlite(rc), std::string("damaged database: ") + sqlite3_errstr(rc));
        if (format != schema::kFormatName)
            return fail(store::kNotADatabase,
                        "not a database of this store (format \"" + EscapeText(format) + "\")");
        if (version != std::to_string(schema::kSchemaVersion))
            return fail(store::kUnsupportedVersion, "schema version \"" + EscapeText(version) +
                                                        "\" is not supported (expected " +
                                                        std::to_string(schema::kSchemaVersion) +
                                                        ")");
    }
    {
        Stmt q(db->conn_, "SELECT id, class, replica_id, replica_flags, cutoff_interval, "
                          "cutoff_date, data_modified, nondata_modified, options, info, "
                          "build_version FROM database");
        if (!q)
            return fail(store::kDatabaseCorrupt, "table \"database\" is damaged");
        rc = q.step();
        if (rc == SQLITE_DONE)
            return fail(store::kDatabaseCorrupt, "the database information row is missing");
        if (rc != SQLITE_ROW)
            return fail(StatusOfSqlite(rc), std::string("damaged database: ") + sqlite3_errstr(rc));
        DatabaseRow& r = db->row_;
        r.id = TimeOf(q.i64(0));
        r.dbClass = static_cast<std::uint16_t>(q.i64(1));
        r.replicaId = TimeOf(q.i64(2));
        r.replicaFlags = static_cast<std::uint16_t>(q.i64(3));
        r.cutoffInterval = static_cast<std::uint16_t>(q.i64(4));
        r.cutoffDate = TimeOf(q.i64(5));
        r.dataModified = TimeOf(q.i64(6));
        r.nonDataModified = TimeOf(q.i64(7));
        if (!q.isNull(8))
            r.options = static_cast<std::uint32_t>(q.i64(8));
        r.info = std::string(q.text(9));
        if (!q.isNull(10))
            r.buildVersion = static_cast<std::uint16_t>(q.i64(10));
    }
    *out = std::move(db);
    return store::kNoError;
}

} // namespace vlt
