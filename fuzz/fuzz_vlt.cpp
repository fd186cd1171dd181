// Fuzzes the .vlt opener and the engine's reads of its tables. The input is either a whole file
// (it starts with the SQLite header and is written out as it is) or a list of table rows
// (fuzz/README.md gives the form), from which a file of our schema is written. The file is then
// opened and walked through the store service interface, and dumped whole as the dump tool does.
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/DumpCommand.h"
#include "store/api/Acl.h"
#include "store/api/Database.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "store/api/Objects.h"
#include "store/api/Search.h"
#include "vlt/Schema.h"

namespace {

// The schema's tables in the order of the table byte, with their column counts.
struct Table {
    const char* name;
    int columns;
};
constexpr Table kTables[] = {{"meta", 2},        {"database", 11}, {"notes", 14},
                             {"items", 5},       {"objects", 5},   {"acl", 2},
                             {"acl_entries", 5}, {"acl_roles", 2}, {"acl_history", 2}};

// The same tables without types or constraints, as a file written by some other program may
// have them: any value of any type in any column, NULLs and repeated keys included.
constexpr const char* kLooseSql = R"sql(
CREATE TABLE meta(key, value);
CREATE TABLE database(id, class, replica_id, replica_flags, cutoff_interval, cutoff_date,
  data_modified, nondata_modified, options, info, build_version);
CREATE TABLE notes(id, class, unid_file, unid_note, sequence, sequence_time, created, modified,
  accessed, added, flags, privileges, parent, deleted);
CREATE TABLE items(note, seq, name, flags, value);
CREATE TABLE objects(id, note, class, privileges, data);
CREATE TABLE acl(flags, admin_server);
CREATE TABLE acl_entries(seq, name, level, roles, flags);
CREATE TABLE acl_roles(idx, name);
CREATE TABLE acl_history(seq, text);
)sql";

std::string gDirectory;

