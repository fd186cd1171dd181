// What the user looked at: the recently peeked databases and servers of the program, and the
// recently peeked notes of each database. Each is a most-recently-used list of fixed slots
// kept in the settings.
//
// Settings:
//   [Recent Databases] DBs.Index        slot letters, most recent first ('a' + slot number)
//   [Recent Databases] DBs.<c>          identifier "%08lX:%08lX" (high word, then low word)
//   [<identifier>]     Title, Path      the entry's title and path
//   [<identifier>]     Type             the letter of the entry's node type
//   [Recent Servers]   Servers.Index    as DBs.Index
//   [Recent Servers]   Servers.<c>      the server name
//   [RecentNotes]      <identifier>     note IDs in lower-case hexadecimal, most recent first,
//                                       each followed by one blank
//
// A stored list that is broken is cut at the first bad entry; what comes before it is kept.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/api/Handles.h"
#include "store/api/Time.h"
#include "tree/NodeTypes.h"

class CSettings;

// Up to N entries in fixed slots and the order of their use. An entry type has
// SameAs(other), which says when an added entry is one already held.
template <class Entry, std::size_t N> class CRecentList {
public:
    static constexpr std::size_t kCapacity = N;

    std::size_t Count() const { return count_; }
    // The entry at recency position i (0: most recent); i < Count().
    const Entry& At(std::size_t i) const { return slots_[order_[i]]; }
    // The slot of recency position i.
    std::size_t SlotAt(std::size_t i) const { return order_[i]; }
    const Entry& Slot(std::size_t slot) const { return slots_[slot]; }

    // Makes the entry the most recent one. An entry already held keeps its slot and what it
    // holds; a new one takes the next free slot, or the least recent one's when the list is
    // full. Returns the slot.
    std::size_t Add(const Entry& entry) {
        std::size_t k = count_;
        for (std::size_t s = 0; s < count_; ++s) {
            if (slots_[s].SameAs(entry)) {
                k = s;
                break;
            }
        }
        if (k == count_) {
            if (count_ < N) {
                order_[count_] = count_;
                ++count_;
            } else {
                k = order_[count_ - 1];
            }
            slots_[k] = entry;
        }
        std::size_t pos = 0;
        while (order_[pos] != k)
            ++pos;
        for (; pos > 0; --pos)
            order_[pos] = order_[pos - 1];
        order_[0] = k;
        return k;
    }

    void Clear() { count_ = 0; }

protected:
    // Loaders hand over slots 0..count-1 and their recency order (a permutation of them).
    void Assign(const std::array<Entry, N>& entries, const std::array<std::size_t, N>& order,
                std::size_t count) {
        slots_ = entries;
        order_ = order;
        count_ = count;
    }

private:
    std::array<Entry, N> slots_{};
    std::array<std::size_t, N> order_{};
    std::size_t count_ = 0;
};

