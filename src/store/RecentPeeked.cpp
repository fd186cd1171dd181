#include "store/RecentPeeked.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/Ascii.h"
#include "common/Hooks.h"
#include "common/ProgramSettings.h"
#include "common/Settings.h"
#include "store/TNDatabase.h"
#include "tree/CommandIds.h"
#include "tree/NodeDocument.h"
#include "tree/WaitCursor.h"

namespace recent {
namespace {

// At most max bytes of text, never ending inside a multi-byte character.
std::string Cut(std::string text, std::size_t max) {
    if (text.size() > max) {
        std::size_t n = max;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        text.resize(n);
    }
    return text;
}

std::string IndexKey(const char* prefix) {
    return std::string(prefix) + ".Index";
}

std::string SlotKey(const char* prefix, std::size_t slot) {
    return std::string(prefix) + "." + char('a' + slot);
}

// A hexadecimal number of 1 to 8 digits at text[pos]; pos is moved past it.
std::optional<std::uint32_t> ReadHex(std::string_view text, std::size_t& pos) {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && HexDigitValue(text[pos]) >= 0) {
        if (++digits > 8)
            return std::nullopt; // more than the 32 bits a stored number can hold
        value = value << 4 | std::uint32_t(HexDigitValue(text[pos]));
        ++pos;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// "high:low" in hexadecimal, blanks allowed around the numbers.
std::optional<store::TimeDate> ParseIdentifier(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const auto high = ReadHex(text, pos);
    if (!high || pos >= text.size() || text[pos] != ':')
        return std::nullopt;
    ++pos;
    const auto low = ReadHex(text, pos);
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (!low || pos != text.size())
        return std::nullopt;
    store::TimeDate id;
    id.w[0] = *low;
    id.w[1] = *high;
    return id;
}

// The common load of the databases and servers lists. The index names the slots in recency
// order; it ends at the first letter that names no slot of the index's length or repeats one.
// The slots are then read in slot order; the first that does not read ends the list there
// (that slot and every later one are dropped). The kept slots are renumbered from 0 in slot
// order, so that a new entry always finds the next free slot at the end.
template <class Entry, std::size_t N, class ReadSlot>
void LoadSlots(const CSettings& settings, const char* section, const char* prefix,
               ReadSlot readSlot, std::array<Entry, N>& slots, std::array<std::size_t, N>& order,
               std::size_t& count) {
    const std::string index = settings.GetString(section, IndexKey(prefix));
    const std::size_t length = std::min(index.size(), N);
    std::vector<std::size_t> recency;
    std::array<bool, N> named{};
    for (std::size_t i = 0; i < length; ++i) {
        const char c = index[i];
        if (c < 'a' || std::size_t(c - 'a') >= length || named[std::size_t(c - 'a')])
            break;
        named[std::size_t(c - 'a')] = true;
        recency.push_back(std::size_t(c - 'a'));
    }
    std::array<Entry, N> read{};
    std::array<bool, N> kept{};
    for (std::size_t slot = 0; slot < length; ++slot) {
        if (!named[slot])
            continue;
        const std::optional<std::string> value = settings.Read(section, SlotKey(prefix, slot));
        if (!readSlot(settings, value, read[slot]))
            break;
        kept[slot] = true;
    }
    std::array<std::size_t, N> renumber{};
    count = 0;
    for (std::size_t slot = 0; slot < length; ++slot) {
        if (kept[slot]) {
            renumber[slot] = count;
            slots[count] = read[slot];
            ++count;
        }
    }
    std::size_t pos = 0;
    for (std::size_t slot : recency) {
        if (kept[slot])
            order[pos++] = renumber[slot];
    }
}

// The index in recency order, then every slot; false at the first write that fails.
template <class List, class SaveSlot>
bool SaveSlots(const List& list, CSettings& settings, const char* section, const char* prefix,
               SaveSlot saveSlot) {
    std::string index;
    for (std::size_t i = 0; i < list.Count(); ++i)
        index += char('a' + list.SlotAt(i));
    if (!settings.WriteString(section, IndexKey(prefix), index))
        return false;
    for (std::size_t slot = 0; slot < list.Count(); ++slot) {
        if (!saveSlot(settings, SlotKey(prefix, slot), list.Slot(slot)))
            return false;
    }
    return true;
}

std::unique_ptr<CDatabaseList>& DatabasesHolder() {
    static std::unique_ptr<CDatabaseList> list;
    return list;
}

std::unique_ptr<CServerList>& ServersHolder() {
    static std::unique_ptr<CServerList> list;
    return list;
}

// The records in use, most recently created first.
std::vector<std::shared_ptr<CNotesRecord>>& Records() {
    static std::vector<std::shared_ptr<CNotesRecord>> records;
    return records;
}

void Unlink(const CNotesRecord* record) {
    auto& records = Records();
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [record](const auto& r) { return r.get() == record; }),
                  records.end());
}

bool g_saveRecords = true;

void SaveRecord(const CNotesRecord& record) {
    if (g_saveRecords)
        record.Save(ProgramSettings());
}

void SaveAllHook(void*) {
    SaveAllNotesRecords();
}
hooks::CRegistration g_saveNotesHook(SaveAllHook, nullptr, hooks::kShutdown);

} // namespace

