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

// The items of a note held open, in one block: an entry of 12 bytes per item and one after
// the last, then the names. Values and names lie one after the other in stored order, so an
// item's lengths are where the next one starts. A tree of expanded notes holds one table per
// note, and this is a fraction of the list they are read into.
class ItemTable {
public:
    ItemTable() = default;
    // The items' values must lie one after the other from offset 0, as NoteItems has them.
    explicit ItemTable(const NoteItems& items);

    std::size_t size() const { return count_; }
    NoteItem operator[](std::size_t i) const;
    std::string_view name(const NoteItem& i) const {
        return {reinterpret_cast<const char*>(block_.get()) + NamesAt() + i.nameAt, i.nameLength};
    }

private:
    static constexpr std::size_t kEntry = 12; // offset, name offset (u32), flags, type (u16)
    std::size_t NamesAt() const { return kEntry * (std::size_t(count_) + 1); }

    std::unique_ptr<std::uint8_t[]> block_;
    std::uint32_t count_ = 0;
};

struct NoteData {
    NoteRow row;
    std::vector<std::uint8_t> bytes;
    NoteItems items;
};

struct OpenNote {
    ~OpenNote();
    store::DbHandle db = 0;
    std::shared_ptr<OpenDb> database;
    NoteRow row;
    ItemTable items;
    store::MemHandle pool = 0; // the items' values; item block IDs point into it
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
// `ids` and kept.
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
