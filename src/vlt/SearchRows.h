// The notes of a search statement, read on the caller's thread or ahead of it on another.
#pragma once

#include <cstdint>
#include <memory>

#include "store/api/Status.h"
#include "vlt/Engine.h"
#include "vlt/Sql.h"

namespace vlt {

// The statement's columns: the note's id, class, unid_file, unid_note, sequence,
// sequence_time, created, modified, deleted, accessed, added, flags, privileges, parent, then
// one item's name, flags and value (null for a note read without items). Rows come in note ID
// order, a row an item.
constexpr int kSearchItemColumn = 14;

// One note of a search: its ID and modified stamp as stored, its row and the items read with it.
struct SearchedNote {
    std::int64_t storedId = 0;
    std::int64_t modified = 0;
    NoteData note;
    // Its items could not be kept: the search ends with this status at this note.
    store::Status failed = store::kNoError;
};

class SearchReadAhead;

class SearchRows {
public:
    // Steps `q` on this thread as notes are asked for.
    explicit SearchRows(Stmt* q);
    ~SearchRows();
    SearchRows(const SearchRows&) = delete;
    SearchRows& operator=(const SearchRows&) = delete;

    // From here on, reads `ahead` (the same statement, bound the same, prepared on `conn`, a
    // connection of its own) on a thread of its own while the caller works on the notes before;
    // `q` is then left alone. False, and nothing changed, when no thread could be started.
    bool ReadAhead(Stmt ahead, sqlite3* conn);

    // Ends reading ahead: the thread is gone when this returns. Next is not called after it.
    void Stop();

    // The next note, or null after the last, with *end the statement's outcome (kNoError when
    // it ran to its end).
    const SearchedNote* Next(store::Status* end);

private:
    Stmt* q_;
    int rc_ = -1; // not stepped yet
    SearchedNote one_;
    std::unique_ptr<SearchReadAhead> ahead_;
};

// Whether searches of large databases, and notes opened one after another in ID order, are
// read ahead on a thread of their own (on by default).
void SetSearchReadAhead(bool on);
bool SearchReadAheadOn();

// Whether `file` is large enough for a read-ahead to pay and one may start now: the switch is
// on, the second connection is free and there is a second processor. Callers hold the mutex.
bool MayReadAhead(DbFile& file);

// Opening notes: when notes are opened one after another in ascending ID order, the notes that
// follow are read ahead on the second connection. True when note `id`'s row and all its items
// were read ahead into *data; false when the caller reads them itself (nothing read ahead, a
// note opened out of order, or the read-ahead failed: the caller's own reading then reports
// what went wrong).
bool TakeOpenedAhead(DbFile& file, store::NoteId id, NoteData* data);
// Ends the read-ahead of opened notes, if any, and frees the second connection.
void StopOpeningAhead(DbFile& file);

} // namespace vlt