class Input {
public:
    Input(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool empty() const { return n_ == 0; }
    std::uint8_t u8() { return n_ ? (--n_, *p_++) : 0; }
    std::uint64_t le(int bytes) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint64_t(u8()) << (8 * i);
        return v;
    }
    // Up to n bytes, fewer when the input ends.
    std::string_view take(std::size_t n) {
        n = std::min(n, n_);
        const std::string_view s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        n_ -= n;
        return s;
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

std::int64_t SignExtend(std::uint64_t v, int bytes) {
    const int shift = 64 - 8 * bytes;
    return static_cast<std::int64_t>(v << shift) >> shift;
}

// Binds one value: a tag byte (0 NULL, 1..4 integers of 1, 2, 4, 8 bytes, 5 real, 6 text,
// 7 blob; the text and blob lengths are u16) and its bytes.
void BindValue(sqlite3_stmt* s, int column, Input& in) {
    const std::uint8_t tag = in.u8() & 7;
    switch (tag) {
    case 0:
        sqlite3_bind_null(s, column);
        break;
    case 1:
    case 2:
    case 3:
    case 4: {
        const int bytes = 1 << (tag - 1);
        sqlite3_bind_int64(s, column, SignExtend(in.le(bytes), bytes));
        break;
    }
    case 5: {
        const std::uint64_t bits = in.le(8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        sqlite3_bind_double(s, column, d);
        break;
    }
    default: {
        const std::string_view bytes = in.take(std::size_t(in.le(2)));
        if (tag == 6)
            sqlite3_bind_text(s, column, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_blob(s, column, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    }
}

// Writes the rows of the input into a new file of the schema (strict or loose, by the first
// byte). Rows that the strict schema refuses are left out. Returns the object IDs written.
bool WriteRows(const std::string& path, Input in, std::vector<std::int64_t>* objects) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    const bool loose = in.u8() & 1;
    sqlite3_exec(db, "PRAGMA page_size=512; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, loose ? kLooseSql : vlt::schema::kCreateSql, nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    std::vector<sqlite3_stmt*> inserts;
    for (const Table& t : kTables) {
        std::string sql = std::string("INSERT INTO ") + t.name + " VALUES(?";
        for (int i = 1; i < t.columns; ++i)
            sql += ",?";
        sql += ")";
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        inserts.push_back(s);
    }
    while (!in.empty()) {
        const std::size_t table = in.u8() % (sizeof kTables / sizeof kTables[0]);
        sqlite3_stmt* s = inserts[table];
        if (!s)
            break;
        for (int c = 1; c <= kTables[table].columns; ++c)
            BindValue(s, c, in);
        sqlite3_step(s);
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
    for (sqlite3_stmt* s : inserts)
        sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "SELECT id FROM objects LIMIT 50", -1, &q, nullptr);
    while (q && sqlite3_step(q) == SQLITE_ROW)
        objects->push_back(sqlite3_column_int64(q, 0));
    sqlite3_finalize(q);
    return sqlite3_close_v2(db) == SQLITE_OK;
}

struct Walk {
    store::DbHandle db = 0;
    std::vector<store::NoteId> notes;
};

store::Status OnMatch(void* context, const store::SEARCH_MATCH* match,
                      const store::ITEM_TABLE* summary) {
    auto* walk = static_cast<Walk*>(context);
    if (walk->notes.size() < 200)
        walk->notes.push_back(store::SearchMatchNoteId(*match));
    char text[300];
    for (const char* name : {"$TITLE", "Form", "$Flags", "Subject"})
        (void)store::SummaryValueText(summary, name, text, sizeof text, nullptr);
    const std::uint8_t* value = nullptr;
    std::uint16_t length = 0;
    if (store::SummaryValue(summary, "$TITLE", &value, &length) == store::kNoError && value)
        (void)store::ValueToText(value, length, ';', text, sizeof text, nullptr);
    return store::kNoError;
}

store::Status OnAclEntry(void*, const char* name, std::uint16_t, const store::ACL_PRIVILEGES*,
                         std::uint16_t) {
    if (std::strlen(name) > 0xFFFF)
        __builtin_trap();
    return store::kNoError;
}

void WalkNote(store::DbHandle db, store::NoteId id) {
    (void)store::NoteInfo(db, id, nullptr, nullptr, nullptr);
    store::NoteHandle note = 0;
    if (store::OpenNote(db, id, store::kOpenSummary, &note) != store::kNoError)
        return;
    std::uint8_t header[64];
    const std::pair<unsigned, std::size_t> fields[] = {
        {store::kHeaderNoteId, 4},     {store::kHeaderOriginator, 28},
        {store::kHeaderClass, 2},      {store::kHeaderModified, 8},
        {store::kHeaderPrivileges, 2}, {store::kHeaderCreated, 8},
        {store::kHeaderFlags, 2},      {store::kHeaderAccessed, 8},
        {store::kHeaderParent, 4},     {store::kHeaderResponseCount, 2},
        {store::kHeaderAdded, 8}};
    for (const auto& [field, size] : fields)
        (void)store::NoteHeader(note, field, header, size);
    store::MemHandle responses = 0;
    if (store::NoteHeader(note, store::kHeaderResponses, &responses, sizeof responses) ==
            store::kNoError &&
        responses)
        store::MemFree(responses);
    bool flag = false;
    (void)store::NoteHasObjects(note, &flag);
    (void)store::NoteIsSigned(note, &flag);
    (void)store::NoteIsSealed(note, &flag);

    store::BlockId item, value;
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    store::Status s = store::FindItem(note, nullptr, &item, &type, &value, &length);
    for (int n = 0; s == store::kNoError && n < 500; ++n) {
        char name[store::kItemNameBuffer];
        std::uint16_t nameLength = 0, flags = 0;
        (void)store::ItemInfo(note, item, name, sizeof name, &nameLength, &flags, &type, &value,
                              &length);
        char text[512];
        (void)store::ItemValueToText(value, length, ';', text, sizeof text, nullptr);
        // The value's bytes must be all there: read the last one.
        if (length > 0) {
            const auto* bytes =
                static_cast<const volatile std::uint8_t*>(store::MemLockBlock(value));
            if (bytes)
                (void)bytes[length - 1];
            store::MemUnlock(value.pool);
        }
        (void)store::FindItem(note, name, nullptr, nullptr, nullptr, nullptr);
        s = store::FindNextItem(note, item, nullptr, &item, &type, &value, &length);
    }
    store::CloseNote(note);
}

void WalkDatabase(store::DbHandle db, const std::vector<std::int64_t>& objects) {
    store::TimeDate t;
    std::uint16_t u16 = 0;
    std::uint32_t u32 = 0;
    store::ReplicaInfo replica;
    (void)store::DatabaseId(db, &t);
    (void)store::DatabaseClass(db, &u16);
    (void)store::DatabaseReplicaInfo(db, &replica);
    (void)store::DatabaseModifiedTimes(db, &t, &t);
    (void)store::DatabaseOptions(db, &u32);
    (void)store::DatabaseBuildVersion(db, &u16);
    char info[600];
    std::size_t infoLength = 0;
    (void)store::DatabaseInfo(db, info, sizeof info, &infoLength);
    char field[200];
    for (unsigned i = 0; i < 4; ++i)
        (void)store::InfoField(info, std::min(infoLength, sizeof info), i, field, sizeof field,
                               nullptr);

    Walk walk;
    walk.db = db;
    (void)store::Search(db, nullptr, 0, store::kSearchSummary | store::kSearchStubs, 0xFFFF,
                        nullptr, OnMatch, &walk);
    for (store::NoteId id : walk.notes)
        WalkNote(db, id);
    store::NoteId design = 0;
    (void)store::FindDesignNote(db, "($All)", 0xFFFF, &design);
    store::MemHandle table = 0;
    if (store::NotesModifiedSince(db, 0xFFFF, store::TimeDate{}, &table) == store::kNoError) {
        std::uint32_t id;
        for (std::uint32_t i = 0; store::IdTableEntry(table, i, &id); ++i) {
        }
        store::MemFree(table);
    }

    store::MemHandle acl = 0;
    if (store::AclRead(db, &acl) == store::kNoError) {
        (void)store::AclForEachEntry(acl, OnAclEntry, nullptr);
        char name[64];
        for (unsigned i = 0; i < store::kAclRoleCount; ++i)
            (void)store::AclRoleName(acl, i, name, sizeof name);
        (void)store::AclListFlags(acl, &u32);
        (void)store::AclAdminServer(acl, name, sizeof name);
        store::MemHandle history = 0;
        std::uint16_t count = 0;
        if (store::AclHistory(acl, &history, &count) == store::kNoError && history)
            store::MemFree(history);
        store::MemFree(acl);
    }

    for (std::int64_t id : objects) {
        std::uint32_t size = 0;
        std::uint16_t objectClass = 0, privileges = 0;
        if (store::ObjectInfo(db, std::uint32_t(id), 0xFFFF, &size, &objectClass, &privileges) !=
            store::kNoError)
            continue;
        store::MemHandle data = 0;
        if (store::ObjectRead(db, std::uint32_t(id), 0, std::min<std::uint32_t>(size, 4096),
                              &data) == store::kNoError)
            store::MemFree(data);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz_vlt.XXXXXX";
    if (!mkdtemp(pattern))
        std::abort();
    gDirectory = pattern;
    // A data directory and settings of its own, so no file of the user's is ever read.
    setenv("DELVEX_DATA_DIR", gDirectory.c_str(), 1);
    setenv("DELVEX_STORE_SETTINGS", (gDirectory + "/store.ini").c_str(), 1);
    setenv("DELVEX_SETTINGS", (gDirectory + "/dvxtool.ini").c_str(), 1);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(gDirectory, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = gDirectory + "/input.vlt";
    std::filesystem::remove(path);
    std::vector<std::int64_t> objects;
    static constexpr char kMagic[] = "SQLite format 3";
    if (size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
        for (std::int64_t id = 1; id <= 8; ++id)
            objects.push_back(id);
    } else if (!WriteRows(path, Input(data, size), &objects)) {
        return 0;
    }

    store::DbHandle db = 0;
    if (store::OpenDatabase(path.c_str(), &db) == store::kNoError) {
        WalkDatabase(db, objects);
        store::CloseDatabase(db);
    } else {
        char detail[512];
        (void)store::LastErrorDetail(detail, sizeof detail);
    }

    std::ostringstream out, err;
    (void)dumpcommand::Run({"--include-collapsed", path}, out, err, {});
    return 0;
}
