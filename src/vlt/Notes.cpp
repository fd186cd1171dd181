// The note family: open notes into memory, and read their headers.
#include "store/api/Notes.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/api/Items.h"
#include "vlt/Engine.h"
#include "vlt/SearchRows.h"
#include "vlt/Sql.h"

namespace store {
namespace {

constexpr std::uint16_t kTypeComposite = 0x0001;
constexpr std::uint16_t kTypeObject = 0x0003;

// Leaves out of a loaded note what the open flags exclude, moving the values left together so
// that the note's bytes hold only its own items, in their order.
void KeepOpenedItems(std::uint16_t openFlags, vlt::NoteData* data) {
    auto kept = [openFlags](const vlt::NoteItem& i) {
        if ((openFlags & kOpenSummary) && !(i.flags & kItemSummary))
            return false;
        if ((openFlags & kOpenNoObjects) && i.type == kTypeObject)
            return false;
        if ((openFlags & kOpenAbstract) && i.type == kTypeComposite)
            return false;
        return true;
    };
    if (openFlags & kOpenAbstract)
        data->row.flags |= kNoteAbstracted;
    // Most notes are opened whole: nothing to move.
    if (std::all_of(data->items.begin(), data->items.end(), kept))
        return;
    std::vector<std::uint8_t> bytes;
    data->items.keepIf([&](vlt::NoteItem& i) {
        if (!kept(i))
            return false;
        const auto from = data->bytes.begin() + i.offset;
        i.offset = static_cast<std::uint32_t>(bytes.size());
        bytes.insert(bytes.end(), from, from + i.length);
        return true;
    });
    data->bytes = std::move(bytes);
}

} // namespace

Status OpenNote(DbHandle db, NoteId id, std::uint16_t openFlags, NoteHandle* note) {
    if (!note)
        return kInvalidArgument;
    *note = 0;
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    vlt::NoteData data;
    // A dump opens note after note in ID order: the next ones are then read ahead.
    if (vlt::TakeOpenedAhead(*file, id, &data)) {
        if (data.row.deleted)
            return kNoteDeleted;
    } else {
        if (Status s = vlt::LoadNoteRow(*file, id, &data.row); s != kNoError)
            return s;
        if (data.row.deleted)
            return kNoteDeleted;
        if (Status s = vlt::LoadNoteItems(*file, id, false, &data); s != kNoError)
            return s;
    }

    auto open = std::make_shared<vlt::OpenNote>();
    // Signed and sealed are facts of the whole note, whatever the flags leave out of it.
    for (const vlt::NoteItem& i : data.items) {
        open->isSigned = open->isSigned || i.type == kTypeSignature;
        open->isSealed = open->isSealed || (i.flags & kItemSeal) != 0;
    }
    KeepOpenedItems(openFlags, &data);
    open->db = db;
    open->database = vlt::FindDb(db);
    open->row = data.row;
    // One block for the values and the table of the items, which follows them.
    open->pool = MemAlloc(data.bytes.size() + vlt::ItemTable::SizeFor(data.items));
    if (!open->pool)
        return kOutOfMemory;
    {
        LockedMem mem(open->pool);
        if (!data.bytes.empty())
            std::memcpy(mem.bytes(), data.bytes.data(), data.bytes.size());
        open->items = vlt::ItemTable(data.items, mem.bytes() + data.bytes.size());
    }
    if (Status s = vlt::IsListed(*file, "SELECT DISTINCT note FROM objects", &file->objectHolders,
                                 id, &open->hasObjects);
        s != kNoError)
        return s;
    const NoteHandle h = vlt::AddNote(std::move(open));
    if (h == 0)
        return kTooManyOpen;
    *note = h;
    return kNoError;
}

Status CloseNote(NoteHandle note) {
    return vlt::RemoveNote(note) ? kNoError : kInvalidHandle;
}

Status NoteInfo(DbHandle db, NoteId id, OriginatorId* originator, TimeDate* modified,
                std::uint16_t* noteClass) {
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    vlt::NoteRow row;
    if (Status s = vlt::LoadNoteRow(*file, id, &row); s != kNoError)
        return s;
    if (row.deleted)
        return kNoteDeleted;
    if (originator)
        *originator = row.originator;
    if (modified)
        *modified = row.modified;
    if (noteClass)
        *noteClass = row.noteClass;
    return kNoError;
}

namespace {

template <class T> Status Put(const T& v, void* out, std::size_t size) {
    if (size != sizeof(T))
        return kInvalidArgument;
    std::memcpy(out, &v, sizeof(T));
    return kNoError;
}

Status Responses(const vlt::OpenNote& n, std::vector<NoteId>* ids) {
    std::shared_ptr<vlt::DbFile> file = n.database ? n.database->file : nullptr;
    if (!file)
        return kInvalidHandle;
    std::lock_guard lock(file->mutex());
    // Asked for every note a dump writes, and most notes have none.
    bool any = false;
    if (Status s =
            vlt::IsListed(*file, "SELECT DISTINCT parent FROM notes WHERE parent>0 AND deleted=0",
                          &file->responseParents, n.row.id, &any);
        s != kNoError || !any)
        return s;
    vlt::StmtLease lease =
        file->cached("SELECT id FROM notes WHERE parent=? AND deleted=0 ORDER BY id");
    vlt::Stmt& q = *lease;
    if (!q)
        return vlt::StatusOfSqlite(q.prepareCode());
    q.bind(1, static_cast<std::int64_t>(n.row.id));
    int rc;
    while ((rc = q.step()) == SQLITE_ROW)
        ids->push_back(static_cast<NoteId>(q.i64(0)));
    return rc == SQLITE_DONE ? kNoError : vlt::StatusOfSqlite(rc);
}

} // namespace

Status NoteHeader(NoteHandle note, unsigned field, void* value, std::size_t size) {
    if (!value)
        return kInvalidArgument;
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    const vlt::NoteRow& r = n->row;
    switch (field) {
    case kHeaderDatabase:
        return Put<DbHandle>(n->db, value, size);
    case kHeaderNoteId:
        return Put<NoteId>(r.id, value, size);
    case kHeaderOriginator:
        return Put(r.originator, value, size);
    case kHeaderClass:
        return Put<std::uint16_t>(r.noteClass, value, size);
    case kHeaderModified:
        return Put(r.modified, value, size);
    case kHeaderPrivileges:
        return Put<std::uint16_t>(r.privileges, value, size);
    case kHeaderCreated:
        return Put(r.created, value, size);
    case kHeaderFlags:
        return Put<std::uint16_t>(r.flags, value, size);
    case kHeaderAccessed:
        return Put(r.accessed, value, size);
    case kHeaderParent:
        return Put<NoteId>(r.parent, value, size);
    case kHeaderAdded:
        return Put(r.added, value, size);
    case kHeaderResponseCount:
    case kHeaderResponses: {
        const std::size_t want = field == kHeaderResponses ? sizeof(MemHandle) : 2;
        if (size != want)
            return kInvalidArgument;
        std::vector<NoteId> ids;
        if (Status s = Responses(*n, &ids); s != kNoError)
            return s;
        if (field == kHeaderResponseCount) {
            const std::uint16_t count = ids.size() > 0xFFFF ? 0xFFFF : std::uint16_t(ids.size());
            return Put(count, value, size);
        }
        MemHandle h = 0;
        if (!ids.empty()) {
            h = MemAlloc(4 + 4 * ids.size());
            if (!h)
                return kOutOfMemory;
            LockedMem mem(h);
            const std::uint32_t count = static_cast<std::uint32_t>(ids.size());
            std::memcpy(mem.bytes(), &count, 4);
            std::memcpy(mem.bytes() + 4, ids.data(), 4 * ids.size());
        }
        return Put(h, value, size);
    }
    default:
        return kInvalidArgument;
    }
}

Status NoteHasObjects(NoteHandle note, bool* has) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    if (!has)
        return kInvalidArgument;
    *has = n->hasObjects;
    return kNoError;
}

