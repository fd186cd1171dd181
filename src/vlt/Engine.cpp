#include "vlt/Engine.h"

#include <algorithm>
#include <cstring>

#include "common/ByteReader.h"
#include "vlt/HandleTable.h"
#include "vlt/Sql.h"

namespace vlt {
namespace {

HandleTable<OpenDb>& Dbs() {
    static HandleTable<OpenDb> t;
    return t;
}
HandleTable<OpenNote>& Notes() {
    static HandleTable<OpenNote> t;
    return t;
}

} // namespace

OpenNote::~OpenNote() {
    if (pool)
        store::MemFree(pool);
}

std::shared_ptr<OpenDb> FindDb(store::DbHandle h) {
    return Dbs().find(h);
}

store::Status FindDbFile(store::DbHandle h, std::shared_ptr<DbFile>* file) {
    std::shared_ptr<OpenDb> db = Dbs().find(h);
    if (!db)
        return store::kInvalidHandle;
    if (db->isDirectory)
        return store::kIsDirectory;
    *file = db->file;
    return store::kNoError;
}

store::DbHandle AddDb(std::shared_ptr<OpenDb> db) {
    return Dbs().add(std::move(db));
}
std::shared_ptr<OpenDb> RemoveDb(store::DbHandle h) {
    return Dbs().remove(h);
}
std::shared_ptr<OpenNote> FindNote(store::NoteHandle h) {
    return Notes().find(h);
}
store::NoteHandle AddNote(std::shared_ptr<OpenNote> note) {
    return Notes().add(std::move(note));
}
std::shared_ptr<OpenNote> RemoveNote(store::NoteHandle h) {
    return Notes().remove(h);
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

store::Status LoadNoteRow(DbFile& file, store::NoteId id, NoteRow* row) {
    std::lock_guard lock(file.mutex());
    if (file.lastRow && file.lastRow->id == id) {
        *row = *file.lastRow;
        return store::kNoError;
    }
    StmtLease lease = file.cached("SELECT class, unid_file, unid_note, sequence, sequence_time, "
                                  "created, modified, accessed, added, flags, privileges, parent, "
                                  "deleted FROM notes WHERE id=?");
    Stmt& q = *lease;
    if (!q)
        return StatusOfSqlite(q.prepareCode());
    q.bind(1, static_cast<std::int64_t>(id));
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return store::kNoteNotFound;
    if (rc != SQLITE_ROW)
        return StatusOfSqlite(rc);
    row->id = id;
    row->noteClass = static_cast<std::uint16_t>(q.i64(0));
    row->originator.file = TimeOf(q.i64(1));
    row->originator.note = TimeOf(q.i64(2));
    row->originator.sequence = static_cast<std::uint32_t>(q.i64(3));
    row->originator.sequenceTime = TimeOf(q.i64(4));
    row->created = TimeOf(q.i64(5));
    row->modified = TimeOf(q.i64(6));
    row->accessed = TimeOf(q.i64(7));
    row->added = TimeOf(q.i64(8));
    row->flags = static_cast<std::uint16_t>(q.i64(9));
    row->privileges = static_cast<std::uint16_t>(q.i64(10));
    row->parent = static_cast<store::NoteId>(q.i64(11));
    row->deleted = q.i64(12) != 0;
    file.lastRow = *row;
    return store::kNoError;
}

store::Status IsListed(DbFile& file, const char* sql, std::optional<std::vector<std::int64_t>>* ids,
                       std::int64_t id, bool* listed) {
    std::lock_guard lock(file.mutex());
    if (!*ids) {
        Stmt q(file.conn(), sql);
        if (!q)
            return StatusOfSqlite(q.prepareCode());
        std::vector<std::int64_t> read;
        int rc;
        while ((rc = q.step()) == SQLITE_ROW)
            read.push_back(q.i64(0));
        if (rc != SQLITE_DONE)
            return StatusOfSqlite(rc);
        std::sort(read.begin(), read.end());
        read.erase(std::unique(read.begin(), read.end()), read.end());
        *ids = std::move(read);
    }
    *listed = std::binary_search((*ids)->begin(), (*ids)->end(), id);
    return store::kNoError;
}

bool NoteItems::add(std::string_view name, NoteItem item) {
    if (name.size() > 0xFFFFFFFFu - names_.size())
        return false;
    item.nameAt = static_cast<std::uint32_t>(names_.size());
    item.nameLength = static_cast<std::uint32_t>(name.size());
    names_.append(name);
    items_.push_back(item);
    return true;
}

std::size_t ItemTable::SizeFor(const NoteItems& items) {
    std::size_t names = 0;
    for (const NoteItem& i : items)
        names += i.nameLength;
    return NamesAt(items.size()) + names;
}

ItemTable::ItemTable(const NoteItems& items, std::uint8_t* at) : table_(at) {
    const std::uint32_t count = static_cast<std::uint32_t>(items.size());
    std::memcpy(at, &count, 4);
    std::uint8_t* entry = at + kEntriesAt;
    std::uint8_t* name = at + NamesAt(items.size());
    std::uint32_t end = 0, namesEnd = 0;
    auto put = [&entry](std::uint32_t offset, std::uint32_t nameAt, std::uint16_t flags) {
        std::memcpy(entry, &offset, 4);
        std::memcpy(entry + 4, &nameAt, 4);
        std::memcpy(entry + 8, &flags, 2);
        entry += kEntry;
    };
    for (const NoteItem& i : items) {
        put(i.offset, namesEnd, i.flags);
        const std::string_view n = items.name(i);
        std::memcpy(name + namesEnd, n.data(), n.size());
        namesEnd += i.nameLength;
        end = i.offset + i.length;
    }
    put(end, namesEnd, 0);
}

std::size_t ItemTable::size() const {
    if (!table_)
        return 0;
    std::uint32_t count;
    std::memcpy(&count, table_, 4);
    return count;
}

NoteItem ItemTable::operator[](std::size_t index) const {
    const std::uint8_t* e = table_ + kEntriesAt + kEntry * index;
    const std::uint8_t* last = table_ + kEntriesAt + kEntry * size();
    std::uint32_t nextOffset, nextName, valuesEnd;
    NoteItem i;
    std::memcpy(&i.offset, e, 4);
    std::memcpy(&i.nameAt, e + 4, 4);
    std::memcpy(&i.flags, e + 8, 2);
    std::memcpy(&nextOffset, e + kEntry, 4);
    std::memcpy(&nextName, e + kEntry + 4, 4);
    std::memcpy(&valuesEnd, last, 4);
    i.length = nextOffset - i.offset;
    i.nameLength = nextName - i.nameAt;
    // Every value holds its type word (length >= 2).
    const std::uint8_t* value = table_ - valuesEnd + i.offset;
    i.type = static_cast<std::uint16_t>(value[0] | value[1] << 8);
    return i;
}

store::Status AddNoteItem(const Stmt& q, int column, NoteData* data) {
    const std::string_view value = q.blobView(column + 2);
    // A value too short to hold its type word is kept, padded to a zero type word, so that
    // every value has one; nothing of what is stored is dropped.
    const std::size_t length = value.size() < 2 ? 2 : value.size();
    if (data->bytes.size() + length > 0xFFFFFFF0u)
        return store::kDatabaseCorrupt;
    NoteItem item;
    item.flags = static_cast<std::uint16_t>(q.i64(column + 1));
    item.offset = static_cast<std::uint32_t>(data->bytes.size());
    item.length = static_cast<std::uint32_t>(length);
    data->bytes.insert(data->bytes.end(), value.begin(), value.end());
    data->bytes.resize(item.offset + length, 0);
    item.type = ByteReader(data->bytes.data(), data->bytes.size()).At(item.offset).u16le();
    if (!data->items.add(q.text(column), item)) {
        data->bytes.resize(item.offset);
        return store::kDatabaseCorrupt;
    }
    return store::kNoError;
}

store::Status LoadNoteItems(DbFile& file, store::NoteId id, bool summaryOnly, NoteData* data) {
    std::lock_guard lock(file.mutex());
    StmtLease lease = file.cached(summaryOnly ? "SELECT name, flags, value FROM items WHERE "
                                                "note=? AND (flags & 4) != 0 ORDER BY seq"
                                              : "SELECT name, flags, value FROM items WHERE note=? "
                                                "ORDER BY seq");
    Stmt& q = *lease;
    if (!q)
        return StatusOfSqlite(q.prepareCode());
    q.bind(1, static_cast<std::int64_t>(id));
    int rc;
    while ((rc = q.step()) == SQLITE_ROW)
        if (store::Status s = AddNoteItem(q, 0, data); s != store::kNoError)
            return s;
    return rc == SQLITE_DONE ? store::kNoError : StatusOfSqlite(rc);
}

} // namespace vlt