std::string IdentifierText(const store::TimeDate& id) {
    char text[24];
    std::snprintf(text, sizeof text, "%08lX:%08lX", static_cast<unsigned long>(id.w[1]),
                  static_cast<unsigned long>(id.w[0]));
    return text;
}

void CDatabaseList::Load(const CSettings& settings) {
    std::array<DatabaseEntry, kCapacity> slots{};
    std::array<std::size_t, kCapacity> order{};
    std::size_t count = 0;
    auto readSlot = [](const CSettings& s, const std::optional<std::string>& value,
                       DatabaseEntry& entry) {
        const auto id = value ? ParseIdentifier(*value) : std::nullopt;
        if (!id)
            return false;
        entry.id = *id;
        char section[24];
        std::snprintf(section, sizeof section, "%08lx:%08lx", static_cast<unsigned long>(id->w[1]),
                      static_cast<unsigned long>(id->w[0]));
        entry.title = Cut(s.GetString(section, "Title"), kTitleLength);
        entry.path = Cut(s.GetString(section, "Path"), kPathLength);
        const std::string type = s.GetString(section, "Type", "D");
        entry.type = type.empty() ? nodetype::kDatabases : TypeFromLetter(type[0]);
        // Only a database or a template can be re-opened from here; anything else stored under
        // Type would make a database node pose as another kind of node.
        if (entry.type != nodetype::kDatabases && entry.type != nodetype::kTemplates)
            entry.type = nodetype::kDatabases;
        return true;
    };
    LoadSlots(settings, kSection, kPrefix, readSlot, slots, order, count);
    Assign(slots, order, count);
}

bool CDatabaseList::Save(CSettings& settings) const {
    return SaveSlots(*this, settings, kSection, kPrefix,
                     [](CSettings& s, const std::string& key, const DatabaseEntry& entry) {
                         const std::string id = IdentifierText(entry.id);
                         const char type[2] = {TypeLetter(entry.type), '\0'};
                         return s.WriteString(kSection, key, id) &&
                                s.WriteString(id, "Title", entry.title) &&
                                s.WriteString(id, "Path", entry.path) &&
                                s.WriteString(id, "Type", type);
                     });
}

void CServerList::Load(const CSettings& settings) {
    std::array<ServerEntry, kCapacity> slots{};
    std::array<std::size_t, kCapacity> order{};
    std::size_t count = 0;
    auto readSlot = [](const CSettings&, const std::optional<std::string>& value,
                       ServerEntry& entry) {
        entry.name = Cut(value.value_or(std::string()), kServerNameLength);
        return true;
    };
    LoadSlots(settings, kSection, kPrefix, readSlot, slots, order, count);
    Assign(slots, order, count);
}

bool CServerList::Save(CSettings& settings) const {
    return SaveSlots(*this, settings, kSection, kPrefix,
                     [](CSettings& s, const std::string& key, const ServerEntry& entry) {
                         return s.WriteString(kSection, key, entry.name);
                     });
}