Status NoteIsSigned(NoteHandle note, bool* isSigned) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    if (!isSigned)
        return kInvalidArgument;
    *isSigned = n->isSigned;
    return kNoError;
}

Status NoteIsSealed(NoteHandle note, bool* isSealed) {
    std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
    if (!n)
        return kInvalidHandle;
    if (!isSealed)
        return kInvalidArgument;
    *isSealed = n->isSealed;
    return kNoError;
}

namespace {

using TitleIndex = std::unordered_map<std::string, std::vector<vlt::DbFile::DesignEntry>>;

// One pass over the titles of the notes that `sql` reads builds the index; every later lookup is a
// hash probe, so titles of many notes whose form is not in the database cost no scan each.
Status BuildTitleIndex(vlt::DbFile& file, const char* sql, std::optional<TitleIndex>* out) {
    if (*out)
        return kNoError;
    vlt::Stmt q(file.conn(), sql);
    if (!q)
        return vlt::StatusOfSqlite(q.prepareCode());
    TitleIndex index;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        char text[1024];
        std::size_t len = 0;
        const std::string_view v = q.blobView(2);
        ValueToText(v.data(), v.size(), '|', text, sizeof text, &len);
        std::string_view titles(text, len);
        const vlt::DbFile::DesignEntry entry{static_cast<std::uint32_t>(q.i64(0)),
                                             static_cast<std::uint16_t>(q.i64(1))};
        while (true) {
            const std::size_t bar = titles.find('|');
            index[vlt::LowerAscii(titles.substr(0, bar))].push_back(entry);
            if (bar == std::string_view::npos)
                break;
            titles.remove_prefix(bar + 1);
        }
    }
    if (rc != SQLITE_DONE)
        return vlt::StatusOfSqlite(rc);
    *out = std::move(index);
    return kNoError;
}

