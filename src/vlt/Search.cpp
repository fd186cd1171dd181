// Searching the notes of a database, and the IDs of notes modified since a time.
#include "store/api/Search.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/ByteReader.h"
#include "store/api/Conversions.h"
#include "store/api/Items.h"
#include "vlt/ByteWriter.h"
#include "vlt/DirectoryList.h"
#include "vlt/Engine.h"
#include "vlt/Environment.h"
#include "vlt/SearchRows.h"
#include "vlt/Sql.h"
#include "vlt/StoredNoteContext.h"
#include "vlt/Summary.h"
#include "vlt/formula/FormulaEngine.h"

namespace store {
namespace {

void PutTime(std::uint8_t* p, const TimeDate& t) {
    std::memcpy(p, t.w, 8);
}

// Bit 15 of a stored class marks the default design element of its kind; in a match the same
// bit means "deletion stub", so it is set for stubs alone. The note's own class keeps the
// default bit (NoteInfo, NoteHeader).
void FillMatch(const TimeDate& dbId, const vlt::NoteRow& row, SEARCH_MATCH* m) {
    std::memset(m, 0, sizeof *m);
    PutTime(m->identity, dbId);
    PutTime(m->identity + 8, row.modified);
    std::memcpy(m->identity + 16, &row.id, 4);
    PutTime(m->originator, row.originator.file);
    PutTime(m->originator + 8, row.originator.note);
    std::memcpy(m->originator + 16, &row.originator.sequence, 4);
    PutTime(m->originator + 20, row.originator.sequenceTime);
    m->noteClass =
        static_cast<std::uint16_t>((row.noteClass & ~kClassStub) | (row.deleted ? kClassStub : 0));
}

// Note IDs run from 1 to 0x7FFFFFFF: bit 31 marks stubs in ID tables. A stored ID outside
// that range is damage, never cut down to 32 bits (it would name another note).
bool IsNoteId(std::int64_t stored) {
    return stored >= 1 && stored <= 0x7FFFFFFF;
}

std::string IdDamage(std::int64_t stored) {
    char text[80];
    std::snprintf(text, sizeof text, "note ID %lld (0x%llX) is out of range",
                  static_cast<long long>(stored), static_cast<unsigned long long>(stored));
    return text;
}

// What a since time asks of the modified times: none (every note) when there is no since time
// or it lies at or before the earliest time there is, so that notes whose time is zero or
// below the earliest are not lost; else a time to be after.
std::optional<std::uint64_t> AfterBound(const TimeDate* since) {
    if (!since || since->Value() <= EarliestTime().Value())
        return std::nullopt;
    return since->Value();
}

// Stamps compare as unsigned numbers: a damaged time of all ones is late, not early.
bool ModifiedAfter(std::int64_t stored, const std::optional<std::uint64_t>& bound) {
    return !bound || static_cast<std::uint64_t>(stored) > *bound;
}

constexpr const char* kSearchSql =
    "SELECT n.id, n.class, n.unid_file, n.unid_note, n.sequence, n.sequence_time, "
    "n.created, n.modified, n.deleted, n.accessed, n.added, n.flags, n.privileges, "
    "n.parent, i.name, i.flags, i.value FROM notes n LEFT JOIN items i "
    "ON i.note = n.id AND n.deleted = 0 AND n.id BETWEEN 1 AND 2147483647 "
    "AND ((i.flags & 4) != 0 OR ?3) AND (?4 IS NULL OR CASE "
    "WHEN (n.modified < 0) <> (?4 < 0) THEN n.modified < 0 ELSE n.modified > ?4 END) "
    "WHERE (n.class & ?1) != 0 AND (n.deleted = 0 OR ?2) ORDER BY n.id, i.seq";

void BindSearch(vlt::Stmt& q, std::uint16_t flags, std::uint16_t classMask, bool compiled,
                const std::optional<std::uint64_t>& after) {
    q.bind(1, classMask & 0x7FFF);
    q.bind(2, (flags & kSearchStubs) ? 1 : 0);
    q.bind(3, compiled ? 1 : 0);
    if (after)
        q.bind(4, static_cast<std::int64_t>(*after));
    else
        q.bindNull(4);
}

// Reads the search ahead on a second connection when the file is large enough and a thread
// can be had; the connection stays busy until `rows` ends.
bool StartReadAhead(vlt::DbFile& file, vlt::SearchRows& rows, std::uint16_t flags,
                    std::uint16_t classMask, bool compiled,
                    const std::optional<std::uint64_t>& after) {
    vlt::StopOpeningAhead(file); // the search's rows come first
    if (!vlt::MayReadAhead(file))
        return false;
    sqlite3* conn = file.reader();
    vlt::Stmt ahead(conn, kSearchSql);
    if (!ahead)
        return false;
    BindSearch(ahead, flags, classMask, compiled, after);
    return rows.ReadAhead(std::move(ahead), conn);
}

Status SearchNotes(vlt::DbFile& file, const void* formula, std::size_t formulaLength,
                   std::uint16_t flags, std::uint16_t classMask, const TimeDate* since,
                   SearchCallback callback, void* context) {
    std::lock_guard lock(file.mutex());
    // One statement gives the notes with the items each needs (those of the summary, or all
    // for a formula), a row an item, so that no statement runs per note. Notes whose items go
    // unread (stubs, damaged IDs, those modified too early) come in one row without an item.
    // Times are stamps compared as unsigned numbers: SQL knows only signed ones, so the order
    // of the sign bits decides first.
    vlt::Stmt q(file.conn(), kSearchSql);
    if (!q)
        return vlt::StatusOfSqlite(q.prepareCode());
    const std::optional<std::uint64_t> after = AfterBound(since);
    const std::uint8_t* compiled = static_cast<const std::uint8_t*>(formula);
    BindSearch(q, flags, classMask, compiled != nullptr, after);
    // The rows are stepped on another thread while the callback works here; the callback is
    // still called on this thread, in the same order.
    vlt::SearchRows rows(&q);
    struct Release {
        vlt::DbFile& file;
        vlt::SearchRows& rows;
        bool reading;
        ~Release() {
            if (!reading)
                return;
            rows.Stop(); // the thread ends before the connection is free again
            sqlite3_db_release_memory(file.reader());
            file.readerBusy = false;
        }
    } release{file, rows, StartReadAhead(file, rows, flags, classMask, compiled != nullptr, after)};
    if (release.reading)
        file.readerBusy = true;
    vlt::SummaryBuilder summary;
    std::vector<std::uint8_t> result;
    Status end = kNoError;
    while (const vlt::SearchedNote* next = rows.Next(&end)) {
        if (Status s = vlt::PollBreak(); s != kNoError)
            return s;
        if (next->failed != kNoError)
            return next->failed;
        const std::int64_t storedId = next->storedId;
        const vlt::NoteData& note = next->note;
        const vlt::NoteRow& row = note.row;
        if (!ModifiedAfter(next->modified, after))
            continue;
        // The callback's first question is often this note's row.
        if (IsNoteId(storedId))
            file.lastRow = row;

        SEARCH_MATCH match;
        FillMatch(file.row().id, row, &match);
        summary.clear();
        if (!IsNoteId(storedId)) {
            // Its items cannot be told apart from another note's: reported with the damage.
            match.matchFlags = kMatchSelected | kMatchDamaged;
            summary.addText("$Damage", IdDamage(storedId));
        } else if (row.deleted) {
            match.matchFlags = compiled ? 0 : kMatchSelected;
        } else {
            if (compiled) {
                vlt::StoredNoteContext ctx(row, note.items, note.bytes.data());
                bool selected = false;
                if (Status s =
                        vlt::formula::Evaluate(compiled, formulaLength, &ctx, &result, &selected);
                    s != kNoError)
                    return s;
                if (!selected)
                    continue;
            }
            match.matchFlags = kMatchSelected;
            for (const vlt::NoteItem& i : note.items) {
                if (!(i.flags & kItemSummary))
                    continue;
                const std::string_view value(
                    reinterpret_cast<const char*>(note.bytes.data()) + i.offset, i.length);
                summary.add(note.items.name(i),
                            value); // what does not fit is left out of the summary
            }
        }
        const std::vector<std::uint8_t> bytes = summary.bytes();
        match.summaryLength = static_cast<std::uint16_t>(bytes.size());
        if (Status s = callback(context, &match, reinterpret_cast<const ITEM_TABLE*>(bytes.data()));
            s != kNoError)
            return s;
    }
    return end;
}

} // namespace

NoteId SearchMatchNoteId(const SEARCH_MATCH& match) {
    NoteId id;
    std::memcpy(&id, match.identity + 16, 4);
    return id;
}

Status Search(DbHandle db, const void* formula, std::size_t formulaLength, std::uint16_t flags,
              std::uint16_t classMask, const TimeDate* since, SearchCallback callback,
              void* context) {
    if (!callback || (formula == nullptr) != (formulaLength == 0))
        return kInvalidArgument;
    std::shared_ptr<vlt::OpenDb> open = vlt::FindDb(db);
    if (!open)
        return kInvalidHandle;
    if (open->isDirectory)
        return vlt::SearchDirectory(*open, classMask, callback, context);
    return SearchNotes(*open->file, formula, formulaLength, flags, classMask, since, callback,
                       context);
}

Status NotesModifiedSince(DbHandle db, std::uint16_t classMask, const TimeDate& since,
                          MemHandle* table) {
    if (!table)
        return kInvalidArgument;
    *table = 0;
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    std::vector<std::uint8_t> ids;
    std::uint32_t count = 0;
    {
        std::lock_guard lock(file->mutex());
        vlt::Stmt q(file->conn(),
                    "SELECT id, deleted, modified FROM notes WHERE (class & ?) != 0 ORDER BY id");
        if (!q)
            return vlt::StatusOfSqlite(q.prepareCode());
        q.bind(1, classMask & 0x7FFF);
        const std::optional<std::uint64_t> after = AfterBound(&since);
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            if (!ModifiedAfter(q.i64(2), after))
                continue;
            // A damaged ID is entered as 0: the note is counted, and names no other note.
            const std::int64_t stored = q.i64(0);
            const std::uint32_t id = IsNoteId(stored) ? static_cast<std::uint32_t>(stored) : 0;
            vlt::PutU32(ids, q.i64(1) ? id | kIdStub : id);
            ++count;
        }
        if (rc != SQLITE_DONE)
            return vlt::StatusOfSqlite(rc);
    }
    if (count == 0)
        return kNoModifiedNotes;
    const MemHandle h = MemAlloc(4 + ids.size());
    if (!h)
        return kOutOfMemory;
    LockedMem mem(h);
    std::memcpy(mem.bytes(), &count, 4);
    std::memcpy(mem.bytes() + 4, ids.data(), ids.size());
    *table = h;
    return kNoError;
}

bool IdTableEntry(MemHandle table, std::uint32_t index, std::uint32_t* id) {
    LockedMem mem(table);
    if (!mem)
        return false;
    ByteReader r(mem.bytes(), mem.size());
    const std::uint32_t count = r.u32le();
    if (r.Short() || index >= count || !r.Has(4 * (std::size_t(index) + 1)))
        return false;
    r.skip(4 * std::size_t(index));
    if (id)
        *id = r.u32le();
    return true;
}

} // namespace store