void CNoteList::Load(const CSettings& settings, std::string_view key) {
    const std::string text = settings.GetString(kSection, key);
    std::array<NoteEntry, kCapacity> slots{};
    std::array<std::size_t, kCapacity> order{};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count < kCapacity) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        const auto id = ReadHex(text, pos);
        if (!id)
            break;
        // A note listed twice would show twice and confuse the next add: the list ends there.
        if (std::any_of(slots.begin(), slots.begin() + std::ptrdiff_t(count),
                        [&](const NoteEntry& e) { return e.id == *id; }))
            break;
        slots[count].id = *id;
        order[count] = count;
        ++count;
    }
    Assign(slots, order, count);
}

bool CNoteList::Save(CSettings& settings, std::string_view key) const {
    std::string text;
    for (std::size_t i = 0; i < Count(); ++i) {
        char number[12];
        std::snprintf(number, sizeof number, "%lx ", static_cast<unsigned long>(At(i).id));
        text += number;
    }
    return settings.WriteString(kSection, key, text);
}

CDatabaseList* ProgramDatabases() {
    return DatabasesHolder().get();
}

CServerList* ProgramServers() {
    return ServersHolder().get();
}

void CreateProgramLists(const CSettings& settings) {
    DatabasesHolder() = std::make_unique<CDatabaseList>();
    DatabasesHolder()->Load(settings);
    ServersHolder() = std::make_unique<CServerList>();
    ServersHolder()->Load(settings);
}

bool SaveAndDestroyProgramLists(CSettings& settings) {
    bool saved = true;
    if (DatabasesHolder())
        saved = DatabasesHolder()->Save(settings);
    DatabasesHolder().reset();
    if (ServersHolder())
        saved = ServersHolder()->Save(settings) && saved;
    ServersHolder().reset();
    return saved;
}

void Notify(std::uint32_t hint) {
    CWaitCursor wait;
    CNodeDocument::UpdateEveryDocument(hint);
}

void AddDatabase(const store::TimeDate& id, std::string_view title, std::string_view path,
                 NodeTypeId type) {
    CDatabaseList* list = ProgramDatabases();
    if (!list)
        return;
    DatabaseEntry entry;
    entry.id = id;
    entry.title = Cut(std::string(title), kTitleLength);
    entry.path = Cut(std::string(path), kPathLength);
    entry.type = type;
    list->Add(entry);
    Notify(hint::kRecentDatabases);
}

void AddServer(std::string_view name) {
    CServerList* list = ProgramServers();
    if (!list)
        return;
    list->Add(ServerEntry{Cut(std::string(name), kServerNameLength)});
    Notify(hint::kRecentServers);
}

CNotesRecord::CNotesRecord(const store::TimeDate& id, const CSettings& settings)
    : id_(id), key_(IdentifierText(id)) {
    list_.Load(settings, key_);
}

void CNotesRecord::Add(store::NoteId note) {
    list_.Add(NoteEntry{note});
    Notify(hint::kRecentNotes);
}

CNotesUse::CNotesUse(const store::TimeDate& id) {
    auto& records = Records();
    for (const auto& r : records) {
        if (r->id_.w[0] == id.w[0] && r->id_.w[1] == id.w[1]) {
            record_ = r;
            break;
        }
    }
    if (!record_) {
        record_ = std::make_shared<CNotesRecord>(id, ProgramSettings());
        records.insert(records.begin(), record_);
    }
    ++record_->uses_;
}

CNotesUse& CNotesUse::operator=(CNotesUse&& other) noexcept {
    if (this != &other) {
        Reset();
        record_ = std::move(other.record_);
    }
    return *this;
}

void CNotesUse::Reset() {
    if (!record_)
        return;
    if (--record_->uses_ == 0 && record_->linked_) {
        record_->linked_ = false;
        Unlink(record_.get());
        SaveRecord(*record_);
    }
    record_.reset();
}

std::size_t NotesRecordCount() {
    return Records().size();
}

void SaveAllNotesRecords() {
    auto records = std::move(Records());
    Records().clear();
    for (const auto& r : records) {
        r->linked_ = false;
        SaveRecord(*r);
    }
}

bool SetSaveNotesRecords(bool save) {
    const bool previous = g_saveRecords;
    g_saveRecords = save;
    return previous;
}

void LinkNotesHook() {}

} // namespace recent