// The first note, in ID order, of the index under `key` that has a bit of `noteClass`.
std::optional<NoteId> FirstOfClass(const TitleIndex& index, const std::string& key,
                                   std::uint16_t noteClass) {
    const auto found = index.find(key);
    if (found != index.end())
        for (const vlt::DbFile::DesignEntry& e : found->second)
            if ((e.noteClass & noteClass & 0x7FFF) != 0)
                return e.id;
    return std::nullopt;
}

} // namespace

Status FindDesignNote(DbHandle db, const char* name, std::uint16_t noteClass, NoteId* id) {
    if (!name || !id)
        return kInvalidArgument;
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    std::lock_guard lock(file->mutex());
    // Design notes are few and documents many: the titles of the notes of no design class (a
    // $TITLE item in a document) are read only when a lookup asks for documents.
    if (Status s = BuildTitleIndex(
            *file,
            "SELECT n.id, n.class, i.value FROM notes n JOIN items i ON i.note = n.id "
            "WHERE n.deleted = 0 AND n.id BETWEEN 1 AND 2147483647 " // no damaged IDs
            "AND (n.class & 32766) != 0 AND i.name = '$TITLE' COLLATE NOCASE "
            "ORDER BY n.id, i.seq",
            &file->designIndex);
        s != kNoError)
        return s;
    const std::string key = vlt::LowerAscii(name);
    std::optional<NoteId> first = FirstOfClass(*file->designIndex, key, noteClass);
    if (noteClass & 0x0001) {
        if (Status s = BuildTitleIndex(
                *file,
                "SELECT n.id, n.class, i.value FROM notes n JOIN items i ON i.note = n.id "
                "WHERE n.deleted = 0 AND n.id BETWEEN 1 AND 2147483647 "
                "AND (n.class & 32766) = 0 AND i.name = '$TITLE' COLLATE NOCASE "
                "ORDER BY n.id, i.seq",
                &file->documentTitleIndex);
            s != kNoError)
            return s;
        const std::optional<NoteId> document =
            FirstOfClass(*file->documentTitleIndex, key, noteClass);
        if (document && (!first || *document < *first))
            first = document;
    }
    if (!first)
        return kDesignNotFound;
    *id = *first;
    return kNoError;
}

} // namespace store
