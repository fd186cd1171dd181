// The engine's open objects: databases (or directories) and notes, behind integer handles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Notes.h"
#include "store/api/Status.h"
#include "vlt/DbFile.h"
#include "vlt/Sql.h"

namespace vlt {

namespace remote {
class Client;
}

struct OpenDb {
    std::string storePath; // as the caller gave it
    std::string fsPath;    // resolved file-system path
    bool isDirectory = false;
    std::shared_ptr<DbFile> file; // null for a directory
    // A directory of a server reached over the network: its client and the path on it.
    std::shared_ptr<remote::Client> remote;
    std::string remotePath;
    // The folder a server of this machine serves when this directory lies in it (a server
    // program's listings); empty: the registry's server of storePath decides.
    std::string servedFolder;
};

// An item of a loaded note: its value lies at [offset, offset + length) of the note's bytes,
// type word first; length >= 2 always holds. Its name is kept by the list that holds it.
struct NoteItem {
    std::uint32_t nameAt = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint16_t flags = 0;
    std::uint16_t type = 0;
};

// A note's items in stored order as they are read, their names side by side in one buffer.
class NoteItems {
public:
    using const_iterator = std::vector<NoteItem>::const_iterator;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const NoteItem& operator[](std::size_t i) const { return items_[i]; }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    std::string_view name(const NoteItem& i) const {
        return std::string_view(names_).substr(i.nameAt, i.nameLength);
    }

    void clear() {
        items_.clear();
        names_.clear();
    }
    // False, with nothing added, when the names would pass 4 GiB.
    bool add(std::string_view name, NoteItem item);
    // Keeps, in their order, the items for which keep(item) holds; keep may change the item
    // it keeps (its value's offset), not its name.
    template <class Keep> void keepIf(Keep keep) {
        NoteItems kept;
        for (NoteItem i : items_)
            if (keep(i))
                kept.add(name(i), i);
        *this = std::move(kept);
    }

private:
    std::vector<NoteItem> items_;
    std::string names_;
};

// The items of a note held open, kept in the block of their values, right after the values:
// their count (32 bits), an entry of 10 bytes per item (value offset and name offset, 32 bits
// each; flags) and one after the last, then the names. Values and names lie one after the
// other in stored order, so an item's lengths are where the next one starts, and its type is
// its value's first word. A tree of expanded notes holds one table per note.
class ItemTable {
public:
    ItemTable() = default;
    // The bytes the table of these items takes.
    static std::size_t SizeFor(const NoteItems& items);
    // Writes the table at `at` (SizeFor bytes), which follows the items' values: they lie one
    // after the other from `at` less the end of the last. The bytes must outlive the table.
    ItemTable(const NoteItems& items, std::uint8_t* at);

    std::size_t size() const;
    NoteItem operator[](std::size_t i) const;
    std::string_view name(const NoteItem& i) const {
        return {reinterpret_cast<const char*>(table_) + NamesAt(size()) + i.nameAt, i.nameLength};
    }

private:
    static constexpr std::size_t kEntry = 10;
    static constexpr std::size_t kEntriesAt = 4;
    static std::size_t NamesAt(std::size_t count) { return kEntriesAt + kEntry * (count + 1); }

    const std::uint8_t* table_ = nullptr;
};

struct NoteData {
    NoteRow row;
    std::vector<std::uint8_t> bytes;
    NoteItems items;
};

// One per open note: its members are ordered to leave no gaps.
struct OpenNote {
    ~OpenNote();
    std::shared_ptr<OpenDb> database;
    ItemTable items;
    NoteRow row;
    store::DbHandle db = 0;
    store::MemHandle pool = 0; // the items' values, then their table; block IDs point into it
    bool hasObjects = false;
    bool isSigned = false, isSealed = false; // of the whole note, not only of the items held
};

// Handle lookups. The Find functions return null for unknown handles.
std::shared_ptr<OpenDb> FindDb(store::DbHandle h);
// A database (not a directory): kInvalidHandle or kIsDirectory otherwise.
store::Status FindDbFile(store::DbHandle h, std::shared_ptr<DbFile>* file);
store::DbHandle AddDb(std::shared_ptr<OpenDb> db);
std::shared_ptr<OpenDb> RemoveDb(store::DbHandle h);
std::shared_ptr<OpenNote> FindNote(store::NoteHandle h);
store::NoteHandle AddNote(std::shared_ptr<OpenNote> note);
std::shared_ptr<OpenNote> RemoveNote(store::NoteHandle h);

// Reads one note's row: kNoteNotFound when there is none.
store::Status LoadNoteRow(DbFile& file, store::NoteId id, NoteRow* row);
// Whether `id` is among the IDs that `sql` (a query of one column) gives, the IDs read once into
// `ids` and kept. The query should give each ID once (DISTINCT): the list is kept for as long as
// the file is open, so it must grow with the notes listed, not with rows behind them.
store::Status IsListed(DbFile& file, const char* sql, std::optional<std::vector<std::int64_t>>* ids,
                       std::int64_t id, bool* listed);
// Appends the item of the statement's current row, whose name, flags and value are the columns
// from `column` on.
store::Status AddNoteItem(const Stmt& q, int column, NoteData* data);
// Reads a note's items in stored order (only those with the Summary flag when summaryOnly).
store::Status LoadNoteItems(DbFile& file, store::NoteId id, bool summaryOnly, NoteData* data);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// ASCII letters lower-cased, everything else as it is.
std::string LowerAscii(std::string_view text);

} // namespace vlt
