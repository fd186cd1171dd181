// An open .vlt file: its read-only SQLite connection and the database row, checked at open.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/api/Notes.h"
#include "store/api/Status.h"
#include "store/api/Time.h"
#include "vlt/Sql.h"

namespace vlt {

class SearchRows;

struct DatabaseRow {
    store::TimeDate id;
    std::uint16_t dbClass = 0;
    store::TimeDate replicaId;
    std::uint16_t replicaFlags = 0;
    std::uint16_t cutoffInterval = 0;
    store::TimeDate cutoffDate;
    store::TimeDate dataModified;
    store::TimeDate nonDataModified;
    std::optional<std::uint32_t> options;
    std::string info;
    std::optional<std::uint16_t> buildVersion;
};

// One note's row of the notes table.
struct NoteRow {
    store::NoteId id = 0;
    std::uint16_t noteClass = 0;
    store::OriginatorId originator;
    store::TimeDate created, modified, accessed, added;
    std::uint16_t flags = 0;
    std::uint16_t privileges = 0;
    store::NoteId parent = 0;
    bool deleted = false;
};

// A prepared statement borrowed from a file's cache; reset when the lease ends. A lease must end
// before the same statement is leased again, so holders never call out while they hold one.
class StmtLease {
public:
    explicit StmtLease(Stmt* s) : s_(s) {}
    ~StmtLease() {
        if (s_)
            s_->reset();
    }
    StmtLease(const StmtLease&) = delete;
    StmtLease& operator=(const StmtLease&) = delete;
    Stmt& operator*() const { return *s_; }
    Stmt* operator->() const { return s_; }

private:
    Stmt* s_;
};

class DbFile {
public:
    ~DbFile();
    DbFile(const DbFile&) = delete;
    DbFile& operator=(const DbFile&) = delete;

    // Opens `file` (a file-system path) read-only and checks that it is a database of our
    // schema. On failure *detail names the file and the problem.
    // With `vfs`, `file` is a name of that SQLite file system and the caller has checked the
    // header.
    static store::Status Open(const std::string& file, std::shared_ptr<DbFile>* out,
                              std::string* detail, const char* vfs = nullptr);

    sqlite3* conn() const { return conn_; }
    const DatabaseRow& row() const { return row_; }
    const std::string& path() const { return path_; }
    // Serialises use of the connection; recursive because search callbacks call back in.
    std::recursive_mutex& mutex() { return mutex_; }
    // The statement for `sql` (a string literal, cached by its address), prepared on first use.
    // Callers hold mutex(). Check the statement before use: it may have failed to prepare.
    StmtLease cached(const char* sql);
    // A second read-only connection to the same file, opened on first use, for reading ahead on
    // another thread while this one is used here; null when the file is reached through a file
    // system of SQLite's of our own or the connection cannot be opened. Callers hold mutex() and
    // mark it busy while a thread uses it.
    sqlite3* reader();
    bool readerBusy = false;
    // The largest stored note ID, read on first use: how large a search may get.
    std::optional<std::int64_t> largestNoteId;
    // The notes read ahead of the ones opened, on reader(), while they are opened in ID order.
    std::unique_ptr<SearchRows> openingAhead;
    const void* openingPending = nullptr; // read ahead, not yet asked for (a SearchedNote)
    std::int64_t lastOpened = 0;          // the highest note ID opened
    int openedInOrder = 0;                // how many were opened past the ones before
    int openingMisses = 0;                // opened since, out of the read-ahead's order

    // Design notes by title (each "|"-separated title of "$TITLE", lower-cased), in note ID
    // order, filled on first use. The file is opened read-only, so the index never goes stale.
    struct DesignEntry {
        std::uint32_t id = 0;
        std::uint16_t noteClass = 0;
    };
    std::optional<std::unordered_map<std::string, std::vector<DesignEntry>>> designIndex;
    // The same for the notes of no design class, read only for a lookup of documents.
    std::optional<std::unordered_map<std::string, std::vector<DesignEntry>>> documentTitleIndex;
    // The IDs of the notes that have responses and of those that hold objects, in ascending
    // order, filled on first use: the notes of most files have neither, and asking the file
    // for each note a dump opens costs a statement each (the objects by note even a scan).
    std::optional<std::vector<std::int64_t>> responseParents;
    std::optional<std::vector<std::int64_t>> objectHolders;
    // The row read last: a note's row is asked for again right after it was read (its class
    // for the label, then the whole row when the note is opened).
    std::optional<NoteRow> lastRow;

private:
    DbFile() = default;
    sqlite3* conn_ = nullptr;
    sqlite3* reader_ = nullptr;
    bool plainFile_ = false;
    bool readerTried_ = false;
    std::string path_;
    DatabaseRow row_;
    std::recursive_mutex mutex_;
    std::unordered_map<const char*, Stmt> statements_;
};

// The status for an SQLite failure on a file that opened well: damaged or unreadable.
store::Status StatusOfSqlite(int code);

store::TimeDate TimeOf(std::int64_t stored);

} // namespace vlt