namespace recent {

constexpr std::size_t kTitleLength = 33;
constexpr std::size_t kPathLength = 256;
constexpr std::size_t kServerNameLength = 256;

// The settings form of a database identifier: "%08lX:%08lX" of the high word, then the low.
std::string IdentifierText(const store::TimeDate& id);

struct DatabaseEntry {
    store::TimeDate id;
    std::string title; // at most kTitleLength bytes
    std::string path;  // at most kPathLength bytes
    NodeTypeId type = nodetype::kDatabases;
    bool SameAs(const DatabaseEntry& other) const {
        return id.w[0] == other.id.w[0] && id.w[1] == other.id.w[1];
    }
};

struct ServerEntry {
    std::string name; // at most kServerNameLength bytes
    bool SameAs(const ServerEntry& other) const { return name == other.name; }
};

struct NoteEntry {
    store::NoteId id = 0;
    bool SameAs(const NoteEntry& other) const { return id == other.id; }
};

// The recently peeked databases: ten entries.
class CDatabaseList : public CRecentList<DatabaseEntry, 10> {
public:
    static constexpr const char* kSection = "Recent Databases";
    static constexpr const char* kPrefix = "DBs";
    // Replaces the list with the stored one.
    void Load(const CSettings& settings);
    // The index, then each slot's key and its identifier's section; false at the first write
    // that fails (the rest is not written).
    bool Save(CSettings& settings) const;
};

// The recently peeked servers: ten names, compared case-sensitively.
class CServerList : public CRecentList<ServerEntry, 10> {
public:
    static constexpr const char* kSection = "Recent Servers";
    static constexpr const char* kPrefix = "Servers";
    void Load(const CSettings& settings);
    bool Save(CSettings& settings) const;
};

// The recently peeked notes of one database: five note IDs.
class CNoteList : public CRecentList<NoteEntry, 5> {
public:
    static constexpr const char* kSection = "RecentNotes";
    void Load(const CSettings& settings, std::string_view key);
    bool Save(CSettings& settings, std::string_view key) const;
};

// The program's two lists: created and loaded at start-up, saved and destroyed at shut-down.
// Null before and after (tools and tests that start no program remember nothing).
CDatabaseList* ProgramDatabases();
CServerList* ProgramServers();
void CreateProgramLists(const CSettings& settings);
// Saves the databases, then the servers, then destroys both. False when a save failed (the
// lists are destroyed all the same).
bool SaveAndDestroyProgramLists(CSettings& settings);

// The adds of the browsing nodes; each tells every open document with its view-update hint.
// Without the program's lists the databases and servers are not remembered.
void AddDatabase(const store::TimeDate& id, std::string_view title, std::string_view path,
                 NodeTypeId type);
void AddServer(std::string_view name);

// The recently peeked notes of one database identifier, shared by every database node showing
// it in any document.
class CNotesRecord {
public:
    CNotesRecord(const store::TimeDate& id, const CSettings& settings);
    const store::TimeDate& Id() const { return id_; }
    const std::string& Key() const { return key_; }
    const CNoteList& List() const { return list_; }
    int Uses() const { return uses_; }
    // Remembers the note and tells every open document.
    void Add(store::NoteId note);
    bool Save(CSettings& settings) const { return list_.Save(settings, key_); }

private:
    friend class CNotesUse;
    friend void SaveAllNotesRecords();

    store::TimeDate id_;
    std::string key_;
    CNoteList list_;
    int uses_ = 0;
    bool linked_ = true; // false once saved at shut-down: later releases write nothing
};

// One use of a notes record: acquiring finds the record of the identifier or creates and loads
// it from the program's settings; the last use to go unlinks it and saves it there.
class CNotesUse {
public:
    CNotesUse() = default;
    explicit CNotesUse(const store::TimeDate& id);
    ~CNotesUse() { Reset(); }
    CNotesUse(CNotesUse&& other) noexcept : record_(std::move(other.record_)) {}
    CNotesUse& operator=(CNotesUse&& other) noexcept;
    CNotesUse(const CNotesUse&) = delete;
    CNotesUse& operator=(const CNotesUse&) = delete;

    void Reset();
    CNotesRecord* Get() const { return record_.get(); }
    explicit operator bool() const { return record_ != nullptr; }

private:
    std::shared_ptr<CNotesRecord> record_;
};

// The records in use now, most recently created first (for tests and the shut-down save).
std::size_t NotesRecordCount();
// Shut-down: saves every record still in use to the program's settings and unlinks it; the
// database nodes that still hold one keep it alive but save nothing more.
void SaveAllNotesRecords();
// Whether records are written to the program's settings when they go (default true). Tools
// that browse on a user's settings file without being the program turn it off, so that the
// file is only read.
// Returns the previous setting.
bool SetSaveNotesRecords(bool save);
// Makes sure the shut-down hook of the notes records is linked in.
void LinkNotesHook();

// Tells every open document, under a wait cursor.
void Notify(std::uint32_t hint);

} // namespace recent
